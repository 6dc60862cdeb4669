// The console of the WebAssembly build. The program runs inside a JavaScript host (the web page,
// or node for the tests) that hands it three functions on the module object:
//   writeOutput(bytes)   shows the bytes of standard output (a Uint8Array, valid during the call)
//   writeError(bytes)    the same for standard error
//   readInput(room)      a promise of the next input, at most `room` bytes (a Uint8Array); an
//                        empty one is the end of input
// A read waits for that promise with Asyncify: the wasm stack is put aside until the page has a
// typed line, so the game keeps its blocking request loop. Everything else (buffering, glyphs,
// clearing) is the terminal console's, as in the other homes.
#include "console/glyph_choice.h"
#include "console/process.h"
#include "console/terminal_home.h"

#include <emscripten.h>

// The host's side of the console: functions with C linkage whose bodies are JavaScript.
EM_JS(void, web_write_output, (const char* data, std::size_t size),
    { Module.writeOutput(HEAPU8.subarray(data, data + size)); });

EM_JS(void, web_write_error, (const char* data, std::size_t size),
    { Module.writeError(HEAPU8.subarray(data, data + size)); });

EM_ASYNC_JS(std::size_t, web_read_input, (char* into, std::size_t room), {
    const bytes = await Module.readInput(room);
    const count = Math.min(bytes.length, room);
    HEAPU8.set(bytes.subarray(0, count), into);
    return count;
});

namespace referee {

std::optional<WindowSize> output_window_size() {
    // The page sizes its terminal to the game's drawing, so there is never a window to warn about.
    return std::nullopt;
}

bool output_is_terminal() {
    // The host's stream, as a pipe is: the page starts its own line when a game ends, and under
    // node the bytes stay those of the native program on a pipe.
    return false;
}

bool input_is_terminal() {
    return false; // the host's stream, as for standard output
}

void write_error_output(std::string_view text) {
    web_write_error(text.data(), text.size());
}

namespace terminal_home {

void set_up(GlyphMode /*mode*/) { }

void put_back() { }

int write_out(std::string_view bytes) {
    // The host takes every byte: a page or a node stream has no write that fails.
    if (!bytes.empty()) {
        web_write_output(bytes.data(), bytes.size());
    }
    return 0;
}

Read read_in(char* into, std::size_t room) {
    const std::size_t count = web_read_input(into, room);
    return Read{.count = count, .ended = count == 0};
}

GlyphMode glyph_mode_from_locale() {
    // The host sets the environment: a browser page names a UTF-8 locale, and the node runner
    // passes on LC_ALL, LC_CTYPE and LANG. This libc counts every locale but C and POSIX as
    // UTF-8, installed or not, so the name decides, as it does for a pipe on a POSIX system
    // whose locale is installed: UTF-8 when it names UTF-8, raw bytes otherwise and without one.
    return names_utf8(locale_name_from_environment()) ? GlyphMode::utf8 : GlyphMode::raw;
}

} // namespace terminal_home

} // namespace referee
