// The page around the game: the terminal (xterm.js) at the game's 80×25,
// its keys to the game, the notices, and the panel of the heroes kept in
// this browser. The game itself is kelvrin.js, loaded after this file.
'use strict';

// The game's console colours: the classic console palette, by ANSI number.
const palette = {
    foreground: '#c0c0c0', background: '#000000', cursor: '#c0c0c0',
    black: '#000000', red: '#800000', green: '#008000', yellow: '#808000',
    blue: '#000080', magenta: '#800080', cyan: '#008080', white: '#c0c0c0',
    brightBlack: '#808080', brightRed: '#ff0000', brightGreen: '#00ff00', brightYellow: '#ffff00',
    brightBlue: '#0000ff', brightMagenta: '#ff00ff', brightCyan: '#00ffff', brightWhite: '#ffffff',
};

// The terminal's own words for a screen reader, in Polish; its own reading
// of the screen stays off (screenReaderMode), as the game's text reaches the
// reader through the page's log instead.
Terminal.strings.promptLabel = 'Klawisze gry';
Terminal.strings.tooMuchOutput = 'Za dużo tekstu naraz, aby go przeczytać.';
const terminal = new Terminal({
    cols: 80, rows: 25, theme: palette, fontSize: 16,
    fontFamily: '"DejaVu Sans Mono", "Liberation Mono", Consolas, Menlo, monospace',
    scrollback: 0, cursorBlink: false, screenReaderMode: false,
});
terminal.open(document.getElementById('terminal'));
// The keys the game never uses stay the browser's: Tab and Shift+Tab move
// the focus, F5 and Ctrl+R reload, F11 and F12 are the browser's own (the
// terminal neither sends them nor cancels them). Ctrl-C with text selected
// is the browser's copy, not a key for the game.
const browserKeys = new Set(['Tab', 'F5', 'F11', 'F12']);
terminal.attachCustomKeyEventHandler(event => {
    if (browserKeys.has(event.key)) return false;
    if (event.ctrlKey && !event.altKey && (event.key === 'r' || event.key === 'R')) return false;
    return !(event.type === 'keydown' && event.ctrlKey && event.key === 'c' && terminal.hasSelection());
});
terminal.focus();

// --- the terminal's size -------------------------------------------------

// Pixels around the terminal's character cells: its padding and border, and
// the page's own padding.
const TerminalFrame = 14;
const PageFrame = 16;
const LargestFont = 16;
// Below this size rows may be cut to keep the width (a window zoomed far in
// scrolls): the columns, where every menu is, are never cut.
const SmallestFontForRows = 10;
const phoneQuery = matchMedia('(pointer: coarse)');
const onPhone = () => phoneQuery.matches || navigator.maxTouchPoints > 0;

function terminalSize() {
    const screen = document.querySelector('#terminal .xterm-screen');
    return screen ? screen.getBoundingClientRect() : { width: 0, height: 0 };
}
// The largest font up to 16 px with which all 80 columns fit the width of
// the window and, unless the font would be smaller than 10 px, all 25 rows
// its height; the key bar beside the terminal where the screen is wider than
// high, below it otherwise.
function fitTerminal() {
    const width = document.documentElement.clientWidth;
    const height = window.innerHeight;
    const bar = document.getElementById('keybar');
    const play = document.getElementById('play');
    const beside = !bar.hidden && width > height;
    play.classList.toggle('beside', beside);
    const spareWidth = width - PageFrame - TerminalFrame - (beside ? bar.offsetWidth + 8 : 0);
    const spareHeight = height - PageFrame - TerminalFrame - document.getElementById('turn-hint').offsetHeight;
    // Cell sizes grow with the font: measured once at the present font, then
    // corrected where rounding made the terminal larger than the space.
    const now = terminal.options.fontSize;
    const { width: w, height: h } = terminalSize();
    if (w === 0 || h === 0) return;
    const byWidth = spareWidth / (w / now);
    const byHeight = spareHeight / (h / now);
    let font = Math.min(LargestFont, byWidth, Math.max(byHeight, SmallestFontForRows));
    font = Math.max(1, Math.floor(font * 4) / 4);
    for (let tries = 0; tries < 16; ++tries) {
        if (terminal.options.fontSize !== font) terminal.options.fontSize = font;
        const size = terminalSize();
        const fitsRows = font <= SmallestFontForRows || size.height <= spareHeight;
        if ((size.width <= spareWidth && fitsRows) || font <= 1) break;
        font -= 0.25;
    }
}
function showTurnHint() {
    document.getElementById('turn-hint').hidden = !(onPhone() && window.innerHeight > window.innerWidth);
}
function layOut() {
    showTurnHint();
    fitTerminal();
}
window.addEventListener('resize', layOut);
if (document.fonts) document.fonts.ready.then(layOut);

