// The engine in a Worker: each message is one input line for the engine, and
// every line the engine writes comes back as one message (a string). When the
// module cannot start, one message {error: text} says why.
'use strict';

importScripts('marrowby.js');

const waiting = [];
let engine = null;

const encoder = new TextEncoder();

// The line's bytes (UTF-8) go to the engine as the node runner hands over
// standard input: copied into the module's memory, with their length.
const send = (line) => {
  const bytes = encoder.encode(`${line}\n`);
  const address = engine._malloc(bytes.length);
  engine.HEAPU8.set(bytes, address);
  engine._marrowby_input(address, bytes.length);
  engine._free(address);
};

self.onmessage = (event) => {
  if (engine) send(event.data);
  else waiting.push(event.data);
};

createMarrowby({
  // The engine's threads load the same script.
  mainScriptUrlOrBlob: 'marrowby.js',
  print: (line) => postMessage(line),
  printErr: (line) => console.warn(line),
  onAbort: (reason) => postMessage({ error: `The engine stopped: ${reason}` }),
}).then(
  (started) => {
    engine = started;
    waiting.splice(0).forEach(send);
  },
  (reason) => postMessage({ error: `The engine could not start: ${reason}` }),
);
