// The page: a terminal drawn by xterm.js, in which the referee (referee.js and referee.wasm, the
// program itself compiled to WebAssembly) plays one game after another. The terminal does what a
// terminal's line discipline does for the program: echo, backspace, and a typed line sent with its
// line feed on Enter. The program runs as `referee --save`, on a record the page keeps in the
// browser's storage, so that a reload or a closed tab finds the game where it was. Nothing leaves
// the page.
import { Terminal } from './xterm.js';
import { FitAddon } from './addon-fit.js';

// The windows the game draws in, as the program measures them over its recorded games (play_window
// and compact_window in program/screen_size.h; a test keeps these equal to them): the full board
// with its legend, announcements and the answer to the request typed under it, and the compact
// board on a terminal 80 columns wide. The introduction's lines (up to 122 columns) fit the full
// one.
const windows = {
    full: { columns: 123, lines: 64 },
    compact: { columns: 80, lines: 21 },
};

const terminal = new Terminal({
    cols: windows.full.columns,
    rows: windows.full.lines,
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
const boardSwitch = document.getElementById('board');
const encoder = new TextEncoder();

// For the browser test: what the page is doing, the terminal it reads, the board it draws, how
// many characters were typed while the program was still loading, and when the first prompt was
// drawn.
const page = { terminal, state: 'loading', reads: 0, status: null, board: 'full', early: 0,
    firstPrompt: null };
window.referee = page;

// The largest font, in steps of a quarter pixel, with which `columns` x `rows` fit the room the
// page has now.
function fittedFont(columns, rows) {
    for (let round = 0; round < 4; ++round) {
        const room = fit.proposeDimensions();
        if (!room || !room.cols || !room.rows) {
            return terminal.options.fontSize;
        }
        const scale = Math.min(room.cols / columns, room.rows / rows);
        const size = Math.max(4, Math.floor(terminal.options.fontSize * scale * 4) / 4);
        if (size === terminal.options.fontSize) {
            break;
        }
        terminal.options.fontSize = size;
    }
    // Cells are whole pixels, so the scaled size may still be a line or a column too large.
    for (;;) {
        const room = fit.proposeDimensions();
        if (!room || (room.cols >= columns && room.rows >= rows) || terminal.options.fontSize <= 4) {
            break;
        }
        terminal.options.fontSize -= 0.25;
    }
    return terminal.options.fontSize;
}

// ---- The board for the screen, and browser zoom ----
// The full board where its text is at least 9 px, else the compact one. The compact board takes
// its whole window where that leaves its text at least 12 px; on a narrower screen (a phone held
// upright) the text stays at least as large as a 40-column line allows, up to 16 px, and the
// terminal has as many columns as fit, fewer than 80: the compact drawing is 37 columns wide,
// and longer lines (the prompts, some messages) go on over the next line. Browser zoom enlarges
// the text: the sizes are chosen for the window as it is without zoom, and the page scrolls.
const smallestFullFont = 9;
const smallestCompactFont = 12;
const narrowColumns = 40;
const largestNarrowFont = 16;
const unzoomedRatio = window.devicePixelRatio || 1;

function zoom() {
    return (window.devicePixelRatio || 1) / unzoomedRatio;
}

// The full board where its text on this screen without zoom is large enough, else the compact
// one. For the full board the font fitted here stays, so that fitting the game's window next
// starts where this left off instead of fitting the font all over again.
function chooseBoard() {
    const saved = terminal.options.fontSize;
    if (fittedFont(windows.full.columns, windows.full.lines) * zoom() >= smallestFullFont) {
        return 'full';
    }
    terminal.options.fontSize = saved;
    return 'compact';
}

function fitFont() {
    const scale = zoom();
    const wanted = windows[page.board];
    let size = fittedFont(wanted.columns, wanted.lines);
    let columns = wanted.columns;
    if (page.board === 'compact' && size * scale < smallestCompactFont) {
        size = Math.min(fittedFont(narrowColumns, wanted.lines), largestNarrowFont / scale);
        terminal.options.fontSize = size;
        const room = fit.proposeDimensions();
        columns = Math.max(narrowColumns, Math.min(wanted.columns, room ? room.cols : 0));
    }
    terminal.options.fontSize = Math.max(4, Math.round(size * scale * 4) / 4);
    // Without zoom the compact board's terminal fills the screen's height; with zoom the page
    // scrolls.
    const room = fit.proposeDimensions();
    const rows = page.board === 'compact' && scale === 1 && room && room.rows > wanted.lines
        ? room.rows : wanted.lines;
    terminal.resize(columns, rows);
    boardSwitch.textContent = page.board === 'full' ? 'Compact board' : 'Full board';
    keepCursorInView();
    requestAnimationFrame(() => { // once the terminal is drawn at its new size
        trimRows();
        keepCursorInView();
    });
}

// The lines that the compact board's terminal was given from a measure of the font taken before
// the font was drawn may be one too many; without zoom they must all be on the screen.
function trimRows() {
    const screen = document.querySelector('.xterm-screen');
    const view = document.getElementById('screen');
    if (!screen || page.board !== 'compact' || zoom() !== 1) {
        return;
    }
    const over = screen.getBoundingClientRect().height - view.clientHeight;
    const rows = terminal.rows - Math.ceil(over / (screen.getBoundingClientRect().height / terminal.rows));
    if (over > 0 && rows >= windows.compact.lines) {
        terminal.resize(terminal.cols, rows);
        view.scrollTop = 0;
    }
}

// The line the program writes on, and the cursor on it, stay in view when the page scrolls.
function keepCursorInView() {
    const screen = document.querySelector('.xterm-screen');
    const view = document.getElementById('screen');
    if (!screen || (view.scrollHeight <= view.clientHeight + 1 && view.scrollWidth <= view.clientWidth + 1)) {
        return;
    }
    const box = screen.getBoundingClientRect();
    const buffer = terminal.buffer.active;
    const cellHeight = box.height / terminal.rows;
    const cellWidth = box.width / terminal.cols;
    const top = box.top - view.getBoundingClientRect().top + view.scrollTop
        + (buffer.cursorY + buffer.baseY - buffer.viewportY) * cellHeight;
    const left = box.left - view.getBoundingClientRect().left + view.scrollLeft
        + buffer.cursorX * cellWidth;
    if (top + 2 * cellHeight > view.scrollTop + view.clientHeight || top < view.scrollTop) {
        view.scrollTop = Math.max(0, top + 2 * cellHeight - view.clientHeight);
    }
    if (left + 2 * cellWidth > view.scrollLeft + view.clientWidth || left < view.scrollLeft) {
        view.scrollLeft = Math.max(0, left + 2 * cellWidth - view.clientWidth);
    }
}
terminal.onCursorMove(() => keepCursorInView());

// The switch between the boards: the game starts again on the other board from its record, so it
// stands where it stood; lines typed and not yet read are given to it again, and a line being
// typed stays.
function switchBoard() {
    page.board = page.board === 'full' ? 'compact' : 'full';
    if (generation > 0 && (running || page.state === 'loading')) {
        play(typed.map((bytes) => new TextDecoder().decode(bytes)));
    } else {
        fitFont();
    }
}
boardSwitch.addEventListener('click', () => switchBoard());

// A tap or click anywhere but on a button gives the keyboard to the game (and on a touch screen
// opens the on-screen keyboard).
document.addEventListener('click', (event) => {
    if (!event.target.closest('button') && page.state !== 'ended') {
        terminal.focus();
    }
});
// ---- end of the board for the screen ----

// Typed lines wait here until the program reads; an empty array is the end of input.
const typed = [];
let reader = null;
let line = '';
let running = false;
let accepting = false; // keys are taken from the start of a game, while the program loads too
const replayed = new WeakSet(); // lines given again after a switch, echoed when they are read
let generation = 0; // the game the program's calls belong to; a switch starts another
let pendingEcho = ''; // a line being typed at a switch, shown again when the replay is done

function deliver() {
    if (reader === null || typed.length === 0) {
        return;
    }
    const { room, resolve } = reader;
    reader = null;
    const bytes = typed[0];
    if (replayed.has(bytes)) { // echoed as the terminal echoed it when it was typed
        replayed.delete(bytes);
        terminal.write(bytes);
    }
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
    if (!accepting || data.startsWith('\x1b')) {
        return; // cursor and function keys have no meaning to the game
    }
    if (page.state === 'loading') {
        page.early += [...data].length;
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
    accepting = false;
    reader = null;
    page.state = 'ended';
    page.status = status;
    message.textContent = endedText(status);
    showResume();
}

// A game: the kept record (or an opened file) replayed by the program, then what is typed. After a
// switch of boards, `replay` holds the lines typed and not yet read, given again in order, and a
// line being typed is kept. Every game is a new instance of the program; one left behind (by a
// switch, Ctrl-C or New game) no longer speaks to the page.
async function play(replay = null) {
    generation += 1;
    const mine = generation;
    running = false;
    reader = null;
    page.state = 'loading';
    page.status = null;
    hideResume();
    typed.length = 0;
    for (const text of replay || []) {
        const bytes = encoder.encode(text);
        replayed.add(bytes);
        typed.push(bytes);
    }
    line = replay ? line : '';
    pendingEcho = line;
    const source = recordToPlay();
    const loading = createReferee(settings(mine)); // compiled while the terminal is made ready
    if (mine > 1) { // the first game has a fresh terminal
        terminal.reset();
    }
    fitFont();
    accepting = true;
    terminal.focus();
    message.textContent = playing;
    let game;
    try {
        game = await loading;
    } catch (error) {
        page.state = 'failed';
        accepting = false;
        message.textContent = 'The game could not be loaded; the page must be served over http '
            + '(python3 -m http.server --bind 127.0.0.1 in its folder), not opened as a file.';
        console.error(error);
        return;
    }
    if (mine !== generation) {
        return; // the board was switched while the program loaded
    }
    running = true;
    const words = [...source.words, `--board=${page.board}`];
    let status = null;
    try {
        status = await game.ccall('main', 'number', ['number', 'number'],
            [words.length, argumentVector(game, words)], { async: true });
    } catch (error) {
        if (!(error && error.name === 'ExitStatus')) { // an exit() from inside has been reported
            throw error;
        }
    }
    if (running && mine === generation) {
        finish(status);
    }
}

// The program's arguments as C strings in its memory, the vector ending with a null pointer.
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

// The module's connections to the page; calls from a game that was replaced (by a switch of
// boards, Ctrl-C or New game) are ignored.
function settings(mine) {
    const current = () => mine === generation;
    return {
        // The glyphs go out as UTF-8, whatever the browser's language.
        preRun: [(module) => { module.ENV.LANG = 'C.UTF-8'; }],
        writeOutput: (bytes) => {
            if (current()) {
                terminal.write(bytes.slice()); // a copy: the view is reused
            }
        },
        writeError: (bytes) => {
            const text = new TextDecoder().decode(bytes);
            console.error(text);
            if (current()) {
                errors += text;
            }
        },
        readInput: (room) => new Promise((resolve) => {
            if (!current()) {
                return; // never answered: that program waits for good
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
            if (reader !== null && pendingEcho !== '') { // nothing left to give: the replay is done
                terminal.write(pendingEcho);
                pendingEcho = '';
            }
        }),
        readRecord: () => recordBytes(),
        appendRecord: (bytes) => {
            if (current()) {
                keepBytes(bytes);
            }
        },
        quit: (status, exit) => { // an exit from inside the program
            if (current()) {
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

// The status line keeps to one line; ? shows it whole, or one line again.
document.getElementById('whole').addEventListener('click', () => {
    document.getElementById('status').classList.toggle('whole');
    fitFont();
});

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
    page.board = chooseBoard();
}));
