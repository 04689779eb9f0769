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

// Resolves to the listening server once it listens on 127.0.0.1.
function serve(folder, port, isolated) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const headers = { 'Cache-Control': 'no-cache' };
    if (isolated) {
      headers['Cross-Origin-Opener-Policy'] = 'same-origin';
      headers['Cross-Origin-Embedder-Policy'] = 'require-corp';
    }
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400, headers).end();
      return;
    }
    let file = path.join(root, path.normalize(name));
    if (file !== root && !file.startsWith(root + path.sep)) {
      response.writeHead(403, headers).end();
      return;
    }
    if (name.endsWith('/')) file = path.join(file, 'index.html');
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404, { ...headers, 'Content-Type': 'text/plain' }).end('not found\n');
        return;
      }
      headers['Content-Type'] = TYPES[path.extname(file)] || 'application/octet-stream';
      response.writeHead(200, headers).end(data);
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
