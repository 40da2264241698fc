// The game in its web page, in Debian's headless Chromium driven by playwright-core: the site served on 127.0.0.1 by
// the project's own server, a fresh browser profile, no request anywhere else. It reads the page's terminal buffer
// (characters and colours) as a player sees it, plays from the menu into a dungeon fight, and checks that saves, the
// crash save and the panel of heroes keep every byte. Screenshots of the town and of a fight go to OUT_DIR.
//   node browser_test.mjs SITE_DIR LINUX_GAME OUT_DIR
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium, devices } from 'playwright-core';

const [siteDir, linuxGame, outDir] = process.argv.slice(2).map(path => resolve(path));
const here = dirname(fileURLToPath(import.meta.url));
const NAME = 'Łucja';
const VIEW_HINT = 'Ruch - strzałki, s - statystki, u - użyj schodów, q - zapis i wyjście';
const IN_PLAY = 'Ta postać jest już w grze w innym oknie.';

let passed = 0, failed = 0;
const figures = [];
const foreign = [];
const pageErrors = [];  // errors a page's own scripts threw

// --- the page as a player sees it --------------------------------------------------------------------------------

const rows = page => page.evaluate(() => {
    const buffer = terminal.buffer.active;
    return Array.from({ length: 25 }, (_, y) => buffer.getLine(buffer.viewportY + y).translateToString(true).trimEnd());
});
const text = async page => (await rows(page)).join('\n');
// The colours of a row's cells: [foreground, background], palette numbers or 'd' for the terminal's default.
const colours = (page, y) => page.evaluate(y => {
    const line = terminal.buffer.active.getLine(terminal.buffer.active.viewportY + y);
    return Array.from({ length: 80 }, (_, x) => {
        const cell = line.getCell(x);
        return [cell.isFgDefault() ? 'd' : cell.getFgColor(), cell.isBgDefault() ? 'd' : cell.getBgColor()];
    });
}, y);

class Failure extends Error {}
async function waitFor(page, wanted, seconds = 10) {
    const deadline = Date.now() + seconds * 1000;
    for (;;) {
        const now = await text(page);
        if (now.includes(wanted)) return now;
        if (Date.now() > deadline) throw new Failure(`the screen did not show "${wanted}":\n${now}`);
        await page.waitForTimeout(30);
    }
}
async function press(page, key, wanted) {
    await page.keyboard.press(key);
    if (wanted) return waitFor(page, wanted);
}
async function typed(page, line, wanted) {
    await page.keyboard.type(line);
    return press(page, 'Enter', wanted);
}
// The keyboard, or the page's key bar tapped as on a phone (a line's digits and letters tapped one by one).
const keyboard = { press: (page, key) => page.keyboard.press(key), type: (page, line) => typed(page, line) };
// The bar's buttons by their names; a key that any key will do for is Enter.
const barNames = { Backspace: 'Usuń znak', ' ': 'Enter', ArrowUp: 'Strzałka w górę', ArrowDown: 'Strzałka w dół',
                   ArrowRight: 'Strzałka w prawo', ArrowLeft: 'Strzałka w lewo' };
const barButton = (page, key) =>
    page.locator('#keybar').getByRole('button', { name: barNames[key] ?? key, exact: true });
const taps = {
    press: (page, key) => barButton(page, key).tap(),
    async type(page, line) {
        for (const key of line) await barButton(page, key).tap();
        await barButton(page, 'Enter').tap();
    },
};
// The keys the bar offers now, as their labels.
const barKeys = page => page.locator('#bar-keys button').allTextContents().then(labels => labels.join(' '));
const openHero = (page, name, wanted = VIEW_HINT) => press(page, '1', 'Podaj swoje imię śmiałku:').then(() =>
    typed(page, name, wanted));
const leaveGame = (page, answer) => press(page, 'q', 'Czy chcesz zapisać grę? (tak/nie/anuluj)').then(() =>
    press(page, answer, '1. Graj'));

// Acts on each new screen until `step` returns true; `step` returns false for a screen it waits past.
async function drive(page, step, seconds) {
    const deadline = Date.now() + seconds * 1000;
    let last = '';
    while (Date.now() < deadline) {
        const now = await text(page);
        if (now === last) {
            await page.waitForTimeout(20);
            continue;
        }
        const done = await step(now);
        if (done === true) return now;
        last = done === false ? '' : now;
    }
    throw new Failure(`no end within ${seconds} s:\n${await text(page)}`);
}

