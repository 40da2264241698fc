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

const terminal = new Terminal({
    cols: 80, rows: 25, theme: palette, fontSize: 16,
    fontFamily: '"DejaVu Sans Mono", "Liberation Mono", Consolas, Menlo, monospace',
    scrollback: 0, cursorBlink: false,
});
terminal.open(document.getElementById('terminal'));
// Ctrl-C with text selected is the browser's copy, not a key for the game.
terminal.attachCustomKeyEventHandler(event =>
    !(event.type === 'keydown' && event.ctrlKey && event.key === 'c' && terminal.hasSelection()));
terminal.focus();
document.getElementById('game').addEventListener('click', () => terminal.focus());

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
        };
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
}
const trapped = error => error instanceof WebAssembly.RuntimeError && gameCrashed();
window.addEventListener('error', event => trapped(event.error));
window.addEventListener('unhandledrejection', event => trapped(event.reason));

// Keys typed before the game has started wait for it, as a terminal keeps
// what was typed ahead.
let typedAhead = [];
let gameEnded = false;
terminal.onData(data => {
    if (gameEnded) return;
    // Ctrl-C, Ctrl-Z and Ctrl-\ stop a game in a terminal; a page has no
    // such signals, and the game never takes them as keys.
    const bytes = encoder.encode(data).filter(byte => byte !== 0x03 && byte !== 0x1a && byte !== 0x1c);
    if (typedAhead !== null) typedAhead.push(...bytes);
    else if (bytes.length > 0) Module.kelvrin.sendKeys(bytes);
});

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
    const heroes = heroesKept();
    const key = JSON.stringify(heroes);
    if (key === shownList) return;
    shownList = key;
    const list = document.getElementById('heroes');
    list.replaceChildren();
    for (const { file, hero, crash } of heroes) {
        const item = document.createElement('li');
        item.dataset.file = file;
        const name = document.createElement('span');
        name.className = 'name';
        name.textContent = hero;
        const kind = document.createElement('span');
        kind.className = 'kind';
        kind.textContent = crash ? ' zapis awaryjny (' + file + ')' : ' zapis (' + file + ')';
        item.append(name, kind, document.createElement('br'));
        const button = (label, action) => {
            const b = document.createElement('button');
            b.type = 'button';
            b.textContent = label;
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
        list.append(item);
    }
    document.getElementById('no-heroes').hidden = heroes.length > 0;
}

// After a panel action the list shows what changed, and the keys go to the
// game again.
function afterPanel() {
    refreshPanel();
    terminal.focus();
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
        if (Module.kelvrin.readFile(target) !== null && !confirm('Zapis ' + target + ' już istnieje. Zastąpić go?')) return;
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
    setInterval(refreshPanel, 500);
};
