// Redraws alone, for counting their instructions: the positions of the knight shuffle (knights
// leaving and returning home) drawn one after the other, either through the referee's console
// with the drawing kept for it, or the naive way as a peer to compare with: one printf per cell
// print and per legend line, through stdio into a full buffer. Both print the same bytes in the
// C locale; the caller counts instructions of two runs and divides their difference.
//
//   referee_redraw kept N     N redraws through the terminal console (glyphs from the locale)
//   referee_redraw naive N    N redraws with printf

#include "console/terminal_console.h"
#include "game/board_display.h"
#include "state/game_state.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>
#include <tuple>

namespace referee::bench {

namespace {

// clang-format off
constexpr const char* frame_line = "\n\t\t+---+---------+---------+---------+---------+---------+---------+---------+---------+---+";
constexpr const char* file_letters = "\n\t\t|   |    a    |    b    |    c    |    d    |    e    |    f    |    g    |    h    |   | ";
constexpr const char* closing_frame = "\n\t\t+---+---------+---------+---------+---------+---------+---------+---------+---------+---+ ";
constexpr const char* legend_three_wide = "\n\t       %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c  ";
constexpr const char* legend_counts = "\n\t        %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d ";
constexpr const char* legend_five_wide = "\n\t      %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c ";
constexpr const char* legend_names = "\n\t      ushtm   torem   kalim   filim   damam   mbretm  ushtv   torev   kaliv   filiv   damav   mbretv";
// clang-format on

constexpr std::array<Kind, 6> legend_kinds{
    Kind::pawn, Kind::rook, Kind::knight, Kind::bishop, Kind::queen, Kind::king};

// printf with the elements of an array as its arguments.
template <std::size_t N> void printf_all(const char* format, const std::array<int, N>& args) {
    std::apply([&](auto... arg) { std::printf(format, arg...); },
        args); // NOLINT(cppcoreguidelines-pro-type-vararg)
}

void naive_draw(const GameState& state) {
    std::printf("\x1b[H\x1b[2J");
    std::printf("%s", frame_line);
    std::fputs("", stdout);
    std::printf("%s", frame_line);
    for (int rank = 8; rank >= 1; --rank) {
        for (int line = 1; line <= 5; ++line) {
            if (line == 3) {
                std::printf("\n\t\t| %d ", rank);
            } else {
                std::printf("\n\t\t|   ");
            }
            for (int file = 0; file < 8; ++file) {
                const Square square{rank, file};
                const int s = empty_shade(square);
                const Code code = state.cell(square);
                const int p = is_empty(code) ? s : static_cast<int>(code);
                switch (line) {
                case 1:
                    std::printf("|%c%c%c%c%c%c%c%c%c", s, s, s, s, s, s, s, s, s);
                    break;
                case 2:
                case 4:
                    std::printf("|%c%c%c%c%c%c%c%c%c", s, s, s, p, p, p, s, s, s);
                    break;
                case 3:
                    std::printf("|%c%c%c%c%c%c%c%c%c", s, s, s, s, p, s, s, s, s);
                    break;
                default:
                    std::printf("|%c%c%c%c%c%c%c%c%c", s, s, p, p, p, p, p, s, s);
                    break;
                }
            }
            std::printf("|   |");
        }
        std::printf("%s", frame_line);
    }
    std::printf("%s", file_letters);
    std::printf("%s", closing_frame);
    std::array<int, 36> three_wide{};
    std::array<int, 24> with_count{};
    std::array<int, 60> five_wide{};
    std::size_t piece = 0;
    for (Side side : {Side::big, Side::small}) {
        for (Kind kind : legend_kinds) {
            const int code = code_of(side, kind);
            for (std::size_t copy = 0; copy < 5; ++copy) {
                five_wide[5 * piece + copy] = code;
                if (copy < 3) {
                    three_wide[3 * piece + copy] = code;
                }
            }
            with_count[2 * piece] = code;
            with_count[2 * piece + 1]
                = kind == Kind::king ? 1 : state.piece_counts[side][static_cast<std::size_t>(kind)];
            ++piece;
        }
    }
    printf_all(legend_three_wide, three_wide);
    printf_all(legend_counts, with_count);
    printf_all(legend_three_wide, three_wide);
    printf_all(legend_five_wide, five_wide);
    std::printf("%s", legend_names);
}

// The position after each move of the shuffle, in turn: g1f3, g8f6, f3g1, f6g8.
void shuffle_step(GameState& state, std::size_t step) {
    constexpr std::array<std::array<Square, 2>, 4> moves{{
        {Square{1, 6}, Square{3, 5}},
        {Square{8, 6}, Square{6, 5}},
        {Square{3, 5}, Square{1, 6}},
        {Square{6, 5}, Square{8, 6}},
    }};
    const auto& [from, to] = moves[step % moves.size()];
    state.put(to, state.cell(from));
    state.clear(from);
}

int run(int argc, char** argv) {
    if (argc != 3
        || (std::string_view(argv[1]) != "kept" && std::string_view(argv[1]) != "naive")) {
        std::cerr << "usage: referee_redraw kept|naive N\n";
        return 2;
    }
    const bool naive = std::string_view(argv[1]) == "naive";
    const unsigned long redraws = std::strtoul(argv[2], nullptr, 10);
    GameState state;
    if (naive) {
        static std::array<char, 1 << 16> buffer{};
        std::setvbuf(stdout, buffer.data(), _IOFBF, buffer.size());
        for (std::size_t redraw = 0; redraw < redraws; ++redraw) {
            shuffle_step(state, redraw);
            naive_draw(state);
        }
        std::fflush(stdout);
        return 0;
    }
    TerminalConsole console(TerminalConsole::mode_from_locale());
    BoardDrawing drawing(console);
    for (std::size_t redraw = 0; redraw < redraws; ++redraw) {
        shuffle_step(state, redraw);
        drawing.draw(state);
    }
    console.flush();
    return 0;
}

} // namespace

} // namespace referee::bench

int main(int argc, char** argv) {
    return referee::bench::run(argc, argv);
}
