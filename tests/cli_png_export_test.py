#!/usr/bin/env python3
"""Black-box tests of `pictog-cli export png|bmp`: the files are read back with Python's own
zlib and struct, independently of the program's encoders."""

import os
import pty
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import threading
import unittest
import zlib

CLI = os.environ.get("PICTOG_CLI", "pictog-cli")

INITIAL = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"
POSITIONS = [
    INITIAL,
    "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4",
    "8/8/8/8/8/8/8/8 w - - 0 1",
    "4k3/P7/8/8/8/8/7p/4K3 b - - 0 60",
]


def run(args, stdin=None, stderr=subprocess.PIPE):
    return subprocess.run([CLI] + args, input=stdin, stdout=subprocess.PIPE, stderr=stderr,
                          check=False, timeout=60)


def first_difference(a, b):
    """None when the two (width, height, rows) pictures are equal, else where they first differ:
    a short text, so that a wrong picture fails at once instead of in a diff of 100,000 pixels."""
    if a[:2] != b[:2]:
        return "size %s != %s" % (a[:2], b[:2])
    for y, (row_a, row_b) in enumerate(zip(a[2], b[2])):
        for x, (p, q) in enumerate(zip(row_a, row_b)):
            if p != q:
                return "pixel (%d, %d): %s != %s" % (x, y, p, q)
    return None


