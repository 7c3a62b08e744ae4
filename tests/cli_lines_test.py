#!/usr/bin/env python3
"""Black-box tests of pictog-cli's line commands (normalize, validate, transform).

The binary comes from the environment variable PICTOG_CLI. Lines are generated from a seeded
model of boards and panels, so each accepted line's built form and each rejected line's message
is known in advance; random garbage lines check the properties every output must have.
"""
import os
import random
import re
import resource
import subprocess
import unittest

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")

INVALID = " - Invalid character in EPD position description"
POSITION = "Error in EPD position description"
RANK = "Error in EPD rank description"
MOVE_RIGHT = "Error in EPD move right description"
EP_FIELD = "Error in EPD ep field description"
PARSER_MESSAGES = {POSITION, RANK, MOVE_RIGHT, EP_FIELD}

VALIDATION_MESSAGES = {
    "No white king on the board", "Too many white kings on the board",
    "No black king on the board", "Too many black kings on the board",
    "Too many white queens on the board", "Too many black queens on the board",
    "Too many white rooks on the board", "Too many black rooks on the board",
    "Too many white bishops on the board", "Too many black bishops on the board",
    "Too many white knights on the board", "Too many black knights on the board",
    "Too many white pawns on the board", "Too many black pawns on the board",
    "Too many white pieces on the board", "Too many black pieces on the board",
    "No white castling allowed", "No black castling allowed",
    "No white short castling allowed", "No white long castling allowed",
    "No black short castling allowed", "No black long castling allowed",
    "No white pawn(s) allowed at 8th rank", "No black pawn(s) allowed at 8th rank",
    "No black pawn(s) allowed at 1st rank", "No white pawn(s) allowed at 1st rank",
    "ep field invalid",
}

INITIAL = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"
EMPTY = "8/8/8/8/8/8/8/8"
BUILT_LINE = re.compile(
    r"^([1-8PNBRQKpnbrqk]{1,8}/){7}[1-8PNBRQKpnbrqk]{1,8} [wb] (-|K?Q?k?q?) (-|[a-h][36]) "
    r"(\d|[1-9]\d|100) ([1-9]\d{0,2})$")
EP_SQUARES = [f + r for f in "abcdefgh" for r in "36"]


def run(args, data=b""):
    """Runs pictog-cli with args and stdin data; returns (exit code, stdout, stderr) as bytes."""
    done = subprocess.run([CLI] + args, input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=120, check=False)
    return done.returncode, done.stdout, done.stderr


def lines_of(data):
    text = data.decode("latin-1")
    assert text == "" or text.endswith("\n"), repr(text[-40:])
    return text.split("\n")[:-1]


def placement(board):
    """The built placement of a board given as 64 characters, a8..h8 first, '.' empty."""
    ranks = []
    for rank in range(8):
        text, empty = "", 0
        for square in board[8 * rank:8 * rank + 8]:
            if square == ".":
                empty += 1
                continue
            if empty:
                text += str(empty)
                empty = 0
            text += square
        ranks.append(text + (str(empty) if empty else ""))
    return "/".join(ranks)


def loose_placement(rnd, board):
    """A placement the parser reads as the same board: runs of empty squares split into several
    digits, and slashes dropped or doubled up with their neighbours at random."""
    out = []
    for rank in range(8):
        empty = 0
        for square in board[8 * rank:8 * rank + 8] + "|":
            if square == ".":
                empty += 1
                continue
            while empty:
                part = rnd.randint(1, empty)
                out.append(str(part))
                empty -= part
            if square != "|":
                out.append(square)
        if rank < 7 and rnd.random() < 0.8:
            out.append("/")
    return "".join(out)


