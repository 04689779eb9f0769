// The engine in a Worker: each message is one input line for the engine, and
// every line the engine writes comes back as one message (a string). When the
// module cannot start, one message {error: text} says why.
'use strict';

importScripts('marrowby.js');

const waiting = [];
let engine = null;

const send = (line) => engine.ccall('marrowby_input', null, ['string'], [`${line}\n`]);

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
