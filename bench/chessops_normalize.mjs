// The peer of `pictog-cli normalize` in the throughput benchmark: reads FEN lines from stdin and
// writes each as chessops rewrites it (parseFen, then makeFen), or an empty line when chessops
// rejects it. Run it from a folder whose node_modules holds chessops.
import { readFileSync, writeSync } from 'node:fs';
import { makeFen, parseFen } from 'chessops/fen';

const input = readFileSync(0, 'latin1');
const lines = input.split('\n');
if (lines.length > 0 && lines[lines.length - 1] === '')
    lines.pop();

let rejected = 0;
let chunk = [];
for (const raw of lines) {
    const line = raw.endsWith('\r') ? raw.slice(0, -1) : raw;
    const setup = parseFen(line);
    if (setup.isOk) {
        chunk.push(makeFen(setup.value));
    } else {
        chunk.push('');
        ++rejected;
    }
    if (chunk.length === 8192) {
        writeSync(1, chunk.join('\n') + '\n');
        chunk = [];
    }
}
if (chunk.length > 0)
    writeSync(1, chunk.join('\n') + '\n');
process.exitCode = rejected > 0 ? 1 : 0;
