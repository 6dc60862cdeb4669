// The page: a terminal drawn by xterm.js, in which the referee (referee.js and referee.wasm, the
// program itself compiled to WebAssembly) plays one game after another. The terminal does what a
// terminal's line discipline does for the program: echo, backspace, and a typed line sent with its
// line feed on Enter. Nothing leaves the page.
'use strict';

// The windows the game draws in, as the program measures them over its recorded games (play_window
// and compact_window in game/screen_size.h; a test keeps these equal to them): the full board with
// its legend, announcements and the answer to the request typed under it, and the compact board on
// a terminal 80 columns wide. The introduction's lines (up to 122 columns) fit the full one.
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
const fit = new FitAddon.FitAddon();
terminal.loadAddon(fit);
const message = document.getElementById('message');
const again = document.getElementById('again');
const boardSwitch = document.getElementById('board');
const encoder = new TextEncoder();

// For the browser test: what the page is doing, the terminal it reads, the board it draws, and how
// many characters were typed while the program was still loading.
const page = { terminal, state: 'loading', reads: 0, status: null, board: 'full', early: 0 };
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

// The font the full board would have on this screen without zoom.
function fullBoardFont() {
    const saved = terminal.options.fontSize;
    const size = fittedFont(windows.full.columns, windows.full.lines) * zoom();
    terminal.options.fontSize = saved;
    return size;
}

function chooseBoard() {
    return fullBoardFont() >= smallestFullFont ? 'full' : 'compact';
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

// The switch between the boards: the game starts again on the other board and the lines typed so
// far are given to it again, so it stands where it stood.
function switchBoard() {
    page.board = page.board === 'full' ? 'compact' : 'full';
    if (running || page.state === 'loading') {
        play(sentLines.slice());
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
const sentLines = []; // every line given to this game, for the switch of boards
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
    sentLines.push(text);
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
        } else if (character === '\x03') { // Ctrl-C: the game ends at once
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

function finish(status) {
    running = false;
    accepting = false;
    reader = null;
    page.state = 'ended';
    page.status = status;
    message.textContent = 'The game has ended.';
    again.hidden = false;
    again.focus();
}

// A game; after a switch of boards, `replay` holds the lines typed so far, given again in order,
// and a line being typed is kept.
async function play(replay = null) {
    generation += 1;
    const mine = generation;
    running = false;
    reader = null;
    page.state = 'loading';
    page.status = null;
    again.hidden = true;
    typed.length = 0;
    sentLines.length = 0;
    for (const text of replay || []) {
        const bytes = encoder.encode(text);
        sentLines.push(text);
        replayed.add(bytes);
        typed.push(bytes);
    }
    line = replay ? line : '';
    pendingEcho = line;
    terminal.reset();
    fitFont();
    accepting = true;
    terminal.focus();
    message.textContent = 'Type 14 and Enter to start; a move is typed as e2e4d and Enter; 0 ends the game.';
    let game;
    try {
        game = await createReferee(settings(mine));
    } catch (error) {
        page.state = 'failed';
        accepting = false;
        message.textContent = 'The game could not be loaded; the page must be served over http '
            + '(python3 -m http.server in its folder), not opened as a file.';
        console.error(error);
        return;
    }
    if (mine !== generation) {
        return; // the board was switched while the program loaded
    }
    running = true;
    const words = ['referee', `--board=${page.board}`];
    const status = await game.ccall('main', 'number', ['number', 'number'],
        [words.length, argumentVector(game, words)], { async: true });
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

// The module's connections to the page; calls from a game that a switch of boards replaced are
// ignored.
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
        writeError: (bytes) => console.error(new TextDecoder().decode(bytes)),
        readInput: (room) => new Promise((resolve) => {
            if (!current()) {
                return; // never answered: that program waits for good
            }
            reader = { room, resolve };
            page.reads += 1;
            page.state = 'waiting';
            deliver();
            if (reader !== null && pendingEcho !== '') { // nothing left to give: the replay is done
                terminal.write(pendingEcho);
                pendingEcho = '';
            }
        }),
        quit: (status) => {
            if (current()) {
                finish(status); // an exit from inside the program
            }
        },
    };
}

again.addEventListener('click', () => play());
window.addEventListener('resize', () => fitFont());
document.fonts.load('12px "DejaVu Sans Mono"').finally(() => {
    terminal.open(document.getElementById('terminal'));
    page.board = chooseBoard();
    play();
});
