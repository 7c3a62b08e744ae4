#!/usr/bin/env bash
# End-to-end throughput of `pictog-cli normalize`, measured as a whole process on a file of
# realistic FEN lines, beside chessops (parseFen + makeFen under Node.js) on the same file.
#
#   bench/cli_throughput.sh BUILD_DIR [LINES]
#
# BUILD_DIR holds bin/pictog-cli; chessops is installed with npm into BUILD_DIR/bench-node and
# the generated lines are kept in BUILD_DIR/bench-data, so nothing lands in the source tree.
# LINES defaults to 1,000,000. The lines come from seeded random games (bench/generate_fens.mjs)
# and are the same on every run.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: bench/cli_throughput.sh BUILD_DIR [LINES]" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "$1" && pwd)
lines=${2:-1000000}
cli=$build/bin/pictog-cli
chessops_version=0.15.1
node_dir=$build/bench-node
data_dir=$build/bench-data
input=$data_dir/fen-$lines.txt
runs=${PICTOG_BENCH_RUNS:-5}

[ -x "$cli" ] || { echo "cli_throughput: $cli is missing; build pictog-cli first" >&2; exit 1; }
for tool in node npm hyperfine python3; do
    command -v "$tool" >/dev/null || { echo "cli_throughput: $tool is missing (scripts/install-bench-deps)" >&2; exit 1; }
done

mkdir -p "$node_dir" "$data_dir"
if [ ! -f "$node_dir/node_modules/chessops/package.json" ] \
    || ! grep -q "\"version\": \"$chessops_version\"" "$node_dir/node_modules/chessops/package.json"; then
    echo "installing chessops $chessops_version into $node_dir" >&2
    npm install --prefix "$node_dir" --no-audit --no-fund --silent "chessops@$chessops_version"
fi
# The scripts import chessops by name, so they run from the folder that holds node_modules.
cp "$here/generate_fens.mjs" "$here/chessops_normalize.mjs" "$node_dir/"

if [ ! -s "$input" ] || [ "$here/generate_fens.mjs" -nt "$input" ]; then
    echo "generating $lines FEN lines into $input" >&2
    node "$node_dir/generate_fens.mjs" "$lines" > "$input.tmp"
    mv "$input.tmp" "$input"
fi

# Both programs must read every line; count how many lines they write alike.
"$cli" normalize < "$input" > "$data_dir/pictog.out"
node "$node_dir/chessops_normalize.mjs" < "$input" > "$data_dir/chessops.out"
same=$(python3 - "$data_dir/pictog.out" "$data_dir/chessops.out" <<'PY'
import sys
with open(sys.argv[1], "rb") as a, open(sys.argv[2], "rb") as b:
    print(sum(x == y for x, y in zip(a, b)))
PY
)
rm -f "$data_dir/pictog.out" "$data_dir/chessops.out"

pictog_cmd="'$cli' normalize < '$input' > /dev/null"
chessops_cmd="node '$node_dir/chessops_normalize.mjs' < '$input' > /dev/null"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine --warmup 1 --runs "$runs" --export-json "$data_dir/cli_throughput.json" \
    -n "pictog-cli normalize" "$pictog_cmd" -n "chessops parseFen+makeFen" "$chessops_cmd"

python3 - "$data_dir/cli_throughput.json" "$lines" "$same" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
lines, same = int(sys.argv[2]), int(sys.argv[3])
# Wall-clock rate, and the rate per CPU-second (user + system), which is the rate per core and
# does not suffer when other programs compete for the processor.
wall = {r["command"]: lines / r["mean"] for r in results}
cpu = {r["command"]: lines / (r["user"] + r["system"]) for r in results}
print()
print(f"{'program':28} {'mean s':>8} {'± s':>7} {'lines/s':>12} {'lines/CPU-s':>12}")
for r in results:
    name = r["command"]
    print(f"{name:28} {r['mean']:8.3f} {r['stddev'] or 0:7.3f} {wall[name]:12,.0f} {cpu[name]:12,.0f}")
ours, peer = "pictog-cli normalize", "chessops parseFen+makeFen"
print(f"pictog-cli / chessops: {wall[ours] / wall[peer]:.1f}x wall clock, "
      f"{cpu[ours] / cpu[peer]:.1f}x per CPU-second; identical output lines: {same:,} of {lines:,}")
PY
echo
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores," \
    "$(awk '/MemTotal/ { printf "%.1f GiB", $2 / 1048576 }' /proc/meminfo);" \
    "node $(node --version), chessops $chessops_version, $(hyperfine --version);" \
    "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