// --- the on-screen keys --------------------------------------------------

// The bytes a terminal sends for the keys the bar offers.
const Enter = '\r';
const Backspace = '\x7f';
const Escape = '\x1b';
const keyBar = document.getElementById('keybar');
const showBar = document.getElementById('show-keybar');

// The page's own switches, kept in this browser: never under the game's
// storage prefix, whose every key the game reads as one of its files. A
// browser that keeps nothing has the default, and remembers no change.
function setting(name, byDefault) {
    try {
        const kept = localStorage.getItem('kelvrinPage.' + name);
        if (kept !== null) return kept === 'on';
    } catch (e) { /* no storage */ }
    return byDefault;
}
function keepSetting(name, on) {
    try {
        localStorage.setItem('kelvrinPage.' + name, on ? 'on' : 'off');
    } catch (e) { /* not remembered */ }
}

showBar.checked = setting('keyBar', onPhone());
showBar.addEventListener('change', () => {
    keepSetting('keyBar', showBar.checked);
    showKeyBar();
});

// The screen-reader mode is the game's from its start (a recording holds
// it): the switch gives the next game its mode, at once where no hero is in
// play in this tab.
const readerSwitch = document.getElementById('screen-reader');
const readerMode = setting('screenReader', false);
readerSwitch.checked = readerMode;
readerSwitch.addEventListener('change', () => {
    keepSetting('screenReader', readerSwitch.checked);
    const inPlay = typeof Module.kelvrin === 'object' && Module.kelvrin.locksHeld().length > 0;
    if (readerSwitch.checked === readerMode) document.getElementById('reader-note').hidden = true;
    else if (inPlay && !gameEnded) document.getElementById('reader-note').hidden = false;
    else location.reload();
});
// The game's text, a node for each key, the last ones kept.
const ReaderHistory = 200;
function readerText(text) {
    const log = document.getElementById('reader-log');
    const node = document.createElement('p');
    node.textContent = text;
    log.append(node);
    while (log.childElementCount > ReaderHistory) log.firstElementChild.remove();
}

// What the game waits for now (runtime.js's onOffer): kind 0 keys, 1 any
// key, 2 a line, 3 a number, 4 the hero's name.
const Offer = { Keys: 0, AnyKey: 1, Line: 2, Number: 3, Name: 4 };
let offer = { kind: Offer.AnyKey, keys: '', arrows: false };
const typing = () => offer.kind === Offer.Line || offer.kind === Offer.Number || offer.kind === Offer.Name;

