// The page: a terminal drawn by xterm.js, in which the referee (referee.js and referee.wasm, the
// program itself compiled to WebAssembly) plays one game after another. The terminal does what a
// terminal's line discipline does for the program: echo, backspace, and a typed line sent with its
// line feed on Enter. The program runs as `referee --save`, on a record the page keeps in the
// browser's storage, so that a reload or a closed tab finds the game where it was. Nothing leaves
// the page.
import { Terminal } from './xterm.js';
import { FitAddon } from './addon-fit.js';

// The window the game draws in: the introduction's lines (up to 122 columns), a prompt line with
// its warnings, and the board with its legend, its announcements and two prompts with their
// warnings (64 lines).
const columns = 132;
const lines = 64;

const terminal = new Terminal({
    cols: columns,
    rows: lines,
    fontFamily: '"DejaVu Sans Mono", monospace', // has every glyph the board uses
    fontSize: 12,
    scrollback: 1000,
    convertEol: true, // a line feed also returns the carriage, as a terminal's output processing does
    theme: { background: '#000000', foreground: '#e5e5e5' },
});
const fit = new FitAddon();
terminal.loadAddon(fit);
const message = document.getElementById('message');
const again = document.getElementById('again');
const encoder = new TextEncoder();

// For the browser test: what the page is doing, and the terminal it reads.
const page = { terminal, state: 'loading', reads: 0, status: null, firstPrompt: null };
window.referee = page;

// The largest font with which the whole window of the game fits the browser's window.
function fitFont() {
    for (let round = 0; round < 4; ++round) {
        const room = fit.proposeDimensions();
        if (!room || !room.cols || !room.rows) {
            return;
        }
        const scale = Math.min(room.cols / columns, room.rows / lines);
        const size = Math.max(4, Math.floor(terminal.options.fontSize * scale * 4) / 4);
        if (size === terminal.options.fontSize) {
            break;
        }
        terminal.options.fontSize = size;
    }
    // Cells are whole pixels, so the scaled size may still be a line or a column too large.
    for (;;) {
        const room = fit.proposeDimensions();
        if (!room || (room.cols >= columns && room.rows >= lines) || terminal.options.fontSize <= 4) {
            break;
        }
        terminal.options.fontSize -= 0.25;
    }
    terminal.resize(columns, lines);
}

// Typed lines wait here until the program reads; an empty array is the end of input.
const typed = [];
let reader = null;
let line = '';
let running = false;

function deliver() {
    if (reader === null || typed.length === 0) {
        return;
    }
    const { room, resolve } = reader;
    reader = null;
    const bytes = typed[0];
    if (bytes.length <= room) {
        typed.shift();
        resolve(bytes);
    } else {
        typed[0] = bytes.subarray(room);
        resolve(bytes.subarray(0, room));
    }
    page.state = 'running';
}

function send(text) {
    typed.push(encoder.encode(text));
    deliver();
}

terminal.onData((data) => {
    if (!running || data.startsWith('\x1b')) {
        return; // cursor and function keys have no meaning to the game
    }
    for (const character of data) {
        if (character === '\r' || character === '\n') {
            terminal.write('\r\n');
            send(`${line}\n`);
            line = '';
        } else if (character === '\x7f' || character === '\b') {
            if (line.length > 0) {
                line = [...line].slice(0, -1).join('');
                terminal.write('\b \b');
            }
        } else if (character === '\x04') { // Ctrl-D: the line so far, or the end of input
            send(line);
            line = '';
        } else if (character === '\x03') { // Ctrl-C: the program ends, the game is kept
            terminal.write('^C\r\n');
            finish(null);
            return;
        } else if (character >= ' ' || character === '\t') { // a Tab may end a move, as on a terminal
            line += character;
            terminal.write(character);
        }
    }
});

// Ctrl-C with text selected copies it, as in a terminal window, instead of ending the game.
terminal.attachCustomKeyEventHandler((event) =>
    !(event.ctrlKey && event.key === 'c' && terminal.hasSelection()));

// How to play and how to stop, while a game runs. A 0 ends the game only as the first character
// of a move request read in step: not before the first move, and not right after a take-back or
// a promotion, when the line feed left unread is taken for the request and the 0 for its number;
// a move typed after that brings the input back in step.
const playing = 'Type 14 and Enter to start; a move is typed as e2e4d and Enter. To stop: 0 and '
    + 'Enter at a move prompt (not before the first move, nor right after a take-back or a '
    + 'promotion: there only after one more move), or Ctrl-C at any time. The game is kept in '
    + 'this browser.';

function finish(status) {
    running = false;
    reader = null;
    page.state = 'ended';
    page.status = status;
    message.textContent = endedText(status);
    showResume();
}

