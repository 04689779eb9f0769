// Runs the engine's WebAssembly module under node as the native binary runs:
//   node --no-experimental-fetch node-runner.js PATH/marrowby.js [ARGUMENTS...]
// Standard input goes to the engine through marrowby_input (its end as a null
// pointer), the engine's output goes to standard output byte for byte, and
// the process ends with the engine's exit status.
'use strict';

const fs = require('fs');
const path = require('path');

const [modulePath, ...engineArguments] = process.argv.slice(2);
if (!modulePath) {
  process.stderr.write('usage: node node-runner.js PATH/marrowby.js [ARGUMENTS...]\n');
  process.exit(2);
}
const createMarrowby = require(path.resolve(modulePath));

// The output device gets one byte at a time, all bytes of one write of the
// engine in one task: they go out together at its end, so that a prompt
// without a line end shows at once.
let pending = [];
const flush = () => {
  if (pending.length === 0) return;
  fs.writeSync(1, Buffer.from(pending));
  pending = [];
};

createMarrowby({
  arguments: engineArguments,
  stdout(byte) {
    if (byte === null) return flush();
    if (pending.length === 0) queueMicrotask(flush);
    pending.push(byte);
  },
  stderr(byte) {
    if (byte !== null) fs.writeSync(2, Buffer.from([byte]));
  },
  onExit: flush,
}).then((engine) => {
  process.stdin.on('data', (chunk) => engine.ccall('marrowby_input', null, ['string'], [chunk.toString('utf8')]));
  process.stdin.on('end', () => engine._marrowby_input(0));
});