function barButton(label, bytes, name) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = label;
    button.dataset.key = bytes;
    if (name) button.setAttribute('aria-label', name);
    return button;
}
function showKeyBar() {
    keyBar.hidden = !showBar.checked;
    if (!keyBar.hidden) {
        const buttons = [];
        const keys = offer.kind === Offer.Number ? '0123456789' : offer.keys;
        for (const key of new Set(keys)) buttons.push(barButton(key, key));
        buttons.push(barButton('Enter', Enter), barButton('⌫', Backspace, 'Usuń znak'),
                     barButton('Esc', Escape, 'Escape'));
        if (typing()) buttons.push(barButton('Klawiatura', '', 'Klawiatura telefonu'));
        document.getElementById('bar-keys').replaceChildren(...buttons);
        document.getElementById('bar-arrows').hidden = !offer.arrows;
    }
    fitTerminal();
    showWhereKeysGo();
}
// A press on the bar never takes the focus from a text being typed.
keyBar.addEventListener('pointerdown', event => event.preventDefault());
keyBar.addEventListener('click', event => {
    const button = event.target.closest('button');
    if (!button) return;
    // The phone's own keyboard comes up only for a focus given in the tap's
    // own handler.
    if (button.dataset.key === '') terminal.focus();
    else sendToGame(encoder.encode(button.dataset.key));
});

// The game's own words, where the panel refuses as the game does.
const InPlayElsewhere = 'Ta postać jest już w grze w innym oknie.';

let gameRunning = false;  // main has started and neither ended nor crashed
const encoder = new TextEncoder();

function show(id, text) {
    const element = document.getElementById(id);
    if (text !== undefined) element.textContent = text;
    element.hidden = false;
}

function storageNotice() {
    show('notice', 'Ta przeglądarka nie pozwala tej stronie przechowywać plików: zapisane gry nie przetrwają ' +
        'zamknięcia karty. Pobierz zapis, aby go zachować.');
}

var Module = {
    arguments: readerMode ? ['--screen-reader'] : [],
    preRun: [() => {
        const kelvrin = Module.kelvrin;
        kelvrin.terminal = terminal;
        kelvrin.onStorageRefused = storageNotice;
        if (kelvrin.storageRefused) storageNotice();
        kelvrin.onGameEnded = () => {
            gameRunning = false;
            gameEnded = true;
            show('ended');
            document.getElementById('again').focus();
            showWhereKeysGo();
        };
        kelvrin.onOffer = (kind, keys, arrows) => {
            offer = { kind, keys, arrows };
            if (kind === Offer.Name) {
                typedName = '';
                // The phone's keyboard comes up for the name where the
                // browser allows a focus given after the tap (not iOS).
                if (!keyBar.hidden) terminal.focus();
            }
            showKeyBar();
            pointAtCrashSave();
        };
        kelvrin.onFilesChanged = panelChanged;
        kelvrin.onReaderText = readerText;
        gameRunning = true;
        kelvrin.sendKeys(typedAhead);
        typedAhead = null;
    }],
    postRun: [() => refreshPanel()],
    onAbort: () => gameCrashed(),
};

// A trap or an abort in the game's code: none of it can run any more. The
// crash save the game took at its last key wait is written here, the locks
// are let go, and the game's crash message is shown. (An abort calls
// onAbort; a trap after a key wait reaches the page as an error of its own.)
function gameCrashed() {
    if (!gameRunning) return;
    gameRunning = false;
    gameEnded = true;
    const kelvrin = Module.kelvrin;
    const crash = kelvrin.crash;
    if (crash.copy) {
        const written = kelvrin.replaceFile(crash.path, crash.temporaryPath, crash.copy);
        show('notice', written ? crash.written : crash.failed);
    }
    kelvrin.releaseLocks();
    show('ended');
    refreshPanel();
    showWhereKeysGo();
}
const trapped = error => error instanceof WebAssembly.RuntimeError && gameCrashed();
window.addEventListener('error', event => trapped(event.error));
window.addEventListener('unhandledrejection', event => trapped(event.reason));

