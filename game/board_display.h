// The framed board and the legend of pieces with their counts.
#pragma once

#include "console/console.h"
#include "state/game_state.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace referee {

struct Game;

// The two drawings of the board. The full one frames each square in nine columns and five lines
// and needs a large window; the compact one shows each square as three columns of one line, the
// pieces by their letters, and fits a window of 80 columns and 24 lines with room for the
// messages under it. Only the drawing differs: the game, its texts and its input are the same.
enum class BoardStyle { full, compact };

// The board drawing for one console, kept in the console's encoding. What never changes (the
// frame lines above and below the board, the file letters) is composed and translated once; each
// rank's lines and the legend are composed and translated again only when what they show (the
// rank's eight codes, the twelve counts) differs from the last drawing, and copied otherwise.
class BoardDrawing {
public:
    explicit BoardDrawing(Console& console, BoardStyle style = BoardStyle::full);

    // Clears the window and draws the whole board, then the legend: in the full drawing each
    // piece's figure, its count and its short name; in the compact one each piece's letter and
    // its count (composed whole at each call, being small).
    void draw(const GameState& state);

private:
    // A part of the drawing as last composed, and what it was composed from.
    template <class Source> struct Shown {
        Source source{};
        std::string encoded; // empty until first composed
    };
    using RankCodes = std::array<Code, 8>;
    using LegendCounts = std::array<int, 12>;

    void show(std::string& encoded, std::string_view text) const;
    void draw_compact(const GameState& state);
    const std::string& rank_lines(const GameState& state, int rank);
    const std::string& legend(const GameState& state);

    Console& console_;
    BoardStyle style_;
    std::string head_; // the frame line, "", the frame line
    std::string bottom_; // the file letters and the closing frame
    std::array<Shown<RankCodes>, 8> ranks_; // ranks 1 to 8: five lines and the frame line under it
    Shown<LegendCounts> legend_;
};

// Draws once on a console (a drawing made for this call alone).
void draw_board(const GameState& state, Console& console);
// Draws the game's board with the drawing made for its console.
void draw_board(Game& game);

} // namespace referee
