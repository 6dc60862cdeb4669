#include "game/record_rule.h"

#include "console/recording/recording_console.h"
#include "console/text_console.h"
#include "game/request_loop.h"

namespace referee {

std::optional<std::string> record_refusal(std::string_view bytes) {
    // The game played on the bytes with nothing shown and no input after them.
    class Discard final : public TextConsole {
    public:
        Discard()
            : TextConsole(GlyphMode::raw) { }
        void clear_screen() override { }
        void write(std::string_view /*text*/) override { }
        void finish_encoded(const char* /*end*/) override { }
        int peek_byte() override { return end_of_input; }
        void take_byte() override { }
    };
    struct NoSink final : RecordSink {
        void append(std::string_view /*bytes*/) override { }
    };
    Discard nowhere;
    NoSink sink;
    RecordingConsole replay(nowhere, std::string(bytes), sink, 1);
    run_referee(replay);
    if (replay.finish()) {
        return std::nullopt;
    }
    return replay.refusal();
}

} // namespace referee
