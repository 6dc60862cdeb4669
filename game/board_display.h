// The framed board and the legend of pieces with their counts.
#pragma once

#include "console/console.h"
#include "game/game_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace referee {

struct Game;

// The board drawing for one console. What never changes (the frame, the rank labels, the file
// letters, four of the five legend lines) is composed and translated for the console once, and so
// is each line of a cell the first time it is drawn with its shade and code; a redraw then copies
// pieces that are ready and translates only the counts.
class BoardDrawing {
public:
    explicit BoardDrawing(Console& console);

    // Clears the window and draws the whole board, then the legend: each piece's figure, its
    // count and its short name.
    void draw(const GameState& state);

    // A short piece of the drawing in the console's encoding, in a slot of fixed size that is
    // copied whole: the bytes past `size` are overwritten by what follows.
    struct Piece {
        std::array<char, 31> bytes;
        std::uint8_t size;
    };

private:
    [[nodiscard]] std::string encoded(std::string_view text) const;
    [[nodiscard]] Piece piece(std::string_view text) const;
    const Piece& cell_line(std::size_t line, Code shade, Code code);
    char* print_legend(char* out, const GameState& state) const;

    Console& console_;
    std::string head_; // the frame line, "", the frame line
    Piece margin_{}; // the left column of a line without a rank number
    std::array<Piece, 8> rank_margins_{}; // the left column with the number, for ranks 1 to 8
    Piece right_column_{};
    std::string frame_; // the frame line after each rank
    std::string legend_head_; // the file letters, the closing frame, legend line 1
    std::array<Piece, 12> count_labels_{}; // legend line 2 cut before each count
    std::string legend_tail_; // the end of legend line 2, then lines 3 to 5
    std::vector<Piece> cell_lines_; // by line, shade and code; empty until first drawn
    std::size_t size_bound_ = 0; // of the whole drawing, composed in place after the clear
};

// Draws once on a console (a drawing made for this call alone).
void draw_board(const GameState& state, Console& console);
// Draws the game's board with the drawing made for its console.
void draw_board(Game& game);

} // namespace referee
