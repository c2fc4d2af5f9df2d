// A small static web server for the built site: `node web/serve.mjs FOLDER [PORT]`.
// Serves files with their types (application/wasm for the module), gzip-compressed when the
// browser accepts it, as a school's web server would. Nothing else: no listing, no upload.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const root = path.resolve(process.argv[2] ?? '.');
const port = Number(process.argv[3] ?? 8080);
const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8', '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8', '.json': 'application/json', '.webmanifest': 'application/manifest+json',
  '.wasm': 'application/wasm', '.png': 'image/png', '.bmp': 'image/bmp', '.jpg': 'image/jpeg', '.gif': 'image/gif',
  '.svg': 'image/svg+xml', '.wav': 'audio/wav', '.woff2': 'font/woff2', '.txt': 'text/plain; charset=utf-8',
  '.ini': 'text/plain; charset=utf-8', '.jhk': 'application/octet-stream',
};
const compressible = new Set(['.html', '.js', '.mjs', '.css', '.json', '.webmanifest', '.wasm', '.bmp', '.svg', '.wav', '.txt', '.ini', '.jhk']);
const gzipCache = new Map();
// JHK_SERVE_LOG=1 prints one line a response: "sent BYTES PATH" (the bytes of the body on the wire).
const log = process.env.JHK_SERVE_LOG === '1';
const sent = (rel, n) => { if (log) console.log(`sent ${n} ${rel}`); };

if (!fs.existsSync(path.join(root, 'index.html'))) {
  console.error(`${root}: no index.html here; build the site first (sh scripts/web.sh build OUT)`);
  process.exit(2);
}

const server = http.createServer((req, res) => {
  let rel;
  try { rel = decodeURIComponent(new URL(req.url, 'http://x').pathname); } catch { res.writeHead(400).end(); return; }
  if (rel.endsWith('/')) rel += 'index.html';
  const file = path.join(root, path.normalize(rel));
  if (!file.startsWith(root + path.sep)) { res.writeHead(403).end(); return; }
  fs.stat(file, (err, st) => {
    if (err || !st.isFile()) { res.writeHead(404, { 'content-type': 'text/plain' }).end('not found'); return; }
    const ext = path.extname(file).toLowerCase();
    const headers = {
      'content-type': types[ext] ?? 'application/octet-stream',
      'cache-control': 'no-cache',
      'last-modified': st.mtime.toUTCString(),
      'x-content-type-options': 'nosniff',
    };
    if (req.headers['if-modified-since'] === headers['last-modified']) { sent(rel, 0); res.writeHead(304, headers).end(); return; }
    const gzip = compressible.has(ext) && /\bgzip\b/.test(req.headers['accept-encoding'] ?? '');
    if (!gzip) {
      headers['content-length'] = st.size;
      sent(rel, req.method === 'HEAD' ? 0 : st.size);
      res.writeHead(200, headers);
      if (req.method === 'HEAD') { res.end(); return; }
      fs.createReadStream(file).pipe(res);
      return;
    }
    const key = `${file}:${st.mtimeMs}`;
    let body = gzipCache.get(key);
    if (!body) { body = zlib.gzipSync(fs.readFileSync(file), { level: 9 }); gzipCache.set(key, body); }
    headers['content-encoding'] = 'gzip';
    headers['content-length'] = body.length;
    headers.vary = 'accept-encoding';
    sent(rel, req.method === 'HEAD' ? 0 : body.length);
    res.writeHead(200, headers);
    res.end(req.method === 'HEAD' ? undefined : body);
  });
});
server.listen(port, () => console.log(`serving ${root} on http://localhost:${server.address().port}/ (Ctrl+C stops)`));
