// The page in a real browser: Debian's Chromium, headless, driven with puppeteer-core. It serves
// the site on 127.0.0.1, types a short game (a capture, a check, a take-back, a castling and a
// promotion) key by key, one line with a slip erased by Backspace, and after every line that made
// the game redraw compares the terminal's screen with the native program's output for the same
// input in C.UTF-8: the text after its last clear. It checks that the game's window fits the
// browser's at common screen sizes, then ends the game with 0, starts another and ends that one
// with Ctrl-D. A second test plays on phone-sized screens: the compact board, its text size, the
// switch between the boards, browser zoom, keys typed while the program loads, and a tap.
//   REFEREE_SITE        the site folder (build-web/site)
//   REFEREE_NATIVE      the native program (build/referee)
//   REFEREE_SHOT        where the screenshot goes (a PNG)
//   REFEREE_PHONE_SHOT  where the screenshot of the compact board on a phone goes (a PNG)
'use strict';
const assert = require('node:assert');
const { spawnSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const { test } = require('node:test');
const puppeteer = require('puppeteer-core');

const site = process.env.REFEREE_SITE || 'build-web/site';
const native = process.env.REFEREE_NATIVE || 'build/referee';
const shot = process.env.REFEREE_SHOT || 'build-web/web.png';
const phoneShot = process.env.REFEREE_PHONE_SHOT || 'build-web/phone.png';
const game = fs.readFileSync(path.join(__dirname, 'game.txt'), 'utf8').split('\n').slice(0, -1);
const clear = '\x1b[H\x1b[2J';

const types = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
    '.wasm': 'application/wasm', '.ttf': 'font/ttf' };
function serve() {
    const server = http.createServer((request, response) => {
        const name = new URL(request.url, 'http://localhost').pathname.replace(/\/$/, '/index.html');
        const file = path.join(site, path.normalize(name));
        fs.readFile(file, (error, data) => {
            if (error) {
                response.writeHead(404).end();
                return;
            }
            response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'text/plain' });
            response.end(data);
        });
    });
    return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// The windows of the two boards as the program measures them (game/screen_size.h).
const header = fs.readFileSync(path.join(__dirname, '..', '..', 'game', 'screen_size.h'), 'utf8');
function measured(name) {
    const [, columns, lines] = header.match(new RegExp(`${name}\\{(\\d+), (\\d+)\\}`));
    return { columns: Number(columns), lines: Number(lines) };
}
const fullWindow = measured('play_window');
const compactWindow = measured('compact_window');

// The native program on these lines: its output and how many times it cleared the screen.
function nativeRun(lines, args = []) {
    const done = spawnSync(native, args, { input: lines.map((line) => `${line}\n`).join(''),
        env: { ...process.env, LC_ALL: 'C.UTF-8' } });
    const output = done.stdout.toString('utf8');
    return { output, clears: output.split(clear).length - 1 };
}

// A screen as text: tab stops every 8 columns, no spaces at line ends, no empty lines at the end.
function screenText(text) {
    const rows = text.split('\n').map((row) => {
        let out = '';
        for (const character of row) {
            out += character === '\t' ? ' '.repeat(8 - (out.length % 8)) : character;
        }
        return out.trimEnd();
    });
    while (rows.length > 0 && rows[rows.length - 1] === '') {
        rows.pop();
    }
    return rows;
}

// The terminal's visible lines, once everything written to it has been drawn.
async function terminalText(page) {
    return page.evaluate(() => new Promise((resolve) => {
        const { terminal } = window.referee;
        terminal.write('', () => {
            const buffer = terminal.buffer.active;
            const rows = [];
            for (let y = 0; y < terminal.rows; ++y) {
                rows.push(buffer.getLine(buffer.viewportY + y).translateToString(true));
            }
            resolve(rows.join('\n'));
        });
    }));
}

async function waitForRead(page, reads) {
    await page.waitForFunction((after) => window.referee.state === 'ended'
        || (window.referee.state === 'waiting' && window.referee.reads > after), {}, reads);
}

function launch(profile) {
    return puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        userDataDir: profile,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        defaultViewport: { width: 1280, height: 900 },
    });
}

