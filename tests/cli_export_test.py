#!/usr/bin/env python3
"""pictog-cli export, black-box: the exact bytes of every text format, the settings file, the
record separation of several lines, numbered output files and the usage errors.

The HTML goldens are the same files the core's own test compares against, so the command line
and the desktop program are held to the same bytes. Binary path in PICTOG_CLI."""

import base64
import os
import re
import resource
import signal
import subprocess
import sys
import tempfile
import time
import unittest

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")

INITIAL = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"
INITIAL_LINE = INITIAL + " 0 1"
WEB_BASE = "https://pictog.github.io/chesspieces/"
MARKUP = ["--header1", "Test <b>&amp;</b> one", "--header2", "sub & title",
          "--footer1", "footer <1>", "--footer2", "footer 2"]

PAGE_HEAD = (b'<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 3.2//EN">\r\n<HTML>\r\n<HEAD>\r\n'
             b"<TITLE>Pictog: HTMLPreview</TITLE>\r\n"
             b'<META name="generator" content="Pictog V1.01  (12-OCT-2002)">\r\n'
             b'<META name="resource-type" content="document">\r\n'
             b'<META http-equiv="content-type" content="text/html; charset=UTF-8">\r\n'
             b"</HEAD>\r\n<BODY>\r\n")
PAGE_TAIL = b"</BODY>\r\n</HTML>\r\n"


def golden(name):
    with open(os.path.join(DATA, name), "rb") as f:
        return f.read()


def ascii_board(ranks, side="White", line=INITIAL_LINE):
    """The ASCII export with coordinates, side and FEN, for ranks given top down as 8 strings."""
    letters = b"      a   b   c   d   e   f   g   h\r\n"
    separator = b"    +---+---+---+---+---+---+---+---+\r\n"
    out = letters + separator
    for i, rank in enumerate(ranks):
        digit = str(8 - i).encode()
        cells = b""
        for c in rank:
            if c == ".":
                cells += b"   |"
            elif c.isupper():
                cells += b" " + c.encode() + b" |"
            else:
                cells += b" " + c.upper().encode() + b"*|"
        out += b"  " + digit + b" |" + cells + b" " + digit + b"  \r\n" + separator
    out += letters
    out += b"\r\n    " + side.encode() + b" to move\r\n"
    out += b"\r\nFEN: " + line.encode() + b"\r\n"
    return out


INITIAL_RANKS = ["rnbqkbnr", "pppppppp", "........", "........", "........", "........",
                 "PPPPPPPP", "RNBQKBNR"]


class ExportTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="pictog-cli-export-")
        self.dir = self.tmp.name

    def tearDown(self):
        self.tmp.cleanup()

    def ini(self, text, name="settings.ini"):
        path = os.path.join(self.dir, name)
        with open(path, "w") as f:
            f.write(text)
        return path

    def run_cli(self, *args, stdin=b"", env=None):
        return subprocess.run([CLI, *args], input=stdin, capture_output=True, timeout=60,
                              env=env)

    def assertOutput(self, result, stdout, code=0):
        self.assertEqual(result.returncode, code, result.stderr.decode(errors="replace"))
        self.assertEqual(result.stdout, stdout)

    # --- the HTML code, byte for byte ---

    def test_html_goldens(self):
        cases = [
            ("html_initial_compact.html", "", [], INITIAL),
            ("html_initial_lines.html", "[HTML Settings]\ncompact=0\n", MARKUP, INITIAL),
            ("html_black_plain.html",
             "[Diagram Layout]\ncoordinates=0\nshowBorder=0\n"
             "[HTML Settings]\ncompact=0\ncolorLightSquares=#e7d0a7\ncolorDarkSquares=#a77e5c\n"
             "colorDiagramBackground=#e6e0c6\nalignment=center\n",
             ["--header1", "Only header", "--footer2", "Second footer without a first"],
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"),
            ("html_border0_set12.html",
             "[Diagram Layout]\nshowSideToMove=0\nshowFenLine=0\nshowHeader=0\nshowFooter=0\n"
             "[HTML Settings]\ncompact=0\nborderSize=0\npieceSet=12\nalignment=right\n"
             "webImageBase=http://example.org/img/\n",
             MARKUP, "8/8/8/4k3/8/8/3QK3/8 w - - 0 60"),
        ]
        for name, settings, options, position in cases:
            with self.subTest(name):
                ini = ["--ini", self.ini(settings)] if settings else []
                result = self.run_cli(*ini, "export", "html", *options, position)
                self.assertOutput(result, golden(name))

    def test_preview_page_uses_local_images(self):
        folder = os.path.join(self.dir, "pieces")
        ini = self.ini("[HTML Settings]\nlocalImageBase=" + folder + "\n")
        code = golden("html_initial_compact.html").replace(
            WEB_BASE.encode(), ("file://" + folder + "/").encode())
        result = self.run_cli("--ini", ini, "export", "html", "--preview", INITIAL)
        self.assertOutput(result, PAGE_HEAD + code + b"\r\n" + PAGE_TAIL)

        # Without compact the code's own last line end leaves an empty line before </BODY>.
        ini = self.ini("[HTML Settings]\ncompact=0\nlocalImageBase=" + folder + "\n")
        result = self.run_cli("--ini", ini, "export", "html", "--preview", *MARKUP, INITIAL)
        code = golden("html_initial_lines.html").replace(
            WEB_BASE.encode(), ("file://" + folder + "/").encode())
        self.assertOutput(result, PAGE_HEAD + code + b"\r\n" + PAGE_TAIL)
        self.assertIn(b"</FONT>\r\n\r\n</BODY>", result.stdout)

    def test_embed_turns_every_image_into_its_own_bytes(self):
        """--embed: the same code with each image's URL replaced by a data: URI of the bytes of
        that very file of the local image folder; a missing image fails the export."""
        folder = os.path.join(self.dir, "pieces")
        os.mkdir(folder)
        plain = self.run_cli("export", "html", INITIAL).stdout.decode()
        names = re.findall(r'src="' + re.escape(WEB_BASE) + r'([^"]+)"', plain)
        self.assertEqual(len(names), 33)  # 32 pieces and the side-to-move mark
        for i, name in enumerate(sorted(set(names))):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(b"GIF89a" + bytes([i]) * (i + 1))
        ini = self.ini("[HTML Settings]\nlocalImageBase=" + folder + "\n")
        embedded = self.run_cli("--ini", ini, "export", "html", "--embed", INITIAL)
        self.assertEqual(embedded.returncode, 0, embedded.stderr)
        text = embedded.stdout.decode()
        uris = re.findall(r'src="data:image/gif;base64,([^"]+)"', text)
        for name, uri in zip(names, uris):
            with open(os.path.join(folder, name), "rb") as f:
                self.assertEqual(base64.b64decode(uri), f.read(), name)
        self.assertEqual(len(uris), len(names))
        self.assertEqual(re.sub(r'src="data:[^"]+"', "IMG", text),
                         re.sub(r'src="[^"]+"', "IMG", plain))
        # A missing image, and one that is a FIFO (reading it would wait for a writer forever).
        os.remove(os.path.join(folder, names[0]))
        for make in (lambda path: None, os.mkfifo):
            make(os.path.join(folder, names[0]))
            missing = self.run_cli("--ini", ini, "export", "html", "--embed", INITIAL)
            self.assertEqual(missing.returncode, 1)
            self.assertIn(b"cannot read the piece image", missing.stderr)

    # --- the text formats ---

    def test_text_formats(self):
        cases = [
            ("fen", INITIAL, INITIAL_LINE.encode()),
            ("ccc", INITIAL, b"[D]" + INITIAL_LINE.encode()),
            ("fen", "8/8/8/8/8/8/8/8", b"8/8/8/8/8/8/8/8 w - - 0 1"),
            ("ascii", INITIAL, ascii_board(INITIAL_RANKS)),
            ("ascii", "8/8/8/8/8/8/8/7k b - - 0 1",
             ascii_board(["........"] * 7 + [".......k"], "Black", "8/8/8/8/8/8/8/7k b - - 0 1")),
        ]
        for fmt, position, expected in cases:
            with self.subTest(fmt=fmt, position=position):
                self.assertOutput(self.run_cli("export", fmt, position), expected)

    def test_ascii_follows_the_layout_switches(self):
        ini = self.ini("[Diagram Layout]\ncoordinates=0\nshowSideToMove=0\nshowFenLine=0\n")
        result = self.run_cli("--ini", ini, "export", "ascii", "--header1", "ignored", INITIAL)
        self.assertEqual(result.returncode, 0)
        lines = result.stdout.split(b"\r\n")
        self.assertEqual(len(lines), 18)  # 17 board lines and nothing after the last CR LF
        self.assertEqual(lines[1], b"    | R*| N*| B*| Q*| K*| B*| N*| R*|    ")
        self.assertEqual(lines[-1], b"")
        self.assertNotIn(b"ignored", result.stdout)

    def test_pgn_date_in_the_locale_short_form(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("LC_") and k != "LANG"}
        env.update(LC_TIME="C", TZ="UTC")
        for position, move_text in [(INITIAL, b"1. *"), (INITIAL.replace(" w ", " b "), b"1... *")]:
            with self.subTest(position=position):
                before = time.strftime("%m/%d/%y", time.gmtime())
                result = self.run_cli("export", "pgn", position, env=env)
                after = time.strftime("%m/%d/%y", time.gmtime())
                self.assertEqual(result.returncode, 0)
                line = position + " 0 1"
                expected = [(b'[Event "Test Position"]\r\n[Site "Pictog V1.01"]\r\n'
                             b'[Date "' + d.encode() + b'"]\r\n'
                             b'[Round "1"]\r\n[White "White"]\r\n[Black "Black"]\r\n'
                             b'[Result "*"]\r\n[SetUp "1"]\r\n'
                             b'[FEN "' + line.encode() + b'"]\r\n\r\n' + move_text + b"\r\n\r\n")
                            for d in (before, after)]
                self.assertIn(result.stdout, expected)

    # --- several lines, files and folders ---

    def test_single_stdin_line_is_exact(self):
        for stdin in (INITIAL.encode() + b"\n", INITIAL.encode() + b"\r\n", INITIAL.encode()):
            with self.subTest(stdin=stdin):
                self.assertOutput(self.run_cli("export", "fen", stdin=stdin),
                                  INITIAL_LINE.encode())

    def test_several_stdin_lines_are_separated(self):
        stdin = (INITIAL + "\nxyz\n8/8/8/8/8/8/8/8\n").encode()
        result = self.run_cli("export", "fen", stdin=stdin)
        self.assertOutput(result, INITIAL_LINE.encode() + b"\n8/8/8/8/8/8/8/8 w - - 0 1\n", 1)
        self.assertEqual(result.stderr,
                         b"pictog-cli: line 2: x - Invalid character in EPD position description\n")

        # Records that end with a line break get no further LF.
        result = self.run_cli("export", "ascii", stdin=(INITIAL + "\n" + INITIAL + "\n").encode())
        self.assertOutput(result, ascii_board(INITIAL_RANKS) * 2)

        compact = golden("html_initial_compact.html")
        result = self.run_cli("export", "html", stdin=(INITIAL + "\n" + INITIAL).encode())
        self.assertOutput(result, compact + b"\n" + compact + b"\n")

        # A rejected first line still makes the input several lines long.
        result = self.run_cli("export", "ccc", stdin=("x\n" + INITIAL + "\n").encode())
        self.assertOutput(result, b"[D]" + INITIAL_LINE.encode() + b"\n", 1)

    def test_output_file(self):
        out = os.path.join(self.dir, "out.txt")
        # Several lines go one after another into the one file, none overwriting the last.
        other = "8/8/8/8/8/8/8/k6K b - - 0 1"
        result = self.run_cli("export", "fen", "-o", out,
                              stdin=(INITIAL + "\n" + other + "\n" + INITIAL).encode())
        self.assertOutput(result, b"")
        with open(out, "rb") as f:
            self.assertEqual(f.read(), (INITIAL_LINE + "\n" + other + "\n" + INITIAL_LINE + "\n").encode())
        # -o /dev/stdout writes into whatever stdout is, also a regular file, never replacing it.
        with open(out, "wb") as f:
            inode = os.fstat(f.fileno()).st_ino
            done = subprocess.run([CLI, "export", "fen", "-o", "/dev/stdout", INITIAL], stdout=f,
                                  stderr=subprocess.PIPE, timeout=60, check=False)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(os.stat(out).st_ino, inode)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), INITIAL_LINE.encode())
        self.assertEqual(sorted(os.listdir(self.dir)), ["out.txt"])
        result = self.run_cli("export", "ccc", "-o", out, INITIAL)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), b"[D]" + INITIAL_LINE.encode())
        result = self.run_cli("export", "fen", "-o", os.path.join(self.dir, "no", "such"), INITIAL)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"cannot create file", result.stderr)

    def test_output_file_is_replaced_whole_or_not_at_all(self):
        target = os.path.join(self.dir, "out.html")
        with open(target, "wb") as f:
            f.write(b"old")
        os.chmod(target, 0o640)

        def disk_full():  # a file-size limit, with the signal off, stands in for a full disk
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (64, 64))

        for source in ({"args": [INITIAL]}, {"args": [], "stdin": (INITIAL + "\n") * 3}):
            with self.subTest(source=source):
                result = subprocess.run([CLI, "export", "html", "-o", target, *source["args"]],
                                        input=source.get("stdin", "").encode(),
                                        capture_output=True, timeout=60, preexec_fn=disk_full)
                self.assertEqual(result.returncode, 1)
                self.assertEqual(result.stderr, b"pictog-cli: cannot create file "
                                 + target.encode() + b": File too large\n")
                with open(target, "rb") as f:
                    self.assertEqual(f.read(), b"old")
                self.assertEqual(os.listdir(self.dir), ["out.html"])
        # A complete write replaces the file, keeping its permissions; through a link the file
        # it names is replaced and the link stays.
        os.symlink("out.html", os.path.join(self.dir, "link"))
        result = self.run_cli("export", "fen", "-o", os.path.join(self.dir, "link"), INITIAL)
        self.assertOutput(result, b"")
        with open(target, "rb") as f:
            self.assertEqual(f.read(), INITIAL_LINE.encode())
        self.assertTrue(os.path.islink(os.path.join(self.dir, "link")))
        self.assertEqual(os.stat(target).st_mode & 0o777, 0o640)
        self.assertEqual(sorted(os.listdir(self.dir)), ["link", "out.html"])

    def test_output_folder_numbers_files_by_input_line(self):
        cases = [("fen", "fen"), ("ccc", "ccc"), ("ascii", "txt"), ("pgn", "pgn"),
                 ("html", "html")]
        for fmt, extension in cases:
            with self.subTest(fmt=fmt):
                folder = os.path.join(self.dir, fmt) + "/"
                stdin = (INITIAL + "\n8/8/8/8/8/8/8\n8/8/8/8/8/8/8/8 b\n").encode()
                result = self.run_cli("export", fmt, "-o", folder, stdin=stdin)
                self.assertOutput(result, b"", 1)
                self.assertIn(b"line 2: Error in EPD position description", result.stderr)
                self.assertEqual(sorted(os.listdir(folder)),
                                 ["0001." + extension, "0003." + extension])
                with open(folder + "0003." + extension, "rb") as f:
                    third = f.read()
                alone = self.run_cli("export", fmt, "8/8/8/8/8/8/8/8 b").stdout
                if fmt != "pgn":  # the date could change between the two runs
                    self.assertEqual(third, alone)
        folder = os.path.join(self.dir, "preview") + "/"
        result = self.run_cli("export", "html", "--preview", "-o", folder, INITIAL)
        self.assertOutput(result, b"")
        with open(folder + "0001.html", "rb") as f:
            self.assertTrue(f.read().startswith(PAGE_HEAD))

    # --- settings and errors ---

    def test_settings_file_is_never_written(self):
        text = "; hand-edited\n[HTML Settings]\nborderSize=99\nalignment=middle\ncompact=0\n"
        ini = self.ini(text)
        result = self.run_cli("--ini", ini, "export", "html", INITIAL)
        self.assertEqual(result.returncode, 0)
        self.assertIn(b'<TABLE bgcolor="#000000" border="10" ', result.stdout)
        self.assertTrue(result.stdout.startswith(b'<P align="left">\r\n'))
        with open(ini) as f:
            self.assertEqual(f.read(), text)
        self.assertEqual(os.listdir(self.dir), ["settings.ini"])

    def test_unreadable_settings_file_gives_defaults(self):
        folder = os.path.join(self.dir, "folder.ini")
        os.mkdir(folder)
        missing = os.path.join(self.dir, "missing.ini")
        for path in (folder, missing):
            with self.subTest(path=path):
                result = self.run_cli("--ini", path, "export", "html", INITIAL)
                self.assertOutput(result, golden("html_initial_compact.html"))
                self.assertIn(b"using the defaults", result.stderr)

    def test_rejected_argument(self):
        result = self.run_cli("export", "html", "8/8/8/8/8/8/8")
        self.assertOutput(result, b"", 1)
        self.assertEqual(result.stderr, b"pictog-cli: line 1: Error in EPD position description\n")

    def test_usage_errors(self):
        cases = [
            ["export"],
            ["export", "xyz", INITIAL],
            ["export", "fen", "--preview", INITIAL],
            ["export", "fen", INITIAL, INITIAL],
            ["export", "fen", "--bogus", INITIAL],
            ["export", "html", INITIAL, "-o"],
            ["export", "html", "--header1"],
        ]
        for args in cases:
            with self.subTest(args=args):
                result = self.run_cli(*args)
                self.assertEqual(result.returncode, 2)
                self.assertEqual(result.stdout, b"")
                self.assertRegex(result.stderr, rb"^pictog-cli: [^\n]+\nTry 'pictog-cli --help'.\n$")

    def test_options_of_help_are_in_man_page_and_completion(self):
        text = subprocess.run([CLI, "--help"], stdout=subprocess.PIPE, check=True).stdout.decode()
        with open(os.path.join(DATA, "../../dist/man/pictog-cli.1"), encoding="utf-8") as f:
            man = re.sub(r"\\f[BIRP]", "", f.read()).replace("\\-", "-")
        with open(os.path.join(DATA, "../../dist/completion/pictog-cli"), encoding="utf-8") as f:
            completion = f.read()
        # A command's block of the help runs to the next line at two spaces' indent.
        blocks = dict(re.findall(r"(?ms)^  (export|positions|sheet) (.*?)(?=^  \S|^\S)", text))
        for command, least in (("export", 20), ("positions", 6), ("sheet", 17)):
            with self.subTest(command=command):
                named = set(re.findall(r"--[a-z0-9-]+", blocks[command]))
                self.assertGreaterEqual(len(named), least)
                listed = re.search(rf'local {command}_options="([^"]*)"', completion).group(1)
                self.assertEqual(named - set(listed.split()), set())
                self.assertEqual(named - set(re.findall(r"--[a-z0-9-]+", man)), set())


if __name__ == "__main__":
    unittest.main(verbosity=1)
