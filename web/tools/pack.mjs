// Packs the application folder's files into one gzip-compressed file (app/pack.bin.gz) that the
// page fetches at once instead of one request a file, small whatever the web server compresses:
// a 4-byte little-endian length, a JSON list of [path, size] in that order, then the files'
// bytes one after the other.
// usage: node pack.mjs APP-FOLDER LIST.json OUT-FILE   (LIST: the paths inside the folder)
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [folder, list, outFile] = process.argv.slice(2);
const files = JSON.parse(fs.readFileSync(list, 'utf8'));
const bodies = files.map(f => fs.readFileSync(path.join(folder, f)));
const index = Buffer.from(JSON.stringify(files.map((f, i) => [f, bodies[i].length])), 'utf8');
const head = Buffer.alloc(4);
head.writeUInt32LE(index.length, 0);
fs.writeFileSync(outFile, zlib.gzipSync(Buffer.concat([head, index, ...bodies]), { level: 9 }));
