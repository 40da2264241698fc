// Serves the web build's folder (build-web/site) on 127.0.0.1, as a static
// web server should: `make web-serve`, and the browser test (which asks for
// port 0, a free one, and reads the address from the first line). Files are
// sent compressed (Brotli or gzip) where the browser accepts it; the files
// named by their content (kelvrin.0123456789ab.wasm) are cached for a year,
// everything else (index.html, which names them) is asked for again each
// visit.
//   node scripts/serve_web.mjs FOLDER [PORT]
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';
import { brotliCompressSync, gzipSync, constants } from 'node:zlib';

const [folder, portText = '8080'] = process.argv.slice(2);
if (!folder) {
    console.error('usage: node serve_web.mjs FOLDER [PORT]');
    process.exit(2);
}
const root = normalize(folder);
const types = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript; charset=utf-8',
    '.css': 'text/css; charset=utf-8',
    '.wasm': 'application/wasm',
    '.txt': 'text/plain; charset=utf-8',
};

const namedByContent = /\.[0-9a-f]{12}\.[a-z]+$/;
const encodings = [
    ['br', body => brotliCompressSync(body, { params: { [constants.BROTLI_PARAM_QUALITY]: 9 } })],
    ['gzip', body => gzipSync(body, { level: 9 })],
];
// A file named by its content is compressed once per encoding while the
// server runs; the others may change under it (a new build).
const cache = new Map();
function compressed(file, body, name, compress) {
    if (!namedByContent.test(file)) return compress(body);
    const key = name + ':' + file;
    if (!cache.has(key)) cache.set(key, compress(body));
    return cache.get(key);
}

const server = createServer(async (request, response) => {
    let path;
    try {
        path = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    } catch {
        path = '';
    }
    if (path.endsWith('/')) path += 'index.html';
    const file = normalize(join(root, path));
    if (request.method !== 'GET' || !(file + sep).startsWith(root + sep) || !(extname(file) in types)) {
        response.writeHead(404).end();
        return;
    }
    let body;
    try {
        body = await readFile(file);
    } catch {
        response.writeHead(404).end();
        return;
    }
    const headers = {
        'Content-Type': types[extname(file)],
        'Cache-Control': namedByContent.test(file) ? 'public, max-age=31536000, immutable' : 'no-cache',
        'Vary': 'Accept-Encoding',
    };
    const accepted = String(request.headers['accept-encoding'] || '');
    for (const [name, compress] of encodings) {
        if (new RegExp(`\\b${name}\\b`).test(accepted)) {
            body = compressed(file, body, name, compress);
            headers['Content-Encoding'] = name;
            break;
        }
    }
    response.writeHead(200, headers).end(body);
});
server.listen(Number(portText), '127.0.0.1', () => {
    console.log(`Kelvrin: http://127.0.0.1:${server.address().port}/ (Ctrl-C stops the server)`);
});
