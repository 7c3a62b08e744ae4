#!/usr/bin/env python3
"""Black-box tests of `pictog-cli positions` on small files whose positions are worked out by hand
(the Opera Game study, a puzzle file, an EPD file), and of the line commands reading its records.

The binary comes from the environment variable PICTOG_CLI.
"""
import os
import subprocess
import tempfile
import unittest

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")
DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data")
STUDY = os.path.join(DATA, "study.pgn")
PUZZLES = os.path.join(DATA, "puzzles.csv")
EPD = os.path.join(DATA, "puzzles.epd")

ID = 'id "Morphy, Paul \u2013 Duke Karl, Opening study 1858";'
START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
AFTER_E4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"
AFTER_NF3 = "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 2"
AFTER_QB3 = "rn1qkb1r/ppp2ppp/5n2/4p3/2B1P3/1Q6/PPP2PPP/RNB1K2R b KQkq - 3 7"
MATE = "1n1Rkb1r/p4ppp/4q3/4p1B1/4P3/8/PPP2PPP/2K5 b k - 1 17"
PUZZLE = "r6k/pp2r2p/4Rp1Q/3p4/8/1N1P2b1/PqP3PP/7K w - - 0 25"


def run(args, data=b""):
    done = subprocess.run([CLI] + args, input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=60, check=False)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


def read(path):
    with open(path, "rb") as f:
        return f.read()


