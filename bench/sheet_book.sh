#!/usr/bin/env bash
# A book through `pictog-cli sheet`: 1,200 puzzles (200 pages of 2x3, plus 50 solution pages) and
# 6,000 (1,000 + 250 pages) into one PDF, with wall and CPU time and peak memory. The puzzles are
# twelve positions with ids, comments and solutions, repeated with numbered ids.
#   [RUNS=5] bench/sheet_book.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?usage: bench/sheet_book.sh BUILD_DIR}" && pwd)
cli=$build/bin/pictog-cli
work=$(mktemp -d /tmp/pictog-sheet-book-XXXXXX)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
puzzles = [
    ('r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq -', 'pv Qxf7#; c0 "Mate in one";'),
    ('6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -', 'pv Rd8#;'),
    ('r1b1k2r/ppppqppp/2n2n2/2b5/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w KQkq -',
     'c0 "A quiet developing move keeps the balance; castle first and watch the pin";'),
    ('5rk1/1b3ppp/8/2p5/8/1P4P1/PB3P1P/3R2K1 b - -', 'bm Bf3;'),
    ('6k1/pp4pp/8/8/8/8/PP3PPP/4R1K1 w - -', 'pv Re8+;'),
    ('r4rk1/ppp2ppp/8/8/8/8/PPP2PPP/R4RK1 b - -', ''),
    ('8/8/8/8/8/5k2/6q1/7K b - -', 'pv Qg6; c0 "Avoid stalemate";'),
    ('rnbqkbnr/ppppp2p/5p2/6p1/4P3/8/PPPP1PPP/RNBQKBNR w KQkq -', 'pv Qh5#;'),
    ('r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -', 'pv Qxf7#;'),
    ('6k1/5ppp/8/8/8/8/r4PPP/1R4K1 b - -', 'pv Ra1 Rxa1;'),
    ('7k/6pp/8/8/8/8/6PP/R6K w - -', 'pv Ra8#;'),
    ('3qk3/8/8/8/8/8/8/3QK3 w - -', 'c0 "Queens face each other on the d-file";'),
]
for count in (1200, 6000):
    with open(f"{work}/book-{count}.epd", "w") as f:
        for i in range(count):
            fen, ops = puzzles[i % len(puzzles)]
            f.write(f'{fen} id "Puzzle {i + 1}"; {ops}\n')
PY

# The 1,200-puzzle book RUNS times (default 5), the 6,000-puzzle one once: the median CPU time
# (user + system) and the largest peak RSS.
runs=${RUNS:-5}
for count in 1200 6000; do
    times=$runs
    [[ $count == 6000 ]] && times=1
    for ((run = 0; run < times; run++)); do
        /usr/bin/time -o "$work/time-$run" -f "%e %U %S %M" \
            "$cli" sheet --title "Book" -o "$work/book-$count.pdf" "$work/book-$count.epd"
    done
    cat "$work"/time-* | python3 -c '
import statistics, sys
rows = [line.split() for line in sys.stdin]
cpu = statistics.median(float(u) + float(s) for _, u, s, _ in rows)
wall = statistics.median(float(w) for w, _, _, _ in rows)
rss = max(int(m) for _, _, _, m in rows)
print(f"sheet, {sys.argv[1]} puzzles ({len(rows)} runs): median cpu {cpu:.2f} s, median wall {wall:.2f} s, peak RSS {rss} KiB")
' "$count"
    rm -f "$work"/time-*
    pdfinfo "$work/book-$count.pdf" | grep -E '^(Pages|File size)'
done