// Every game is a new instance of the program; one left behind (by Ctrl-C or New game) no longer
// speaks to the page.
let generation = 0;

async function play() {
    generation += 1;
    const mine = generation;
    page.state = 'loading';
    page.status = null;
    running = false;
    reader = null;
    hideResume();
    typed.length = 0;
    line = '';
    const source = recordToPlay();
    const loading = createReferee(settings(mine)); // compiled while the terminal is made ready
    if (mine > 1) { // the first game has a fresh terminal
        terminal.reset();
    }
    fitFont();
    message.textContent = playing;
    let game;
    try {
        game = await loading;
    } catch (error) {
        page.state = 'failed';
        message.textContent = 'The game could not be loaded; the page must be served over http '
            + '(python3 -m http.server --bind 127.0.0.1 in its folder), not opened as a file.';
        console.error(error);
        return;
    }
    if (mine !== generation) {
        return;
    }
    running = true;
    terminal.focus();
    let status = null;
    try {
        status = await game.ccall('main', 'number', ['number', 'number'],
            [source.words.length, argumentVector(game, source.words)], { async: true });
    } catch (error) {
        if (!(error && error.name === 'ExitStatus')) { // an exit() from inside has been reported
            throw error;
        }
    }
    if (mine === generation && running) {
        finish(status);
    }
}

// The program's arguments as C strings: argv[0] is the program's name, as for any program.
function argumentVector(module, words) {
    const pointers = words.map((word) => {
        const bytes = encoder.encode(`${word}\0`);
        const at = module._malloc(bytes.length);
        module.HEAPU8.set(bytes, at);
        return at;
    });
    const vector = module._malloc(4 * (pointers.length + 1));
    pointers.forEach((at, i) => module.HEAPU32.set([at], vector / 4 + i));
    module.HEAPU32.set([0], vector / 4 + pointers.length);
    return vector;
}

// The module's connections to the page.
function settings(mine) {
    return {
        // The glyphs go out as UTF-8, whatever the browser's language.
        preRun: [(module) => { module.ENV.LANG = 'C.UTF-8'; }],
        writeOutput: (bytes) => terminal.write(bytes.slice()), // a copy: the view is reused
        writeError: (bytes) => {
            const text = new TextDecoder().decode(bytes);
            console.error(text);
            errors += text;
        },
        readInput: (room) => new Promise((resolve) => {
            if (mine !== generation) {
                return; // a program left behind waits for ever
            }
            recordAccepted();
            reader = { room, resolve };
            page.reads += 1;
            page.state = 'waiting';
            if (page.firstPrompt === null) { // the time it is on the screen, for the browser test
                page.firstPrompt = 0;
                terminal.write('', () => requestAnimationFrame(() => {
                    page.firstPrompt = performance.now();
                    keepOffline();
                }));
            }
            deliver();
        }),
        readRecord: () => recordBytes(),
        appendRecord: (bytes) => {
            if (mine === generation) {
                keepBytes(bytes);
            }
        },
        quit: (status, exit) => { // an exit from inside the program
            if (mine === generation) {
                finish(status);
            }
            throw exit;
        },
    };
}

// ---- The kept game ----
// The record (the bytes the program read, as a --save file holds them) lives in the browser's
// local storage, one character for each byte. The program hands over what it adds before each
// wait for input, so a reload or a closed tab loses at most the line being typed. An opened file
// is only a candidate until the program has replayed it: refused, it leaves the kept game as it
// was.
const recordKey = 'referee.record';
const keptName = 'the game kept in this browser';
const kept = { bytes: new Uint8Array(0), candidate: null };
let errors = '';
const resume = document.getElementById('resume');
const storageNote = document.getElementById('kept');

function toStored(bytes) {
    let text = '';
    for (let at = 0; at < bytes.length; at += 8192) {
        text += String.fromCharCode(...bytes.subarray(at, at + 8192));
    }
    return text;
}

function loadKept() {
    try {
        const text = localStorage.getItem(recordKey);
        kept.bytes = text === null ? new Uint8Array(0)
            : Uint8Array.from(text, (character) => character.charCodeAt(0));
    } catch (error) {
        storageFailed(error);
    }
}

function storeKept(bytes) {
    kept.bytes = bytes;
    try {
        if (bytes.length === 0) {
            localStorage.removeItem(recordKey);
        } else {
            localStorage.setItem(recordKey, toStored(bytes));
        }
        storageNote.textContent = '';
    } catch (error) {
        storageFailed(error);
    }
}

function storageFailed(error) {
    console.error(error);
    storageNote.textContent = 'This browser refuses to keep the game (its storage is full or '
        + 'not allowed): it goes on, but a reload loses it; Save to file keeps it.';
}