def read_chunks(data):
    """The (type, payload) chunks of a PNG file, checking signature, lengths and CRCs."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "signature"
    chunks = []
    at = 8
    while at < len(data):
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        payload = data[at + 8:at + 8 + length]
        assert len(payload) == length, "truncated chunk"
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert crc == zlib.crc32(kind + payload), "CRC of " + kind.decode()
        chunks.append((kind.decode(), payload))
        at += 12 + length
    return chunks


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png(data):
    """Width, height, the filter types used and the rows of (r, g, b) of an RGB PNG."""
    chunks = read_chunks(data)
    width, height, depth, colour, compression, filtering, interlace = struct.unpack(
        ">IIBBBBB", chunks[0][1])
    assert (depth, colour, compression, filtering, interlace) == (8, 2, 0, 0, 0)
    raw = zlib.decompress(b"".join(p for k, p in chunks if k == "IDAT"))
    stride = 3 * width
    assert len(raw) == height * (stride + 1)
    rows, filters, previous = [], set(), bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        filters.add(kind)
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            upleft = previous[i - 3] if i >= 3 else 0
            predictor = [0, left, up, (left + up) // 2, paeth(left, up, upleft)][kind]
            line[i] = (line[i] + predictor) & 0xFF
        rows.append([tuple(line[3 * x:3 * x + 3]) for x in range(width)])
        previous = line
    return width, height, filters, rows


def decode_bmp(data):
    """Width, height and the rows, top first, of a 24-bit uncompressed BMP."""
    assert data[:2] == b"BM"
    size, offset = struct.unpack("<I4xI", data[2:14])
    assert size == len(data)
    header, width, height, planes, bits, compression = struct.unpack("<IiiHHI", data[14:34])
    assert (header, planes, bits, compression) == (40, 1, 24, 0)
    assert height > 0, "bottom-up rows"
    stride = (3 * width + 3) // 4 * 4
    assert offset + stride * height == len(data)
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        line = data[start:start + stride]
        assert all(b == 0 for b in line[3 * width:]), "padding"
        rows.append([(line[3 * x + 2], line[3 * x + 1], line[3 * x]) for x in range(width)])
    return width, height, rows


class ImageExport(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.folder = self.dir.name

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name):
        return os.path.join(self.folder, name)

    def ini(self, text):
        with open(self.path("Pictog.ini"), "w") as f:
            f.write(text)
        return ["--ini", self.path("Pictog.ini")]

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def test_png_is_a_plain_rgb_stream_with_full_idat_chunks(self):
        result = run(["export", "png", "-o", self.path("a.png"), INITIAL])
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(result.stdout, b"")
        self.assertEqual(result.stderr, b"")
        chunks = read_chunks(self.read("a.png"))
        kinds = [k for k, _ in chunks]
        self.assertEqual(kinds[0], "IHDR")
        self.assertEqual(kinds[-1], "IEND")
        self.assertEqual(set(kinds[1:-1]), {"IDAT"})
        sizes = [len(p) for k, p in chunks if k == "IDAT"]
        self.assertTrue(all(s == 65535 for s in sizes[:-1]) and 0 < sizes[-1] <= 65535)
        width, height, filters, _ = decode_png(self.read("a.png"))
        self.assertEqual((width, height), (376, 376))
        self.assertEqual(filters, {1})
        # libpng's own check, where its tools are installed.
        if shutil.which("pngfix"):
            check = subprocess.run(["pngfix", self.path("a.png")], capture_output=True, check=False)
            self.assertEqual(check.returncode, 0, check.stdout + check.stderr)

    def test_png_and_bmp_hold_the_same_pixels(self):
        lines = "\n".join(POSITIONS) + "\n"
        for fmt in ("png", "bmp"):
            result = run(["export", fmt, "-o", self.path(fmt) + "/"], stdin=lines.encode())
            self.assertEqual(result.returncode, 0, result.stderr)
        for n in range(1, len(POSITIONS) + 1):
            width, height, _, png_rows = decode_png(self.read("png/%04d.png" % n))
            bmp = decode_bmp(self.read("bmp/%04d.bmp" % n))
            self.assertIsNone(first_difference((width, height, png_rows), bmp), "position %d" % n)
        # Different positions give different pictures.
        self.assertNotEqual(self.read("png/0001.png"), self.read("png/0003.png"))

    def test_switches_and_colours_from_the_settings(self):
        cases = [("1", "1", 376, 36), ("1", "0", 336, 16), ("0", "1", 368, 32), ("0", "0", 308, 2)]
        for border, coordinates, side, margin in cases:
            args = self.ini("[Diagram Layout]\nshowBorder=%s\ncoordinates=%s\n"
                            "[HTML Settings]\ncolorDiagramBackground=#123456\n"
                            "colorLightSquares=#FFEEDD\ncolorDarkSquares=#102030\n"
                            % (border, coordinates))
            result = run(args + ["export", "png", "-o", self.path("p.png"), INITIAL])
            self.assertEqual(result.returncode, 0, result.stderr)
            width, height, _, rows = decode_png(self.read("p.png"))
            self.assertEqual((width, height), (side, side))
            inner = 4 if border == "1" else 0
            self.assertEqual(rows[inner][inner], (0x12, 0x34, 0x56))
            self.assertEqual(rows[margin - 1][margin + 100], (0, 0, 0), "frame")
            if border == "1":
                self.assertEqual(rows[side // 2][0], (0, 0, 0), "border")
            # a8 is light, its corner at (margin, margin); a1 dark.
            self.assertEqual(rows[margin + 1][margin + 1], (0xFF, 0xEE, 0xDD))
            self.assertEqual(rows[margin + 7 * 38 + 1][margin + 1], (0x10, 0x20, 0x30))

    def test_invalid_background_colour_gives_black(self):
        args = self.ini("[HTML Settings]\ncolorDiagramBackground=grey\n")
        result = run(args + ["export", "bmp", "-o", self.path("b.bmp"), INITIAL])
        self.assertEqual(result.returncode, 0, result.stderr)
        _, _, rows = decode_bmp(self.read("b.bmp"))
        margin_pixels = {rows[y][x] for y in range(376) for x in range(376)
                         if not (36 <= x < 340 and 36 <= y < 340)}
        self.assertEqual(margin_pixels, {(0, 0, 0)})

    def test_rejected_lines_are_reported_and_their_numbers_skipped(self):
        lines = INITIAL + "\n8/8/8/x/8/8/8/8 w - - 0 1\n\n" + POSITIONS[1] + "\n"
        result = run(["export", "png", "-o", self.path("out") + "/"], stdin=lines.encode())
        self.assertEqual(result.returncode, 1)
        self.assertEqual(sorted(os.listdir(self.path("out"))), ["0001.png", "0004.png"])
        message = result.stderr.decode()
        self.assertIn("pictog-cli: line 2: ", message)
        self.assertIn("pictog-cli: line 3: Error in EPD position description", message)
        self.assertNotIn("line 1:", message)

    def test_reports_keep_the_input_order_in_a_large_batch(self):
        lines = []
        for n in range(1, 121):
            lines.append(POSITIONS[n % len(POSITIONS)] if n % 3 else "8/8/8/8/8/8/8/%d w" % n)
        result = run(["export", "png", "-o", self.path("many") + "/"],
                     stdin=("\n".join(lines) + "\n").encode())
        self.assertEqual(result.returncode, 1)
        reported = [int(line.split(b":")[1].split()[1]) for line in result.stderr.splitlines()]
        self.assertEqual(reported, list(range(3, 121, 3)))
        written = sorted(os.listdir(self.path("many")))
        self.assertEqual(written, ["%04d.png" % n for n in range(1, 121) if n % 3])
        self.assertEqual(self.read("many/0001.png"), self.read("many/0005.png"))

    def test_one_file_takes_one_position(self):
        lines = (POSITIONS[1] + "\n" + INITIAL + "\n").encode()
        result = run(["export", "png", "-o", self.path("one.png")], stdin=lines)
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"pictog-cli: line 2: one picture per file", result.stderr)
        alone = run(["export", "png", "-o", self.path("alone.png"), POSITIONS[1]])
        self.assertEqual(alone.returncode, 0)
        self.assertEqual(self.read("one.png"), self.read("alone.png"))
        single = run(["export", "png", "-o", self.path("single.png")], stdin=(INITIAL + "\n").encode())
        self.assertEqual(single.returncode, 0, single.stderr)

    def test_usage_errors(self):
        for args in (["export", "png", INITIAL], ["export", "bmp"]):
            result = run(args, stdin=b"")
            self.assertEqual(result.returncode, 2, args)
            self.assertIn(b"needs -o FILE or -o DIR/", result.stderr)
            self.assertEqual(result.stdout, b"")

    def test_write_failure_reports_the_error_text(self):
        target = self.path("missing/sub/a.png")
        result = run(["export", "png", "-o", target, INITIAL])
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"No such file or directory", result.stderr)
        self.assertFalse(os.path.exists(self.path("missing")))
        # A failed write keeps the old file and leaves no temporary beside it.
        os.mkdir(self.path("keep"))
        with open(self.path("keep/a.png"), "wb") as f:
            f.write(b"old")
        os.mkdir(self.path("keep/b.png"))
        result = run(["export", "png", "-o", self.path("keep/b.png"), INITIAL])
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"Is a directory", result.stderr)
        self.assertEqual(sorted(os.listdir(self.path("keep"))), ["a.png", "b.png"])
        # A FIFO (or a device: think of "-o /dev/null" run as root) is written as a stream and
        # never renamed over.
        os.mkfifo(self.path("keep/fifo"))
        received = []
        reader = threading.Thread(
            target=lambda: received.append(open(self.path("keep/fifo"), "rb").read()))
        reader.start()
        result = run(["export", "png", "-o", self.path("keep/fifo"), INITIAL])
        reader.join(10)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(received[0][:8], b"\x89PNG\r\n\x1a\n")
        self.assertTrue(stat.S_ISFIFO(os.lstat(self.path("keep/fifo")).st_mode))
        self.assertEqual(sorted(os.listdir(self.path("keep"))), ["a.png", "b.png", "fifo"])

    def test_progress_only_on_a_terminal(self):
        lines = ("\n".join(POSITIONS * 3) + "\n").encode()
        quiet = run(["export", "png", "-o", self.path("q") + "/"], stdin=lines)
        self.assertEqual(quiet.returncode, 0)
        self.assertEqual(quiet.stderr, b"")
        # Read the terminal while the program runs, so it never waits for room to write.
        main, secondary = pty.openpty()
        process = subprocess.Popen([CLI, "export", "png", "-o", self.path("t") + "/"],
                                   stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                   stderr=secondary)
        os.close(secondary)
        process.stdin.write(lines)
        process.stdin.close()
        text = b""
        while True:
            try:
                part = os.read(main, 4096)
            except OSError:  # the program closed the terminal
                break
            if not part:
                break
            text += part
        os.close(main)
        self.assertEqual(process.wait(), 0)
        self.assertIn(b"12 pictures", text)
        self.assertIn(b"/s", text)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
