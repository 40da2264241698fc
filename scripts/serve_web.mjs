// Serves the web build's folder (build-web/site) on 127.0.0.1, as any
// static web server would: `make web-serve`, and the browser test (which
// asks for port 0, a free one, and reads the address from the first line).
//   node scripts/serve_web.mjs FOLDER [PORT]
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';

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
    try {
        const body = await readFile(file);
        response.writeHead(200, { 'Content-Type': types[extname(file)], 'Cache-Control': 'no-cache' }).end(body);
    } catch {
        response.writeHead(404).end();
    }
});
server.listen(Number(portText), '127.0.0.1', () => {
    console.log(`Kelvrin: http://127.0.0.1:${server.address().port}/ (Ctrl-C stops the server)`);
});