// Two frames later everything changed has been drawn.
function drawn(page) {
    return page.waitForFunction(() => new Promise((done) =>
        requestAnimationFrame(() => requestAnimationFrame(() => done(true)))));
}

test('the page shows the window measured by the program', () => {
    const main = fs.readFileSync(path.join(__dirname, '..', 'main.js'), 'utf8');
    assert.match(main, new RegExp(`full: \\{ columns: ${fullWindow.columns}, lines: ${fullWindow.lines} \\}`));
    assert.match(main, new RegExp(`compact: \\{ columns: ${compactWindow.columns}, lines: ${compactWindow.lines} \\}`));
});

test('a game in the page shows what the native program prints', { timeout: 240000 }, async () => {
    const server = await serve();
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'referee-chromium-'));
    const browser = await launch(profile);
    try {
        const page = await browser.newPage();
        const problems = [];
        page.on('pageerror', (error) => problems.push(error.message));
        page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
        const origin = `http://127.0.0.1:${server.address().port}/`;
        page.on('request', (request) => { // everything comes from the site's own folder
            if (!request.url().startsWith(origin)) {
                problems.push(`elsewhere: ${request.url()}`);
            }
        });
        await page.goto(origin);
        await waitForRead(page, 0);
        assert.match(await terminalText(page), /SHTYPNI NUMRIN 14 PER TE STARTUAR LOJEN\.\s*$/);

        let compared = 0;
        let before = nativeRun([]).clears;
        for (let count = 1; count <= game.length; ++count) {
            const reads = await page.evaluate(() => window.referee.reads);
            if (count === 2) { // a slip of the finger, erased before Enter
                await page.keyboard.type(`${game[count - 1]}x`);
                await page.keyboard.press('Backspace');
            } else {
                await page.keyboard.type(game[count - 1]);
            }
            await page.keyboard.press('Enter');
            await waitForRead(page, reads);
            const expected = nativeRun(game.slice(0, count));
            if (expected.clears > before) {
                const want = screenText(expected.output.slice(expected.output.lastIndexOf(clear) + clear.length));
                const got = screenText(await terminalText(page));
                assert.deepStrictEqual(got, want, `after "${game[count - 1]}"`);
                compared += 1;
            }
            before = expected.clears;
            if (game[count - 1] === 'a7b8ed') { // the promoted queen on the board
                await page.evaluate(() => new Promise((drawn) => requestAnimationFrame(() => requestAnimationFrame(drawn))));
                await page.screenshot({ path: shot });
            }
        }
        assert.ok(compared >= game.length - 4, `only ${compared} screens compared`);

        // The whole window of the game fits the browser's, above the status line, at the sizes of
        // common screens (a maximised browser on 1366x768 and on 1920x1080, a full 1080p, 720p).
        // On a whole screen of 1366x768 the text is 9.75 px at least.
        for (const [width, height] of [[1366, 657], [1366, 768], [1920, 969], [1920, 1080], [1280, 720]]) {
            await page.setViewport({ width, height });
            await drawn(page);
            const fits = await page.evaluate(() => {
                const screen = document.querySelector('.xterm-screen').getBoundingClientRect();
                const status = document.getElementById('status').getBoundingClientRect();
                const { terminal } = window.referee;
                return { cols: terminal.cols, rows: terminal.rows, bottom: screen.bottom,
                    right: screen.right, status: status.top, width: window.innerWidth,
                    font: terminal.options.fontSize, board: window.referee.board };
            });
            assert.ok(fits.board === 'full' && fits.cols === fullWindow.columns
                && fits.rows === fullWindow.lines && fits.bottom <= fits.status
                && fits.right <= fits.width && (height !== 768 || fits.font >= 9.75),
                `at ${width}x${height}: ${JSON.stringify(fits)}`);
        }
        await page.setViewport({ width: 1280, height: 900 });

        // 0 ends the game; the page says so and starts another on request.
        const reads = await page.evaluate(() => window.referee.reads);
        await page.keyboard.type('0');
        await page.keyboard.press('Enter');
        await waitForRead(page, reads);
        assert.strictEqual(await page.evaluate(() => window.referee.state), 'ended');
        assert.strictEqual(await page.evaluate(() => window.referee.status), 1);
        assert.strictEqual(await page.$eval('#message', (element) => element.textContent),
            'The game has ended.');
        const games = await page.evaluate(() => window.referee.reads);
        await page.click('#again');
        await waitForRead(page, games);
        assert.match(await terminalText(page), /SHTYPNI NUMRIN 14 PER TE STARTUAR LOJEN\.\s*$/);

        // Ctrl-D on an empty line is the end of input: that game ends too.
        await page.keyboard.down('Control');
        await page.keyboard.press('d');
        await page.keyboard.up('Control');
        await page.waitForFunction(() => window.referee.state === 'ended');
        assert.strictEqual(await page.evaluate(() => window.referee.status), 1);
        assert.deepStrictEqual(problems, []);
    } finally {
        await browser.close();
        server.close();
        fs.rmSync(profile, { recursive: true, force: true });
    }
});