class PositionsTest(unittest.TestCase):
    def check(self, args, lines, status=0, data=b"", errors=()):
        code, out, err = run(["positions"] + args, data)
        self.assertEqual(out.splitlines(), lines)
        self.assertEqual(code, status, err)
        self.assertEqual(err.splitlines(), list(errors))

    def test_game_selections(self):
        rows = [
            ([STUDY], [f"{MATE}\t{ID}"]),
            (["--commented", STUDY], [
                f'{START}\t{ID} c0 "The Opera Game."; [%csl Ge4]',
                f'{AFTER_NF3}\t{ID} c0 "The knight attacks e5."; [%cal Gf3e5]',
                f"{AFTER_QB3}\t{ID}"]),
            (["--at", "2w,ply:1,start", "--solution", "2", STUDY], [
                f'{START}\t{ID} c0 "The Opera Game."; pv e4 e5; [%csl Ge4]',
                f"{AFTER_E4}\t{ID} pv e5 Nf3;",
                f'{AFTER_NF3}\t{ID} c0 "The knight attacks e5."; pv d6 d4; [%cal Gf3e5]']),
            (["--at", "7b,17w,18w", "--solution", "1", STUDY], [
                "rn2kb1r/ppp1qppp/5n2/4p3/2B1P3/1Q6/PPP2PPP/RNB1K2R w KQkq - 4 8\t"
                + ID + " pv Nc3;",
                f"{MATE}\t{ID}"]),
        ]
        for args, lines in rows:
            with self.subTest(args=args):
                self.check(args, lines)
        code, out, _ = run(["positions", "--every", STUDY])
        self.assertEqual((code, len(out.splitlines())), (0, 34))

    def test_games_option_and_skipped_games(self):
        text = (b'[Event "a"]\n\n1. e4 e5 2. Ke3 1-0\n\n[Event "b"]\n\n1. e4 *\n\n'
                b'1. d4 {open\n\n1. e4 *\n')
        self.check(["--from", "pgn"], ['rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1'
                                       '\tid "b";'], 1, text,
                   ["pictog-cli: game 1 (line 3): illegal move 'Ke3': no king can reach e3",
                    "pictog-cli: game 3 (line 9): unclosed comment"])
        self.check(["--games", "2-3", "-"], [f'{AFTER_E4}\tid "b";'], 1, text,
                   ["pictog-cli: game 3 (line 9): unclosed comment"])
        self.check(["--games", "2"], [f'{AFTER_E4}\tid "b";'], 0, text)

    def test_puzzles_and_epd(self):
        code, _, _ = run(["positions", PUZZLES])
        self.check([PUZZLES], [f'{PUZZLE}\tid "00008"; pv Rxe7 Qb1+ Nc1 Qxc1+ Qxc1;'], 1,
                   errors=[f"pictog-cli: {PUZZLES}: line 3: Moves: illegal move 'e2e5': "
                           "the pawn on e2 cannot go to e5"])
        # Content, not the name, says what a file is: the same bytes on stdin.
        self.check(["--solution", "1"], [f'{PUZZLE}\tid "00008"; pv Rxe7;'], 1, read(PUZZLES),
                   ["pictog-cli: line 3: Moves: illegal move 'e2e5': the pawn on e2 cannot go to e5"])
        self.check([EPD], [
            "r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq - 0 1\t"
            'id "Scholar\'s \\"mate\\""; bm Qxf7#; c0 "Mate in one";',
            '8/8/8/8/8/8/8/K6k w - - 4 40\tid "bare"; c0 "a\\\\b";'], 1,
            errors=[f"pictog-cli: {EPD}: line 3: bm: illegal move 'Nf6': no knight can reach f6"])
        # A record line's arrows and marks come back as they went in (they once went missing),
        # as do operations typed before the TAB; a bad arrow or mark rejects its line.
        record = f'{MATE}\tid "x"; [%cal Gd8e8,Rg5d8][%csl Ye8]'
        mixed = MATE.replace(" 1 17", ' id "x";\t[%cal Gd8e8,Rg5d8][%csl Ye8]')
        data = f"{record}\n{MATE}\t[%csl Gz9]\n{mixed}\n"
        self.check([], [record, record.replace(" 1 17", " 0 1")], 1, data.encode(),
                   ["pictog-cli: line 2: bad square 'Gz9': expected an optional colour letter G, R, "
                    "Y or B and a square, e.g. Gd5"])

    def test_encodings_and_line_ends(self):
        latin1 = b'[White "M\xfcller"]\r[Black "?"]\r\r1. e4 {\xe9tude} *\r'
        self.check(["--commented"], [f'{AFTER_E4}\tid "M\u00fcller"; c0 "\u00e9tude";'], 0,
                   b"\xef\xbb\xbf" + latin1)

    def test_usage_errors(self):
        for args in (["--at", "0w"], ["--at", "middle"], ["--from", "xml"], ["--games", "3-1"],
                     ["--solution", "x"], ["--bogus"], ["--at"]):
            with self.subTest(args=args):
                code, out, err = run(["positions"] + args)
                self.assertEqual((code, out), (2, ""))
                self.assertIn("Try 'pictog-cli --help'", err)
        code, _, err = run(["positions", os.path.join(DATA, "missing.pgn")])
        self.assertEqual(code, 1)
        self.assertIn("cannot open", err)

    def test_line_commands_read_records(self):
        _, records, _ = run(["positions", "--every", STUDY])
        fens = [line.split("\t")[0] for line in records.splitlines()]
        code, out, err = run(["normalize"], records.encode())
        self.assertEqual((code, out.splitlines(), err), (0, fens, ""))
        code, out, _ = run(["validate"], records.encode())
        self.assertEqual(code, 0)
        self.assertEqual(out.splitlines(), ["ok\t" + fen for fen in fens])
        # A record transforms as its plain line does.
        plain = run(["transform", "mirror-vertical"], f"{MATE}\n".encode())
        self.assertEqual(run(["transform", "mirror-vertical"], f"{MATE}\t{ID}\n".encode()), plain)
        self.assertEqual(plain[0], 0)

    def test_export_reads_records(self):
        arrow = '[%cal Gf3e5]'
        record = f'{AFTER_NF3}\tid "Opera"; c0 "Knight [%cal Ge2e4] attacks";'
        with tempfile.TemporaryDirectory() as folder:
            def export(args, line):
                code, out, err = run(["export"] + args, (line + "\n").encode())
                return code, out, err

            # html: id and c0 as the first header and footer, unless the options give them.
            code, out, _ = export(["html"], record)
            self.assertEqual(code, 0)
            self.assertIn("Opera", out)
            self.assertIn("Knight [%cal Ge2e4] attacks", out)
            _, out, _ = export(["html", "--header1", "Mine"], record)
            self.assertIn("Mine", out)
            self.assertNotIn("Opera", out)
            # The counters before the TAB are read (they ran into the TAB before).
            self.assertEqual(export(["fen"], MATE.replace(" 1 17", " 3 23") + "\t" + ID)[1],
                             MATE.replace(" 1 17", " 3 23"))
            # svg: the record's arrow is drawn; the one quoted inside c0 is text, not an arrow.
            for name, line, arrows in [("a", record, 0), ("b", record + " " + arrow, 1)]:
                path = os.path.join(folder, name + ".svg")
                self.assertEqual(export(["svg", "-o", path], line)[0], 0)
                self.assertEqual(read(path).decode().count('fill-opacity="0.8"'), arrows)
            # png: captions alone keep the classic picture; arrows take the renderer.
            pictures = {}
            for name, line in [("plain", AFTER_NF3), ("captions", record),
                               ("arrow", record + " " + arrow)]:
                path = os.path.join(folder, name + ".png")
                self.assertEqual(export(["png", "-o", path], line)[0], 0)
                pictures[name] = read(path)
            self.assertEqual(pictures["captions"], pictures["plain"])
            self.assertNotEqual(pictures["arrow"], pictures["plain"])
            # bmp cannot show arrows: said on stderr, the picture still written.
            code, _, err = export(["bmp", "-o", os.path.join(folder, "x.bmp")], record + " " + arrow)
            self.assertEqual(code, 0)
            self.assertIn("line 1: warning: a bmp picture shows no arrows or marks", err)


if __name__ == "__main__":
    unittest.main()