function keepBytes(bytes) {
    recordAccepted();
    const joined = new Uint8Array(kept.bytes.length + bytes.length);
    joined.set(kept.bytes);
    joined.set(bytes, kept.bytes.length);
    storeKept(joined);
}

// What the next run replays, and the name that stands for it in the program's messages.
function recordToPlay() {
    errors = '';
    const name = kept.candidate ? kept.candidate.name : keptName;
    return { words: ['referee', '--save', name] };
}

function recordBytes() {
    return kept.candidate ? kept.candidate.bytes : kept.bytes;
}

// The program waits for input or adds to the record: it has replayed the record to its end.
function recordAccepted() {
    if (kept.candidate) {
        const { bytes } = kept.candidate;
        kept.candidate = null;
        storeKept(bytes);
    }
}

function endedText(status) {
    if (status === 2 && errors !== '') {
        const refused = kept.candidate !== null;
        kept.candidate = null;
        return errors.trim() + (refused ? ' The game kept in this browser is as it was.' : '');
    }
    const how = status === null ? 'The game was stopped with Ctrl-C.' : 'The game has ended.';
    return kept.bytes.length === 0 ? how
        : `${how} It is kept in this browser: Resume goes on where it was left.`;
}

function showResume() {
    resume.hidden = kept.bytes.length === 0;
    (resume.hidden ? again : resume).focus();
}

function hideResume() {
    resume.hidden = true;
}

// New game throws the kept game away, after asking when there is one.
function newGame() {
    if (kept.bytes.length > 0
        && !window.confirm('Start a new game? The game kept in this browser is thrown away.')) {
        terminal.focus();
        return;
    }
    kept.candidate = null;
    storeKept(new Uint8Array(0));
    play();
}

// Save to file: the record as a --save file holds it; `referee --save FILE` goes on with it.
function saveToFile() {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([kept.bytes], { type: 'text/plain' }));
    link.download = 'referee-game.txt';
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
    terminal.focus();
}

// Open a game: a record written by `referee --save FILE`, from the file picker or dropped on the
// page. The program replays it by its own rule and refuses a file that is no record of a game.
async function openGame(file) {
    let bytes;
    try {
        bytes = new Uint8Array(await file.arrayBuffer());
    } catch (error) { // a folder, or a file gone or unreadable
        console.error(error);
        message.textContent = `${file.name} could not be read; the game goes on as it was.`;
        return;
    }
    if (kept.bytes.length > 0
        && !window.confirm(`Open ${file.name}? The game kept in this browser is replaced by it.`)) {
        terminal.focus();
        return;
    }
    kept.candidate = { bytes, name: file.name };
    play();
}

resume.addEventListener('click', () => play());
again.addEventListener('click', () => newGame());
document.getElementById('save').addEventListener('click', () => saveToFile());
const picker = document.getElementById('file');
document.getElementById('open').addEventListener('click', () => picker.click());
picker.addEventListener('change', () => {
    if (picker.files.length > 0) {
        openGame(picker.files[0]);
    }
    picker.value = '';
});
window.addEventListener('dragover', (event) => event.preventDefault());
window.addEventListener('drop', (event) => {
    event.preventDefault();
    if (event.dataTransfer.files.length > 0 && page.state !== 'elsewhere') {
        openGame(event.dataTransfer.files[0]);
    }
});

// One page at a time plays the kept game: a second tab waits, saying why, until the first is
// closed, and then takes the game up where it was left.
function playWhenFree(ready) {
    const start = () => ready.then(() => {
        setControls(true);
        loadKept();
        play();
        return new Promise(() => {}); // held for as long as the page lives
    });
    if (!navigator.locks) { // no lock without a secure origin: play anyway
        start();
        return;
    }
    navigator.locks.request('referee-kept-game', { ifAvailable: true }, (lock) => {
        if (lock) {
            return start();
        }
        page.state = 'elsewhere';
        setControls(false);
        message.textContent = 'This game is open in another tab or window of this browser; it '
            + 'goes on here when that one is closed.';
        navigator.locks.request('referee-kept-game', start);
        return undefined;
    });
}

// The buttons act on the kept game, so only in the page that plays it.
function setControls(enabled) {
    for (const id of ['again', 'save', 'open']) {
        document.getElementById(id).disabled = !enabled;
    }
}

// ---- No network after the first visit ----
// The service worker keeps the site's files; it is registered once the game waits, so that it
// does not slow the first load.
function keepOffline() {
    if ('serviceWorker' in navigator) {
        navigator.serviceWorker.register('sw.js').catch((error) => console.error(error));
    }
}

window.addEventListener('resize', () => fitFont());
// The lock is asked for while the font loads.
playWhenFree(document.fonts.load('12px "DejaVu Sans Mono"').finally(() => {
    terminal.open(document.getElementById('terminal'));
}));
