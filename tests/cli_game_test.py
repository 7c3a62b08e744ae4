#!/usr/bin/env python3
"""Black-box tests of pictog-cli's moves and perft commands.

The expected outputs are worked out by hand or are published perft counts.
"""
import os
import subprocess
import unittest

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")

PROMOTION = "4k3/1P6/8/8/8/8/8/4K3 w - - 0 1"
CASTLING = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"


def run(args):
    done = subprocess.run([CLI] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          timeout=120, check=False)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


# (arguments, exit code, stdout, stderr)
CASES = [
    (["moves", PROMOTION], 0,
     "Kd1\nKd2\nKe2\nKf1\nKf2\nb8=B\nb8=N\nb8=Q+\nb8=R+\n", ""),
    (["moves", "--uci", PROMOTION], 0,
     "b7b8b\nb7b8n\nb7b8q\nb7b8r\ne1d1\ne1d2\ne1e2\ne1f1\ne1f2\n", ""),
    (["moves", "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1"], 0, "", ""),
    # Qe8 and Qf8 mate (g8 covered by the queen, g7/h7 by the king); Qf6+ leaves g8.
    (["moves", "7k/5Q2/6K1/8/8/8/8/8 w - - 0 1"], 0,
     "Kf5\nKf6\nKg5\nKh5\nKh6\nQa2\nQa7\nQb3\nQb7\nQc4\nQc7\nQd5\nQd7\nQe6\nQe7\nQe8#\nQf1\n"
     "Qf2\nQf3\nQf4\nQf5\nQf6+\nQf8#\nQg7#\nQg8+\nQh7#\n", ""),
    (["perft", "0"], 0, "1\n", ""),
    (["perft", "4"], 0, "197281\n", ""),
    (["perft", "3", CASTLING], 0, "13744\n", ""),
    (["perft", "--divide", "1", PROMOTION], 0,
     "b7b8b: 1\nb7b8n: 1\nb7b8q: 1\nb7b8r: 1\ne1d1: 1\ne1d2: 1\ne1e2: 1\ne1f1: 1\ne1f2: 1\n9\n", ""),
    # Two white kings: each of their six moves leaves Black's king its three.
    (["perft", "2", "--divide", "7k/8/8/8/8/8/8/K6K w - - 0 1"], 0,
     "a1a2: 3\na1b1: 3\na1b2: 3\nh1g1: 3\nh1g2: 3\nh1h2: 3\n18\n", ""),
    (["moves", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w"], 1, "",
     "pictog-cli: line 1: X - Invalid character in EPD position description\n"),
    (["perft", "2", "8/8/8 w"], 1, "", "pictog-cli: line 1: Error in EPD position description\n"),
    (["moves"], 2, "", "pictog-cli: moves needs a position\nTry 'pictog-cli --help'.\n"),
    (["moves", "--san", PROMOTION], 2, "",
     "pictog-cli: unknown option --san\nTry 'pictog-cli --help'.\n"),
    (["perft"], 2, "", "pictog-cli: perft needs a depth\nTry 'pictog-cli --help'.\n"),
    (["perft", "-1"], 2, "", "pictog-cli: unknown option -1\nTry 'pictog-cli --help'.\n"),
    (["perft", "21"], 2, "", "pictog-cli: bad depth 21 (0-20)\nTry 'pictog-cli --help'.\n"),
    (["perft", "3x"], 2, "", "pictog-cli: bad depth 3x (0-20)\nTry 'pictog-cli --help'.\n"),
    (["perft", "1", PROMOTION, "extra"], 2, "",
     "pictog-cli: too many arguments\nTry 'pictog-cli --help'.\n"),
]


class GameCommands(unittest.TestCase):
    def test_cases(self):
        for args, code, out, err in CASES:
            with self.subTest(args=args):
                self.assertEqual(run(args), (code, out, err))


if __name__ == "__main__":
    unittest.main()