// Keys typed before the game has started wait for it, as a terminal keeps
// what was typed ahead.
let typedAhead = [];
let gameEnded = false;
// The keys of the terminal and of the bar, to the game. A key clears the
// panel's message: it spoke of what came before.
function sendToGame(bytes) {
    if (gameEnded || bytes.length === 0) return;
    say('');
    if (offer.kind === Offer.Name) followName(bytes);
    if (typedAhead !== null) typedAhead.push(...bytes);
    else Module.kelvrin.sendKeys(bytes);
}
// Ctrl-C, Ctrl-Z and Ctrl-\ stop a game in a terminal; a page has no such
// signals, and the game never takes them as keys.
terminal.onData(data => sendToGame(encoder.encode(data).filter(byte => byte !== 0x03 && byte !== 0x1a &&
                                                                      byte !== 0x1c)));

// --- where the keys go -------------------------------------------------------

// A pointer's click anywhere but on a control gives the keys back to the
// game, and so does a click on a button once it has acted (the panel's
// buttons, the file chooser's): a keyboard user in the panel stays there,
// and a finger, which has the bar, brings up no keyboard.
let pointer = 'mouse';
document.addEventListener('pointerdown', event => { pointer = event.pointerType; }, true);
document.addEventListener('click', event => {
    if (event.detail === 0 || pointer === 'touch' || gameEnded) return;
    if (event.target.closest('input, select, textarea, a, label, #keybar, #terminal')) return;
    if (String(window.getSelection()).length > 0) return;
    terminal.focus();
});
// Where keys cannot reach the game (the panel has the focus, a dialog or the
// file chooser is open), the terminal says so; with the bar shown its keys
// still reach it.
function showWhereKeysGo() {
    const lost = !gameEnded && keyBar.hidden &&
                 (!document.hasFocus() || document.activeElement !== terminal.textarea);
    document.getElementById('screen').classList.toggle('no-keys', lost);
    document.getElementById('no-keys').hidden = !lost;
}
for (const event of ['focusin', 'focusout']) document.addEventListener(event, () => setTimeout(showWhereKeysGo));
for (const event of ['focus', 'blur']) window.addEventListener(event, () => setTimeout(showWhereKeysGo));

// Leaving the page in the middle of a game keeps the hero in his crash
// save. A page kept in the back/forward cache is not gone: its game goes
// on when it is shown again, so nothing is written then.
window.addEventListener('pagehide', event => {
    if (gameRunning && !event.persisted && Module._kelvrinPageGone) Module._kelvrinPageGone();
});
// A page shown again from that cache takes keys at once, as after loading:
// some browsers give the focus back to no element then, and the keys would
// go nowhere until a click.
window.addEventListener('pageshow', event => {
    if (!event.persisted || document.activeElement !== document.body) return;
    if (gameEnded) document.getElementById('again').focus();
    else terminal.focus();
});

document.getElementById('again').addEventListener('click', () => location.reload());

if (navigator.storage && navigator.storage.persist) navigator.storage.persist().catch(() => {});

// --- the panel of heroes --------------------------------------------------

// Calls into the game while it waits for a key (the runtime's ccall would
// wait for the game instead): the arguments on the game's stack for the call.
function onStack(body) {
    const top = Module.stackSave();
    try {
        return body();
    } finally {
        Module.stackRestore(top);
    }
}
function textOnStack(text) {
    const size = Module.lengthBytesUTF8(text) + 1;
    const at = Module.stackAlloc(size);
    Module.stringToUTF8(text, at, size);
    return at;
}
const nameAnswer = (fn, hero) => onStack(() => Module.UTF8ToString(fn(textOnStack(hero))));
const saveName = hero => nameAnswer(Module._kelvrinSaveName, hero);
const crashSaveName = hero => nameAnswer(Module._kelvrinCrashSaveName, hero);
const lockName = hero => nameAnswer(Module._kelvrinLockName, hero);
const nameAllowed = hero => onStack(() => Module._kelvrinNameAllowed(textOnStack(hero)) === 1);
const saveSound = bytes => onStack(() => {
    const at = Module.stackAlloc(bytes.length);
    Module.HEAPU8.set(bytes, at);
    return Module._kelvrinSaveSound(at, bytes.length) === 1;
});

function say(text) { document.getElementById('panel-message').textContent = text; }

