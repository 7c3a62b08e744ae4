#!/usr/bin/env python3
"""The preview page of the initial position in a real browser: headless Chromium must build a
10 x 10 board table and 32 piece images from it. Skipped (exit 77) without /usr/bin/chromium.
Binary path in PICTOG_CLI."""

import html.parser
import os
import re
import subprocess
import sys
import tempfile

CHROMIUM = "/usr/bin/chromium"
SKIP = 77
CLI = os.environ.get("PICTOG_CLI", "pictog-cli")
INITIAL = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -"


class TableShapes(html.parser.HTMLParser):
    """Collects, for every table of the rendered DOM, the cell count of each of its own rows,
    and the src of every image."""

    def __init__(self):
        super().__init__()
        self.tables = []  # finished tables: lists of row cell counts
        self.open = []  # open tables, innermost last
        self.images = []

    def handle_starttag(self, tag, attrs):
        if tag == "table":
            self.open.append([])
        elif tag == "tr" and self.open:
            self.open[-1].append(0)
        elif tag in ("td", "th") and self.open and self.open[-1]:
            self.open[-1][-1] += 1
        elif tag == "img":
            self.images.append(dict(attrs).get("src", ""))

    def handle_endtag(self, tag):
        if tag == "table" and self.open:
            self.tables.append(self.open.pop())


def main():
    if not os.path.exists(CHROMIUM):
        print("SKIP: %s is not installed (Debian package chromium); "
              "the preview page was not checked in a browser" % CHROMIUM)
        return SKIP

    with tempfile.TemporaryDirectory(prefix="pictog-browser-") as tmp:
        pieces = os.path.join(tmp, "chesspieces")
        os.mkdir(pieces)
        ini = os.path.join(tmp, "Pictog.ini")
        with open(ini, "w") as f:
            f.write("[HTML Settings]\nlocalImageBase=%s\n" % pieces)
        page = os.path.join(tmp, "Pictog.html")
        subprocess.run([CLI, "--ini", ini, "export", "html", "--preview", "-o", page, INITIAL],
                       check=True, timeout=60)

        result = subprocess.run(
            [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--user-data-dir=" + os.path.join(tmp, "profile"),
             "--dump-dom", "file://" + page],
            capture_output=True, timeout=120)
        if result.returncode != 0 or not result.stdout:
            sys.stderr.write(result.stderr.decode(errors="replace")[-4000:])
            print("FAIL: chromium exited with %d" % result.returncode)
            return 1

    shapes = TableShapes()
    shapes.feed(result.stdout.decode("utf-8", errors="replace"))
    boards = [rows for rows in shapes.tables if rows == [10] * 10]
    piece_image = re.compile(r"^file://%s/[wb][pnbrqk]1\.gif$" % re.escape(pieces))
    piece_images = [src for src in shapes.images if piece_image.match(src)]

    failures = []
    if len(boards) != 1:
        failures.append("expected one 10 x 10 table, found tables shaped %s" % shapes.tables)
    if len(piece_images) != 32:
        failures.append("expected 32 piece images, found %d of %s"
                        % (len(piece_images), shapes.images))
    for failure in failures:
        print("FAIL: " + failure)
    if not failures:
        print("ok: one 10 x 10 board table and 32 piece images")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
