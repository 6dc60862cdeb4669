#include "console/recording/recording_console.h"

#include <cstring>
#include <utility>

namespace referee {

namespace {

// Above this many bytes the kept screen is cut to its last lines, so that a replay keeps little
// memory whatever the record holds.
constexpr std::size_t screen_keep = 1 << 18;
// Above this many bytes taken at the start gate, they are forgotten at the next line end: the
// gate's next reads do not depend on them, and nothing is saved before the gate is passed.
constexpr std::size_t gate_keep = 1 << 16;

// A NUL byte marks a binary file (as it does for grep and git): every image, program or archive
// holds some, and a line typed on a keyboard holds none.
std::optional<std::string> text_refusal(std::string_view bytes) {
    const std::size_t nul = bytes.find('\0');
    if (nul == std::string_view::npos) {
        return std::nullopt;
    }
    return "byte " + std::to_string(nul + 1) + " of " + std::to_string(bytes.size())
        + " is a NUL, so it is not text";
}

} // namespace

RecordingConsole::RecordingConsole(
    Console& real, std::string record, RecordSink& sink, std::size_t screen_lines)
    : real_(real)
    , record_(std::move(record))
    , live_(record_.empty())
    , sink_(sink)
    , refusal_(text_refusal(record_))
    , screen_lines_(screen_lines) { }

void RecordingConsole::clear_screen() {
    drawn_ = true;
    if (live_) {
        real_.clear_screen();
        return;
    }
    screen_.clear();
}

void RecordingConsole::write(std::string_view text) {
    if (live_) {
        real_.write(text);
        return;
    }
    const std::size_t start = screen_.size();
    screen_.resize(start + real_.encoded_size_bound(text.size()));
    const char* const end = real_.encode_into(screen_.data() + start, text);
    screen_.resize(static_cast<std::size_t>(end - screen_.data()));
    bound_screen(screen_keep);
}

char* RecordingConsole::encoded_room(std::size_t size) {
    if (live_) {
        return real_.encoded_room(size);
    }
    const std::size_t start = screen_.size();
    screen_.resize(start + size);
    return screen_.data() + start;
}

void RecordingConsole::finish_encoded(const char* end) {
    if (live_) {
        real_.finish_encoded(end);
        return;
    }
    screen_.resize(static_cast<std::size_t>(end - screen_.data()));
    bound_screen(screen_keep);
}

void RecordingConsole::bound_screen(std::size_t limit) {
    if (screen_.size() <= limit) {
        return;
    }
    // The last lines start after the line feed that ends the line before them.
    std::size_t start = screen_.size();
    for (std::size_t lines = 0; lines < screen_lines_; ++lines) {
        start = start == 0 ? std::string::npos : screen_.rfind('\n', start - 1);
        if (start == std::string::npos) {
            return; // the screen has no more lines than that
        }
    }
    screen_.erase(0, start + 1);
}

void RecordingConsole::go_live() {
    live_ = true;
    bound_screen(0);
    real_.clear_screen(); // the replay of a record gets past the gate, which draws the board
    if (!screen_.empty()) {
        char* const room = real_.encoded_room(screen_.size());
        std::memcpy(room, screen_.data(), screen_.size());
        real_.finish_encoded(room + screen_.size());
    }
    screen_ = std::string(); // the memory too: it is not needed again
    if (on_live_) {
        on_live_();
    }
}

int RecordingConsole::peek_byte() {
    if (!live_) {
        if (refusal_) {
            return end_of_input;
        }
        if (position_ < record_.size()) {
            return static_cast<unsigned char>(record_[position_]);
        }
        if (!drawn_) {
            // The gate reads its number up to the record's end, as it did when the record was
            // written; a record that leaves the game at the gate ends its game there.
            return end_of_input;
        }
        go_live();
    }
    if (held_ != end_of_input) {
        unsaved_ += static_cast<char>(held_); // the game goes on, so it did not quit there
        held_ = end_of_input;
    }
    if (!drawn_ && unsaved_.size() > gate_keep && unsaved_.back() == '\n') {
        unsaved_.clear(); // taken whole: the gate reads on as it would from the start of a file
    }
    if (drawn_ && !unsaved_.empty() && !real_.input_at_hand()) {
        save(); // before the wait: a closed window loses at most the line being typed
    }
    last_peeked_ = real_.peek_byte();
    return last_peeked_;
}

void RecordingConsole::take_byte() {
    if (!live_) {
        ++position_;
        return;
    }
    real_.take_byte();
    held_ = last_peeked_;
}

bool RecordingConsole::finish() {
    if (!refusal_ && !live_) {
        refusal_ = drawn_ ? "its replay quits the game at byte " + std::to_string(position_)
                + " of " + std::to_string(record_.size())
                          : std::string("its replay does not get past the start gate");
    }
    if (refusal_) {
        return false;
    }
    if (held_ != end_of_input && held_ != '0') {
        unsaved_ += static_cast<char>(held_);
    }
    held_ = end_of_input;
    if (drawn_ && !unsaved_.empty()) {
        save();
    }
    return true;
}

void RecordingConsole::save() {
    sink_.append(unsaved_);
    unsaved_.clear();
}

} // namespace referee