// Runs `action` holding the hero's lock, as the game holds it while he is
// in play; refused, as the game refuses, when another tab has him in play.
// Without Web Locks (plain http) there is no lock, as in a folder without
// lock support.
async function withHeroLocked(hero, action) {
    if (!navigator.locks) return action();
    const lock = Module.kelvrin.prefix + lockName(hero);
    return navigator.locks.request(lock, { ifAvailable: true }, lock => {
        if (!lock) {
            say(InPlayElsewhere);
            return undefined;
        }
        return action();
    });
}

function download(fileName, bytes) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = fileName;
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
}

function heroesKept() {
    const savePrefix = saveName('');
    const crashPrefix = crashSaveName('');
    const heroes = [];
    for (const file of Module.kelvrin.fileNames().sort()) {
        if (file.startsWith(crashPrefix)) heroes.push({ file, hero: file.slice(crashPrefix.length), crash: true });
        else if (file.startsWith(savePrefix)) heroes.push({ file, hero: file.slice(savePrefix.length), crash: false });
    }
    return heroes;
}

let shownList = null;
function refreshPanel() {
    if (!runtimeReady) return;
    const held = new Set(Module.kelvrin.locksHeld());
    const heroes = heroesKept().map(entry => ({ ...entry, here: held.has(lockName(entry.hero)) }));
    const key = JSON.stringify(heroes);
    if (key === shownList) return;
    shownList = key;
    const list = document.getElementById('heroes');
    list.replaceChildren();
    for (const { file, hero, crash, here } of heroes) {
        const item = document.createElement('li');
        item.dataset.file = file;
        const name = document.createElement('span');
        name.className = 'name';
        name.textContent = hero;
        const kind = document.createElement('span');
        kind.className = 'kind';
        kind.textContent = crash ? ' zapis awaryjny (' + file + ')' : ' zapis (' + file + ')';
        item.append(name, kind, document.createElement('br'));
        list.append(item);
        // The hero in play in this tab: his files are the game's until he
        // leaves it.
        if (here) {
            item.append('w grze w tej karcie');
            continue;
        }
        const button = (label, action) => {
            const b = document.createElement('button');
            b.type = 'button';
            b.textContent = label;
            // Heard alone, a button names the file it acts on.
            b.setAttribute('aria-label', label + ' ' + file);
            b.addEventListener('click', () => withHeroLocked(hero, action).then(afterPanel));
            item.append(b);
        };
        button('Pobierz', () => {
            const bytes = Module.kelvrin.readFile(file);
            if (bytes) download(file, bytes);
        });
        if (crash) button('Graj dalej', () => playOn(hero, file));
        button('Usuń', () => {
            if (!confirm('Usunąć plik ' + file + '?')) return;
            say(Module.kelvrin.removeFile(file) ? 'Usunięto ' + file + '.' : 'Nie można usunąć ' + file + '.');
        });
    }
    document.getElementById('no-heroes').hidden = heroes.length > 0;
}

// The list follows every change of the game's files at once: the game's
// and the panel's own writes (runtime.js tells), and other tabs' (the
// browser's storage event).
let panelDue = false;
function panelChanged() {
    if (panelDue) return;
    panelDue = true;
    queueMicrotask(() => {
        panelDue = false;
        refreshPanel();
        pointAtCrashSave();
    });
}
window.addEventListener('storage', event => {
    if (event.key === null || event.key.startsWith(Module.kelvrin.prefix)) panelChanged();
});
function afterPanel() { refreshPanel(); }
// A message speaks of the last action only.
document.getElementById('panel').addEventListener('click', event => {
    if (event.target.closest('button')) say('');
}, true);

