#!/usr/bin/env python3
"""Black-box tests of `pictog-cli sheet`: the pages read back with pdfinfo and pdftotext (poppler),
the numbers and FEN lines of the text layer, solution pages where they were asked for, captions
wrapped at their size, and the usage errors.

The binary comes from the environment variable PICTOG_CLI.
"""
import os
import re
import subprocess
import tempfile
import unittest

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")

# Thirteen positions told apart by the white king's square (a1, b1, ... then a2, ...).


def king_line(i):
    """The black king on h8, the white king on square i counted from a1 along the ranks."""
    placement = ["7k", "8", "8", "8", "8", "8", "8", "8"]
    column = i % 8
    placement[7 - i // 8] = (str(column) if column else "") + "K" + (str(7 - column) if column < 7 else "")
    return "/".join(placement) + " w - - 0 1"


KINGS = [king_line(i) for i in range(13)]
MATE_IN_ONE = "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq - 0 1"
BLACK_WINS = "6k1/5ppp/8/8/8/8/r4PPP/1R4K1 b - - 0 1"


def run(args, data=b""):
    done = subprocess.run([CLI, "sheet"] + args, input=data, stdout=subprocess.PIPE,
                          stderr=subprocess.PIPE, timeout=60, check=False)
    return done.returncode, done.stderr.decode("utf-8")


def pages(pdf):
    info = subprocess.run(["pdfinfo", pdf], stdout=subprocess.PIPE, check=True).stdout.decode()
    return int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))


def page_one(pdf, dpi):
    """The first page as pdftoppm draws it: its RGB bytes."""
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["pdftoppm", "-r", str(dpi), "-l", "1", pdf, folder + "/p"], check=True)
        with open(os.path.join(folder, os.listdir(folder)[0]), "rb") as f:
            data = f.read()
    return data[re.match(rb"P6\s+\d+\s+\d+\s+255\s", data).end():]


def page_text(pdf, page):
    return subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), pdf, "-"],
                          stdout=subprocess.PIPE, check=True).stdout.decode("utf-8")


