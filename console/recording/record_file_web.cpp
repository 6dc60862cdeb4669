// The record file in the web home. The page keeps the record, in the browser's storage or as the
// bytes of a file the player opened, and hands it to the program through two functions on the
// module object:
//   readRecord()          the record's bytes (a Uint8Array)
//   appendRecord(bytes)   keeps bytes the game added (a copy of them; storage that is full or
//                         refused is the page's to report, the game goes on)
// The name given with --save stands for that record in the program's messages. Under node, which
// hands over no record, the module's files live in memory only, so --save is refused before the
// game starts, as a file that cannot be opened is.
#include "console/recording/record_file.h"

#include "console/process.h"

#include <cstdlib>
#include <emscripten.h>
#include <utility>

// Whether the host keeps a record (the web page does, node does not).
EM_JS(int, web_record_kept, (), { return Module.readRecord ? 1 : 0; });

// The record in memory taken with malloc, its size written to `size`.
EM_JS(char*, web_read_record, (std::size_t * size), {
    const bytes = Module.readRecord();
    const at = _malloc(Math.max(1, bytes.length));
    HEAPU8.set(bytes, at);
    HEAPU32[size >> 2] = bytes.length;
    return at;
});

EM_JS(void, web_append_record, (const char* data, std::size_t size),
    { Module.appendRecord(HEAPU8.slice(data, data + size)); });

namespace referee {

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    if (web_record_kept() == 0) {
        fail_run("referee: --save is not available here: the web build keeps a record only in "
                 "the web page\n");
    }
}

RecordFile::~RecordFile() = default;

std::string RecordFile::read_all() {
    std::size_t size = 0;
    char* const bytes = web_read_record(&size);
    std::string record(bytes, size);
    std::free(bytes);
    return record;
}

void RecordFile::append(std::string_view bytes) {
    web_append_record(bytes.data(), bytes.size());
}

} // namespace referee
