// The page's server, sent raw requests so that each path reaches it as
// written: what it serves, what it refuses, and that no request stops it.
'use strict';

const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const { test } = require('node:test');
const { serve } = require('../serve.js');

// Sends one request as written (HTTP/1.0: the body comes whole, and the
// connection closes after it); resolves to its status, headers and body.
function send(port, method, target) {
  return new Promise((resolve, reject) => {
    const socket = net.connect(port, '127.0.0.1', () =>
      socket.write(`${method} ${target} HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n`),
    );
    const chunks = [];
    socket.on('data', (chunk) => chunks.push(chunk));
    socket.on('error', reject);
    socket.on('end', () => {
      const text = Buffer.concat(chunks).toString('latin1');
      const headEnd = text.indexOf('\r\n\r\n');
      const [statusLine, ...fields] = text.slice(0, headEnd).split('\r\n');
      const headers = Object.fromEntries(
        fields.map((field) => field.split(/:\s*/, 2)).map(([name, value]) => [name.toLowerCase(), value]),
      );
      resolve({ status: Number(statusLine.split(' ')[1]), headers, body: text.slice(headEnd + 4) });
    });
  });
}

// A folder to serve, beside a file it must not give out: links inside it
// lead to a file inside, to the file outside and to the folder above, and a
// pipe and a folder stand where files are asked for.
function makeFolders() {
  const outside = fs.mkdtempSync(path.join(os.tmpdir(), 'marrowby-serve-'));
  const folder = path.join(outside, 'page');
  fs.mkdirSync(path.join(folder, 'sub'), { recursive: true });
  fs.writeFileSync(path.join(outside, 'secret.txt'), 'secret\n');
  fs.writeFileSync(path.join(folder, 'index.html'), '<p>page</p>\n');
  fs.writeFileSync(path.join(folder, 'notes.txt'), 'notes\n');
  fs.symlinkSync('notes.txt', path.join(folder, 'inner.txt'));
  fs.symlinkSync('../secret.txt', path.join(folder, 'outer.txt'));
  fs.symlinkSync('..', path.join(folder, 'up'));
  execFileSync('mkfifo', [path.join(folder, 'pipe')]);
  return { outside, folder };
}

test('the server answers every request and serves only the files in its folder', async () => {
  const { outside, folder } = makeFolders();
  const server = await serve(folder, 0, true);
  const port = server.address().port;
  try {
    const cases = [
      ['GET', '/', 200, '<p>page</p>\n'],
      ['HEAD', '/', 200, ''],
      ['GET', '/notes.txt', 200, 'notes\n'],
      ['GET', '/inner.txt', 200, 'notes\n'],
      ['GET', '/%00', 400],
      ['GET', '/index.html%00.png', 400],
      ['GET', '/%ff', 400],
      ['GET', '/%E0%A4%A', 400],
      ['GET', '/../secret.txt', 404],
      ['GET', '/%2e%2e%2fsecret.txt', 404],
      ['GET', '/..%2fsecret.txt', 404],
      ['GET', '/%5c..%5csecret.txt', 404],
      ['GET', '/outer.txt', 404],
      ['GET', '/up/secret.txt', 404],
      ['GET', '/pipe', 404],
      ['GET', '/sub', 404],
      ['GET', '/missing.txt', 404],
      ...['POST', 'PUT', 'DELETE', 'OPTIONS', 'TRACE'].map((method) => [method, '/', 405]),
    ];
    for (const [method, target, status, body] of cases) {
      const answer = await send(port, method, target);
      const what = `${method} ${target}`;
      assert.strictEqual(answer.status, status, what);
      if (body !== undefined) assert.strictEqual(answer.body, body, what);
      if (status === 200) assert.strictEqual(answer.headers['cross-origin-embedder-policy'], 'require-corp', what);
      if (status === 405) assert.strictEqual(answer.headers.allow, 'GET, HEAD', what);
    }

    // A failure while answering is answered 500, and the server goes on.
    const { readFile } = fs.promises;
    fs.promises.readFile = () => {
      throw new Error('the disk failed');
    };
    try {
      assert.strictEqual((await send(port, 'GET', '/notes.txt')).status, 500);
    } finally {
      fs.promises.readFile = readFile;
    }
    assert.strictEqual((await send(port, 'GET', '/')).body, '<p>page</p>\n');
  } finally {
    server.close();
    fs.rmSync(outside, { recursive: true });
  }
});