class SheetTest(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.TemporaryDirectory()
        self.addCleanup(self.work.cleanup)

    def path(self, name):
        return os.path.join(self.work.name, name)

    def make(self, lines, args):
        source = self.path("in.epd")
        with open(source, "w", encoding="utf-8") as f:
            f.write("".join(line + "\n" for line in lines))
        pdf = self.path("out.pdf")
        code, err = run(["-o", pdf, source] + args)
        self.assertEqual(code, 0, err)
        return pdf

    def test_numbers_and_fens_in_the_text_layer(self):
        # 13 diagrams, numbered from 5: 6 a page in 2x3 (pages 5-10, 11-16, 17), 12 in 3x4.
        rows = [([], 6), (["--grid", "3x4"], 12)]
        for args, per_page in rows:
            with self.subTest(args=args):
                pdf = self.make(KINGS, ["--start", "5", "--title", "Kings"] + args)
                self.assertEqual(pages(pdf), -(-13 // per_page))
                for i, fen in enumerate(KINGS):
                    text = page_text(pdf, i // per_page + 1)
                    self.assertIn(fen, text)
                    self.assertRegex(text, rf"(?m)^{i + 5}\b")
                self.assertIn("Kings", page_text(pdf, 1))
                self.assertNotIn("Kings", page_text(pdf, 2))
                with open(pdf, "rb") as f:
                    self.assertIn(b"/Outlines", f.read())

    def test_solution_pages_where_asked(self):
        lines = [f'{MATE_IN_ONE} id "Mate"; pv Qxf7#;'] * 7 + [f"{BLACK_WINS} pv Ra1 Rxa1;"]
        # 8 diagrams: 2 diagram pages; solution pages at the end (the default with pvs), after
        # each page, or none.
        rows = [([], ["d", "d", "s"]), (["--solutions", "page"], ["d", "s", "d", "s"]),
                (["--solutions", "none"], ["d", "d"])]
        for args, kinds in rows:
            with self.subTest(args=args):
                pdf = self.make(lines, args)
                self.assertEqual(pages(pdf), len(kinds))
                texts = [page_text(pdf, n + 1) for n in range(len(kinds))]
                self.assertEqual(["s" if "Solutions" in t else "d" for t in texts], kinds)
                solutions = "".join(t for t, k in zip(texts, kinds) if k == "s")
                if kinds.count("s"):
                    self.assertIn("1. Qxf7#", solutions)
                    self.assertIn("1... Ra1 2. Rxa1", solutions)
        # Without any pv or bm there are no solution pages.
        self.assertEqual(pages(self.make(KINGS[:3], [])), 1)
        pdf = self.make(lines, ["--prompt", "Mate in 1"])
        self.assertEqual(page_text(pdf, 1).count("Mate in 1"), 6)
        self.assertNotIn("White to play", page_text(pdf, 1))
        self.assertIn("Black to play", page_text(self.make(lines[-1:], []), 1))

    def test_captions_wrap_at_their_size(self):
        long = "word " * 60
        pdf = self.make([f'{KINGS[0]} id "Short";', f'{KINGS[1]} id "Long"; c0 "{long}";'], [])
        boxes = subprocess.run(["pdftotext", "-bbox", pdf, "-"], stdout=subprocess.PIPE,
                               check=True).stdout.decode()
        words = re.findall(r'yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)<', boxes)
        heights = {float(b) - float(a) for a, b, w in words if w in ("Short", "Long", "word")}
        # One size for every caption word (none shrunk), at least 7 points.
        self.assertEqual(len({round(h, 2) for h in heights}), 1)
        self.assertGreaterEqual(heights.pop(), 7)
        rows = {a for a, b, w in words if w.startswith("word") or w == "Long"}
        self.assertEqual(len(rows), 3)

    def test_turn_board_shows_the_side_to_move_at_the_bottom(self):
        # The file letters run h to a from left to right on a board seen from Black.
        rows = [([], KINGS[0], True), ([], BLACK_WINS, True), (["--turn-board"], KINGS[0], True),
                (["--turn-board"], BLACK_WINS, False)]
        for args, line, a_left in rows:
            with self.subTest(args=args, line=line):
                boxes = subprocess.run(["pdftotext", "-bbox", self.make([line], args), "-"],
                                       stdout=subprocess.PIPE, check=True).stdout.decode()
                x = {w: float(v) for v, w in re.findall(r'xMin="([\d.]+)"[^>]*>([ah])<', boxes)}
                self.assertEqual(x["a"] < x["h"], a_left)

    def test_folders_of_pages(self):
        lines = KINGS[:7]
        source = self.path("in.epd")
        with open(source, "w", encoding="utf-8") as f:
            f.write("".join(line + "\n" for line in lines))
        for fmt, extra in (("svg", []), ("png", ["--dpi", "50"])):
            folder = self.path(fmt) + "/"
            code, err = run(["-o", folder, "--format", fmt, source] + extra)
            self.assertEqual(code, 0, err)
            self.assertEqual(sorted(os.listdir(folder)), [f"page-001.{fmt}", f"page-002.{fmt}"])
        with open(self.path("png/page-001.png"), "rb") as f:
            header = f.read(24)
        # A4 at 50 dpi: 210 / 25.4 * 50 = 413.4 and 297 / 25.4 * 50 = 584.6 pixels.
        self.assertEqual((int.from_bytes(header[16:20], "big"), int.from_bytes(header[20:24], "big")),
                         (413, 585))

    def test_looks(self):
        marked = [f"{MATE_IN_ONE}\t[%cal Ge2e4,Rd1h5,Yg1f3,Bb1c3][%csl Ge4,Rd5,Yf3,Bc3]"]
        # Print and grey pages have no colour pixel (boards of any theme, arrows and marks of
        # every colour, texts); a colour page has.
        rows = [(["--style", "print", "--theme", "green"], False),
                (["--style", "gray", "--light", "#FFEE00", "--dark", "#CC0000"], False),
                (["--theme", "green"], True)]
        for args, coloured in rows:
            with self.subTest(args=args):
                rgb = page_one(self.make(marked, args), 50)
                self.assertEqual(any(rgb[i] != rgb[i + 1] or rgb[i] != rgb[i + 2]
                                     for i in range(0, len(rgb), 3)), coloured)
        # The gray theme's dark squares (#A0A0A0): without frame and coordinates the diagram is
        # all board, so its squares cover (376 / 304)^2 the area of the classic board's, whose
        # frame and coordinates take 36 of every 376 units on each side.
        areas = []
        for args in ([], ["--frame", "none", "--coords", "none"]):
            rgb = page_one(self.make(KINGS[:1], ["--theme", "gray"] + args), 40)
            areas.append(sum(abs(rgb[i] - 160) + abs(rgb[i + 1] - 160) + abs(rgb[i + 2] - 160) < 3
                             for i in range(0, len(rgb), 3)))
        self.assertAlmostEqual(areas[1] / areas[0], (376 / 304) ** 2, delta=0.12)

    def test_errors(self):
        pdf = self.path("x.pdf")
        rows = [
            (["--square-mm", "30", "-o", pdf], 2, "--square-mm 30 does not fit an A4 page: at most"),
            (["--grid", "9x9", "-o", pdf], 2, "--grid 9x9 does not fit an A4 page: at most"),
            (["--grid", "2y3", "-o", pdf], 2, "bad --grid value"),
            (["--solutions", "back", "-o", pdf], 2, "bad --solutions value"),
            ([], 2, "sheet needs -o"),
            (["-o", self.path("d") + "/", "--format", "pdf"], 2, "takes --format svg or png"),
            (["--background", "#FFFFFF", "-o", pdf], 2, "a sheet's page is white"),
            (["--style", "ink", "-o", pdf], 2, "unknown style 'ink'"),
            (["--frame", "heavy", "-o", pdf], 2, "unknown frame 'heavy'"),
            (["-o", pdf], 1, "line 2: "),
        ]
        for args, status, message in rows:
            with self.subTest(args=args):
                code, err = run(args, (KINGS[0] + "\nnot a position\n").encode())
                self.assertEqual(code, status, err)
                self.assertIn(message, err)
        # The good line was still drawn.
        self.assertEqual(pages(pdf), 1)


if __name__ == "__main__":
    unittest.main()