class Model:
    """A random board and panel with the line the program must build for them."""

    def __init__(self, rnd):
        density = rnd.choice([0, 5, 20, 40, 60, 100])
        self.board = "".join(rnd.choice("PNBRQKpnbrqk") if rnd.randint(1, 100) <= density else "."
                             for _ in range(64))
        self.side = rnd.choice("wb")
        self.castling = "".join(c for c in "KQkq" if rnd.random() < 0.5)
        self.ep = rnd.choice(["-"] * 4 + EP_SQUARES)
        self.half = rnd.randint(0, 100)
        self.move = rnd.randint(1, 999)

    def built(self, half=None, move=None):
        return " ".join([placement(self.board), self.side, self.castling or "-", self.ep,
                         str(self.half if half is None else half),
                         str(self.move if move is None else move)])

    def variant(self, rnd):
        """An input line in one of the forms users paste, and the line it must build."""
        kind = rnd.randrange(8)
        fields = [placement(self.board), self.side, self.castling or "-", self.ep,
                  str(self.half), str(self.move)]
        if kind == 0:
            return " ".join(fields[:4]), self.built(0, 1)
        if kind == 1:
            return fields[0], " ".join([fields[0], "w - - 0 1"])
        if kind == 2:
            letters = list(self.castling * rnd.randint(1, 2)) or ["-"]
            rnd.shuffle(letters)
            fields[1] = {"w": "white", "b": "black"}[self.side]
            fields[2] = "".join(letters)
            return " ".join(fields), self.built()
        if kind == 3:
            half, move = rnd.randint(101, 10 ** 6), rnd.randint(1000, 10 ** 6)
            return " ".join(fields[:4] + [str(half), str(move)]), self.built(100, 999)
        if kind == 4:
            return " ".join(fields[:4]) + f" \t{self.half}  {self.move}\t ", self.built()
        if kind == 5:
            return " ".join([loose_placement(rnd, self.board)] + fields[1:]), self.built()
        if kind == 6:
            return " ".join(fields[:4]) + " hmvc 3; fmvn 17;", self.built(0, 1)
        return " ".join(fields), self.built()


def malformed(rnd, model):
    """A line the parser rejects, with the message it must give."""
    fields = model.built().split(" ")
    kind = rnd.randrange(7)
    if kind == 0:
        spots = [i for i, c in enumerate(fields[0]) if c != "/"]
        i = rnd.choice(spots)
        bad = rnd.choice("0x9?.-#aZ+")
        return fields[0][:i] + bad + fields[0][i + 1:] + " w - - 0 1", bad + INVALID
    if kind == 1:
        return fields[0].rsplit("/", 1)[0] + " " + " ".join(fields[1:]), POSITION
    if kind == 2:
        return fields[0] + "p " + " ".join(fields[1:]), POSITION
    if kind == 3:
        return "3" + rnd.choice("PNBRQKpnbrqk") + "7" + fields[0].split("/", 1)[1], RANK
    if kind == 4:
        return " ".join([fields[0], rnd.choice(["W", "B", "x", "-", ""])] + fields[2:]), MOVE_RIGHT
    if kind == 5:
        return " ".join(fields[:3] + [rnd.choice(["E3", "e4", "i6", "e", "3e"])] + fields[4:]), EP_FIELD
    return "", POSITION


