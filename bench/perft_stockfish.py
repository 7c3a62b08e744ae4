#!/usr/bin/env python3
"""perft from the initial position: pictog-cli beside Stockfish, nodes per second.

    bench/perft_stockfish.py BUILD_DIR [DEPTH]

Stockfish (Debian's `stockfish`) is driven over UCI; its clock starts after `readyok`, so its
start-up (loading the network) is not counted, and stops at "Nodes searched". pictog-cli is
timed as a whole process (its start-up is a few milliseconds). Both count on one thread with the
last ply counted from the move list. Each is run RUNS times (default 3); the best run counts.
"""
import os
import shutil
import subprocess
import sys
import time


# Debian installs it in /usr/games, which is not on every PATH.
STOCKFISH = shutil.which("stockfish") or "/usr/games/stockfish"


def stockfish_run(depth):
    engine = subprocess.Popen([STOCKFISH], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                              text=True, bufsize=1)

    def send(command):
        engine.stdin.write(command + "\n")
        engine.stdin.flush()

    def wait_for(prefix):
        for line in engine.stdout:
            if line.startswith(prefix):
                return line
        raise RuntimeError("stockfish ended before " + prefix)

    send("uci")
    wait_for("uciok")
    send("setoption name Threads value 1")
    send("position startpos")
    send("isready")
    wait_for("readyok")
    start = time.perf_counter()
    send(f"go perft {depth}")
    nodes = int(wait_for("Nodes searched").split(":")[1])
    elapsed = time.perf_counter() - start
    send("quit")
    engine.wait()
    return nodes, elapsed


def pictog_run(cli, depth):
    start = time.perf_counter()
    out = subprocess.run([cli, "perft", str(depth)], check=True, stdout=subprocess.PIPE).stdout
    return int(out), time.perf_counter() - start


def main():
    if len(sys.argv) not in (2, 3):
        print("usage: bench/perft_stockfish.py BUILD_DIR [DEPTH]", file=sys.stderr)
        return 2
    cli = os.path.join(sys.argv[1], "bin", "pictog-cli")
    depth = int(sys.argv[2]) if len(sys.argv) == 3 else 6
    runs = int(os.environ.get("RUNS", "3"))
    results = {}
    for name, run in (("pictog-cli perft", lambda: pictog_run(cli, depth)),
                      ("stockfish go perft", lambda: stockfish_run(depth))):
        best = min((run() for _ in range(runs)), key=lambda r: r[1])
        results[name] = best
    counts = {nodes for nodes, _ in results.values()}
    if len(counts) != 1:
        print(f"node counts differ: {results}", file=sys.stderr)
        return 1
    print(f"perft {depth} from the initial position, best of {runs} runs")
    print("| program | nodes | seconds | nodes/s |")
    print("|---|---|---|---|")
    for name, (nodes, seconds) in results.items():
        print(f"| {name} | {nodes:,} | {seconds:.3f} | {nodes / seconds:,.0f} |")
    ours = results["pictog-cli perft"]
    theirs = results["stockfish go perft"]
    print(f"pictog-cli / stockfish: {theirs[1] / ours[1]:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