// What a phone shows: the terminal's geometry and where it stands, the status line, the font.
function phoneView(page) {
    return page.evaluate(() => {
        const screen = document.querySelector('.xterm-screen').getBoundingClientRect();
        const status = document.getElementById('status').getBoundingClientRect();
        const { terminal, board } = window.referee;
        return { board, cols: terminal.cols, rows: terminal.rows, font: terminal.options.fontSize,
            ratio: window.devicePixelRatio, bottom: screen.bottom, right: screen.right,
            status: status.top, width: window.innerWidth };
    });
}

// The compact drawing's 13 lines as the native program prints them, then the prompt that follows.
function compactScreen(lines) {
    const { output } = nativeRun(lines, ['--board=compact']);
    return screenText(output.slice(output.lastIndexOf(clear) + clear.length));
}

// The terminal's rows with the lines that went on over the next row joined again.
async function joinedText(page) {
    return page.evaluate(() => new Promise((resolve) => {
        const { terminal } = window.referee;
        terminal.write('', () => {
            const buffer = terminal.buffer.active;
            const rows = [];
            for (let y = 0; y < terminal.rows; ++y) {
                const row = buffer.getLine(buffer.viewportY + y);
                const text = row.translateToString(true);
                if (row.isWrapped && rows.length > 0) {
                    rows[rows.length - 1] = rows[rows.length - 1].padEnd(terminal.cols) + text;
                } else {
                    rows.push(text);
                }
            }
            resolve(rows);
        });
    }));
}

// The compact screen on the page: the drawing line for line as the native program prints it, and
// the prompt after it, the whole terminal inside the window above the status line.
async function assertCompactScreen(page, lines, what) {
    const want = compactScreen(lines);
    const got = (await joinedText(page)).map((row) => row.trimEnd());
    assert.deepStrictEqual(got.slice(0, 13), want.slice(0, 13), what);
    const prompt = want[want.length - 1].trim();
    assert.ok(got.some((row) => row.trim().startsWith(prompt)), `${what}: no "${prompt}" in ${JSON.stringify(got)}`);
}

