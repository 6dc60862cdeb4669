#!/usr/bin/env node
// Runs the WebAssembly referee under node on this process's standard input and output, as the
// native program runs: the same module the web page loads, for the tests and the conformance kit.
// scripts/web.sh copies it beside referee.js and referee.wasm as build-web/referee-node.
'use strict';
const fs = require('fs');
const path = require('path');
const createReferee = require(path.join(__dirname, 'referee.js'));

// Standard input as it arrives, handed out in pieces of at most the room the console has.
const pending = [];
let ended = false;
let waiting = null;
function answer() {
    if (waiting === null || (pending.length === 0 && !ended)) {
        return;
    }
    const { room, resolve } = waiting;
    waiting = null;
    if (pending.length === 0) {
        resolve(new Uint8Array(0));
        return;
    }
    const first = pending[0];
    if (first.length <= room) {
        pending.shift();
        resolve(first);
    } else {
        pending[0] = first.subarray(room);
        resolve(first.subarray(0, room));
    }
}
process.stdin.on('data', (chunk) => {
    pending.push(new Uint8Array(chunk.buffer, chunk.byteOffset, chunk.length));
    answer();
});
const finish = () => {
    ended = true;
    answer();
};
process.stdin.on('end', finish);
process.stdin.on('error', finish); // a read that fails ends the input, as on a terminal

// Every byte goes out before the next is written; a pipe that is full is waited for.
function writeAll(descriptor, bytes) {
    let done = 0;
    while (done < bytes.length) {
        try {
            done += fs.writeSync(descriptor, bytes, done, bytes.length - done);
        } catch (error) {
            if (error.code === 'EAGAIN') {
                continue;
            }
            if (descriptor === 1) {
                writeAll(2, Buffer.from(`referee: write error: ${error.message}\n`));
            }
            process.exit(2);
        }
    }
}

// The program's arguments as C strings: argv[0] is the program's name, as for any program.
function argumentVector(module, words) {
    const pointers = words.map((word) => {
        const bytes = Buffer.from(`${word}\0`);
        const at = module._malloc(bytes.length);
        module.HEAPU8.set(bytes, at);
        return at;
    });
    const vector = module._malloc(4 * (pointers.length + 1));
    pointers.forEach((at, i) => module.HEAPU32.set([at], vector / 4 + i));
    module.HEAPU32.set([0], vector / 4 + pointers.length);
    return vector;
}

createReferee({
    wasmBinary: fs.readFileSync(path.join(__dirname, 'referee.wasm')),
    // The locale decides the glyphs, as for the native program; what is not set stays unset.
    preRun: [
        (module) => {
            for (const name of ['LC_ALL', 'LC_CTYPE', 'LANG']) {
                module.ENV[name] = process.env[name];
            }
        },
    ],
    writeOutput: (bytes) => writeAll(1, bytes),
    writeError: (bytes) => writeAll(2, bytes),
    readInput: (room) =>
        new Promise((resolve) => {
            waiting = { room, resolve };
            answer();
        }),
    quit: (status) => process.exit(status), // an exit from inside the program
}).then(async (module) => {
    const words = ['referee', ...process.argv.slice(2)];
    const argv = argumentVector(module, words);
    const status = await module.ccall('main', 'number', ['number', 'number'], [words.length, argv], {
        async: true,
    });
    process.exit(status);
});
