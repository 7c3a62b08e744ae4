#!/usr/bin/env python3
"""The installed program: `cmake --install` into a temporary DESTDIR, then the installed
pictog-cli and pictog at work (pictog on the offscreen platform, its folder read-only, the user's
folders temporary), the desktop files, man pages and bash completion checked by their own tools.

Environment: PICTOG_BUILD_DIR, the configured and built build folder."""

import os
import shutil
import signal
import stat
import subprocess
import sys
import tempfile
import time
import unittest

BUILD = os.environ["PICTOG_BUILD_DIR"]
START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"


def install(destdir):
    subprocess.run(["cmake", "--install", BUILD, "--prefix", "/usr"], check=True,
                   env=dict(os.environ, DESTDIR=destdir), stdout=subprocess.DEVNULL)
    return os.path.join(destdir, "usr")


def tree(folder):
    """Every path below folder with its size and mode, to see that nothing changed there."""
    found = {}
    for root, dirs, files in os.walk(folder):
        for name in dirs + files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            found[os.path.relpath(path, folder)] = (info.st_size, info.st_mode, info.st_mtime_ns)
    return found


def without_root_override():
    """The command prefix that runs a program without root's permission override, so that a
    read-only folder is read-only for it too; empty when not root."""
    if os.geteuid() != 0:
        return []
    setpriv = shutil.which("setpriv")
    return [setpriv, "--bounding-set", "-dac_override,-dac_read_search,-fowner"] if setpriv else None


