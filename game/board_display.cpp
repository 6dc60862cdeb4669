#include "game/board_display.h"

#include "game/game.h"

#include <array>
#include <string>
#include <vector>

namespace referee {

namespace {

constexpr std::string_view frame_line = "\n\t\t+---+---------+---------+---------+---------+-------"
                                        "--+---------+---------+---------+---+";

// Which of a cell's nine columns show the piece on each of its five lines; the rest show the
// square's shade. Each cell is printed as "|%c%c%c%c%c%c%c%c%c".
// clang-format off
    constexpr std::array<std::string_view, 5> figure {
        ".........",
        "...PPP...",
        "....P....",
        "...PPP...",
        "..PPPPP..",
    };
// clang-format on

// Legend order: big pawn, rook, knight, bishop, queen, king, then the small ones.
constexpr std::array<Kind, 6> legend_kinds{
    Kind::pawn, Kind::rook, Kind::knight, Kind::bishop, Kind::queen, Kind::king};

void print_board_line(const GameState& state, Console& console, int rank, std::size_t line) {
    if (line == 2) {
        print(console, "\n\t\t| %d ", {rank});
    } else {
        console.write_text("\n\t\t|   ");
    }
    std::array<char, 10> cell{};
    cell[0] = '|';
    for (int file = 0; file < 8; ++file) {
        const Square square{rank, file};
        const auto shade = static_cast<char>(empty_shade(square));
        const auto piece = static_cast<char>(state.cell(square));
        for (std::size_t column = 0; column < 9; ++column) {
            cell[column + 1] = figure[line][column] == 'P' ? piece : shade;
        }
        console.write_text(std::string_view(cell.data(), 1));
        console.write_glyphs(std::string_view(cell.data() + 1, 9));
    }
    console.write_text("|   |");
}

} // namespace

void draw_board(const GameState& state, Console& console) {
    console.clear_screen();
    console.write_text(frame_line);
    console.write_text("");
    console.write_text(frame_line);
    for (int rank = 8; rank >= 1; --rank) {
        for (std::size_t line = 0; line < figure.size(); ++line) {
            print_board_line(state, console, rank, line);
        }
        console.write_text(frame_line);
    }
    console.write_text("\n\t\t|   |    a    |    b    |    c    |    d    |    e    |    f    |    "
                       "g    |    h    |   | ");
    console.write_text("\n\t\t+---+---------+---------+---------+---------+---------+---------+----"
                       "-----+---------+---+ ");
    print_legend(state, console);
}

void draw_board(Game& game) {
    draw_board(game.state, game.console);
}

void print_legend(const GameState& state, Console& console) {
    // Each line repeats the twelve pieces in legend order: figures three or five glyphs wide,
    // and the single glyph with the piece's count beside it.
    std::vector<int> three_wide;
    std::vector<int> with_count;
    std::vector<int> five_wide;
    for (Side side : {Side::big, Side::small}) {
        for (Kind kind : legend_kinds) {
            const int code = code_of(side, kind);
            const int count
                = kind == Kind::king ? 1 : state.piece_counts[side][static_cast<std::size_t>(kind)];
            three_wide.insert(three_wide.end(), 3, code);
            with_count.insert(with_count.end(), {code, count});
            five_wide.insert(five_wide.end(), 5, code);
        }
    }
    // clang-format off
    print(console, "\n\t       %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c  ", three_wide);
    print(console, "\n\t        %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d ", with_count);
    print(console, "\n\t       %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c  ", three_wide);
    print(console, "\n\t      %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c ", five_wide);
    print(console, "\n\t      ushtm   torem   kalim   filim   damam   mbretm  ushtv   torev   kaliv   filiv   damav   mbretv");
    // clang-format on
}

} // namespace referee
