#include "game/board_display.h"

#include "game/game.h"

#include <algorithm>
#include <cstring>

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

constexpr std::size_t cell_width = 10; // the bar and nine glyphs

// The columns of the figure on one line of a cell: where the first 'P' is and how many follow.
struct Run {
    std::size_t first;
    std::size_t count;
};

constexpr std::array<Run, 5> piece_runs = [] {
    std::array<Run, 5> runs{};
    for (std::size_t line = 0; line < figure.size(); ++line) {
        const std::size_t first = figure[line].find('P');
        const std::size_t last = figure[line].rfind('P');
        runs[line] = first == std::string_view::npos ? Run{0, 0} : Run{first, last - first + 1};
    }
    return runs;
}();

// Legend order: big pawn, rook, knight, bishop, queen, king, then the small ones.
constexpr std::array<Kind, 6> legend_kinds{
    Kind::pawn, Kind::rook, Kind::knight, Kind::bishop, Kind::queen, Kind::king};

// Copies text at `out` and returns its end.
char* put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// Line `line` (0..4) of rank `rank`: the left column, the eight cells, the right column.
char* put_board_line(char* out, const GameState& state, int rank, std::size_t line) {
    out = line == 2 ? format_into(out, "\n\t\t| %d ", std::array{rank}) : put(out, "\n\t\t|   ");
    const Run run = piece_runs[line];
    for (int file = 0; file < 8; ++file) {
        const Square square{rank, file};
        const Code code = state.cell(square);
        // "|%c%c%c%c%c%c%c%c%c": the square's shade, with the piece's run of the figure over it.
        *out++ = '|';
        std::fill_n(out, cell_width - 1, static_cast<char>(empty_shade(square)));
        if (!is_empty(code)) {
            std::fill_n(out + run.first, run.count, static_cast<char>(code));
        }
        out += cell_width - 1;
    }
    return put(out, "|   |");
}

// Five board lines of 92 bytes and the frame line; the rank label's "%d" is given the room of
// any number, 11 bytes, instead of its one digit.
constexpr std::size_t rank_size_bound = 5 * 92 + 10 + frame_line.size();

// clang-format off
constexpr std::string_view legend_three_wide = "\n\t       %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c  ";
constexpr std::string_view legend_counts = "\n\t        %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d ";
constexpr std::string_view legend_five_wide = "\n\t      %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c ";
constexpr std::string_view legend_names = "\n\t      ushtm   torem   kalim   filim   damam   mbretm  ushtv   torev   kaliv   filiv   damav   mbretv";
// clang-format on

constexpr std::size_t legend_size_bound = 2 * formatted_size_bound(legend_three_wide, 36)
    + formatted_size_bound(legend_counts, 24) + formatted_size_bound(legend_five_wide, 60)
    + legend_names.size();

// A piece's legend count: its counter in `piece_counts`, always 1 for a king.
int legend_count(const GameState& state, Side side, Kind kind) {
    return kind == Kind::king ? 1 : state.piece_counts[side][static_cast<std::size_t>(kind)];
}

// The five legend lines: each piece's figure, its count beside its single glyph, and its name.
char* print_legend(char* out, const GameState& state) {
    std::array<int, 36> three_wide{};
    std::array<int, 24> with_count{};
    std::array<int, 60> five_wide{};
    std::size_t piece = 0;
    for (Side side : {Side::big, Side::small}) {
        for (Kind kind : legend_kinds) {
            const int code = code_of(side, kind);
            const int count = legend_count(state, side, kind);
            std::fill_n(three_wide.begin() + static_cast<std::ptrdiff_t>(3 * piece), 3, code);
            with_count[2 * piece] = code;
            with_count[2 * piece + 1] = count;
            std::fill_n(five_wide.begin() + static_cast<std::ptrdiff_t>(5 * piece), 5, code);
            ++piece;
        }
    }
    out = format_into(out, legend_three_wide, three_wide);
    out = format_into(out, legend_counts, with_count);
    out = format_into(out, legend_three_wide, three_wide);
    out = format_into(out, legend_five_wide, five_wide);
    return put(out, legend_names);
}

// clang-format off
constexpr std::string_view file_letters = "\n\t\t|   |    a    |    b    |    c    |    d    |    e    |    f    |    g    |    h    |   | ";
constexpr std::string_view closing_frame = "\n\t\t+---+---------+---------+---------+---------+---------+---------+---------+---------+---+ ";
// clang-format on

// The compact drawing, at most 37 columns wide so that it fits a phone's narrow screen as well as
// a terminal of 80 x 24. Each square is three columns of one line: the piece's letter (the letter
// typed for it in take-backs and promotions, upper case for the big side, lower case for the
// small one; M and m for the kings) between two bytes of the square's shade, or three shade bytes
// when it is empty. File letters above and below, rank numbers on both sides, and the legend on
// two lines: each piece's letter and its count, the big side first. Here '#' stands for the dark
// squares' shade:
//
//            a  b  c  d  e  f  g  h
//         8  T #K# F #D# M #F# K #T# 8
//         7 #U# U #U# U #U# U #U# U  7
//         ...
//         1 #t# k #f# d #m# f #k# t  1
//            a  b  c  d  e  f  g  h
//
//          U 8  T 2  K 2  F 2  D 1  M 1
//          u 8  t 2  k 2  f 2  d 1  m 1