test('on a phone the page draws the compact board, switches boards and zooms', { timeout: 240000 }, async () => {
    const server = await serve();
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'referee-chromium-'));
    const browser = await launch(profile);
    try {
        const page = await browser.newPage();
        const problems = [];
        page.on('pageerror', (error) => problems.push(error.message));
        await page.setViewport({ width: 390, height: 844, hasTouch: true });
        // The program is slow to arrive, and 14 is typed while it loads: nothing is lost.
        await page.setRequestInterception(true);
        page.on('request', (request) => {
            if (request.url().endsWith('/referee.wasm')) {
                setTimeout(() => request.continue(), 1500);
            } else {
                request.continue();
            }
        });
        await page.goto(`http://127.0.0.1:${server.address().port}/`);
        await page.waitForFunction(() => window.referee.state === 'loading'
            && document.activeElement === document.querySelector('.xterm-helper-textarea'));
        await page.keyboard.type('14');
        await page.keyboard.press('Enter');
        await page.waitForFunction(() => {
            const { terminal, state } = window.referee;
            const buffer = terminal.buffer.active;
            for (let y = 0; y < buffer.length; ++y) {
                if (buffer.getLine(y).translateToString(true).includes('vogli:>')) {
                    return state === 'waiting';
                }
            }
            return false;
        });
        assert.ok(await page.evaluate(() => window.referee.early) >= 3, 'keys were not typed while loading');

        // Upright: the compact board, text of 14 px at least, the whole board and the prompt shown.
        let view = await phoneView(page);
        assert.ok(view.board === 'compact' && view.font >= 14 && view.bottom <= view.status
            && view.right <= view.width, `at 390x844: ${JSON.stringify(view)}`);
        await assertCompactScreen(page, ['14'], 'at 390x844 after 14');

        // A tap on the page, away from the terminal, gives it the keyboard again.
        await page.evaluate(() => document.activeElement.blur());
        await page.tap('#message');
        assert.ok(await page.evaluate(() =>
            document.activeElement === document.querySelector('.xterm-helper-textarea')), 'a tap did not focus the game');

        let reads = await page.evaluate(() => window.referee.reads);
        await page.keyboard.type('e2e4d');
        await page.keyboard.press('Enter');
        await waitForRead(page, reads);
        await assertCompactScreen(page, ['14', 'e2e4d'], 'at 390x844 after e2e4d');
        await drawn(page);
        await page.screenshot({ path: phoneShot });

        // The switch: the full board with the same game, then the compact one again; a line being
        // typed stays.
        await page.keyboard.type('e7');
        for (const board of ['full', 'compact']) {
            await page.click('#board');
            await page.waitForFunction((want) => window.referee.board === want
                && window.referee.state === 'waiting', {}, board);
            await drawn(page);
            if (board === 'full') {
                const { output } = nativeRun(['14', 'e2e4d']);
                const want = screenText(output.slice(output.lastIndexOf(clear) + clear.length));
                const got = screenText(await terminalText(page));
                assert.deepStrictEqual(got.slice(0, want.length - 1), want.slice(0, want.length - 1), 'the full board after the switch');
            } else {
                await assertCompactScreen(page, ['14', 'e2e4d'], 'the compact board after switching back');
            }
        }
        reads = await page.evaluate(() => window.referee.reads);
        await page.keyboard.type('e5d');
        await page.keyboard.press('Enter');
        await waitForRead(page, reads);
        await assertCompactScreen(page, ['14', 'e2e4d', 'e7e5d'], 'the line typed across the switches');

        // On its side: 12 px at least, the whole window of the compact board.
        await page.setViewport({ width: 844, height: 390, hasTouch: true });
        await drawn(page);
        view = await phoneView(page);
        assert.ok(view.board === 'compact' && view.font >= 12 && view.cols === compactWindow.columns
            && view.bottom <= view.status && view.right <= view.width, `at 844x390: ${JSON.stringify(view)}`);
        await assertCompactScreen(page, ['14', 'e2e4d', 'e7e5d'], 'at 844x390');

        // Zoomed to 200 %: the window has half the room in CSS pixels and twice the pixel ratio.
        // The text is larger on the screen, the page scrolls, and the prompt stays in view.
        await page.setViewport({ width: 422, height: 195, deviceScaleFactor: 2, hasTouch: true });
        await drawn(page);
        const zoomed = await phoneView(page);
        assert.ok(zoomed.font * zoomed.ratio > view.font * view.ratio, `zoom: ${JSON.stringify([view, zoomed])}`);
        const cursor = await page.evaluate(() => {
            const { terminal } = window.referee;
            const screen = document.querySelector('.xterm-screen').getBoundingClientRect();
            const box = document.getElementById('screen').getBoundingClientRect();
            const buffer = terminal.buffer.active;
            const top = screen.top + (buffer.cursorY + buffer.baseY - buffer.viewportY) * screen.height / terminal.rows;
            const left = screen.left + buffer.cursorX * screen.width / terminal.cols;
            return { top, left, box: { top: box.top, bottom: box.bottom, left: box.left, right: box.right } };
        });
        assert.ok(cursor.top >= cursor.box.top && cursor.top < cursor.box.bottom
            && cursor.left >= cursor.box.left && cursor.left < cursor.box.right, `the prompt is out of view: ${JSON.stringify(cursor)}`);
        assert.deepStrictEqual(problems, []);
    } finally {
        await browser.close();
        server.close();
        fs.rmSync(profile, { recursive: true, force: true });
    }
});
