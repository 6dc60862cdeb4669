// The page in a real browser: Debian's Chromium, headless, driven with puppeteer-core. It serves
// the site on 127.0.0.1, types a short game (a capture, a check, a take-back, a castling and a
// promotion) key by key, one line with a slip erased by Backspace, and after every line that made
// the game redraw compares the terminal's screen with the native program's output for the same
// input in C.UTF-8: the text after its last clear. It checks that the game's window fits the
// browser's at common screen sizes, then ends the game with 0, starts another and ends that one
// with Ctrl-D.
//   REFEREE_SITE    the site folder (build-web/site)
//   REFEREE_NATIVE  the native program (build/referee)
//   REFEREE_SHOT    where the screenshot goes (a PNG)
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

// The native program on these lines: its output and how many times it cleared the screen.
function nativeRun(lines) {
    const done = spawnSync(native, [], { input: lines.map((line) => `${line}\n`).join(''),
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

test('a game in the page shows what the native program prints', { timeout: 240000 }, async () => {
    const server = await serve();
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'referee-chromium-'));
    const browser = await puppeteer.launch({
        executablePath: '/usr/bin/chromium',
        headless: true,
        userDataDir: profile,
        args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync'],
        defaultViewport: { width: 1280, height: 900 },
    });
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
        for (const [width, height] of [[1366, 657], [1920, 969], [1920, 1080], [1280, 720]]) {
            await page.setViewport({ width, height });
            await page.waitForFunction(() => new Promise((drawn) =>
                requestAnimationFrame(() => requestAnimationFrame(() => drawn(true)))));
            const fits = await page.evaluate(() => {
                const screen = document.querySelector('.xterm-screen').getBoundingClientRect();
                const status = document.getElementById('status').getBoundingClientRect();
                const { terminal } = window.referee;
                return { cols: terminal.cols, rows: terminal.rows, bottom: screen.bottom,
                    right: screen.right, status: status.top, width: window.innerWidth };
            });
            assert.ok(fits.cols === 132 && fits.rows === 64 && fits.bottom <= fits.status
                && fits.right <= fits.width, `at ${width}x${height}: ${JSON.stringify(fits)}`);
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
