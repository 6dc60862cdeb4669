// The board drawing, the legend, the glyphs on a UTF-8 console and when they go out so, and the
// board's shades and edge.
#include "console/glyph_choice.h"
#include "game/board_display.h"
#include "support.h"

#include <gtest/gtest.h>

#include <array>

namespace referee::test {
namespace {

// One cell print "|%c%c%c%c%c%c%c%c%c": S is the square's shade, P the code on it.
std::string cell(Code shade, Code piece, std::string_view pattern) {
    std::string out = "|";
    for (const char c : pattern) {
        out += static_cast<char>(c == 'P' ? piece : shade);
    }
    return out;
}

std::string drawing_of(const GameState& state, GlyphMode mode = GlyphMode::raw) {
    StringConsole console{"", mode};
    draw_board(state, console);
    return console.output();
}

TEST(BoardDisplay, InitialDrawingLinesAreExact) {
    const std::string drawing = drawing_of(GameState{});
    const std::string frame = "\n\t\t+---+---------+---------+---------+---------+---------+-------"
                              "--+---------+---------+---+";
    EXPECT_TRUE(drawing.starts_with("\x1b[H\x1b[2J" + frame + frame + "\n\t\t|   "));

    // Rank 1, line 3: a1 is dark, b1 light, and so on; the label carries the rank number.
    const std::array<Code, 8> rank1{SMALL_ROOK, SMALL_KNIGHT, SMALL_BISHOP, SMALL_QUEEN, SMALL_KING,
        SMALL_BISHOP, SMALL_KNIGHT, SMALL_ROOK};
    std::string label_line = "\n\t\t| 1 ";
    std::string base_line = "\n\t\t|   ";
    for (std::size_t file = 0; file < 8; ++file) {
        const Code shade = file % 2 == 0 ? EMPTY_DARK : EMPTY_LIGHT;
        label_line += cell(shade, rank1[file], "SSSSPSSSS");
        base_line += cell(shade, rank1[file], "SSPPPPPSS");
    }
    EXPECT_NE(drawing.find(label_line + "|   |\n\t\t|   "), std::string::npos);
    EXPECT_NE(drawing.find(base_line + "|   |" + frame), std::string::npos);

    // Rank 5 is empty: nine shade bytes in every column of every line, starting dark on a5.
    std::string empty_line = "\n\t\t| 5 ";
    for (std::size_t file = 0; file < 8; ++file) {
        empty_line += cell(file % 2 == 0 ? EMPTY_DARK : EMPTY_LIGHT, NOTHING, "SSSSSSSSS");
    }
    EXPECT_NE(drawing.find(empty_line + "|   |"), std::string::npos);

    EXPECT_TRUE(drawing.ends_with(
        "\n\t\t|   |    a    |    b    |    c    |    d    |    e    |    f    |    g    |    h    "
        "|   | "
        "\n\t\t+---+---------+---------+---------+---------+---------+---------+---------+---------"
        "+---+ "
        "\n\t       \xdc\xdc\xdc     \xae\xae\xae     \xac\xac\xac     \x02\x02\x02     "
        "\xb2\xb2\xb2     \x05\x05\x05     \x16\x16\x16     \x7f\x7f\x7f     \xab\xab\xab     "
        "\x01\x01\x01     \xdb\xdb\xdb     \x06\x06\x06  "
        "\n\t        \xdc =8    \xae =2    \xac =2    \x02 =2    \xb2 =1    \x05 =1    \x16 =8    "
        "\x7f =2    \xab =2    \x01 =2    \xdb =1    \x06 =1 "
        "\n\t       \xdc\xdc\xdc     \xae\xae\xae     \xac\xac\xac     \x02\x02\x02     "
        "\xb2\xb2\xb2     \x05\x05\x05     \x16\x16\x16     \x7f\x7f\x7f     \xab\xab\xab     "
        "\x01\x01\x01     \xdb\xdb\xdb     \x06\x06\x06  "
        "\n\t      \xdc\xdc\xdc\xdc\xdc   \xae\xae\xae\xae\xae   \xac\xac\xac\xac\xac   "
        "\x02\x02\x02\x02\x02   \xb2\xb2\xb2\xb2\xb2   \x05\x05\x05\x05\x05   \x16\x16\x16\x16\x16 "
        "  \x7f\x7f\x7f\x7f\x7f   \xab\xab\xab\xab\xab   \x01\x01\x01\x01\x01   "
        "\xdb\xdb\xdb\xdb\xdb   \x06\x06\x06\x06\x06 "
        "\n\t      ushtm   torem   kalim   filim   damam   mbretm  ushtv   torev   kaliv   filiv   "
        "damav   mbretv"));
}

TEST(BoardDisplay, LegendPrintsCountsInFull) {
    GameState state;
    state.piece_counts[Side::big][static_cast<std::size_t>(Kind::pawn)] = -1;
    state.piece_counts[Side::small][static_cast<std::size_t>(Kind::queen)] = 10;
    const std::string drawing = drawing_of(state);
    EXPECT_NE(drawing.find("\n\t        \xdc =-1    \xae =2"), std::string::npos);
    EXPECT_NE(drawing.find("\xdb =10    \x06 =1 \n"), std::string::npos);
}

TEST(BoardDisplay, Utf8ConsoleShowsCodePage437Glyphs) {
    const std::string drawing = drawing_of(GameState{}, GlyphMode::utf8);
    // e1: the small king on a dark square; d1: the small queen on a light one.
    EXPECT_NE(drawing.find("|\u2592\u2592\u2592\u2592\u2660\u2592\u2592\u2592\u2592|"),
        std::string::npos);
    EXPECT_NE(drawing.find("|\u00a0\u00a0\u00a0\u2588\u2588\u2588\u00a0\u00a0\u00a0|"),
        std::string::npos);
    // The legend: every piece figure in its order, and texts unchanged.
    EXPECT_NE(drawing.find(
                  "\u2584 =8    \u00ab =2    \u00bc =2    \u263b =2    \u2593 =1    \u2663 =1    "
                  "\u25ac =8    \u2302 =2    \u00bd =2    \u263a =2    \u2588 =1    \u2660 =1 "),
        std::string::npos);
    EXPECT_TRUE(drawing.starts_with("\x1b[H\x1b[2J\n\t\t+---+"));
}

// The encoding from (locale name, setlocale's result, codeset, terminal or not). A failed
// setlocale leaves the C locale, whose codeset glibc calls ANSI_X3.4-1968.
TEST(GlyphChoice, LocaleAndTerminalDecideTheEncoding) {
    constexpr std::string_view c_codeset = "ANSI_X3.4-1968";
    struct Case {
        std::string_view name;
        bool locale_set;
        std::string_view codeset;
        bool terminal;
        GlyphMode mode;
    };
    const std::array<Case, 17> cases{{
        // The locale's codeset is UTF-8: UTF-8 wherever the output goes.
        {"C.UTF-8", true, "UTF-8", true, GlyphMode::utf8},
        {"en_US.utf8", true, "UTF-8", false, GlyphMode::utf8},
        {"", true, "utf8", false, GlyphMode::utf8},
        // A UTF-8 locale that is not installed: UTF-8 on a terminal, raw bytes on a pipe.
        {"xx_YY.UTF-8", false, c_codeset, true, GlyphMode::utf8},
        {"en_US.utf8", false, c_codeset, true, GlyphMode::utf8},
        {"de_DE.Utf-8@euro", false, c_codeset, true, GlyphMode::utf8},
        {"xx_YY.UTF-8", false, c_codeset, false, GlyphMode::raw},
        // The C and POSIX locales show no glyph at all: UTF-8 on a terminal only.
        {"", true, c_codeset, true, GlyphMode::utf8},
        {"POSIX", true, "ASCII", true, GlyphMode::utf8},
        {"C", true, "US-ASCII", true, GlyphMode::utf8},
        {"", true, c_codeset, false, GlyphMode::raw},
        {"xx_YY", false, c_codeset, true, GlyphMode::utf8},
        // Another 8-bit character set, installed or only named: its raw bytes.
        {"fr_FR.ISO-8859-1", true, "ISO-8859-1", true, GlyphMode::raw},
        {"ru_RU.KOI8-R", true, "KOI8-R", false, GlyphMode::raw},
        {"xx_YY.ISO-8859-15", false, c_codeset, true, GlyphMode::raw},
        {"fr_FR.UTF-8x", false, c_codeset, false, GlyphMode::raw},
        {"UTF-8", false, c_codeset, false, GlyphMode::raw},
    }};
    for (const Case& c : cases) {
        const LocaleFacts facts{c.name, c.locale_set, c.codeset, c.terminal};
        EXPECT_EQ(choose_glyph_mode(facts), c.mode)
            << "name '" << c.name << "', set " << c.locale_set << ", codeset " << c.codeset
            << ", terminal " << c.terminal;
    }
}

// A drawing kept for a console copies what has not changed since its last drawing; after moves,
// a capture and a count change it must still print what a fresh drawing prints.
TEST(BoardDisplay, KeptDrawingFollowsTheState) {
    for (const GlyphMode mode : {GlyphMode::raw, GlyphMode::utf8}) {
        SCOPED_TRACE(mode == GlyphMode::raw ? "raw" : "utf8");
        StringConsole console{"", mode};
        BoardDrawing kept(console);
        GameState state;
        const auto expect_fresh = [&] {
            console.clear_output();
            kept.draw(state);
            EXPECT_EQ(console.output(), drawing_of(state, mode));
        };
        expect_fresh();
        state.put(sq("e4"), SMALL_PAWN);
        state.clear(sq("e2"));
        expect_fresh();
        state.put(sq("e4"), BIG_KNIGHT); // a capture on the same rank: only a code changes
        --state.piece_counts[Side::small][static_cast<std::size_t>(Kind::pawn)];
        expect_fresh();
        state.piece_counts[Side::big][static_cast<std::size_t>(Kind::queen)] = 12;
        expect_fresh();
    }
}

TEST(BoardState, ShadesAndTheEdge) {
    TestGame g;
    g.place({{"a3", SMALL_ROOK}, {"a4", SMALL_ROOK}}).request("a3b3");
    g.state().clear(sq("a3"));
    g.state().clear(sq("a4"));
    EXPECT_EQ(g.state().cell(sq("a3")), EMPTY_DARK);
    EXPECT_EQ(g.state().cell(sq("a4")), EMPTY_LIGHT);
    EXPECT_EQ(GameState{}.cell(sq("a1")), SMALL_ROOK);
    EXPECT_EQ(empty_shade(sq("a1")), EMPTY_DARK);
    EXPECT_EQ(empty_shade(sq("h1")), EMPTY_LIGHT);
    EXPECT_EQ(empty_shade(sq("a8")), EMPTY_LIGHT);

    // Beyond the edge there is neither a piece nor an empty square, and no wrap to the next rank.
    const GameState state;
    EXPECT_EQ(state.cell(Square{0, 4}), OFF_BOARD);
    EXPECT_EQ(state.cell(Square{3, 8}), OFF_BOARD);
    EXPECT_EQ(state.cell(Square{3, -1}), OFF_BOARD);
    EXPECT_FALSE(is_empty(OFF_BOARD));
    EXPECT_FALSE(is_piece_of(OFF_BOARD, Side::small) || is_piece_of(OFF_BOARD, Side::big));
    EXPECT_EQ(state.walk(sq("h4"), Dir::right, 7).met, OFF_BOARD);
    const WalkEnd up_the_file = state.walk(sq("e3"), Dir::up, 7);
    EXPECT_EQ(up_the_file.met, BIG_PAWN);
    EXPECT_EQ(up_the_file.distance, 4);
    EXPECT_EQ(state.walk(sq("e3"), Dir::up, 3).met, NOTHING);
}

} // namespace
} // namespace referee::test
