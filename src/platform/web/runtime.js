// The game's side of the page, built into kelvrin.js ahead of the compiled
// game: the key queue the game waits on, the terminal it draws on, the
// files it keeps in the browser's storage, the hero locks and the crash
// save's copy. Under Node (no page) the same build reads and writes the
// standard streams, and its files are plain files of the current folder.
Module.kelvrin = (function () {
    'use strict';
    const inBrowser = typeof window === 'object' && typeof document === 'object';
    // Every key of ours starts with this: a host may serve other pages,
    // with storage of their own, at the same address.
    const prefix = 'kelvrin:';

    // Storage holds strings: a file is kept as one UTF-16 code unit per
    // byte, U+0000-U+00FF, so every byte value survives as it is. A stored
    // string with a larger code unit is no file of ours.
    function bytesToString(bytes) {
        let text = '';
        for (let i = 0; i < bytes.length; i += 4096) {
            text += String.fromCharCode.apply(null, bytes.subarray(i, i + 4096));
        }
        return text;
    }
    function stringToBytes(text) {
        const bytes = new Uint8Array(text.length);
        for (let i = 0; i < text.length; ++i) {
            const unit = text.charCodeAt(i);
            if (unit > 0xff) return null;
            bytes[i] = unit;
        }
        return bytes;
    }

    // The browser's localStorage, or nothing where the browser keeps none
    // (storage disabled: reading it throws). Under Node: the files of the
    // current folder, read and written as those same strings ('latin1' is
    // one code unit per byte), so that a test sees what the game wrote.
    function folderStorage() {
        const fs = require('fs');
        const file = key => key.slice(prefix.length);
        return {
            // Anything but a plain file (a folder, a pipe) is there but
            // unreadable: a value that is no file of ours.
            getItem(key) {
                try {
                    return fs.statSync(file(key)).isFile() ? fs.readFileSync(file(key), 'latin1') : '\u0100';
                } catch (e) {
                    return null;
                }
            },
            // A new file in place of whatever had the name: a link put there
            // is replaced, never written through to the file it names.
            setItem(key, value) {
                try { fs.unlinkSync(file(key)); } catch (e) { /* nothing there */ }
                fs.writeFileSync(file(key), value, 'latin1');
            },
            removeItem(key) { try { fs.unlinkSync(file(key)); } catch (e) { /* nothing there */ } },
            keys() { return fs.readdirSync('.').map(name => prefix + name); },
        };
    }
    function browserStorage() {
        try {
            const local = window.localStorage;
            local.getItem(prefix);
            return {
                getItem: key => local.getItem(key),
                setItem: (key, value) => local.setItem(key, value),
                removeItem: key => local.removeItem(key),
                keys() {
                    const all = [];
                    for (let i = 0; i < local.length; ++i) all.push(local.key(i));
                    return all;
                },
            };
        } catch (e) {
            return null;
        }
    }
    const storage = inBrowser ? browserStorage() : folderStorage();

    const api = {
        inBrowser,
        prefix,
        bytesToString,
        stringToBytes,
        // Told once when the browser refuses to keep a file (the page
        // shows its notice); set by the page.
        onStorageRefused: null,
        storageRefused: storage === null,
    };

    // Told after every change of the game's files, the page's own writes
    // included (the page's panel lists them); set by the page.
    api.onFilesChanged = null;
    function changed() {
        if (api.onFilesChanged) api.onFilesChanged();
        return true;
    }

    function refused() {
        if (!api.storageRefused) {
            api.storageRefused = true;
            if (api.onStorageRefused) api.onStorageRefused();
        }
        return false;
    }

    // One file of the game's, by its name (UTF-8 text decoded): its bytes,
    // or null when there is none (or it is no file of ours: undefined).
    api.readFile = function (name) {
        if (storage === null) return null;
        let text;
        try {
            text = storage.getItem(prefix + name);
        } catch (e) {
            return null;
        }
        if (text === null) return null;
        const bytes = stringToBytes(text);
        return bytes === null ? undefined : bytes;
    };
    // Stores a whole file; false when the browser refuses.
    api.writeFile = function (name, bytes) {
        if (storage === null) return refused();
        try {
            storage.setItem(prefix + name, bytesToString(bytes));
            return changed();
        } catch (e) {
            return refused();
        }
    };
    api.removeFile = function (name) {
        if (storage === null || api.readFile(name) === null) return false;
        try {
            storage.removeItem(prefix + name);
            return changed();
        } catch (e) {
            return false;
        }
    };
    // The names of the game's files kept here.
    api.fileNames = function () {
        if (storage === null) return [];
        try {
            return storage.keys().filter(key => key.startsWith(prefix)).map(key => key.slice(prefix.length));
        } catch (e) {
            return [];
        }
    };

    // Open files: a descriptor's bytes, read or being written. A written
    // file reaches the storage when it is flushed or closed.
    const open = new Map();
    let nextDescriptor = 3;
    function newDescriptor(entry) {
        const fd = nextDescriptor++;
        open.set(fd, entry);
        return fd;
    }
    api.files = {
        openForReading(name) {
            const bytes = api.readFile(name);
            if (!bytes) return -1;
            return newDescriptor({ name, bytes, pos: 0 });
        },
        createForWriting(name) {
            return newDescriptor({ name, bytes: new Uint8Array(0), pos: 0, writing: true, dirty: true });
        },
        read(fd, size) {
            const file = open.get(fd);
            if (!file || file.writing || file.lock) return null;
            const part = file.bytes.subarray(file.pos, file.pos + size);
            file.pos += part.length;
            return part;
        },
        write(fd, bytes) {
            const file = open.get(fd);
            if (!file || !file.writing) return -1;
            const grown = new Uint8Array(file.bytes.length + bytes.length);
            grown.set(file.bytes);
            grown.set(bytes, file.bytes.length);
            file.bytes = grown;
            file.dirty = true;
            return bytes.length;
        },
        flush(fd) {
            const file = open.get(fd);
            if (!file) return false;
            if (!file.writing || !file.dirty) return true;
            file.dirty = false;
            return api.writeFile(file.name, file.bytes);
        },
        close(fd) {
            const file = open.get(fd);
            if (!file) return false;
            const flushed = api.files.flush(fd);
            open.delete(fd);
            if (file.lock) {
                file.lock();
                changed();
            }
            return flushed;
        },
        // The old name's value moves to the new key: the old key goes
        // first, so the browser never holds both (a full store still takes
        // it), and a refusal leaves the file under the new name as it was.
        rename(from, to) {
            const bytes = api.readFile(from);
            if (!bytes) return false;
            api.removeFile(from);
            return api.writeFile(to, bytes);
        },
        remove: name => api.removeFile(name),
        exists: name => api.readFile(name) !== null,
    };
    // A whole file written as the game writes one, for the page's own
    // writes: under its temporary name, then renamed over the old one, so a
    // refusal leaves the old file as it was.
    api.replaceFile = function (path, temporaryPath, bytes) {
        const fd = api.files.createForWriting(temporaryPath);
        api.files.write(fd, bytes);
        if (api.files.close(fd) && api.files.rename(temporaryPath, path)) return true;
        api.files.remove(temporaryPath);
        return false;
    };

    // Hero locks: the Web Locks API, whose locks go with the tab that holds
    // them. None outside a secure context (plain http) and none under Node.
    api.locksAvailable = () => typeof navigator === 'object' && !!navigator.locks;
    // A descriptor holding the lock, -2 when another tab holds it, -1 when
    // no lock can be had. A page without Web Locks gets a descriptor that
    // holds nothing: other tabs are not kept out, but the page still knows
    // which hero is in play in this tab.
    api.lock = function (name) {
        const held = release => {
            const fd = newDescriptor({ name, lock: release });
            changed();
            return fd;
        };
        if (!api.locksAvailable()) return Promise.resolve(held(() => {}));
        return new Promise(resolve => {
            navigator.locks
                .request(prefix + name, { ifAvailable: true }, lock => {
                    if (!lock) {
                        resolve(-2);
                        return undefined;
                    }
                    return new Promise(release => resolve(held(release)));
                })
                .catch(() => resolve(-1));
        });
    };

    // The names of the locks this tab holds: the hero in play here.
    api.locksHeld = function () {
        const names = [];
        open.forEach(file => {
            if (file.lock) names.push(file.name);
        });
        return names;
    };

    // Gives up every hero lock this tab holds (the game can no longer run).
    api.releaseLocks = function () {
        // (The runtime's optimiser takes no destructuring in a loop.)
        open.forEach((file, fd) => {
            if (file.lock) api.files.close(fd);
        });
    };

    // Keys: what the page's terminal sends, as UTF-8 bytes, waiting for the
    // game. The page calls sendKeys.
    const input = [];
    let wake = null;
    api.sendKeys = function (bytes) {
        for (const byte of bytes) input.push(byte);
        if (wake) wake();
    };
    // Up to `size` bytes, waiting for at least one; none after timeoutMs
    // (-1: no limit).
    api.takeKeys = function (size, timeoutMs) {
        const take = () => Uint8Array.from(input.splice(0, size));
        if (input.length > 0) return Promise.resolve(take());
        return new Promise(resolve => {
            let timer = null;
            wake = () => {
                wake = null;
                if (timer !== null) clearTimeout(timer);
                resolve(take());
            };
            if (timeoutMs >= 0) {
                timer = setTimeout(() => {
                    wake = null;
                    resolve(new Uint8Array(0));
                }, timeoutMs);
            }
        });
    };

    // Output: the page sets `terminal` (write(Uint8Array)); under Node the
    // standard streams.
    api.terminal = null;
    api.writeStream = function (fd, bytes) {
        if (inBrowser) {
            if (fd === 1 && api.terminal) api.terminal.write(bytes);
            else console.error(new TextDecoder().decode(bytes));
            return true;
        }
        const fs = require('fs');
        for (let done = 0; done < bytes.length;) {
            try {
                done += fs.writeSync(fd, bytes, done, bytes.length - done);
            } catch (e) {
                if (e.code !== 'EAGAIN') return false;
            }
        }
        return true;
    };
    api.readStream = function (fd, size) {
        const fs = require('fs');
        const buffer = Buffer.alloc(size);
        for (;;) {
            try {
                return buffer.subarray(0, fs.readSync(fd, buffer, 0, size, null));
            } catch (e) {
                if (e.code === 'EAGAIN') continue;
                if (e.code === 'EOF') return buffer.subarray(0, 0);
                return null;
            }
        }
    };

    // The crash save, kept on this side too: a trap in the game runs no
    // more of its code, so the page writes the copy taken at the last key
    // wait. The messages are the game's own, prepared when a game begins.
    api.crash = { copy: null, path: null, temporaryPath: null, written: '', failed: '' };
    // The game's run ended ("0. Wyjście"); set by the page.
    api.onGameEnded = null;
    // What the game waits for, before each wait: (kind, keys, arrows), kind
    // 0 keys, 1 any key, 2 a line, 3 a number, 4 the hero's name; keys the
    // ones the screen lists; set by the page.
    api.onOffer = null;
    return api;
})();
