#include "game/board_display.h"

#include "game/game.h"

#include <algorithm>
#include <cassert>
#include <charconv>
#include <cstring>
#include <span>

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
constexpr std::string_view margin = "\n\t\t|   ";
constexpr std::string_view rank_margin = "\n\t\t| %d "; // on line 3 of each rank
constexpr std::string_view right_column = "|   |";

// Legend order: big pawn, rook, knight, bishop, queen, king, then the small ones.
constexpr std::array<Kind, 6> legend_kinds{
    Kind::pawn, Kind::rook, Kind::knight, Kind::bishop, Kind::queen, Kind::king};

// clang-format off
constexpr std::string_view legend_three_wide = "\n\t       %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c     %c%c%c  ";
constexpr std::string_view legend_counts = "\n\t        %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d    %c =%d ";
constexpr std::string_view legend_five_wide = "\n\t      %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c   %c%c%c%c%c ";
constexpr std::string_view legend_names = "\n\t      ushtm   torem   kalim   filim   damam   mbretm  ushtv   torev   kaliv   filiv   damav   mbretv";

constexpr std::string_view file_letters = "\n\t\t|   |    a    |    b    |    c    |    d    |    e    |    f    |    g    |    h    |   | ";
constexpr std::string_view closing_frame = "\n\t\t+---+---------+---------+---------+---------+---------+---------+---------+---------+---+ ";
// clang-format on

constexpr std::size_t legend_pieces = 2 * legend_kinds.size();

// The code of the legend's piece number `piece` (0..11).
constexpr Code legend_code(std::size_t piece) {
    return code_of(piece < legend_kinds.size() ? Side::big : Side::small,
        legend_kinds[piece % legend_kinds.size()]);
}

// Each legend piece's code `copies` times in a row, as the arguments of a legend line.
std::vector<int> legend_codes(std::size_t copies) {
    std::vector<int> codes;
    for (std::size_t piece = 0; piece < legend_pieces; ++piece) {
        codes.insert(codes.end(), copies, legend_code(piece));
    }
    return codes;
}

std::string formatted(std::string_view format, std::span<const int> args) {
    std::string out(formatted_size_bound(format, args.size()), '\0');
    out.resize(static_cast<std::size_t>(format_into(out.data(), format, args) - out.data()));
    return out;
}

// A count: the big and small counters of `piece_counts`, and always 1 for a king.
int legend_count(const GameState& state, std::size_t piece) {
    const Kind kind = legend_kinds[piece % legend_kinds.size()];
    const Side side = piece < legend_kinds.size() ? Side::big : Side::small;
    return kind == Kind::king ? 1 : state.piece_counts[side][static_cast<std::size_t>(kind)];
}

char* put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char* put(char* out, const BoardDrawing::Piece& piece) {
    static_assert(sizeof piece == 32); // a whole slot is copied in two moves
    std::memcpy(out, &piece, sizeof piece);
    return out + piece.size;
}

constexpr std::size_t shades = 2;
constexpr std::size_t codes = 256;

std::size_t shade_index(Code shade) {
    return shade == EMPTY_DARK ? 1 : 0;
}

} // namespace

