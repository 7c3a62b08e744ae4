#!/usr/bin/env python3
"""Black-box tests of `pictog-cli export svg|pdf` and `export png` with the diagram options."""

import os
import re
import resource
import shutil
import signal
import stat
import struct
import time
import threading
import subprocess
import tempfile
import unittest
import zlib

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")
ITALIAN = "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4"
ENDING = "4k3/8/8/8/8/8/8/4K3 b - - 0 60"
ARROW_HINT = ": expected an optional colour letter G, R, Y or B and two different squares, e.g. Ge2e4"


def run(args, stdin=None, file_limit=None):
    def limit():
        signal.signal(signal.SIGXFSZ, signal.SIG_IGN)  # a failed write instead of a kill
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_limit, file_limit))
    return subprocess.run([CLI] + args, input=stdin, stdout=subprocess.PIPE, timeout=120,
                          stderr=subprocess.PIPE, check=False,
                          preexec_fn=limit if file_limit else None)


def png_chunks(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    chunks, at = [], 8
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind, payload = data[at + 4:at + 8].decode(), data[at + 8:at + 8 + length]
        assert struct.unpack(">I", data[at + 8 + length:at + 12 + length])[0] == \
            zlib.crc32(data[at + 4:at + 8] + payload)
        chunks.append((kind, payload))
        at += 12 + length
    return chunks


def png_pixels(data):
    """The (r, g, b) rows of an 8-bit RGB or RGBA PNG without interlace, alpha dropped."""
    chunks = png_chunks(data)
    width, height, depth, kind = struct.unpack(">IIBB", chunks[0][1][:10])
    assert depth == 8 and kind in (2, 6)
    step = 3 if kind == 2 else 4
    raw = zlib.decompress(b"".join(p for k, p in chunks if k == "IDAT"))
    rows, prior, at = [], bytearray(width * step), 0
    for _ in range(height):
        kind_of_filter, line = raw[at], bytearray(raw[at + 1:at + 1 + width * step])
        at += 1 + width * step
        for i in range(len(line)):
            a = line[i - step] if i >= step else 0
            b, c = prior[i], prior[i - step] if i >= step else 0
            pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
            line[i] = (line[i] + (0, a, b, (a + b) // 2,
                                  a if pa <= pb and pa <= pc else b if pb <= pc else c)
                       [kind_of_filter]) & 0xFF
        rows.append([tuple(line[x * step:x * step + 3]) for x in range(width)])
        prior = line
    return rows


def ppm_pixels(data):
    """The (r, g, b) pixels of a binary PPM as pdftoppm writes it."""
    fields = data.split(maxsplit=4)
    assert fields[0] == b"P6" and fields[3] == b"255"
    body = fields[4]
    return [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]


def read(path):
    with open(path, "rb") as f:
        return f.read()


def have(tool):
    return shutil.which(tool) is not None


class RenderExport(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="pictog-render-cli-")

    def tearDown(self):
        shutil.rmtree(self.dir)

    def path(self, name):
        return os.path.join(self.dir, name)

    def test_png_without_diagram_options_stays_classic(self):
        """Only an option of the renderer, or arrows or marks after a TAB, leave the classic
        picture; captions alone keep it byte for byte."""
        classic = run(["export", "png", "-o", self.path("classic.png"), ITALIAN])
        self.assertEqual(classic.returncode, 0, classic.stderr)
        for options, line in (([], ITALIAN + "\t{no commands}"), (["--header1", "T"], ITALIAN),
                              (["--footer2", "F"], ITALIAN)):
            with self.subTest(options=options, line=line):
                result = run(["export", "png", "-o", self.path("c.png")] + options + [line])
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(read(self.path("c.png")), read(self.path("classic.png")))
        cases = [([], ["IHDR", "IDAT", "IEND"], (376, 376)),
                 (["--square", "38"], ["IHDR", "tEXt", "tEXt", "iTXt", "IDAT", "IEND"], (376, 376)),
                 (["--header1", "Title", "--flip"], ["IHDR", "tEXt", "tEXt", "iTXt", "IDAT", "IEND"],
                  (376, 397)),
                 (["--dpi", "300", "--square-mm", "10"],
                  ["IHDR", "pHYs", "tEXt", "tEXt", "iTXt", "IDAT", "IEND"], (1168, 1168))]
        # Arrows or marks after a TAB take the renderer too, and a bad one is reported.
        cases += [(["--header1", "T", ITALIAN + "\t[%csl Rf7]"],
                   ["IHDR", "tEXt", "tEXt", "iTXt", "IDAT", "IEND"], (376, 397)),
                  ([ITALIAN + "\t[%cal Ge2e4]"], ["IHDR", "tEXt", "tEXt", "iTXt", "IDAT", "IEND"],
                   (376, 376))]
        for options, kinds, size in cases:
            with self.subTest(options=options):
                position = [] if options and options[-1].startswith(ITALIAN) else [ITALIAN]
                result = run(["export", "png", "-o", self.path("d.png")] + options + position)
                self.assertEqual(result.returncode, 0, result.stderr)
                chunks = png_chunks(read(self.path("d.png")))
                self.assertEqual([k for k, _ in chunks if k != "IDAT"] + ["IEND"],
                                 [k for k in kinds if k != "IDAT"] + ["IEND"])
                self.assertEqual(struct.unpack(">II", chunks[0][1][:8]), size)
                if "tEXt" in kinds:
                    self.assertIn(b"FEN\0" + ITALIAN.encode(), [p for _, p in chunks])
                if "pHYs" in kinds:  # 300 dpi = 11811 pixels per metre
                    self.assertEqual(dict(chunks)["pHYs"], struct.pack(">IIB", 11811, 11811, 1))
                if have("pngcheck"):
                    self.assertEqual(run_tool(["pngcheck", "-q", self.path("d.png")]), 0)

    def test_print_style_has_no_colour_pixel_in_png_and_pdf(self):
        args = ["--style", "print", "--marker", "--header1", "Print", "--arrows",
                "Ge2e4,Rd1d8,Yb1c3,Ba1h8,e1e2", "--squares", "Gd5,Rf7,Ye5,Bc4,a1"]
        result = run(["export", "png", "-o", self.path("p.png")] + args + [ITALIAN])
        self.assertEqual(result.returncode, 0, result.stderr)
        rows = png_pixels(read(self.path("p.png")))
        self.assertEqual([p for row in rows for p in row if not p[0] == p[1] == p[2]], [])
        self.assertIn((0, 0, 0), rows[200])  # not a blank picture
        if not have("pdftoppm"):
            self.skipTest("pdftoppm is not installed")
        for page in ([], ["--page", "a4"]):
            result = run(["export", "pdf", "-o", self.path("p.pdf")] + args + page + [ITALIAN])
            self.assertEqual(result.returncode, 0, result.stderr)
            ppm = subprocess.run(["pdftoppm", "-r", "100", self.path("p.pdf")],
                                 stdout=subprocess.PIPE, check=True).stdout
            pixels = ppm_pixels(ppm)
            self.assertEqual([p for p in pixels if not p[0] == p[1] == p[2]], [])
            self.assertIn((0, 0, 0), pixels)

    def test_board_options_set_colours_coordinates_frame_and_background(self):
        """Square colours at the centres of a1 (dark) and b1 (light) of an empty board, the
        picture's width from the classic margins (36 with border and labels, 16 border only, 32
        labels only, 2 neither) and the corner pixel."""
        empty = "8/8/8/8/8/8/8/8 w - - 0 1"
        blue, brown = ((0x39, 0x7A, 0xAE), (0x9E, 0xC2, 0xEF)), ((0xB5, 0x88, 0x63), (0xF0, 0xD9, 0xB5))
        black, grey = (0, 0, 0), (0xBC, 0xBC, 0xC5)
        cases = [  # options, margin, (a1, b1), corner pixel
            ([], 36, blue, black),
            (["--theme", "blue"], 36, blue, black),
            (["--theme", "brown"], 36, brown, black),
            (["--theme", "green"], 36, ((0x76, 0x96, 0x56), (0xEE, 0xEE, 0xD2)), black),
            (["--theme", "gray", "--light", "#FFFFFF"], 36, ((0xA0,) * 3, (0xFF,) * 3), black),
            (["--theme", "brown", "--dark", "#102030"], 36, ((0x10, 0x20, 0x30), brown[1]), black),
            (["--coords", "none"], 16, blue, black),
            (["--coords", "inside"], 16, blue, black),
            (["--frame", "thin"], 32, blue, grey),
            (["--frame", "none", "--coords", "none"], 2, blue, grey),
            (["--frame", "none", "--background", "#FF0000"], 32, blue, (255, 0, 0)),
        ]
        for options, margin, (a1, b1), corner in cases:
            with self.subTest(options=options):
                result = run(["export", "png", "--square", "40", "-o", self.path("b.png")]
                             + options + [empty])
                self.assertEqual(result.returncode, 0, result.stderr)
                rows = png_pixels(read(self.path("b.png")))
                m = round(margin * 40 / 38)
                self.assertEqual(len(rows[0]), 2 * m + 320)
                self.assertEqual(rows[m + 7 * 40 + 20][m + 20], a1)
                self.assertEqual(rows[m + 7 * 40 + 20][m + 60], b1)
                self.assertEqual(rows[0][0], corner)
        # --coords inside puts the labels into the corner squares, following the flip: ink in
        # a1's bottom-right corner (the "a"), or in h8's when Black is at the bottom.
        for flip in ([], ["--flip"]):
            result = run(["export", "png", "--square", "40", "--coords", "inside", "-o",
                          self.path("i.png")] + flip + [empty])
            rows = png_pixels(read(self.path("i.png")))
            corner = [rows[y][x] for y in range(17 + 300, 17 + 320) for x in range(17 + 28, 17 + 40)]
            self.assertGreater(len(set(corner)), 1, flip)
        # No background: the PNG has an alpha channel and its corner is transparent; the SVG
        # has no background rectangle.
        run(["export", "png", "--background", "none", "--frame", "none", "-o", self.path("t.png"),
             empty])
        chunks = png_chunks(read(self.path("t.png")))
        self.assertEqual(chunks[0][1][9], 6)
        raw = zlib.decompress(b"".join(p for k, p in chunks if k == "IDAT"))
        self.assertEqual(raw[1 + 3], 0)  # alpha of the top-left pixel (Sub filter: as is)
        svg = run(["export", "svg", "--background", "none", empty]).stdout.decode()
        self.assertNotIn("<rect", svg)

    def test_a_page_is_white_and_a_size_that_does_not_fit_is_an_error(self):
        # A4 is 595 x 842 points; with half-inch margins 523 points across for 8 squares plus
        # two margins of 36/38 of a square: 523 / (8 + 72/38) = 52.8, so 52 fits and 53 not.
        cases = [(["--square", "52"], 0, None),
                 (["--square", "53"], 2, "--square 53 does not fit an A4 page: at most 52"),
                 (["--dpi", "300", "--square-mm", "30"], 2,
                  "--square-mm 30 does not fit an A4 page: at most 18.6 mm")]
        for options, status, message in cases:
            with self.subTest(options=options):
                result = run(["export", "pdf", "--page", "a4", "-o", self.path("a.pdf")]
                             + options + [ITALIAN])
                self.assertEqual(result.returncode, status, result.stderr)
                if message:
                    self.assertEqual(result.stderr.decode().splitlines()[0], "pictog-cli: " + message)
        if not have("pdftoppm"):
            self.skipTest("pdftoppm is not installed")
        ppm = subprocess.run(["pdftoppm", "-r", "20", self.path("a.pdf")],
                             stdout=subprocess.PIPE, check=True).stdout
        pixels = ppm_pixels(ppm)
        self.assertEqual(pixels[0], (255, 255, 255))  # the page's corner, not the grey background
        self.assertIn((0xBC, 0xBC, 0xC5), pixels)

    def test_web_outputs_read_the_position_aloud(self):
        small = "4k3/8/8/8/8/8/4P3/4K2R b K - 0 1"
        spoken = "White: king e1, rook h1, pawn e2; Black: king e8; Black to move"
        self.assertEqual(run(["export", "bbcode", small]).stdout.decode(),
                         "[fen]" + small + "[/fen]")
        lines = (small + "\n" + ENDING + "\n").encode()
        self.assertEqual(run(["export", "md"], lines).stdout.decode(),
                         "![" + spoken + "](0001.svg)\n"
                         "![White: king e1; Black: king e8; Black to move](0002.svg)\n")
        # The PNG carries the same words in an iTXt chunk.
        run(["export", "png", "--square", "20", "-o", self.path("s.png"), small])
        self.assertIn(("iTXt", b"Description\0\0\0\0\0" + spoken.encode()),
                      png_chunks(read(self.path("s.png"))))
        # Inline SVG: a fragment whose ids all carry the document's own prefix, so that two
        # diagrams on one page share none, and every reference points at an id of its own.
        ids = []
        for position in (small, ITALIAN):
            run(["export", "svg", "--inline", "-o", self.path("i.svg"), position])
            svg = read(self.path("i.svg")).decode()
            self.assertTrue(svg.startswith('<svg role="img" aria-label="'), svg[:80])
            defined = set(re.findall(r'id="([^"]+)"', svg))
            used = set(re.findall(r'(?:href="#|url\(#)([^")]+)', svg))
            self.assertTrue(used and used <= defined)
            ids.append(defined)
        run(["export", "svg", "--inline", "-o", self.path("s.svg"), small])
        self.assertIn('aria-label="' + spoken + '"', read(self.path("s.svg")).decode())
        self.assertEqual(ids[0] & ids[1], set())
        self.assertEqual(run(["export", "png", "--inline", "-o", self.path("x.png"), small])
                         .returncode, 2)

    def test_png_reports_a_bad_item_after_a_tab(self):
        lines = (ITALIAN + "\n" + ENDING + "\t[%cal Ge8e9]\n").encode()
        result = run(["export", "png", "-o", self.path("out/")], lines)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode(), "pictog-cli: line 2: bad arrow 'Ge8e9'" + ARROW_HINT + "\n")
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["0001.png"])

    def test_svg_files_and_annotations_after_a_tab(self):
        lines = (ITALIAN + "\t{[%cal Gh5f7,Rc4f7][%csl Yf7]} mate threat\n" + ENDING + "\n"
                 + ENDING + "\t[%cal Ge8e9]\n").encode()
        result = run(["export", "svg", "--arrows", "Be1e2", "-o", self.path("out/")], lines)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode(), "pictog-cli: line 3: bad arrow 'Ge8e9'" + ARROW_HINT + "\n")
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["0001.svg", "0002.svg"])
        first = read(self.path("out/0001.svg")).decode()
        second = read(self.path("out/0002.svg")).decode()
        # Arrows: the option's one plus the line's two; the line's mark only on its diagram. The
        # blue arrow, too close to the blue board's dark squares, is opaque with an edge.
        self.assertEqual(first.count('fill-opacity="0.8"'), 2)
        edge = r'<path fill="none" stroke="#[0-9a-f]{6}" stroke-width="[\d.]+" d='
        self.assertEqual(len(re.findall(edge, first)), 1)
        self.assertEqual(first.count('fill-opacity="0.55"'), 1)
        self.assertEqual(second.count('fill-opacity="0.8"'), 0)
        self.assertEqual(len(re.findall(edge, second)), 1)
        self.assertIn("<title>" + ITALIAN + "</title>", first)
        self.assertEqual(re.findall(r'href="([^#])', first + second), [])
        if have("xmllint"):
            self.assertEqual(run_tool(["xmllint", "--noout", "--nonet", self.path("out/0001.svg")]), 0)

    def test_pdf_takes_every_line_as_a_page(self):
        lines = "\n".join([ITALIAN, "not a position", ENDING, ITALIAN]).encode() + b"\n"
        # The marker column widens a page of the diagram's own size.
        for page, size in ((None, "398 x 376 pts"), ("a4", "595.276 x 841.89 pts"),
                           ("letter", "612 x 792 pts")):
            with self.subTest(page=page):
                args = ["export", "pdf", "--marker", "-o", self.path("book.pdf")]
                result = run(args + (["--page", page] if page else []), lines)
                self.assertEqual(result.returncode, 1)
                self.assertIn(b"line 2: ", result.stderr)
                data = read(self.path("book.pdf"))
                self.assertTrue(data.startswith(b"%PDF-") and data.rstrip().endswith(b"%%EOF"))
                if have("pdfinfo"):
                    info = subprocess.run(["pdfinfo", self.path("book.pdf")],
                                          stdout=subprocess.PIPE, check=True).stdout.decode()
                    self.assertIn("Pages:           3", info)
                    self.assertIn(size, info)
                    self.assertIn("Title:           " + ITALIAN, info)
        self.assertEqual(os.listdir(self.dir), ["book.pdf"])  # no temporary file left

    def test_a_full_disk_leaves_no_file(self):
        """A write that fails half-way (a file-size limit) leaves neither the file nor a
        temporary one, and says why."""
        lines = ((ITALIAN + "\n") * 200).encode()
        # The second pdf row fails on the first page already (a page of 80 kB, more than
        # the output buffer's 64 kB: finely hatched squares of 1000 points).
        rows = (("pdf", "book.pdf", ["--square", "60"]),
                ("pdf", "book.pdf", ["--square", "1000", "--style", "print", "--dpi", "72"]),
                ("png", "pictures/", ["--square", "60"]))
        for fmt, out, size in rows:
            with self.subTest(fmt=fmt, size=size):
                result = run(["export", fmt, "-o", self.path(out)] + size, lines,
                             file_limit=20000)
                self.assertEqual(result.returncode, 1)
                self.assertIn("cannot create file " + self.path(out), result.stderr.decode())
                self.assertIn("File too large", result.stderr.decode())
                left = os.listdir(self.path(out)) if out.endswith("/") else os.listdir(self.dir)
                self.assertEqual(left, [])
                shutil.rmtree(self.path("pictures"), ignore_errors=True)

    def test_pdf_file_through_a_link_into_a_fifo_and_interrupted(self):
        # Through a symbolic link the named file is replaced and the link kept.
        with open(self.path("book.pdf"), "wb") as f:
            f.write(b"old")
        os.chmod(self.path("book.pdf"), 0o640)
        os.symlink("book.pdf", self.path("link.pdf"))
        result = run(["export", "pdf", "-o", self.path("link.pdf"), ITALIAN])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.islink(self.path("link.pdf")))
        self.assertEqual(read(self.path("book.pdf"))[:5], b"%PDF-")
        self.assertEqual(os.stat(self.path("book.pdf")).st_mode & 0o777, 0o640)
        # A FIFO (or a device) is written as a stream, never replaced by a regular file.
        os.mkfifo(self.path("pipe"))
        received = []
        reader = threading.Thread(
            target=lambda: received.append(open(self.path("pipe"), "rb").read()))
        reader.start()
        result = run(["export", "pdf", "-o", self.path("pipe"), ITALIAN])
        reader.join(10)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(received[0][:5], b"%PDF-")
        self.assertTrue(stat.S_ISFIFO(os.lstat(self.path("pipe")).st_mode))
        self.assertEqual(sorted(os.listdir(self.dir)), ["book.pdf", "link.pdf", "pipe"])
        # Interrupted while the pages stream in: the temporary file goes, the old file stays.
        for signal_number in (signal.SIGINT, signal.SIGTERM):
            process = subprocess.Popen([CLI, "export", "pdf", "-o", self.path("book.pdf")],
                                       stdin=subprocess.PIPE, stderr=subprocess.PIPE)
            process.stdin.write((ITALIAN + "\n").encode())
            process.stdin.flush()
            deadline = time.monotonic() + 10
            while len(os.listdir(self.dir)) == 3 and time.monotonic() < deadline:
                time.sleep(0.01)
            self.assertEqual(len(os.listdir(self.dir)), 4, "no temporary file seen")
            process.send_signal(signal_number)
            process.wait(10)
            process.stdin.close()
            process.stderr.close()
            self.assertEqual(process.returncode, -signal_number)
            self.assertEqual(sorted(os.listdir(self.dir)), ["book.pdf", "link.pdf", "pipe"])

    def test_bad_input_writes_nothing(self):
        usage, rejected = 2, 1
        cases = [
            (["png", "--arrows", "Ge2e9"], ITALIAN, usage, "bad arrow 'Ge2e9'"),
            (["svg", "--squares", "Yd5,Qf7"], ITALIAN, usage, "bad square 'Qf7'"),
            (["png", "--square", "7"], ITALIAN, usage, "square size 7 out of range 8-1000"),
            (["pdf", "--square", "1001"], ITALIAN, usage, "square size 1001 out of range 8-1000"),
            (["png", "--square", "big"], ITALIAN, usage, "--square needs a whole number"),
            (["png", "--dpi", "9600", "--square-mm", "30"], ITALIAN, usage,
             "square size 11339 out of range 8-1000"),
            (["png", "--square-mm", "10"], ITALIAN, usage, "--square-mm needs --dpi"),
            (["png", "--dpi", "-3"], ITALIAN, usage, "--dpi needs a positive number"),
            (["png", "--dpi", "0"], ITALIAN, usage, "--dpi needs a positive number"),
            (["svg", "--dpi", "0.5", "--square-mm", "9"], ITALIAN, usage,
             "resolution '0.5' out of range 1-10000"),
            (["png", "--dpi", "inf"], ITALIAN, usage, "resolution 'inf' out of range 1-10000"),
            (["pdf", "--dpi", "1e300"], ITALIAN, usage, "resolution '1e300' out of range"),
            (["png", "--square", "40", "--dpi", "100", "--square-mm", "9"], ITALIAN, usage,
             "--square and --square-mm exclude each other"),
            (["svg", "--arrows", "Z" * 120000], ITALIAN, usage, "bad arrow '" + "Z" * 60 + "\u2026'"),
            (["svg", "--style", "neon"], ITALIAN, usage, "unknown style 'neon'"),
            (["pdf", "--page", "a5"], ITALIAN, usage, "unknown page size 'a5'"),
            (["png", "--theme", "pink"], ITALIAN, usage, "unknown theme 'pink' (blue, brown, green, gray)"),
            (["png", "--frame", "bold"], ITALIAN, usage, "unknown frame 'bold' (classic, thin, none)"),
            (["svg", "--dark", "#12345"], ITALIAN, usage, "--dark needs a colour #RRGGBB, not '#12345'"),
            (["svg", "--background", "white"], ITALIAN, usage, "--background needs a colour"),
            (["bmp", "--theme", "brown"], ITALIAN, usage, "go with the png, svg and pdf formats only"),
            (["svg", "--page", "a4"], ITALIAN, usage, "--page goes with the pdf format only"),
            (["bmp", "--flip"], ITALIAN, usage, "go with the png, svg and pdf formats only"),
            (["svg"], ITALIAN + "\t[%csl Yz9]", rejected, "line 1: bad square 'Yz9'"),
            (["pdf"], "nonsense", rejected, "line 1: "),
            (["png", "--flip"], ITALIAN + "\t" + "[%cal Ge2e4]" * 6000, rejected,
             "line 1: annotation text after the TAB is too long"),
            (["pdf"], None, rejected, "no position given"),
        ]
        for args, line, status, message in cases:
            with self.subTest(args=args, line=line):
                out = self.path("d." + args[0])
                stdin = b"" if line is None else line.encode() + b"\n"
                result = run(["export", args[0], "-o", out] + args[1:], stdin)
                self.assertEqual(result.returncode, status, result.stderr)
                self.assertIn(message, result.stderr.decode().splitlines()[0])
                self.assertLess(len(result.stderr), 260)
                self.assertFalse(os.path.exists(out))
                self.assertEqual(os.listdir(self.dir), [])


def run_tool(args):
    return subprocess.run(args, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                          check=False).returncode


if __name__ == "__main__":
    unittest.main()
