// Runs the engine's WebAssembly module under node as the native binary runs:
//   node --no-experimental-fetch node-runner.js PATH/marrowby.js [ARGUMENTS...]
// Standard input goes to the engine byte for byte through marrowby_input (its
// end through marrowby_input_end), the engine's output goes to standard output
// byte for byte, and the process ends with the engine's exit status.
'use strict';

const fs = require('fs');
const path = require('path');

const [modulePath, ...engineArguments] = process.argv.slice(2);
if (!modulePath) {
  process.stderr.write('usage: node node-runner.js PATH/marrowby.js [ARGUMENTS...]\n');
  process.exit(2);
}
const createMarrowby = require(path.resolve(modulePath));

// Node reads a pipe far faster than the engine reads its lines: past this
// many bytes waiting in the engine, standard input pauses until they have
// been read, as a full pipe holds up its writer.
const WAITING_BYTES_LIMIT = 1 << 20;
const WAITING_POLL_MS = 5;

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
  // Copies the bytes into the module's memory for the engine; answers how
  // many bytes wait there to be read.
  const deliver = (bytes) => {
    const address = engine._malloc(bytes.length);
    engine.HEAPU8.set(bytes, address);
    const waiting = engine._marrowby_input(address, bytes.length);
    engine._free(address);
    return waiting;
  };
  const resumeOnceRead = () => {
    if (engine._marrowby_input(0, 0) > WAITING_BYTES_LIMIT) setTimeout(resumeOnceRead, WAITING_POLL_MS);
    else process.stdin.resume();
  };
  process.stdin.on('data', (chunk) => {
    if (deliver(chunk) <= WAITING_BYTES_LIMIT) return;
    process.stdin.pause();
    setTimeout(resumeOnceRead, WAITING_POLL_MS);
  });
  process.stdin.on('end', () => engine._marrowby_input_end());
});