// Character creation, the first answer everywhere, to the town.
const createHero = (page, input = keyboard) => drive(page, async screen => {
    if (screen.includes('Jesteś w mieście.')) return true;
    if (/Czy chcesz grać jako|t - ok, n - anuluj, r - przerzuć cechy/.test(screen)) await input.press(page, 't');
    else if (screen.includes('w - wybierz, inny - anuluj')) await input.press(page, 'w');
    else if (/\(ok\)|-- dalej --/.test(screen)) await input.press(page, ' ');
    else if (screen.includes('liczba - wybierz, n - anuluj, c - cofnij.')) await input.press(page, '1');
    else if (/liczba - wybór, (n - anuluj, c - cofnij\.|p - pokaż|c - cofnij)/.test(screen)) {
        await input.type(page, '1');
    }
    else if (screen.includes('Zmiana:')) await input.type(page, '0');
    else return false;
}, 60);

// The hero's cell on the overview (columns 51-70 of rows 2-21), or null.
function heroOnOverview(screen) {
    const lines = screen.split('\n').slice(1, 21);
    for (let y = 0; y < lines.length; ++y) {
        const x = [...lines[y]].slice(50, 70).indexOf('O');
        if (x >= 0) return [x, y];
    }
    return null;
}
const cellOf = (screen, x, y) => [...screen.split('\n')[y + 1]][x + 50];

// Walks to and fro beside the stairs with the arrow keys until `want` ('fight' or 'loot') comes, answering the
// dungeon's questions on the way; returns the fight's first screen or the loot screen.
async function walkUntil(page, want, input = keyboard) {
    let there = null, steps = 0, fought = false;
    const moves = [['ArrowUp', 'ArrowDown', 0, -1], ['ArrowDown', 'ArrowUp', 0, 1], ['ArrowLeft', 'ArrowRight', -1, 0],
                   ['ArrowRight', 'ArrowLeft', 1, 0]];
    return drive(page, async screen => {
        if (screen.includes('-- dalej --')) await input.press(page, ' ');
        else if (screen.includes('Czy chcesz zaatakować?')) await input.press(page, 't');
        else if (screen.includes('Co chcesz zrobić (liczba - podnieś')) {
            if (want === 'loot' && fought) return true;
            await input.type(page, 'w');
        } else if (screen.includes('(ok)')) await input.press(page, ' ');
        else if (screen.includes('komendy:afuec')) {
            if (want === 'fight') return true;
            fought = true;
            await input.press(page, 'f');
        } else if (screen.includes('Ruch - strzałki, s - statystki')) {
            fought = false;
            if (!there) {
                const [hx, hy] = heroOnOverview(screen);
                there = moves.find(([, , dx, dy]) => {
                    const [x, y] = [hx + dx, hy + dy];
                    return x >= 0 && x < 20 && y >= 0 && y < 20 && cellOf(screen, x, y) !== '#';
                });
                if (!there) throw new Failure('no floor next to the hero');
            }
            if (++steps > 400) throw new Failure(`four hundred steps did not bring the ${want}`);
            await input.press(page, there[steps % 2 === 1 ? 0 : 1]);
        } else return false;
    }, 120);
}

// --- the browser's storage and the panel -----------------------------------------------------------------------

const stored = (page, file) => page.evaluate(file => {
    const value = localStorage.getItem('kelvrin:' + file);
    return value === null ? null : Array.from(value, c => c.charCodeAt(0));
}, file);
const store = (page, file, bytes) => page.evaluate(([file, bytes]) =>
    localStorage.setItem('kelvrin:' + file, String.fromCharCode(...bytes)), [file, bytes]);
const panelSays = page => page.locator('#panel-message').textContent();
// The panel's message once it is `text` (a button's answer comes when the browser has given the hero's lock, after the
// click), or what it says after five seconds.
async function panelSaysSoon(page, text) {
    await page.waitForFunction(wanted => document.getElementById('panel-message').textContent === wanted, text,
                               { timeout: 5000 }).catch(() => {});
    return panelSays(page);
}
const heroButton = (page, file, label) => page.locator(`#heroes li[data-file="${file}"] button`, { hasText: label });
// A 32-bit little-endian field of a save, as the game stores it.
function putI32(bytes, at, value) {
    for (let i = 0; i < 4; ++i) bytes[at + i] = (value >> (8 * i)) & 255;
}
// The hero's save with strength and dexterity 30 and 999 Pw of 999: any fight of the first level is won.
async function makeStrong(page) {
    const strong = await stored(page, 'save_' + NAME);
    for (const [at, value] of [[8, 30], [12, 30], [40, 999], [44, 999]]) putI32(strong, at, value);
    await store(page, 'save_' + NAME, strong);
}
async function upload(page, fileName, bytes, heroName) {
    page.once('dialog', dialog => dialog.accept(heroName));
    await page.locator('#upload').setInputFiles({ name: fileName, mimeType: 'application/octet-stream',
                                                  buffer: Buffer.from(bytes) });
    await page.waitForFunction(() => document.getElementById('panel-message').textContent !== '');
}

