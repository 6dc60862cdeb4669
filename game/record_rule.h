// The rule for a game record (see console/recording/recording_console.h) on bytes at hand: the
// game played on them with nothing shown, as the recording console replays a record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace referee {

// Why `bytes` cannot be a record this program wrote, such as "its replay does not get past the
// start gate", or nothing when they can. An empty record is a new game.
[[nodiscard]] std::optional<std::string> record_refusal(std::string_view bytes);

} // namespace referee