constexpr std::string_view compact_files = "\t    a  b  c  d  e  f  g  h";

// The letter of a piece, in the order of the kinds.
char piece_letter(Side side, Kind kind) {
    constexpr std::string_view big = "TUKFDM";
    constexpr std::string_view small = "tukfdm";
    return (side == Side::big ? big : small)[static_cast<std::size_t>(kind)];
}

char letter_of(Code code) {
    for (Side side : {Side::big, Side::small}) {
        for (Kind kind : all_kinds) {
            if (code_of(side, kind) == code) {
                return piece_letter(side, kind);
            }
        }
    }
    return '?'; // never on the board
}

std::string compact_text(const GameState& state) {
    std::string text(compact_files);
    for (int rank = 8; rank >= 1; --rank) {
        text += "\n\t ";
        text += std::to_string(rank);
        text += ' ';
        for (int file = 0; file < 8; ++file) {
            const Square square{rank, file};
            const Code code = state.cell(square);
            const char shade = static_cast<char>(empty_shade(square));
            text += shade;
            text += is_empty(code) ? shade : letter_of(code);
            text += shade;
        }
        text += ' ';
        text += std::to_string(rank);
    }
    text += '\n';
    text += compact_files;
    text += '\n';
    for (Side side : {Side::big, Side::small}) {
        text += "\n\t";
        for (const Kind kind : legend_kinds) {
            text += kind == legend_kinds.front() ? " " : "  ";
            text += piece_letter(side, kind);
            text += ' ';
            text += std::to_string(legend_count(state, side, kind));
        }
    }
    return text;
}

} // namespace

BoardDrawing::BoardDrawing(Console& console, BoardStyle style)
    : console_(console)
    , style_(style) {
    show(head_, std::string(frame_line) + "" + std::string(frame_line));
    show(bottom_, std::string(file_letters) + std::string(closing_frame));
}

// Keeps `text` in the console's encoding.
void BoardDrawing::show(std::string& encoded, std::string_view text) const {
    encoded.resize(console_.encoded_size_bound(text.size()));
    encoded.resize(
        static_cast<std::size_t>(console_.encode_into(encoded.data(), text) - encoded.data()));
}

// The five lines of rank `rank` and the frame line under it, composed again only when a code on
// the rank has changed.
const std::string& BoardDrawing::rank_lines(const GameState& state, int rank) {
    Shown<RankCodes>& shown = ranks_[static_cast<std::size_t>(rank - 1)];
    RankCodes codes{};
    for (int file = 0; file < 8; ++file) {
        codes[static_cast<std::size_t>(file)] = state.cell({rank, file});
    }
    if (shown.encoded.empty() || codes != shown.source) {
        std::array<char, rank_size_bound> text{};
        char* out = text.data();
        for (std::size_t line = 0; line < figure.size(); ++line) {
            out = put_board_line(out, state, rank, line);
        }
        out = put(out, frame_line);
        show(shown.encoded, {text.data(), static_cast<std::size_t>(out - text.data())});
        shown.source = codes;
    }
    return shown.encoded;
}

// The five legend lines, composed again only when a count has changed.
const std::string& BoardDrawing::legend(const GameState& state) {
    LegendCounts counts{};
    std::size_t piece = 0;
    for (Side side : {Side::big, Side::small}) {
        for (Kind kind : legend_kinds) {
            counts[piece++] = legend_count(state, side, kind);
        }
    }
    if (legend_.encoded.empty() || counts != legend_.source) {
        std::array<char, legend_size_bound> text{};
        show(legend_.encoded,
            {text.data(),
                static_cast<std::size_t>(print_legend(text.data(), state) - text.data())});
        legend_.source = counts;
    }
    return legend_.encoded;
}

// The drawing is composed in the console's output, in one piece after the clear.
void BoardDrawing::draw(const GameState& state) {
    if (style_ == BoardStyle::compact) {
        draw_compact(state);
        return;
    }
    // The frame above, ranks 8 down to 1, the file letters and closing frame, the legend.
    std::array<const std::string*, 11> parts{};
    parts.front() = &head_;
    for (int rank = 8; rank >= 1; --rank) {
        parts[static_cast<std::size_t>(9 - rank)] = &rank_lines(state, rank);
    }
    parts[9] = &bottom_;
    parts[10] = &legend(state);
    std::size_t size = 0;
    for (const std::string* text : parts) {
        size += text->size();
    }
    console_.clear_screen();
    char* out = console_.encoded_room(size);
    for (const std::string* text : parts) {
        out = put(out, *text);
    }
    console_.finish_encoded(out);
}

// The compact drawing is small enough to be composed and translated whole each time.
void BoardDrawing::draw_compact(const GameState& state) {
    const std::string text = compact_text(state);
    console_.clear_screen();
    char* out = console_.encoded_room(console_.encoded_size_bound(text.size()));
    console_.finish_encoded(console_.encode_into(out, text));
}

void draw_board(const GameState& state, Console& console) {
    BoardDrawing(console).draw(state);
}

void draw_board(Game& game) {
    game.drawing.draw(game.state);
}

} // namespace referee
