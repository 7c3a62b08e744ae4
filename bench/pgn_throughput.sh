#!/usr/bin/env bash
# Game reading throughput: `pictog-cli positions --at end` (every move read, checked and played)
# on a generated corpus of legal games, beside chessops (parsePgn, then parseSan + play for every
# move, variations included) and pgn-extract (-r: read and check every game, write nothing), each
# as a whole process on one core. Then the peak memory of pictog-cli on a PGN file of about 1 GB.
#
#   bench/pgn_throughput.sh BUILD_DIR [GAMES] [BIG_MB]
#
# BUILD_DIR holds bin/pictog-cli and bin/pgn_corpus (a -DPICTOG_BUILD_BENCH=ON build); chessops
# is installed with npm into BUILD_DIR/bench-node and the corpus kept in BUILD_DIR/bench-data.
# GAMES defaults to 20,000; BIG_MB (default 1024; 0 skips it) is the size of the big file, which
# is written to $TMPDIR (default /tmp) and removed afterwards.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 3 ]; then
    echo "usage: bench/pgn_throughput.sh BUILD_DIR [GAMES] [BIG_MB]" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
games=${2:-20000}
big_mb=${3:-1024}
cli=$build/bin/pictog-cli
corpus_tool=$build/bin/pgn_corpus
chessops_version=0.15.1
node_dir=$build/bench-node
data_dir=$build/bench-data
input=$data_dir/games-$games.pgn
runs=${PICTOG_BENCH_RUNS:-5}
pgn_extract=$(command -v pgn-extract || echo /usr/games/pgn-extract)

[ -x "$cli" ] && [ -x "$corpus_tool" ] \
    || { echo "pgn_throughput: build pictog-cli and pgn_corpus first" >&2; exit 1; }
for tool in node npm hyperfine python3 taskset "$pgn_extract"; do
    command -v "$tool" >/dev/null \
        || { echo "pgn_throughput: $tool is missing (scripts/install-bench-deps)" >&2; exit 1; }
done

mkdir -p "$node_dir" "$data_dir"
if [ ! -f "$node_dir/node_modules/chessops/package.json" ] \
    || ! grep -q "\"version\": \"$chessops_version\"" "$node_dir/node_modules/chessops/package.json"; then
    echo "installing chessops $chessops_version into $node_dir" >&2
    npm install --prefix "$node_dir" --no-audit --no-fund --silent "chessops@$chessops_version"
fi
cp "$here/chessops_pgn.mjs" "$node_dir/"
if [ ! -s "$input" ] || [ "$corpus_tool" -nt "$input" ]; then
    echo "generating $games games into $input" >&2
    "$corpus_tool" "$games" > "$input.tmp"
    mv "$input.tmp" "$input"
fi

# All three must read every game alike: compare the final placements and sides (chessops writes
# an en-passant square only when a capture there is legal, so that field is left out).
"$cli" positions --at end "$input" | cut -f1 | cut -d' ' -f1,2 > "$data_dir/pictog.out"
(cd "$node_dir" && node chessops_pgn.mjs < "$input") | cut -d' ' -f1,2 > "$data_dir/chessops.out"
"$pgn_extract" -r -s "$input" 2> "$data_dir/pgn-extract.log" || true
same=$(python3 - "$data_dir/pictog.out" "$data_dir/chessops.out" <<'PY'
import sys
with open(sys.argv[1], "rb") as a, open(sys.argv[2], "rb") as b:
    print(sum(x == y for x, y in zip(a, b)))
PY
)
# Main-line plies from the final move numbers: every game starts from the initial position.
plies=$(awk '{ plies += 2 * ($NF - 1) + ($2 == "b") } END { print plies }' \
    <("$cli" positions --at end "$input" | cut -f1))
rm -f "$data_dir/pictog.out" "$data_dir/chessops.out"

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine --warmup 1 --runs "$runs" --export-json "$data_dir/pgn_throughput.json" \
    -n "pictog-cli positions" "taskset -c 0 '$cli' positions --at end '$input' > /dev/null" \
    -n "chessops" "cd '$node_dir' && taskset -c 0 node chessops_pgn.mjs < '$input' > /dev/null" \
    -n "pgn-extract -r" "taskset -c 0 '$pgn_extract' -r -s '$input' 2> /dev/null"

python3 - "$data_dir/pgn_throughput.json" "$games" "$plies" "$same" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
games, plies, same = int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
cpu = {r["command"]: r["user"] + r["system"] for r in results}
print()
print(f"{'program':22} {'mean s':>8} {'CPU s':>7} {'games/CPU-s':>12} {'plies/CPU-s':>12}")
for r in results:
    name = r["command"]
    print(f"{name:22} {r['mean']:8.3f} {cpu[name]:7.3f} {games / cpu[name]:12,.0f} "
          f"{plies / cpu[name]:12,.0f}")
ours = cpu["pictog-cli positions"]
print(f"pictog-cli is {cpu['chessops'] / ours:.1f}x chessops and {cpu['pgn-extract -r'] / ours:.1f}x "
      f"pgn-extract per CPU-second; {plies:,} main-line plies; same final position as chessops in "
      f"{same:,} of {games:,} games")
PY

if [ "$big_mb" -gt 0 ]; then
    big=${TMPDIR:-/tmp}/pictog-big-$big_mb.pgn
    echo
    echo "writing a PGN file of about $big_mb MB into $big" >&2
    "$corpus_tool" $(( big_mb * 1024 * 1024 / 1700 )) 18 > "$big"
    ls -l "$big"
    /usr/bin/time -f "pictog-cli positions --at end on $(du -m "$big" | cut -f1) MB: %e s, peak RSS %M KB" \
        "$cli" positions --at end "$big" | wc -l
    rm -f "$big"
fi