BoardDrawing::BoardDrawing(Console& console)
    : console_(console)
    , cell_lines_(figure.size() * shades * codes, Piece{}) {
    head_ = encoded(std::string(frame_line) + "" + std::string(frame_line));
    margin_ = piece(margin);
    for (int rank = 1; rank <= 8; ++rank) {
        rank_margins_[static_cast<std::size_t>(rank - 1)]
            = piece(formatted(rank_margin, std::array{rank}));
    }
    right_column_ = piece(right_column);
    frame_ = encoded(frame_line);

    const std::vector<int> three_wide = legend_codes(3);
    const std::vector<int> five_wide = legend_codes(5);
    legend_head_ = encoded(std::string(file_letters) + std::string(closing_frame)
        + formatted(legend_three_wide, three_wide));
    // Line 2 cut before each "%d": each piece's label "%c =" with what precedes it.
    std::string_view rest = legend_counts;
    for (std::size_t piece_number = 0; piece_number < legend_pieces; ++piece_number) {
        const std::size_t count_at = rest.find("%d");
        count_labels_[piece_number] = piece(
            formatted(rest.substr(0, count_at), std::array{int{legend_code(piece_number)}}));
        rest.remove_prefix(count_at + 2);
    }
    legend_tail_ = encoded(std::string(rest) + formatted(legend_three_wide, three_wide)
        + formatted(legend_five_wide, five_wide) + std::string(legend_names));

    const std::size_t count_bound = sizeof(Piece) + console_.encoded_size_bound(11);
    const std::size_t line_bound = (2 + 8) * sizeof(Piece);
    size_bound_ = head_.size() + 8 * (figure.size() * line_bound + frame_.size())
        + legend_head_.size() + legend_pieces * count_bound + legend_tail_.size();
}

std::string BoardDrawing::encoded(std::string_view text) const {
    std::string out(console_.encoded_size_bound(text.size()), '\0');
    out.resize(static_cast<std::size_t>(console_.encode_into(out.data(), text) - out.data()));
    return out;
}

BoardDrawing::Piece BoardDrawing::piece(std::string_view text) const {
    const std::string bytes = encoded(text);
    Piece piece{};
    assert(bytes.size() <= piece.bytes.size());
    std::copy(bytes.begin(), bytes.end(), piece.bytes.begin());
    piece.size = static_cast<std::uint8_t>(bytes.size());
    return piece;
}

// Line `line` (0..4) of a cell on a square of shade `shade` that holds `code`:
// "|%c%c%c%c%c%c%c%c%c" with the shade, and the piece's part of the figure over it.
const BoardDrawing::Piece& BoardDrawing::cell_line(std::size_t line, Code shade, Code code) {
    Piece& slot = cell_lines_[(line * shades + shade_index(shade)) * codes
        + static_cast<std::uint8_t>(code)];
    if (slot.size == 0) {
        std::array<char, cell_width> cell{};
        cell[0] = '|';
        for (std::size_t column = 0; column < cell_width - 1; ++column) {
            const bool shows_piece = figure[line][column] == 'P' && !is_empty(code);
            cell[column + 1] = static_cast<char>(shows_piece ? code : shade);
        }
        slot = piece({cell.data(), cell.size()});
    }
    return slot;
}

// The five legend lines: each piece's figure, its count beside its single glyph, and its name.
// Only the counts change from one drawing to the next.
char* BoardDrawing::print_legend(char* out, const GameState& state) const {
    out = put(out, legend_head_);
    for (std::size_t piece_number = 0; piece_number < legend_pieces; ++piece_number) {
        out = put(out, count_labels_[piece_number]);
        std::array<char, 11> digits{};
        const auto number = std::to_chars(
            digits.data(), digits.data() + digits.size(), legend_count(state, piece_number));
        out = console_.encode_into(
            out, {digits.data(), static_cast<std::size_t>(number.ptr - digits.data())});
    }
    return put(out, legend_tail_);
}

void BoardDrawing::draw(const GameState& state) {
    console_.clear_screen();
    char* out = put(console_.encoded_room(size_bound_), head_);
    for (int rank = 8; rank >= 1; --rank) {
        for (std::size_t line = 0; line < figure.size(); ++line) {
            // The left column (the rank number on line 3), the eight cells, the right column.
            out = put(out, line == 2 ? rank_margins_[static_cast<std::size_t>(rank - 1)] : margin_);
            for (int file = 0; file < 8; ++file) {
                const Square square{rank, file};
                out = put(out, cell_line(line, empty_shade(square), state.cell(square)));
            }
            out = put(out, right_column_);
        }
        out = put(out, frame_);
    }
    out = print_legend(out, state);
    console_.finish_encoded(out);
}

void draw_board(const GameState& state, Console& console) {
    BoardDrawing(console).draw(state);
}

void draw_board(Game& game) {
    game.drawing.draw(game.state);
}

} // namespace referee