class LineCommands(unittest.TestCase):

    def test_generated_lines_one_to_one(self):
        rnd = random.Random(1234)
        inputs, expected, errors = [], [], []
        for number in range(1, 6001):
            model = Model(rnd)
            if rnd.random() < 0.25:
                line, message = malformed(rnd, model)
                expected.append("")
                errors.append(f"pictog-cli: line {number}: {message}")
            else:
                line, built = model.variant(rnd)
                expected.append(built)
            inputs.append(line + ("\r\n" if rnd.random() < 0.2 else "\n"))
        code, out, err = run(["normalize"], "".join(inputs).encode("latin-1"))
        self.assertEqual(code, 1)
        self.assertEqual(lines_of(out), expected)
        self.assertEqual(lines_of(err), errors)

    def test_accepted_lines_exit_zero_and_normalize_is_a_fixed_point(self):
        rnd = random.Random(99)
        built = [Model(rnd).built() for _ in range(3000)]
        data = ("\n".join(built) + "\n").encode()
        code, out, err = run(["normalize"], data)
        self.assertEqual((code, err), (0, b""))
        self.assertEqual(out, data)

    def test_garbage_lines_keep_the_output_in_step(self):
        rnd = random.Random(5)
        base = [Model(rnd).built() for _ in range(200)] + [INITIAL + " w KQkq -"]
        alphabet = list("PNBRQKpnbrqk12345678/ wbKQkq-abcdefgh3609x\t\r\x00") + ["\xc3\xa9", "\xe2\x82"]
        inputs = []
        for _ in range(5000):
            chars = list(rnd.choice(base))
            for _ in range(rnd.randint(0, 3)):
                pos = rnd.randint(0, len(chars))
                action = rnd.random()
                if action < 0.4 and chars:
                    del chars[min(pos, len(chars) - 1)]
                elif action < 0.8:
                    chars.insert(pos, rnd.choice(alphabet))
                else:
                    del chars[pos:]
            inputs.append("".join(chars))
        data = ("\n".join(inputs) + "\n").encode("latin-1")
        code, out, err = run(["normalize"], data)
        outputs = lines_of(out)
        self.assertEqual(len(outputs), len(inputs))
        reported = {}
        for line in err.decode("latin-1").split("\n")[:-1]:
            match = re.fullmatch(r"pictog-cli: line (\d+): (.*)", line, re.S)
            self.assertIsNotNone(match, line)
            reported[int(match.group(1))] = match.group(2)
        for number, (line, output) in enumerate(zip(inputs, outputs), 1):
            if output:
                self.assertRegex(output, BUILT_LINE, line)
                self.assertNotIn(number, reported)
            else:
                message = reported.get(number)
                self.assertTrue(message in PARSER_MESSAGES or message.endswith(INVALID), (line, message))
        self.assertEqual(code, 1 if reported else 0)
        accepted = [o for o in outputs if o]
        self.assertGreater(len(accepted), 500)
        self.assertGreater(len(reported), 500)
        again = ("\n".join(accepted) + "\n").encode()
        self.assertEqual(run(["normalize"], again), (0, again, b""))

    def test_crlf_and_last_line_without_line_feed(self):
        data = b"8/8/8/8/8/8/8/8\r\n" + INITIAL.encode() + b" b KQ - 3 4\r\n\r\n" + EMPTY.encode() + b"\r"
        code, out, err = run(["normalize"], data)
        self.assertEqual(code, 1)
        self.assertEqual(lines_of(out), [EMPTY + " w - - 0 1", INITIAL + " b KQ - 3 4", "",
                                         EMPTY + " w - - 0 1"])
        self.assertEqual(err, f"pictog-cli: line 3: {POSITION}\n".encode())
        # Only the CR at the end goes; one inside the placement is an invalid character.
        code, out, err = run(["normalize"], b"8/8/8/8\r/8/8/8/8\n")
        self.assertEqual((code, out), (1, b"\n"))
        self.assertEqual(err, ("pictog-cli: line 1: \\x0d" + INVALID + "\n").encode())

    def test_empty_input_and_empty_lines(self):
        self.assertEqual(run(["normalize"], b""), (0, b"", b""))
        code, out, err = run(["normalize"], b"\n\n")
        self.assertEqual((code, out), (1, b"\n\n"))
        self.assertEqual(lines_of(err), [f"pictog-cli: line {n}: {POSITION}" for n in (1, 2)])

    def test_unreadable_input_is_an_error(self):
        # A directory as stdin: read() fails, which must not pass for an empty, accepted input.
        folder = os.open(os.path.dirname(os.path.abspath(__file__)), os.O_RDONLY)
        try:
            for command in (["normalize"], ["validate"], ["transform", "rotate-left"]):
                done = subprocess.run([CLI] + command, stdin=folder, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE, timeout=60, check=False)
                self.assertEqual((done.returncode, done.stdout), (1, b""), command)
                self.assertEqual(done.stderr, b"pictog-cli: cannot read the input: Is a directory\n")
        finally:
            os.close(folder)

    def test_position_argument(self):
        self.assertEqual(run(["normalize", INITIAL + " w KQkq -"]),
                         (0, (INITIAL + " w KQkq - 0 1\n").encode(), b""))
        self.assertEqual(run(["normalize", EMPTY + " W"]),
                         (1, b"\n", f"pictog-cli: line 1: {MOVE_RIGHT}\n".encode()))
        # With an argument stdin is not read.
        self.assertEqual(run(["normalize", EMPTY], b"garbage\n"), (0, (EMPTY + " w - - 0 1\n").encode(), b""))
        # The argument is taken exactly: a CR at its end is part of the placement.
        self.assertEqual(run(["normalize", EMPTY + "\r"]),
                         (1, b"\n", ("pictog-cli: line 1: \\x0d" + INVALID + "\n").encode()))
        code, out, _ = run(["validate", INITIAL + " w KQkq -"])
        self.assertEqual((code, out), (0, ("ok\t" + INITIAL + " w KQkq - 0 1\n").encode()))

    def test_validate(self):
        cases = [
            (INITIAL + " w KQkq -", "ok", INITIAL + " w KQkq - 0 1"),
            (EMPTY, "No white king on the board", EMPTY + " w - - 0 1"),
            ("r3k2r/8/8/8/8/8/8/R2K3R b KQkq - 5 9", "No white castling allowed",
             "r3k2r/8/8/8/8/8/8/R2K3R b kq - 5 9"),
            ("4k3/8/8/8/8/8/8/R3K3 w KQ - 0 1", "No white short castling allowed",
             "4k3/8/8/8/8/8/8/R3K3 w Q - 0 1"),
            ("4k3/8/8/8/4P3/8/8/4K3 b - e6 0 1", "ep field invalid", "4k3/8/8/8/4P3/8/8/4K3 b - - 0 1"),
            ("4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1", "ok", "4k3/8/8/8/4P3/8/8/4K3 b - e3 0 1"),
        ]
        for line, result, after in cases:
            code, out, err = run(["validate", line])
            self.assertEqual((code, out, err), (0 if result == "ok" else 1, f"{result}\t{after}\n".encode(), b""))
        data = "".join(line + "\n" for line, _, _ in cases) + "x\n"
        code, out, err = run(["validate"], data.encode())
        self.assertEqual(code, 1)
        self.assertEqual(lines_of(out), [f"{r}\t{a}" for _, r, a in cases] + [""])
        self.assertEqual(err, ("pictog-cli: line 7: x" + INVALID + "\n").encode())
        valid = "".join(line + "\n" for line, result, _ in cases if result == "ok")
        self.assertEqual(run(["validate"], valid.encode())[0], 0)

    def test_validate_keeps_what_it_does_not_correct(self):
        rnd = random.Random(77)
        built = [Model(rnd).built() for _ in range(3000)]
        code, out, err = run(["validate"], ("\n".join(built) + "\n").encode())
        self.assertEqual((code, err), (1, b""))
        results = lines_of(out)
        self.assertEqual(len(results), len(built))
        for line, output in zip(built, results):
            result, after = output.split("\t")
            self.assertIn(result, VALIDATION_MESSAGES | {"ok"})
            before, corrected = line.split(" "), after.split(" ")
            # Board, side to move and counters never change; castling can only lose letters.
            self.assertEqual([before[i] for i in (0, 1, 4, 5)], [corrected[i] for i in (0, 1, 4, 5)])
            self.assertTrue(set(corrected[2]) <= set(before[2]) | {"-"}, (line, after))
            if result == "ok":
                self.assertEqual(after, line)
            if result == "ep field invalid":
                self.assertEqual(corrected[3], "-")

    def test_transform(self):
        table = {
            "rotate-left": "rp4PR/np4PN/bp4PB/kp4PK/qp4PQ/bp4PB/np4PN/rp4PR",
            "rotate-right": "RP4pr/NP4pn/BP4pb/QP4pq/KP4pk/BP4pb/NP4pn/RP4pr",
            "switch-color": INITIAL,
            "mirror-horizontal": "RNBQKBNR/PPPPPPPP/8/8/8/8/pppppppp/rnbqkbnr",
            "mirror-vertical": "rnbkqbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBKQBNR",
            "mirror-left-diagonal": "RP4pr/NP4pn/BP4pb/KP4pk/QP4pq/BP4pb/NP4pn/RP4pr",
            "mirror-right-diagonal": "rp4PR/np4PN/bp4PB/qp4PQ/kp4PK/bp4PB/np4PN/rp4PR",
        }
        for name, expected in table.items():
            self.assertEqual(run(["transform", name, INITIAL + " b KQkq e3 7 9"]),
                             (0, f"{expected} w - - 0 1\n".encode(), b""))
        code, out, err = run(["transform", "rotate-left"], b"x\n" + INITIAL.encode() + b"\n")
        self.assertEqual((code, lines_of(out)), (1, ["", table["rotate-left"] + " w - - 0 1"]))
        self.assertEqual(err, ("pictog-cli: line 1: x" + INVALID + "\n").encode())

    def test_transform_twice_gives_the_board_back(self):
        rnd = random.Random(3)
        models = [Model(rnd) for _ in range(2000)]
        data = ("\n".join(m.built() for m in models) + "\n").encode()
        reset = [placement(m.board) + " w - - 0 1" for m in models]
        pairs = [("rotate-left", "rotate-right"), ("rotate-right", "rotate-left")] + [
            (name, name) for name in ("switch-color", "mirror-horizontal", "mirror-vertical",
                                      "mirror-left-diagonal", "mirror-right-diagonal")]
        for first, second in pairs:
            code, once, _ = run(["transform", first], data)
            self.assertEqual(code, 0)
            code, twice, _ = run(["transform", second], once)
            self.assertEqual((code, lines_of(twice)), (0, reset), (first, second))

    def test_usage(self):
        code, out, err = run(["--help"])
        self.assertEqual((code, err), (0, b""))
        self.assertIn(b"usage: pictog-cli", out)
        for command in (b"normalize", b"validate", b"transform NAME"):
            self.assertIn(command, out)
        # The usage also after a command, wherever its options stand, and -h alike.
        for args in (["-h"], ["normalize", "--help"], ["validate", EMPTY, "-h"],
                     ["transform", "--help"], ["transform", "rotate-left", "--help"],
                     ["export", "--help"], ["export", "png", "-o", "x.png", "-h"]):
            self.assertEqual(run(args, b"8/8/8/8/8/8/8/8\n"), (0, out, b""), args)
        self.assertEqual(run(["--version"]), (0, b"pictog-cli 1.01\n", b""))
        # A usage error is its own line and a pointer to --help; quoted bytes that could steer
        # a terminal are escaped.
        bad = [
            (["frobnicate"], "unknown command frobnicate"),
            (["--frob", "normalize"], "unknown option --frob"),
            (["normalize", "--frob"], "unknown option --frob"),
            ([], "no command given"),
            (["normalize", EMPTY, EMPTY], "too many arguments"),
            (["transform"], "transform needs a transformation name"),
            (["transform", "spin", EMPTY], "unknown transformation spin"),
            (["\x1b[2Jx\x07"], "unknown command \\x1b[2Jx\\x07"),
            (["export", "fen", "--\x1b]0;t\x07"], "unknown option --\\x1b]0;t\\x07"),
            (["export", "fen", "-\u009b2J"], "unknown option -\\xc2\\x9b2J"),
            (["frob\x7f"], "unknown command frob\\x7f"),
            ([b"frob\x9b2J"], "unknown command frob\\x9b2J"),  # a lone C1 byte
            (["x" * 120000], "unknown command " + "x" * 60 + "\u2026"),
        ]
        for args, message in bad:
            code, stdout, stderr = run(args, b"8/8/8/8/8/8/8/8\n")
            self.assertEqual((code, stdout), (2, b""), args)
            self.assertEqual(stderr.decode("utf-8", "surrogateescape"),
                             f"pictog-cli: {message}\nTry 'pictog-cli --help'.\n")
        # Tabs around the move counters are trimmed like spaces.
        self.assertEqual(run(["normalize"], (EMPTY + " b - - \t3 9\t\n").encode()),
                         (0, (EMPTY + " b - - 3 9\n").encode(), b""))
        # A rejected line quoting an escape sequence shows it escaped.
        code, _, err = run(["normalize"], b"8/8/\x1b[31m/8\n")
        self.assertEqual(err, b"pictog-cli: line 1: \\x1b" + INVALID.encode() + b"\n")

    def test_very_long_line_in_constant_memory(self):
        """A 100 MB line streamed into stdin is read through and rejected, the line after it is
        read normally, and the process stays small."""
        chunk = b"p" * (1 << 20)
        process = subprocess.Popen([CLI, "normalize"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        for _ in range(100):
            process.stdin.write(chunk)
        # A second long line that is accepted: its move number is far too long to be a number.
        process.stdin.write(b"\n" + EMPTY.encode() + b" b - - 7 ")
        digits = b"9" * (1 << 20)
        for _ in range(20):
            process.stdin.write(digits)
        process.stdin.write(b"\n" + INITIAL.encode() + b"\n")
        out, err = process.communicate(timeout=120)
        self.assertEqual(process.returncode, 1)
        self.assertEqual(lines_of(out), ["", EMPTY + " b - - 7 1", INITIAL + " w - - 0 1"])
        self.assertEqual(err, f"pictog-cli: line 1: {POSITION}\n".encode())
        peak_kib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        self.assertLess(peak_kib, 50 * 1024)


if __name__ == "__main__":
    unittest.main(verbosity=2)
