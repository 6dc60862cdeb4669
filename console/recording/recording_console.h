// A console that keeps a record of the game: the bytes a game reads are its whole course, so a
// record of them is the game. It stands in front of another console. First it feeds the game the
// record kept so far, with nothing shown, keeping only the last screen of output (everything
// since the last clear, at most its last lines that a window shows); when the record is used up
// it shows that screen and goes on with the real input, copying every byte the game takes to
// the record.
//
// A record is what this program writes and nothing else, so that a mistyped file name never
// damages another file: text (no NUL byte) whose replay gets past the start gate (it reads 14)
// and does not quit the game. Nothing is written to a record before the game has got past the
// start gate, so each record it writes is one.
#pragma once

#include "console/console.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace referee {

// Where the recorded bytes go. A failure is the sink's to report: append() returns only when
// the bytes are written and kept, as far as the system can keep them (on disk for a file).
class RecordSink {
public:
    RecordSink() = default;
    RecordSink(const RecordSink&) = delete;
    RecordSink& operator=(const RecordSink&) = delete;
    virtual void append(std::string_view bytes) = 0;

protected:
    ~RecordSink() = default;
};

class RecordingConsole : public Console {
public:
    // `record` is what the sink holds already; it is replayed, not appended again. The screen
    // shown after the replay is at most its last `screen_lines` lines.
    RecordingConsole(Console& real, std::string record, RecordSink& sink, std::size_t screen_lines);

    void clear_screen() override;
    void write(std::string_view text) override;
    [[nodiscard]] std::size_t encoded_size_bound(std::size_t size) const override {
        return real_.encoded_size_bound(size);
    }
    char* encode_into(char* out, std::string_view text) const override {
        return real_.encode_into(out, text);
    }
    char* encoded_room(std::size_t size) override;
    void finish_encoded(const char* end) override;

    // Bytes taken from the real input reach the sink before the real console waits for more.
    // A record that is not text ends the game's input at once, and one whose game is still at
    // the start gate at its end ends it there: nothing of it is shown, the real input is never
    // read.
    int peek_byte() override;
    void take_byte() override;
    [[nodiscard]] bool input_at_hand() const override {
        return (!live_ && position_ < record_.size()) || refusal_ || real_.input_at_hand();
    }

    // Once the game has ended: saves what it took and has not saved, except the request that
    // quit it (a '0' taken last, after which the game asked for nothing more), so that a game
    // resumes at the prompt where it was left. Returns false when the record is not one this
    // program wrote (refusal() says why): then nothing is saved.
    [[nodiscard]] bool finish();
    // Why the record is not one this program wrote, such as "its replay quits the game at byte
    // 10 of 17"; nothing while it may be one.
    [[nodiscard]] const std::optional<std::string>& refusal() const { return refusal_; }

    // Whether the record is used up and the game reads the real input.
    [[nodiscard]] bool live() const { return live_; }
    // Called once the screen kept from the replay has been shown, before the first real read.
    void on_live(std::function<void()> shown) { on_live_ = std::move(shown); }

private:
    // Shows the kept screen on the real console and turns to the real input.
    void go_live();
    // Cuts the kept screen to its last lines once it has grown past `limit` bytes.
    void bound_screen(std::size_t limit);
    void save();

    Console& real_;
    std::string record_;
    std::size_t position_ = 0;
    bool live_ = false;
    RecordSink& sink_;
    std::optional<std::string> refusal_;
    // Whether the game has drawn its board: it does so first when it gets past the start gate,
    // and only a drawing clears the screen.
    bool drawn_ = false;
    // While replaying: the encoded output since the last clear, its last lines only.
    std::string screen_;
    std::size_t screen_lines_;
    // Taken from the real input and not yet saved. The byte taken last is held apart until the
    // game asks for another, which shows that it did not quit the game.
    std::string unsaved_;
    int last_peeked_ = end_of_input;
    int held_ = end_of_input;
    std::function<void()> on_live_;
};

} // namespace referee