// While the player types a name whose crash save is kept, the panel points
// at its "Graj dalej" (typing it makes a new hero instead).
let typedName = '';
function followName(bytes) {
    for (const ch of new TextDecoder().decode(Uint8Array.from(bytes))) {
        if (ch === '\x7f' || ch === '\b') typedName = [...typedName].slice(0, -1).join('');
        else if (ch === '\r' || ch === '\n') typedName = '';
        else if (ch >= ' ') typedName += ch;
    }
    pointAtCrashSave();
}
function pointAtCrashSave() {
    if (!runtimeReady) return;
    const file = offer.kind === Offer.Name && typedName !== '' ? crashSaveName(typedName) : null;
    let pointed = false;
    for (const item of document.querySelectorAll('#heroes li')) {
        const point = item.dataset.file === file && item.querySelector('button') !== null;
        item.classList.toggle('pointed', point);
        pointed ||= point;
    }
    const hint = 'Postać ' + typedName + ' ma zapis awaryjny: „Graj dalej” w panelu pozwoli grać nią dalej.';
    const message = document.getElementById('panel-message');
    if (pointed) say(hint);
    else if (message.dataset.hint === 'yes') say('');
    message.dataset.hint = pointed ? 'yes' : '';
}

// "Play on" from a crash save: it becomes the hero's save, as moving
// error_save_Ala to save_Ala does beside the terminal game.
function playOn(hero, file) {
    const target = saveName(hero);
    if (Module.kelvrin.readFile(target) !== null && !confirm('Zapis ' + target + ' już istnieje. Zastąpić go?')) return;
    if (Module.kelvrin.files.rename(file, target)) {
        say('Postać ' + hero + ' czeka w zapisie ' + target + ': wczytaj ją w grze.');
    } else {
        say('Nie mozna zapisac gry!');
    }
}

// The name a downloaded save suggests: its file name without the game's
// prefix and without what a browser adds to a second download ("save_Ala (1)").
function suggestedName(fileName) {
    let name = fileName.replace(/ \(\d+\)(?=(\.[^.]*)?$)/, '');
    for (const prefix of [crashSaveName(''), saveName('')]) {
        if (name.startsWith(prefix)) return name.slice(prefix.length);
    }
    return name;
}

document.getElementById('upload-button').addEventListener('click', () => document.getElementById('upload').click());
document.getElementById('upload').addEventListener('change', async event => {
    const input = event.target;
    const file = input.files[0];
    input.value = '';
    if (!file || !runtimeReady) return;
    const bytes = new Uint8Array(await file.arrayBuffer());
    const hero = prompt('Imię postaci z tego zapisu:', suggestedName(file.name));
    if (hero === null) return;
    if (hero === '' || [...hero].length > 30 || !nameAllowed(hero)) {
        say('Niedozwolone imię, wybierz inne.');
        return;
    }
    const target = saveName(hero);
    if (!saveSound(bytes)) {
        say("Pilk zapisu '" + target + "' jest uszkodzony!");
        return;
    }
    await withHeroLocked(hero, () => {
        const there = Module.kelvrin.readFile(target) !== null;
        if (there && !confirm('Zapis ' + target + ' już istnieje. Zastąpić go?')) return;
        const written = Module.kelvrin.replaceFile(target, nameAnswer(Module._kelvrinTemporaryName, target), bytes);
        say(written ? 'Wgrano zapis ' + target + '.' : 'Nie mozna zapisac gry!');
    });
    afterPanel();
});

document.getElementById('graveyard').addEventListener('click', () => {
    const graveyard = runtimeReady ? Module.UTF8ToString(Module._kelvrinGraveyardName()) : null;
    const bytes = graveyard ? Module.kelvrin.readFile(graveyard) : null;
    if (bytes) download(graveyard, bytes);
    else say('Cmentarz jest pusty.');
});

let runtimeReady = false;
Module.onRuntimeInitialized = () => {
    runtimeReady = true;
    refreshPanel();
};

// The game's wasm file is named by its content (the site's files are cached
// for long); index.html carries its name.
Module.locateFile = (path, prefix) =>
    prefix + (path === 'kelvrin.wasm' ? document.documentElement.dataset.wasm : path);
layOut();
showKeyBar();
