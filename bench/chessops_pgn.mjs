// The peer of `pictog-cli positions --at end` in the game reading benchmark: reads a PGN file
// from stdin with chessops (parsePgn), plays every move of every game, variations included, from
// the game's starting position (parseSan, then play), and writes the final position of each
// game's main line; a game with a move chessops cannot play counts as rejected. Run it from a
// folder whose node_modules holds chessops.
import { readFileSync, writeSync } from 'node:fs';
import { makeFen } from 'chessops/fen';
import { parsePgn, startingPosition } from 'chessops/pgn';
import { parseSan } from 'chessops/san';

const games = parsePgn(readFileSync(0, 'utf8'));
let rejected = 0;
let plies = 0;
const out = [];
for (const game of games) {
    const start = startingPosition(game.headers);
    if (start.isErr) {
        ++rejected;
        continue;
    }
    const pos = start.value;
    let ok = true;
    // Variations: each branch is played on its own copy of the position.
    const play = (position, node) => {
        for (const child of node.children.slice(1)) {
            const branch = position.clone();
            const move = parseSan(branch, child.data.san);
            if (!move) {
                ok = false;
                continue;
            }
            branch.play(move);
            play(branch, child);
        }
        const main = node.children[0];
        if (!main)
            return;
        const move = parseSan(position, main.data.san);
        if (!move) {
            ok = false;
            return;
        }
        position.play(move);
        play(position, main);
    };
    const walkMain = (position, node) => {
        // The main line iteratively (games are long), its variations recursively.
        for (;;) {
            for (const child of node.children.slice(1)) {
                const branch = position.clone();
                const move = parseSan(branch, child.data.san);
                if (!move) {
                    ok = false;
                    continue;
                }
                branch.play(move);
                play(branch, child);
            }
            const main = node.children[0];
            if (!main)
                return;
            const move = parseSan(position, main.data.san);
            if (!move) {
                ok = false;
                return;
            }
            position.play(move);
            ++plies;
            node = main;
        }
    };
    walkMain(pos, game.moves);
    if (!ok)
        ++rejected;
    else
        out.push(makeFen(pos.toSetup()));
}
writeSync(1, out.join('\n') + '\n');
process.stderr.write(`chessops: ${games.length} games, ${rejected} rejected, ${plies} main-line plies\n`);
process.exitCode = rejected > 0 ? 1 : 0;
