#include "console/recording/recording_console.h"

#include <cstring>
#include <utility>

namespace referee {

RecordingConsole::RecordingConsole(Console& real, std::string record, RecordSink& sink)
    : real_(real)
    , record_(std::move(record))
    , live_(record_.empty())
    , sink_(sink) { }

void RecordingConsole::clear_screen() {
    if (live_) {
        real_.clear_screen();
        return;
    }
    screen_.clear();
    cleared_ = true;
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
}

void RecordingConsole::go_live() {
    live_ = true;
    if (cleared_) {
        real_.clear_screen();
    }
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
        if (position_ < record_.size()) {
            return static_cast<unsigned char>(record_[position_]);
        }
        go_live();
    }
    if (held_ != end_of_input) {
        unsaved_ += static_cast<char>(held_); // the game goes on, so it did not quit there
        held_ = end_of_input;
    }
    if (!unsaved_.empty() && !real_.input_at_hand()) {
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
    if (!live_) {
        return false;
    }
    if (held_ != end_of_input && held_ != '0') {
        unsaved_ += static_cast<char>(held_);
    }
    held_ = end_of_input;
    if (!unsaved_.empty()) {
        save();
    }
    return true;
}

void RecordingConsole::save() {
    sink_.append(unsaved_);
    unsaved_.clear();
}

} // namespace referee
