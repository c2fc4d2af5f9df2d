// Packs the application folder's files into one gzip-compressed file (app/pack.bin.gz) that the
// page fetches at once instead of one request a file, small whatever the web server compresses:
// a 4-byte little-endian length, a JSON list of [path, size] in that order, then the packed files'
// bytes one after the other.
// usage: node pack.mjs APP-FOLDER LIST.json OUT-FILE [LEAVE-OUT]   (LIST: the paths inside the folder)
// LEAVE-OUT, a regular expression: the files whose paths match stay out of the pack (single files
// on the site, fetched only when they are shown); the list names them with the size -1.
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const [folder, list, outFile, leaveOut] = process.argv.slice(2);
const outside = leaveOut ? new RegExp(leaveOut, 'i') : null;
const files = JSON.parse(fs.readFileSync(list, 'utf8'));
const packed = f => !(outside && outside.test(f));
const bodies = files.filter(packed).map(f => fs.readFileSync(path.join(folder, f)));
let k = 0;
const index = Buffer.from(JSON.stringify(files.map(f => [f, packed(f) ? bodies[k++].length : -1])), 'utf8');
const head = Buffer.alloc(4);
head.writeUInt32LE(index.length, 0);
fs.writeFileSync(outFile, zlib.gzipSync(Buffer.concat([head, index, ...bodies]), { level: 9 }));