// The Linux game on a pipe in a folder holding `files`: the folder's files afterwards.
function linuxPlays(files, keys) {
    const folder = mkdtempSync(join(tmpdir(), 'kelvrin-web-'));
    try {
        for (const [name, bytes] of Object.entries(files)) writeFileSync(join(folder, name), Buffer.from(bytes));
        const run = spawnSync(linuxGame, [], { cwd: folder, input: keys, encoding: 'utf8' });
        if (run.status !== 0) throw new Failure(`the Linux game ended with ${run.status}`);
        const left = {};
        for (const name of spawnSync('ls', ['-A'], { cwd: folder, encoding: 'utf8' }).stdout.split('\n')) {
            if (name) left[name] = [...readFileSync(join(folder, name))];
        }
        return { output: run.stdout, files: left };
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

const same = (a, b) => JSON.stringify(a) === JSON.stringify(b);
function expect(condition, what) {
    if (!condition) throw new Failure(what);
}

async function check(name, body) {
    try {
        await body();
        ++passed;
        console.log(`ok: ${name}`);
    } catch (error) {
        ++failed;
        console.log(`FAIL: ${name}: ${error instanceof Failure ? error.message : error.stack}`);
    }
}

// --- the run ------------------------------------------------------------------------------------------------------

const server = spawn(process.execPath, [join(here, '../../scripts/serve_web.mjs'), siteDir, '0'],
                     { stdio: ['ignore', 'pipe', 'inherit'] });
const address = await new Promise((resolve, reject) => {
    server.stdout.once('data', data => resolve(/http:\/\/[^/]+\//.exec(String(data))[0]));
    server.once('exit', () => reject(new Error('the server did not start')));
});
const profile = mkdtempSync(join(tmpdir(), 'kelvrin-chromium-'));
const browserArgs = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                     '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const launch = () => chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, acceptDownloads: true, viewport: { width: 1280, height: 800 },
    // Playwright turns the back/forward cache off unless told not to.
    ignoreDefaultArgs: ['--disable-back-forward-cache'],
    // Chromium names a download in the locale's charset, and in the C locale a Polish letter has none ("download"
    // instead of "save_Łucja"): the browser gets a UTF-8 locale whatever the one the tests run in.
    env: { ...process.env, LC_ALL: 'C.UTF-8' },
    args: browserArgs,
});
// Where the terminal, its last row and the key bar lie, against the viewport.
const layout = page => page.evaluate(() => {
    const box = element => {
        const { left, top, right, bottom } = element.getBoundingClientRect();
        return { left, top, right, bottom };
    };
    const rows = document.querySelectorAll('#terminal .xterm-rows > div');
    return { terminal: box(document.getElementById('terminal')), rows: rows.length, lastRow: box(rows[rows.length - 1]),
             bar: document.getElementById('keybar').hidden ? null : box(document.getElementById('keybar')),
             width: innerWidth, height: innerHeight, hint: !document.getElementById('turn-hint').hidden };
});
const inView = (box, view) => box.left >= 0 && box.top >= 0 && box.right <= view.width && box.bottom <= view.height;
async function watched(context) {
    // Nothing but this machine's server is asked for anything.
    await context.route('**/*', route => {
        const url = new URL(route.request().url());
        const local = url.hostname === '127.0.0.1' || url.protocol === 'blob:' || url.protocol === 'data:';
        if (local) return route.continue();
        foreign.push(url.href);
        return route.abort();
    });
    return context;
}
async function openGame(context) {
    const page = await context.newPage();
    page.responses = [];
    page.on('response', response => page.responses.push(response));
    page.on('pageerror', error => String(error).includes("the test's trap") || pageErrors.push(String(error)));
    const start = Date.now();
    await page.goto(address);
    await waitFor(page, '1. Graj');
    page.startedIn = Date.now() - start;
    return page;
}

let context = await watched(await launch());
let page;
try {
    await check('the menu and the information screen', async () => {
        page = await openGame(context);
        figures.push(`page to the menu: ${page.startedIn} ms`);
        // The page is asked for at every visit; the files it names, by their content, are kept for a year.
        for (const response of page.responses) {
            const file = new URL(response.url()).pathname;
            const headers = await response.allHeaders();
            const named = /\.[0-9a-f]{12}\.(js|css|wasm)$/.test(file);
            expect(file === '/' || named, `${file} is not named by its content`);
            expect(headers['cache-control'] === (named ? 'public, max-age=31536000, immutable' : 'no-cache'),
                   `${file} is sent with Cache-Control: ${headers['cache-control']}`);
            expect(headers['content-encoding'] === 'br',
                   `${file} is sent with Content-Encoding: ${headers['content-encoding']}`);
        }
        expect(await page.evaluate(() => document.documentElement.lang === 'pl' && document.title === 'Kelvrin'),
               'the page is not Polish or not titled Kelvrin');
        expect(await page.evaluate(() => document.activeElement === terminal.textarea), 'the terminal has no focus');
        await press(page, '3', 'Autor: Brannok52');
        await press(page, 'x', '1. Graj');
        // Ctrl-C is no signal here: the game goes on.
        await page.keyboard.press('Control+C');
        await press(page, '3', 'Autor: Brannok52');
        await press(page, 'x', '1. Graj');
        const start = Date.now();
        for (let i = 0; i < 10; ++i) {
            await press(page, '3', 'Autor: Brannok52');
            await press(page, 'x', '1. Graj');
        }
        figures.push(`a key to its screen: ${((Date.now() - start) / 20).toFixed(1)} ms`);
    });

    await check('Tab, Shift+Tab and F5 are the browser\'s; a click anywhere gives the game its keys', async () => {
        const inTerminal = () => page.evaluate(() => document.activeElement === terminal.textarea);
        // The page's two switches, then the panel.
        for (let i = 0; i < 3; ++i) await page.keyboard.press('Tab');
        expect(await page.evaluate(() => document.activeElement.closest('#panel') !== null),
               'Tab did not reach the panel');
        expect(await page.locator('#no-keys').isVisible(), 'the terminal does not say that keys miss it');
        for (let i = 0; i < 3; ++i) await page.keyboard.press('Shift+Tab');
        expect(await inTerminal(), 'Shift+Tab did not come back to the terminal');
        await page.evaluate(() => addEventListener('keydown', event => {
            if (event.key === 'F5') window.f5Cancelled = event.defaultPrevented;
        }));
        await page.keyboard.press('F5');
        expect(await page.evaluate(() => window.f5Cancelled === false), 'the keydown of F5 was cancelled');
        expect((await text(page)).startsWith('Kelvrin v 0.2'), 'F5 reached the game');
        for (const place of ['#panel h2', '#graveyard', '#keys', 'the empty page']) {
            if (place === 'the empty page') await page.mouse.click(5, 790);
            else await page.locator(place).click();
            await press(page, '3', 'Autor: Brannok52');
            await press(page, 'x', '1. Graj');
        }
        expect(await page.locator('#no-keys').isHidden(), 'the terminal still says that keys miss it');
    });

    await check('a hero with a Polish name, coloured bonuses, the town', async () => {
        await press(page, '1', 'Podaj swoje imię śmiałku:');
        await page.keyboard.type(NAME + 'ś');
        await waitFor(page, 'śmiałku: ' + NAME + 'ś');
        await page.keyboard.press('Backspace');
        await drive(page, async screen => screen.split('\n').some(line => line.endsWith('śmiałku: ' + NAME)), 5);
        await press(page, 'Enter', 't - ok, n - anuluj, r - przerzuć cechy');
        await press(page, 't', 'WYBIERZ RASĘ:');
        await press(page, '2', 'Czy chcesz grać jako Elf?');
        const lines = await rows(page);
        const colourOf = async (label, sign) => {
            const y = lines.findIndex(line => line.startsWith(label));
            const x = y < 0 ? -1 : [...lines[y]].indexOf(sign);
            if (y < 0 || x < 0) throw new Failure(`no ${label} ${sign} in:\n${lines.join("\n")}`);
            return (await colours(page, y))[x][0];
        };
        expect(same([await colourOf('ZRĘ:', '+'), await colourOf('KON:', '-')], [10, 9]),
               'ZRĘ +2 is not light green or KON -2 not light red');
        await createHero(page);
        await waitFor(page, 'Jesteś w mieście.');
        await page.screenshot({ path: join(outDir, 'web-town.png') });
    });

    await check('save, reload, and load by name; the browser closed and opened again', async () => {
        await leaveGame(page, 't');
        expect((await stored(page, 'save_' + NAME))?.length === 1008, 'no save of 1008 bytes');
        await heroButton(page, 'save_' + NAME, 'Pobierz').waitFor({ timeout: 5000 });
        await page.reload();
        await waitFor(page, '1. Graj');
        await openHero(page, NAME, 'Jesteś w mieście.');
        expect(await stored(page, 'save_' + NAME) === null, 'loading left the save');
        await leaveGame(page, 't');
        await context.close();
        context = await watched(await launch());
        page = await openGame(context);
        expect((await stored(page, 'save_' + NAME))?.length === 1008, 'the save did not outlive the browser');
    });

    await check('the dungeon view, a step with the arrows, a fight and its loot', async () => {
        await makeStrong(page);
        await openHero(page, NAME, 'Jesteś w mieście.');
        await press(page, 'w', 'Gdzie chcesz iść:');
        await press(page, 'p', 'Jesteś w podziemiach na 1 poziomie.');
        const view = await waitFor(page, VIEW_HINT);
        expect([...view.split('\n')[11]][9] === 'O', 'the close-up does not show the hero in its middle');
        const before = heroOnOverview(view);
        expect(before !== null, 'the overview does not show the hero');
        const fight = await walkUntil(page, 'fight');
        expect(new RegExp(`^${NAME} pw:.*komendy:afuec`).test(fight.split('\n')[0]),
               'the top row is not the fight status bar');
        expect((await colours(page, 0)).every(([fg, bg]) => fg === 7 && bg === 8),
               'the status bar is not grey on grey');
        await page.screenshot({ path: join(outDir, 'web-fight.png') });
        await walkUntil(page, 'loot');
        await typed(page, 'w', VIEW_HINT);
    });

    await check('a reload in the middle of a game leaves the crash save; play on from it', async () => {
        await page.reload();
        await waitFor(page, '1. Graj');
        expect((await stored(page, 'error_save_' + NAME))?.length === 1008 &&
               await stored(page, 'save_' + NAME) === null, 'no crash save alone after the reload');
        await heroButton(page, 'error_save_' + NAME, 'Graj dalej').click();
        await page.waitForFunction(name => localStorage.getItem('kelvrin:save_' + name) !== null, NAME);
        expect(await stored(page, 'error_save_' + NAME) === null, 'play on left the crash save');
        await openHero(page, NAME);
        await waitFor(page, 'Jesteś w podziemiach na 1 poziomie.');
    });

    // Whether the page came back from the back/forward cache after a visit to another page of the site: its
    // scripts' own state is still there then.
    async function leftAndShown() {
        await page.evaluate(() => { window.beforeLeaving = true; });
        await page.goto(address + 'LICENSE.txt');
        // A page shown from the cache fires no load event: only the navigation's commit is awaited.
        await page.goBack({ waitUntil: 'commit' });
        await page.waitForFunction(() => typeof terminal === 'object');
        const restored = await page.evaluate(() => window.beforeLeaving === true);
        if (!restored) await waitFor(page, '1. Graj');
        return restored;
    }
    await check('a page left and shown again from the back/forward cache', async () => {
        // In the menu (no hero, no lock): the same game goes on.
        await leaveGame(page, 't');
        const atMenu = await leftAndShown();
        if (atMenu) await press(page, '3', 'Autor: Brannok52').then(() => press(page, 'x', '1. Graj'));
        await openHero(page, NAME);
        const restored = await leftAndShown();
        figures.push(`back/forward cache: kept ${atMenu ? 'in the menu' : 'not in the menu'}, ` +
                     `${restored ? 'kept' : 'not kept'} in a game`);
        if (restored) {
            await waitFor(page, VIEW_HINT);
            expect(await stored(page, 'error_save_' + NAME) === null, 'a crash save beside the live hero');
            await leaveGame(page, 't');
        } else {
            // Not kept (a page holding a Web Lock may not be): it was gone, and its hero is in the crash save.
            await waitFor(page, '1. Graj');
            expect((await stored(page, 'error_save_' + NAME))?.length === 1008, 'the page went without a crash save');
            await store(page, 'save_' + NAME, await stored(page, 'error_save_' + NAME));
            await page.evaluate(name => localStorage.removeItem('kelvrin:error_save_' + name), NAME);
        }
    });

    await check('a downloaded save plays in the Linux game and comes back byte for byte', async () => {
        await page.reload();
        await waitFor(page, '1. Graj');
        const kept = await stored(page, 'save_' + NAME);
        const [download] = await Promise.all([page.waitForEvent('download'),
                                              heroButton(page, 'save_' + NAME, 'Pobierz').click()]);
        const file = join(profile, 'downloaded');
        await download.saveAs(file);
        const bytes = [...readFileSync(file)];
        const named = download.suggestedFilename();
        expect(named === 'save_' + NAME, `the download is named ${named}`);
        expect(same(bytes, kept), 'the download holds other bytes than the save');
        const linux = linuxPlays({ ['save_' + NAME]: bytes }, `1${NAME}\nqt0`);
        expect(linux.output.includes('Jesteś w podziemiach na 1 poziomie.'), 'the Linux game did not load the hero');
        const back = linux.files['save_' + NAME];
        expect(same(back, bytes), 'the Linux game saved other bytes');
        await page.evaluate(name => localStorage.removeItem('kelvrin:save_' + name), NAME);
        await upload(page, `save_${NAME} (1)`, back, NAME);
        expect(same(await stored(page, 'save_' + NAME), back), 'the uploaded save is not the Linux game\'s file');
    });

    await check('a damaged file is refused and replaces nothing', async () => {
        const kept = await stored(page, 'save_' + NAME);
        const damaged = kept.slice();
        damaged[0] ^= 0xff;
        await page.evaluate(() => { document.getElementById('panel-message').textContent = ''; });
        const before = await layout(page);
        await upload(page, 'save_' + NAME, damaged, NAME);
        expect(same((await layout(page)).terminal, before.terminal), 'the panel\'s message moved the terminal');
        expect(await panelSays(page) === `Pilk zapisu 'save_${NAME}' jest uszkodzony!`,
               'no refusal of the damaged file');
        expect(same(await stored(page, 'save_' + NAME), kept), 'the damaged file replaced the save');
    });

    await check('a hero in play in another tab is refused; the panels follow each other\'s tab', async () => {
        const kept = await stored(page, 'save_' + NAME);
        await openHero(page, NAME);
        expect(await page.locator(`#heroes li[data-file="save_${NAME}"]`).count() === 0,
               'the panel lists the save just loaded');
        const other = await openGame(context);
        await upload(other, 'save_' + NAME, kept, NAME);
        expect(await panelSays(other) === IN_PLAY, 'the other tab took the hero in play');
        await openHero(other, NAME, IN_PLAY);
        // A crash save of the hero, written in the other tab: in play here, refused there.
        await other.evaluate(([file, bytes]) => Module.kelvrin.writeFile(file, Uint8Array.from(bytes)),
                             ['error_save_' + NAME, kept]);
        const entry = page.locator(`#heroes li[data-file="error_save_${NAME}"]`);
        await entry.waitFor({ timeout: 2000 });
        expect(await entry.textContent() === `${NAME} zapis awaryjny (error_save_${NAME})w grze w tej karcie`,
               `the hero in play here is listed as "${await entry.textContent()}"`);
        await heroButton(other, 'error_save_' + NAME, 'Graj dalej').click();
        const answer = await panelSaysSoon(other, IN_PLAY);
        expect(answer === IN_PLAY, `the other tab played on with the hero in play: "${answer}"`);
        await other.evaluate(name => Module.kelvrin.removeFile('error_save_' + name), NAME);
        await entry.waitFor({ state: 'detached', timeout: 2000 });
        await other.close();
        await leaveGame(page, 't');
    });

    await check('a trap in the game keeps the hero in the crash save and lets go of his lock', async () => {
        await openHero(page, NAME);
        await page.evaluate(() => setTimeout(() => { throw new WebAssembly.RuntimeError("the test's trap"); }));
        await page.waitForSelector('#ended', { state: 'visible' });
        const crash = 'Wystąpił błąd gry, została ona zapisana w pliku error_save_' + NAME +
                      ' jednak może nie działać poprawnie.';
        expect((await page.locator('#notice').textContent()).trim() === crash, 'no crash message');
        expect((await stored(page, 'error_save_' + NAME))?.length === 1008, 'no crash save');
        expect((await page.evaluate(() => navigator.locks.query())).held.length === 0, 'a lock is still held');
        await store(page, 'save_' + NAME, await stored(page, 'error_save_' + NAME));
        await page.evaluate(name => localStorage.removeItem('kelvrin:error_save_' + name), NAME);
        await page.reload();
        await waitFor(page, '1. Graj');
    });

    await check('every byte value is kept in the storage as one code unit', async () => {
        expect(await page.evaluate(() => {
            const bytes = Uint8Array.from({ length: 256 }, (_, i) => i);
            Module.kelvrin.writeFile('bytes', bytes);
            const raw = localStorage.getItem('kelvrin:bytes');
            const back = Module.kelvrin.readFile('bytes');
            Module.kelvrin.removeFile('bytes');
            return raw.length === 256 && [...raw].every((c, i) => c.charCodeAt(0) === i) &&
                   back.length === 256 && back.every((b, i) => b === i);
        }), 'a byte value changed on its way through the storage');
    });

    await check('"0. Wyjście" ends the game and the page offers a new one', async () => {
        await press(page, '0');
        await page.waitForSelector('#ended', { state: 'visible' });
        // The panel still serves the game's files.
        const [download] = await Promise.all([page.waitForEvent('download'),
                                              heroButton(page, 'save_' + NAME, 'Pobierz').click()]);
        const named = download.suggestedFilename();
        expect(named === 'save_' + NAME, `the download after the end is named ${named}`);
        await Promise.all([page.waitForEvent('load'), page.click('#again')]);
        await waitFor(page, '1. Graj');
    });

    await check('storage refused: the game says so, goes on, and the page warns once', async () => {
        const refusing = await context.newPage();
        await refusing.addInitScript(() => {
            Storage.prototype.setItem = () => { throw new DOMException('full', 'QuotaExceededError'); };
        });
        await refusing.goto(address);
        await waitFor(refusing, '1. Graj');
        await openHero(refusing, NAME);
        await press(refusing, 'q', 'Czy chcesz zapisać grę? (tak/nie/anuluj)');
        await press(refusing, 't', 'Nie mozna zapisac gry!');
        expect(await refusing.locator('#notice').isVisible() &&
               /nie przetrwają/.test(await refusing.locator('#notice').textContent()), 'no notice on the page');
        await refusing.close();
    });
    const phones = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args: browserArgs });
    await check('on phones upright and sideways the whole terminal is in view, and the bar beside it', async () => {
        const profiles = [['Pixel 7', 'web-phone-upright.png'], ['Pixel 7 landscape', 'web-phone-sideways.png'],
                          ['iPhone 13', null], ['iPhone 13 landscape', null]];
        for (const [name, shot] of profiles) {
            const phone = await watched(await phones.newContext(devices[name]));
            const phonePage = await openGame(phone);
            const at = await layout(phonePage);
            expect(inView(at.terminal, at), `${name}: the terminal is out of view: ${JSON.stringify(at)}`);
            expect(at.rows === 25 && at.lastRow.bottom <= at.terminal.bottom, `${name}: not all 25 rows show`);
            expect(at.bar !== null && inView(at.bar, at), `${name}: the key bar is out of view`);
            const sideways = at.width > at.height;
            expect(sideways ? at.bar.left >= at.terminal.right : at.bar.top >= at.terminal.bottom,
                   `${name}: the key bar is not ${sideways ? 'beside' : 'below'} the terminal`);
            expect(at.hint === !sideways, `${name}: the hint to turn the phone is ${at.hint ? 'shown' : 'not shown'}`);
            if (shot) await phonePage.screenshot({ path: join(outDir, shot) });
            await phone.close();
        }
        for (const [zoom, shot] of [[1, 'web-desktop-100.png'], [2, 'web-desktop-200.png']]) {
            const viewport = { width: 1280 / zoom, height: 800 / zoom };
            const desktop = await watched(await phones.newContext({ viewport, deviceScaleFactor: zoom }));
            const desktopPage = await openGame(desktop);
            const at = await layout(desktopPage);
            expect(inView(at.terminal, at), `at ${zoom * 100} %: the terminal is out of view: ${JSON.stringify(at)}`);
            await desktopPage.screenshot({ path: join(outDir, shot) });
            await desktop.close();
        }
    });

    await check('a game by taps alone: creation, the town, a step on the pad, a fight, a save', async () => {
        const phone = await watched(await phones.newContext(devices['Pixel 7 landscape']));
        const tapped = await openGame(phone);
        const bar = async (screen, keys) => expect(await barKeys(tapped) === keys + ' Enter ⌫ Esc',
                                                   `the bar of ${screen} holds ${await barKeys(tapped)}`);
        await bar('the menu', '1 2 3 0');
        await taps.press(tapped, '1');
        await waitFor(tapped, 'Podaj swoje imię śmiałku:');
        expect(await barKeys(tapped) === 'Enter ⌫ Esc Klawiatura',
               `the bar of the name holds ${await barKeys(tapped)}`);
        await tapped.locator('#keybar button', { hasText: 'Klawiatura' }).tap();
        await tapped.keyboard.insertText(NAME);
        await waitFor(tapped, 'śmiałku: ' + NAME);
        await taps.press(tapped, 'Enter');
        await waitFor(tapped, 't - ok, n - anuluj, r - przerzuć cechy');
        await createHero(tapped, taps);
        await bar('the town', 's q b u t g a d m o w +');
        await taps.press(tapped, 'q');
        await waitFor(tapped, 'Czy chcesz zapisać grę? (tak/nie/anuluj)');
        await taps.press(tapped, 't');
        await waitFor(tapped, '1. Graj');
        await makeStrong(tapped);
        await taps.press(tapped, '1');
        await tapped.keyboard.insertText(NAME);
        await taps.press(tapped, 'Enter');
        await waitFor(tapped, 'Jesteś w mieście.');
        await taps.press(tapped, 'w');
        await taps.press(tapped, 'p');
        await waitFor(tapped, VIEW_HINT);
        await bar('the dungeon', 's u q');
        expect(await tapped.locator('#bar-arrows').isVisible(), 'the dungeon has no arrow pad');
        await tapped.screenshot({ path: join(outDir, 'web-phone-dungeon.png') });
        // Monsters come only on steps: a fight is the pad's steps.
        await walkUntil(tapped, 'fight', taps);
        await bar('the fight', 'a f u c e s ?');
        await walkUntil(tapped, 'loot', taps);
        await taps.type(tapped, 'w');
        await waitFor(tapped, VIEW_HINT);
        await taps.press(tapped, 'q');
        await taps.press(tapped, 't');
        await waitFor(tapped, '1. Graj');
        expect((await stored(tapped, 'save_' + NAME))?.length === 1008, 'no save after the taps');
        await phone.close();
    });
    await check('the screen-reader mode: each key\'s text heard once, the dungeon in words, the status on demand',
                async () => {
        const reading = await watched(await phones.newContext({ viewport: { width: 1280, height: 800 } }));
        await reading.addInitScript(() => localStorage.setItem('kelvrinPage.screenReader', 'on'));
        const ear = await openGame(reading);
        const heard = () => ear.locator('#reader-log p').allTextContents();
        const once = (added, wanted, key) => {
            const times = added.split(wanted).length - 1;
            expect(times === 1, `after ${key} the reader heard ${wanted} ${times} times:\n${added}`);
        };
        // What the log gained after a key, holding `wanted` (a text or a pattern) exactly once.
        async function after(key, wanted) {
            const before = (await heard()).length;
            await ear.keyboard.press(key);
            await ear.waitForFunction(n => document.querySelectorAll('#reader-log p').length > n, before);
            const added = (await heard()).slice(before).join('\n');
            if (wanted) once(added, wanted, key);
            return added;
        }
        await ear.waitForFunction(() => document.querySelectorAll('#reader-log p').length > 0);
        expect((await heard()).join('').split('1. Graj').length === 2, 'the menu was not heard once');
        expect(await ear.evaluate(() => terminal.options.screenReaderMode === false), 'xterm\'s own reader is on');
        const controls = await ear.locator('body').ariaSnapshot();
        const unnamed = controls.split('\n').filter(line => /- (button|checkbox|textbox|log)\b/.test(line) &&
                                                                !/ "[^"]+"/.test(line));
        expect(unnamed.length === 0 && !/Terminal/.test(controls), `a control without a Polish name:\n${controls}`);
        await after('3', 'Klawisze czytnika ekranu: j - stan postaci');
        await after('x', '1. Graj');
        await after('1', 'Podaj swoje imię śmiałku:');
        await ear.keyboard.type(NAME);
        await after('Enter', 't - ok, n - anuluj, r - przerzuć cechy');
        await createHero(ear);
        // Saved, made strong enough for any fight of the first level, and loaded again.
        await leaveGame(ear, 't');
        await makeStrong(ear);
        await after('1', 'Podaj swoje imię śmiałku:');
        await ear.keyboard.type(NAME);
        await after('Enter', 'Jesteś w mieście.');
        await after('j', 'Pw 999/999, złoto ');
        await after('w', 'Gdzie chcesz iść:');
        await after('p', 'Tu: schody w górę. ');
        // Steps with the arrows to a floor cell next to the hero, each told, until three are and a fight came.
        let told = 0;
        let fought = false;
        for (let steps = 0; told < 3 || !fought; ++steps) {
            expect(steps < 100, `a hundred steps without three told and a fight (${told} told)`);
            const screen = await text(ear);
            const [hx, hy] = heroOnOverview(screen);
            const moves = [['ArrowUp', 0, -1], ['ArrowDown', 0, 1], ['ArrowLeft', -1, 0], ['ArrowRight', 1, 0]];
            const [arrow] = moves.find(([, dx, dy]) => hx + dx >= 0 && hx + dx < 20 && hy + dy >= 0 && hy + dy < 20 &&
                                                          cellOf(screen, hx + dx, hy + dy) !== '#');
            const added = await after(arrow);
            if (/Północ: |Tylko na /.test(added)) {
                once(added, /Północ: |Tylko na /, arrow);
                ++told;
            } else {
                // Monsters on the way: to the fight, its status bar on demand, the fight won, the view again.
                fought = true;
                await walkUntil(ear, 'fight');
                await after('j', `${NAME} pw:`);
                await walkUntil(ear, 'loot');
                await typed(ear, 'w', VIEW_HINT);
            }
        }
        await reading.close();
    });
    await phones.close();
} finally {
    await context.close().catch(() => {});
    server.kill();
    rmSync(profile, { recursive: true, force: true });
}
for (const figure of figures) console.log(figure);
if (pageErrors.length > 0) {
    ++failed;
    console.log(`FAIL: the page threw: ${pageErrors.join(' | ')}`);
}
if (foreign.length > 0) {
    ++failed;
    console.log(`FAIL: requests beyond 127.0.0.1: ${foreign.join(' ')}`);
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