class Installed(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.mkdtemp(prefix="pictog-install-")
        self.usr = install(os.path.join(self.scratch, "root"))
        self.bin = os.path.join(self.usr, "bin")

    def tearDown(self):
        for root, dirs, _ in os.walk(self.scratch):
            for name in dirs:
                os.chmod(os.path.join(root, name), 0o755)
        shutil.rmtree(self.scratch)


class InstalledPrograms(Installed):
    def cli(self, *args):
        return subprocess.run([os.path.join(self.bin, "pictog-cli")] + list(args),
                              capture_output=True, text=True, check=False)

    def test_cli_normalizes_and_exports_with_the_installed_piece_images(self):
        done = self.cli("normalize", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -")
        self.assertEqual((done.returncode, done.stdout), (0, START + "\n"))

        picture = os.path.join(self.scratch, "start.png")
        done = self.cli("export", "png", "-o", picture, START)
        self.assertEqual(done.returncode, 0, done.stderr)
        with open(picture, "rb") as f:
            self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

        page = self.cli("export", "html", "--preview", START).stdout
        images = os.path.join(self.usr, "share", "pictog", "chesspieces")
        self.assertIn("file://" + images + "/wk1.gif", page)
        self.assertTrue(os.path.isfile(os.path.join(images, "wk1.gif")))

    def run_gui(self, config, runtime):
        """Starts the installed pictog, waits until it catches SIGTERM, sends it and returns the
        finished process."""
        prefix = without_root_override()
        if prefix is None:
            self.skipTest("running as root without setpriv: a read-only folder stays writable")
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=config,
                   XDG_RUNTIME_DIR=runtime, HOME=os.path.join(self.scratch, "home"))
        process = subprocess.Popen(prefix + [os.path.join(self.bin, "pictog")], env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        # The handler is set first thing in main; a signal that comes before the window waits
        # until the event loop runs, so catching it is the moment to send it.
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline and process.poll() is None:
            with open("/proc/%d/status" % process.pid) as status:
                caught = next(int(line.split()[1], 16) for line in status
                              if line.startswith("SigCgt:"))
            if caught & (1 << (signal.SIGTERM - 1)):
                break
            time.sleep(0.01)
        process.send_signal(signal.SIGTERM)
        out, err = process.communicate(timeout=60)
        return process.returncode, out, err

    def test_gui_keeps_its_settings_in_the_config_folder_when_its_own_is_read_only(self):
        for name in os.listdir(self.bin):
            os.chmod(os.path.join(self.bin, name), 0o555)
        os.chmod(self.bin, 0o555)
        before = tree(self.usr)
        cases = [
            # (what, settings written before the start, what the file holds afterwards)
            ("fresh user", None, None),
            # The border size is corrected and written at the start; the line, read in its
            # four-field form, is saved in its built form at the close that SIGTERM starts.
            ("settings read and written there",
             "[HTML Settings]\nborderSize=20\n[History]\nfenLine=" + START[:-4] + "\n",
             "borderSize=10"),
        ]
        for what, seeded, expected in cases:
            with self.subTest(what):
                config = tempfile.mkdtemp(dir=self.scratch)
                runtime = tempfile.mkdtemp(dir=self.scratch)
                ini = os.path.join(config, "pictog", "Pictog.ini")
                if seeded is not None:
                    os.makedirs(os.path.dirname(ini))
                    with open(ini, "w") as f:
                        f.write(seeded)
                status, out, err = self.run_gui(config, runtime)
                self.assertEqual(status, 0, err)
                made = [os.path.join(runtime, "pictog")]
                if seeded is None:
                    made.append(os.path.dirname(ini))
                for folder in made:
                    self.assertTrue(os.path.isdir(folder), folder)
                    self.assertEqual(stat.S_IMODE(os.stat(folder).st_mode) & 0o077, 0, folder)
                if expected is not None:
                    with open(ini) as f:
                        text = f.read()
                    self.assertIn(expected, text)
                    self.assertIn("fenLine=" + START + "\n", text)
                    self.assertIn("localImageBase=" + os.path.join(
                        self.usr, "share", "pictog", "chesspieces") + "\n", text)
                self.assertEqual(tree(self.usr), before, "nothing written beside the program")


class InstalledFiles(Installed):
    def share(self, *parts):
        return os.path.join(self.usr, "share", *parts)

    def check_tool(self, command, path, report):
        """Runs a validator; its report (the stream named) must hold no error or warning."""
        done = subprocess.run(command + [path], capture_output=True, text=True, check=False)
        text = done.stdout if report == "stdout" else done.stderr
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        for line in text.splitlines():
            self.assertNotRegex(line, r"(?i)\b(error|warning)\b|^[EW]: ", text)

    def test_desktop_entry_metainfo_and_man_pages_pass_their_validators(self):
        checks = [
            (["desktop-file-validate"], self.share("applications", "pictog.desktop"), "stdout"),
            (["appstreamcli", "validate", "--no-net"],
             self.share("metainfo", "io.github.pictog.Pictog.metainfo.xml"), "stdout"),
            # man's own warnings and groff's go to stderr, which must stay empty.
            (["man", "--warnings", "-l"], self.share("man", "man1", "pictog.1"), "stderr"),
            (["man", "--warnings", "-l"], self.share("man", "man1", "pictog-cli.1"), "stderr"),
        ]
        env_before = dict(os.environ)
        os.environ.update(LC_ALL="C.UTF-8", MANWIDTH="80", MAN_KEEP_STDERR="1")
        try:
            for command, path, report in checks:
                with self.subTest(path=os.path.basename(path)):
                    self.check_tool(command, path, report)
        finally:
            os.environ.clear()
            os.environ.update(env_before)

    def test_icons_cover_every_size_and_the_desktop_entry_names_them(self):
        for size in (16, 22, 24, 32, 48, 64, 128, 256):
            path = self.share("icons", "hicolor", "%dx%d" % (size, size), "apps", "pictog.png")
            with open(path, "rb") as f:
                header = f.read(26)
            self.assertEqual(header[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual((int.from_bytes(header[16:20], "big"),
                              int.from_bytes(header[20:24], "big"), header[25]),
                             (size, size, 6), path)
        self.assertTrue(os.path.isfile(self.share("icons", "hicolor", "scalable", "apps",
                                                  "pictog.svg")))
        with open(self.share("applications", "pictog.desktop")) as f:
            entry = f.read()
        for line in ("Icon=pictog", "Exec=pictog", "Keywords=chess;FEN;"):
            self.assertIn(line, entry)

    def test_completion_offers_commands_formats_names_and_options(self):
        script = ('source /usr/share/bash-completion/bash_completion\n'
                  'source "$1"\n'
                  'shift\n'
                  'COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))\n'
                  'COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}\n'
                  '_pictog_cli pictog-cli "${COMP_WORDS[COMP_CWORD]}" '
                  '"${COMP_WORDS[COMP_CWORD-1]}"\n'
                  'printf "%s\\n" "${COMPREPLY[@]}" | sort\n')
        cases = [
            (["pictog-cli", ""], "export moves normalize perft positions sheet transform validate"),
            (["pictog-cli", "--ini", "x.ini", "tr"], "transform"),
            (["pictog-cli", "--"], "--help --ini --version"),
            (["pictog-cli", "export", ""], "ascii bbcode bmp ccc fen html md pdf pgn png svg"),
            (["pictog-cli", "export", "svg", "--i"], "--inline"),
            (["pictog-cli", "export", "html", "--e"], "--embed"),
            (["pictog-cli", "export", "-o", "out/", "p"], "pdf pgn png"),
            (["pictog-cli", "export", "png", "--s"], "--square --square-mm --squares --style"),
            (["pictog-cli", "export", "pdf", "--style", ""], "color gray print"),
            (["pictog-cli", "export", "pdf", "--page", ""], "a4 letter"),
            (["pictog-cli", "export", "png", "--theme", ""], "blue brown gray green"),
            (["pictog-cli", "export", "png", "--coords", ""], "inside none outside"),
            (["pictog-cli", "export", "svg", "--frame", ""], "classic none thin"),
            (["pictog-cli", "export", "svg", "--background", ""], "none"),
            (["pictog-cli", "export", "svg", "--theme", "brown", "--f"],
             "--flip --footer1 --footer2 --frame"),
            (["pictog-cli", "transform", "mirror-"],
             "mirror-horizontal mirror-left-diagonal mirror-right-diagonal mirror-vertical"),
            (["pictog-cli", "transform", "rotate-left", ""], ""),
            (["pictog-cli", "validate", "-"], "--help"),
            (["pictog-cli", "moves", "--"], "--help --uci"),
            (["pictog-cli", "perft", "3", "--d"], "--divide"),
            (["pictog-cli", "positions", "--"],
             "--at --commented --every --from --games --help --solution"),
            (["pictog-cli", "positions", "--from", ""], "csv epd pgn"),
            (["pictog-cli", "sheet", "--so"], "--solution --solutions"),
            (["pictog-cli", "sheet", "--grid", "3x4", "--solutions", ""], "end none page"),
        ]
        completion = self.share("bash-completion", "completions", "pictog-cli")
        for words, expected in cases:
            with self.subTest(" ".join(words)):
                done = subprocess.run(["bash", "-c", script, "bash", completion] + words,
                                      capture_output=True, text=True, check=False, cwd=self.scratch)
                self.assertEqual(done.returncode, 0, done.stderr)
                self.assertEqual(done.stdout.split(), expected.split())


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0]] + sys.argv[1:], verbosity=2)
