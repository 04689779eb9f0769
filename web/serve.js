// Serves a folder of static files on localhost with the two headers that
// make a page cross-origin isolated, which the engine's threads need:
//   node serve.js FOLDER [PORT]   (PORT 0 picks a free one; the default 8080)
// Prints the address once it listens. The browser tests require it and
// start servers of their own, one of them without the headers.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const DEFAULT_PORT = 8080;

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.wasm': 'application/wasm',
  '.json': 'application/json',
  '.txt': 'text/plain; charset=utf-8',
};

const ALLOWED_METHODS = ['GET', 'HEAD'];

// Whether the path lies in the folder, or is the folder.
const isInside = (folder, file) => file === folder || file.startsWith(folder + path.sep);

// The real path of the regular file the request's path names inside the
// folder, or null when there is none: a path that leaves the folder, by
// dots or by a symbolic link, names none.
async function fileFor(root, name) {
  const file = path.join(root, path.normalize(name), name.endsWith('/') ? 'index.html' : '');
  try {
    const [realRoot, realFile] = await Promise.all([fs.promises.realpath(root), fs.promises.realpath(file)]);
    if (!isInside(realRoot, realFile)) return null;
    return (await fs.promises.stat(realFile)).isFile() ? realFile : null;
  } catch (error) {
    if (['ENOENT', 'ENOTDIR', 'ELOOP', 'ENAMETOOLONG'].includes(error.code)) return null;
    throw error;
  }
}

// The request's path decoded, or null when it does not decode or holds a
// NUL, which no file name can.
function decodedPath(url) {
  try {
    const name = decodeURIComponent(new URL(url, 'http://localhost').pathname);
    return name.includes('\0') ? null : name;
  } catch {
    return null;
  }
}

// Answers one request.
async function answer(root, request, response, headers) {
  if (!ALLOWED_METHODS.includes(request.method)) {
    response.writeHead(405, { ...headers, Allow: ALLOWED_METHODS.join(', ') }).end();
    return;
  }
  const name = decodedPath(request.url);
  if (name === null) {
    response.writeHead(400, headers).end();
    return;
  }
  const file = await fileFor(root, name);
  if (!file) {
    response.writeHead(404, { ...headers, 'Content-Type': 'text/plain' }).end('not found\n');
    return;
  }
  const data = await fs.promises.readFile(file);
  response.writeHead(200, {
    ...headers,
    'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
    'Content-Length': data.length,
  });
  response.end(data);
}

// Resolves to the listening server once it listens on 127.0.0.1. A request
// that fails on the way is answered 500; the server goes on.
function serve(folder, port, isolated) {
  const root = path.resolve(folder);
  const headers = { 'Cache-Control': 'no-cache' };
  if (isolated) {
    headers['Cross-Origin-Opener-Policy'] = 'same-origin';
    headers['Cross-Origin-Embedder-Policy'] = 'require-corp';
  }
  const server = http.createServer((request, response) => {
    answer(root, request, response, headers).catch(() => {
      if (response.headersSent) response.destroy();
      else response.writeHead(500, headers).end();
    });
  });

  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => resolve(server));
  });
}

module.exports = { serve };

if (require.main === module) {
  const folder = process.argv[2] || '.';
  const port = process.argv[3] === undefined ? DEFAULT_PORT : Number(process.argv[3]);
  serve(folder, port, true).then(
    (server) => console.log(`Marrowby is served at http://127.0.0.1:${server.address().port}/ (Ctrl-C ends it)`),
    (error) => {
      console.error(`cannot serve ${folder} on port ${port}: ${error.message}`);
      process.exit(1);
    },
  );
}
