// The page: a terminal drawn by xterm.js, in which the referee (referee.js and referee.wasm, the
// program itself compiled to WebAssembly) plays one game after another. The terminal does what a
// terminal's line discipline does for the program: echo, backspace, and a typed line sent with its
// line feed on Enter. Nothing leaves the page.
'use strict';

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
const fit = new FitAddon.FitAddon();
terminal.loadAddon(fit);
const message = document.getElementById('message');
const again = document.getElementById('again');
const encoder = new TextEncoder();

// For the browser test: what the page is doing, and the terminal it reads.
const page = { terminal, state: 'loading', reads: 0, status: null };
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
    reader = null;
    page.state = 'ended';
    page.status = status;
    message.textContent = 'The game has ended.';
    again.hidden = false;
    again.focus();
}

async function play() {
    page.state = 'loading';
    page.status = null;
    again.hidden = true;
    typed.length = 0;
    line = '';
    terminal.reset();
    fitFont();
    message.textContent = 'Type 14 and Enter to start; a move is typed as e2e4d and Enter; 0 ends the game.';
    let game;
    try {
        game = await createReferee(settings());
    } catch (error) {
        page.state = 'failed';
        message.textContent = 'The game could not be loaded; the page must be served over http '
            + '(python3 -m http.server in its folder), not opened as a file.';
        console.error(error);
        return;
    }
    running = true;
    terminal.focus();
    const status = await game.ccall('main', 'number', ['number', 'number'], [0, 0], { async: true });
    if (running) {
        finish(status);
    }
}

// The module's connections to the page.
function settings() {
    return {
        // The glyphs go out as UTF-8, whatever the browser's language.
        preRun: [(module) => { module.ENV.LANG = 'C.UTF-8'; }],
        writeOutput: (bytes) => terminal.write(bytes.slice()), // a copy: the view is reused
        writeError: (bytes) => console.error(new TextDecoder().decode(bytes)),
        readInput: (room) => new Promise((resolve) => {
            reader = { room, resolve };
            page.reads += 1;
            page.state = 'waiting';
            deliver();
        }),
        quit: (status) => finish(status), // an exit from inside the program
    };
}

again.addEventListener('click', () => play());
window.addEventListener('resize', () => fitFont());
document.fonts.load('12px "DejaVu Sans Mono"').finally(() => {
    terminal.open(document.getElementById('terminal'));
    play();
});
