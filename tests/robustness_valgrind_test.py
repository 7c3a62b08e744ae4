#!/usr/bin/env python3
"""pictog-cli under valgrind's memcheck over a batch of 1,000 lines.

normalize, validate, export html and export png each read the same batch: positions, lines the
parser rejects, bytes that are no text, and lines longer than the reader's buffer. Any memory
error or definite leak fails the test. Skipped (exit 77, with the reason) where valgrind is not
installed and in the sanitizer build, whose instrumented binary valgrind cannot run.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

CLI = os.path.abspath(os.environ.get("PICTOG_CLI", "pictog-cli"))
LINES = 1000
# pictog-cli itself exits with 1 when a line is rejected; valgrind's own failure gets its own code.
VALGRIND_ERROR = 99


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(77)


def batch():
    """1,000 lines, the same every run."""
    rng = random.Random(1000)
    pieces = "PNBRQKpnbrqk"
    lines = []
    for i in range(LINES):
        kind = i % 10
        if kind < 5:
            ranks = []
            for _ in range(8):
                rank, empty = "", 0
                for _ in range(8):
                    if rng.random() < 0.3:
                        rank += (str(empty) if empty else "") + rng.choice(pieces)
                        empty = 0
                    else:
                        empty += 1
                ranks.append(rank + (str(empty) if empty else ""))
            line = "/".join(ranks) + f" {rng.choice('wb')} {rng.choice(['-', 'KQkq', 'Kq'])}"
            line += f" {rng.choice(['-', 'e3', 'd6'])} {rng.randrange(120)} {rng.randrange(1200)}"
            lines.append(line.encode() + (b"\r" if kind == 4 else b""))
        elif kind == 5:
            lines.append(bytes(rng.randrange(1, 256) for _ in range(rng.randrange(1, 80)))
                         .replace(b"\n", b" "))
        elif kind == 6:
            lines.append(b"8/8/8/8\x00/8/8/8/8 w - - 0 1")
        elif kind == 7:
            lines.append(b"")
        elif kind == 8:
            lines.append(b"\xff\xfe\xc3(" + b"8/" * 8)
        else:
            # Longer than the 64 KiB read buffer: streamed through the reader byte by byte.
            lines.append(b"8/8/8/8/8/8/8/8 w - - 0 " + b"1" * (70 * 1024 + i))
    return b"\n".join(lines) + b"\n"


def memcheck(args, data, out_dir, lines=None):
    """Runs pictog-cli args under memcheck; true when clean (and, given lines, with that many
    output lines)."""
    command = ["valgrind", "--tool=memcheck", "--quiet", f"--error-exitcode={VALGRIND_ERROR}",
               "--leak-check=full", "--errors-for-leak-kinds=definite", CLI] + args
    done = subprocess.run(command, input=data, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                          cwd=out_dir, timeout=900, check=False)
    report = done.stderr.decode("latin-1")
    name = " ".join(args)
    if done.returncode == VALGRIND_ERROR or "== ERROR SUMMARY" in report:
        print(f"memcheck found errors in pictog-cli {name}:\n{report[-6000:]}")
        return False
    if done.returncode not in (0, 1):
        print(f"pictog-cli {name} exited with {done.returncode}:\n{report[-3000:]}")
        return False
    written = done.stdout.count(b"\n")
    if lines is not None and written != lines:
        print(f"pictog-cli {name} wrote {written} lines for {lines}")
        return False
    print(f"pictog-cli {name}: clean, exit {done.returncode}, {len(done.stdout)} bytes out")
    return True


def main():
    if os.environ.get("PICTOG_SANITIZED", "").upper() in ("1", "ON", "TRUE", "YES"):
        skip("sanitizer build: valgrind cannot run ASan-instrumented binaries "
             "(the normal build runs this test)")
    if shutil.which("valgrind") is None:
        skip("valgrind is not installed (scripts/install-deps installs it)")
    data = batch()
    with tempfile.TemporaryDirectory(prefix="pictog-valgrind-") as work:
        ok = True
        ok &= memcheck(["normalize"], data, work, LINES)
        ok &= memcheck(["validate"], data, work, LINES)
        ok &= memcheck(["export", "html"], data, work)
        # Pictures for the first 40 lines, through the encoder threads.
        head = b"\n".join(data.split(b"\n")[:40]) + b"\n"
        ok &= memcheck(["export", "png", "-o", os.path.join(work, "pictures") + "/"], head, work)
        pictures = os.path.join(work, "pictures")
        if not os.path.isdir(pictures) or not os.listdir(pictures):
            print("export png wrote no picture")
            ok = False
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
