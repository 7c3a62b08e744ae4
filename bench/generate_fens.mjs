// Writes COUNT FEN lines of positions from seeded random games to stdout, so every run of the
// throughput benchmark reads the same file.
//
// usage: node generate_fens.mjs COUNT [SEED] > lines.fen
// Run it from a folder whose node_modules holds chessops (used for its legal move generator);
// cli_throughput.sh copies it there.
//
// Each game starts from the initial position and plays uniformly random legal moves (pawns
// promote to a random piece) for 10 to 200 plies or until the game ends; every position along
// the way is written. The result is a mix of openings, crowded middle games and sparse endings
// with real castling rights, en-passant squares and counters.
import { writeSync } from 'node:fs';
import { Chess } from 'chessops/chess';
import { makeFen } from 'chessops/fen';

const [countText, seedText] = process.argv.slice(2);
if (!countText) {
    process.stderr.write('usage: node generate_fens.mjs COUNT [SEED]\n');
    process.exit(2);
}

const count = Number(countText);
let state = Number(seedText ?? 20240601) >>> 0;
// mulberry32: small, fast and the same on every machine.
function random() {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
}
const pick = (n) => Math.floor(random() * n);
const promotions = ['queen', 'rook', 'bishop', 'knight'];

let chunk = [];
let written = 0;
function emit(line) {
    chunk.push(line);
    ++written;
    if (chunk.length === 4096) {
        writeSync(1, chunk.join('\n') + '\n');
        chunk = [];
    }
}

while (written < count) {
    const pos = Chess.default();
    const plies = 10 + pick(191);
    for (let ply = 0; ply < plies && written < count && !pos.isEnd(); ++ply) {
        const moves = [];
        for (const [from, dests] of pos.allDests())
            for (const to of dests)
                moves.push([from, to]);
        const [from, to] = moves[pick(moves.length)];
        const move = { from, to };
        const rank = to >> 3;
        if (pos.board.get(from).role === 'pawn' && (rank === 0 || rank === 7))
            move.promotion = promotions[pick(4)];
        pos.play(move);
        emit(makeFen(pos.toSetup()));
    }
}
if (chunk.length > 0)
    writeSync(1, chunk.join('\n') + '\n');
