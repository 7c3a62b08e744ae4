#!/usr/bin/env bash
# Timed batches of the scalable diagram through pictog-cli, beside rsvg-convert turning the same
# diagrams' SVG files into PNG files of the same size, and the peak memory of a 10,000-line
# batch. The positions are random placements (a piece on about a third of the squares) from a
# fixed seed, with two arrows and two marks per diagram.
#   bench/render_batch.sh BUILD_DIR [LINES]
set -euo pipefail
build=$(cd "${1:?usage: bench/render_batch.sh BUILD_DIR [LINES]}" && pwd)
lines=${2:-1000}
cli=$build/bin/pictog-cli
work=$(mktemp -d /tmp/pictog-render-batch-XXXXXX)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$lines" <<'PY'
import random, sys
work, lines = sys.argv[1], int(sys.argv[2])
rng = random.Random(20240601)
def fen():
    rows = []
    for _ in range(8):
        row, empty = "", 0
        for _ in range(8):
            if rng.random() < 1 / 3:
                if empty:
                    row += str(empty)
                    empty = 0
                row += rng.choice("PNBRQKpnbrqk")
            else:
                empty += 1
        rows.append(row + (str(empty) if empty else ""))
    return "/".join(rows) + " " + rng.choice("wb") + " - - 0 1"
for count in (lines, 10000):
    with open(f"{work}/fen-{count}.txt", "w") as f:
        for _ in range(count):
            f.write(fen() + "\t[%cal Ge2e4,Rd1d8][%csl Yd5,Rf7]\n")
PY

seconds() { /usr/bin/time -f '%e %U %S %M' "$@" 2>&1 >/dev/null | tail -1; }
report() { # name count "wall user sys maxrss"
    read -r wall user sys rss <<<"$3"
    awk -v n="$1" -v c="$2" -v w="$wall" -v u="$user" -v s="$sys" -v r="$rss" 'BEGIN {
        cpu = u + s; printf "%-38s %6d  wall %7.2f s  cpu %7.2f s  %8.0f /s wall  %8.0f /s cpu  %6.1f ms cpu each  peak RSS %d KiB\n",
            n, c, w, cpu, c / w, c / cpu, 1000 * cpu / c, r }'
}

input=$work/fen-$lines.txt
report "export svg -o DIR/" "$lines" "$(seconds "$cli" export svg -o "$work/svg/" <"$input")"
report "export pdf -o FILE (one document)" "$lines" "$(seconds "$cli" export pdf -o "$work/all.pdf" <"$input")"
report "export png --square 76 -o DIR/" "$lines" "$(seconds "$cli" export png --square 76 -o "$work/png/" <"$input")"

# rsvg-convert on the SVG files of the first 100 diagrams at 76-pixel squares, one process per
# file as a script would run it, giving PNG files of the same size as pictog-cli's.
count=$(( lines < 100 ? lines : 100 ))
head -n "$count" "$input" | "$cli" export svg --square 76 -o "$work/svg76/"
ls "$work/svg76" >"$work/svg-list"
cat >"$work/rsvg.sh" <<SH
while read -r f; do rsvg-convert -o "$work/rsvg-\${f%.svg}.png" "$work/svg76/\$f"; done <"$work/svg-list"
SH
report "rsvg-convert SVG -> PNG, 76 px squares" "$count" "$(seconds bash "$work/rsvg.sh")"
cmp <(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); print(struct.unpack('>II', d[16:24]))" "$work/png/0001.png") \
    <(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(); print(struct.unpack('>II', d[16:24]))" "$work/rsvg-0001.png") \
    && echo "(rsvg-convert's PNG has the same size as pictog-cli's)"

big=$work/fen-10000.txt
report "export pdf -o FILE, 10,000 lines" 10000 "$(seconds "$cli" export pdf -o "$work/big.pdf" <"$big")"
report "export png --square 76, 10,000 lines" 10000 "$(seconds "$cli" export png --square 76 -o "$work/big/" <"$big")"
report "export svg, 10,000 lines" 10000 "$(seconds "$cli" export svg -o "$work/bigsvg/" <"$big")"
report "export png (classic), 10,000 lines" 10000 "$(seconds "$cli" export png -o "$work/classic/" <"$big")"
ls -l "$work/all.pdf" "$work/big.pdf" | awk '{print $5, $9}'
