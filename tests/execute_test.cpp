// Move execution, check detection and announcement, discovered line checks and the king steps,
// each on a position built directly in the game state.
#include "execute/execute.h"
#include "support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace referee::test {
namespace {

using Pieces = std::vector<std::pair<std::string_view, Code>>;

constexpr std::string_view clear_screen = "\x1b[H\x1b[2J";

// The announcements, in the order they are said.
const std::string adjacent_big = said(Message::check_adjacent, Side::big);
const std::string adjacent_small = said(Message::check_adjacent, Side::small);
const std::string knight_big = said(Message::check_knight, Side::big);
const std::string knight_small = said(Message::check_knight, Side::small);
const std::string diagonal_big = said(Message::check_diagonal, Side::big);
const std::string diagonal_small = said(Message::check_diagonal, Side::small);
const std::string discovered_big = said(Message::check_discovered, Side::big);
const std::string discovered_small = said(Message::check_discovered, Side::small);
const std::string line_big = said(Message::check_line, Side::big);
const std::string line_small = said(Message::check_line, Side::small);

// The king-step refusals.
const std::string still_diagonal_small = said(Message::still_check_diagonal, Side::small);
const std::string still_line_small = said(Message::still_check_rank, Side::small);
const std::string still_adjacent_small = said(Message::still_check_adjacent, Side::small);
const std::string still_diagonal_big = said(Message::still_check_diagonal, Side::big);
const std::string still_line_big = said(Message::still_check_rank, Side::big);
const std::string still_adjacent_big = said(Message::still_check_adjacent, Side::big);

void place(TestGame& g, const Pieces& pieces) {
    for (const auto& [square, code] : pieces) {
        g.state().put(sq(square), code);
    }
}

// What the request said after its last redraw.
std::string announced(TestGame& g) {
    std::string out;
    for (const Event& event : g.state().report.events()) {
        if (event.what == Event::What::redraw) {
            out.clear();
        } else {
            out += said(event.message, event.side);
        }
    }
    return out;
}

// One check-state flag left by make_move.
enum class Check { knight, diagonal, line, adjacent_rank, adjacent_file, discovered };
struct FlagRef {
    Check check;
    Side side;
    Dir ray = Dir::up;
};

Tri read(const GameState& state, FlagRef flag) {
    switch (flag.check) {
    case Check::knight:
        return state.knight_check[flag.side];
    case Check::diagonal:
        return state.diag_check[flag.side][flag.ray];
    case Check::line:
        return state.line_check[flag.side][flag.ray];
    case Check::adjacent_rank:
        return state.adjacent_rank_check[flag.side];
    case Check::adjacent_file:
        return state.adjacent_file_check[flag.side];
    case Check::discovered:
        return state.disc_check[flag.side];
    }
    return Tri::unset;
}

TEST(MakeMove, MovesThePieceCountsACaptureAndPassesTheTurn) {
    struct Case {
        const char* name;
        Pieces pieces;
        const char* move;
        Code vacated; // the from-square's own shade
        std::optional<std::pair<Side, Kind>> captured;
    };
    const std::vector<Case> cases{
        {"queen taken", {{"e1", SMALL_ROOK}, {"e8", BIG_QUEEN}}, "e1e8", EMPTY_DARK,
            std::pair{Side::big, Kind::queen}},
        {"pawn taken", {{"h1", BIG_KNIGHT}, {"g3", SMALL_PAWN}}, "h1g3", EMPTY_LIGHT,
            std::pair{Side::small, Kind::pawn}},
        {"empty square", {{"e2", SMALL_PAWN}}, "e2e4", EMPTY_LIGHT, std::nullopt},
        {"king overwritten", {{"a4", BIG_ROOK}, {"a1", SMALL_KING}}, "a4a1", EMPTY_LIGHT,
            std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame g;
        place(g, c.pieces);
        g.request(c.move);
        const Code mover = g.state().from_code();
        auto expected_counts = g.state().piece_counts;
        if (c.captured) {
            --expected_counts[c.captured->first][static_cast<std::size_t>(c.captured->second)];
        }
        make_move(g.state());
        EXPECT_EQ(g.state().to_code(), mover);
        EXPECT_EQ(g.state().from_code(), c.vacated);
        EXPECT_EQ(g.state().current_turn().number(), 2);
        for (Side side : {Side::small, Side::big}) {
            EXPECT_EQ(g.state().piece_counts[side], expected_counts[side]);
        }
        EXPECT_EQ(g.take_output().rfind(clear_screen), 0U) << "exactly one redraw, first";
    }
}

TEST(MakeMove, RedrawShowsTheLoweredCountBeforeTheAnnouncement) {
    TestGame g;
    g.place({{"d1", SMALL_QUEEN}, {"d5", BIG_QUEEN}, {"e6", BIG_KING}}).request("d1d5");
    make_move(g.state());
    const std::string output = g.take_output();
    EXPECT_EQ(g.state().piece_counts[Side::big][static_cast<std::size_t>(Kind::queen)], 0);
    EXPECT_NE(output.find("\xb2 =0"), std::string::npos);
    EXPECT_LT(output.find("mbretv"), output.find(diagonal_big));
}

TEST(CheckDetection, AnnouncesEachKindOfCheckInOrder) {
    struct Case {
        const char* name;
        Pieces pieces;
        const char* move;
        FlagRef flag;
        Tri flag_value;
        std::string text;
        Tri in_check_big;
        Tri in_check_small;
    };
    using enum Tri;
    const std::vector<Case> cases{
        // Ranks and files at any distance; a neighbour is an adjacent check as well.
        {"file, two away", {{"e2", SMALL_ROOK}, {"e6", BIG_KING}}, "e2e4",
            {Check::line, Side::big, Dir::down}, yes, line_big, yes, no},
        {"file, next to the king", {{"e2", SMALL_ROOK}, {"e6", BIG_KING}}, "e2e5",
            {Check::adjacent_file, Side::big}, yes, adjacent_big + line_big, yes, no},
        {"big queen below on the file", {{"a5", BIG_QUEEN}, {"d1", SMALL_KING}}, "a5d5",
            {Check::line, Side::small, Dir::up}, yes, line_small, no, yes},
        {"rook on b, big king on a", {{"b1", SMALL_ROOK}, {"a4", BIG_KING}}, "b1b4",
            {Check::line, Side::big, Dir::right}, yes, adjacent_big + line_big, yes, no},
        {"rook on e, small king on f", {{"e8", BIG_ROOK}, {"f3", SMALL_KING}}, "e8e3",
            {Check::line, Side::small, Dir::left}, yes, adjacent_small + line_small, no, yes},
        {"rook on c, small king on d", {{"c8", BIG_ROOK}, {"d3", SMALL_KING}}, "c8c3",
            {Check::adjacent_rank, Side::small}, yes, adjacent_small + line_small, no, yes},
        {"rook on e, big king on f", {{"a5", SMALL_ROOK}, {"f5", BIG_KING}}, "a5e5",
            {Check::line, Side::big, Dir::left}, yes, adjacent_big + line_big, yes, no},
        {"rook on b, small king on a", {{"b8", BIG_ROOK}, {"a3", SMALL_KING}}, "b8b3",
            {Check::line, Side::small, Dir::right}, yes, adjacent_small + line_small, no, yes},
        {"queen on e, king on h, light g-square", {{"a4", SMALL_QUEEN}, {"h4", BIG_KING}}, "a4e4",
            {Check::line, Side::big, Dir::left}, yes, line_big, yes, no},
        {"rook on e, king on h, dark g-square", {{"a5", SMALL_ROOK}, {"h5", BIG_KING}}, "a5e5",
            {Check::line, Side::big, Dir::left}, yes, line_big, yes, no},
        {"big rook on f, small king on h", {{"f8", BIG_ROOK}, {"h4", SMALL_KING}}, "f8f4",
            {Check::line, Side::small, Dir::left}, yes, line_small, no, yes},
        {"rank blocked", {{"g8", BIG_ROOK}, {"a4", SMALL_KING}, {"f4", SMALL_PAWN}}, "g8g4",
            {Check::line, Side::small, Dir::right}, no, "", no, no},
        {"knight next to the king", {{"d3", SMALL_KNIGHT}, {"e6", BIG_KING}}, "d3e5",
            {Check::adjacent_file, Side::big}, no, "", no, no},
        // Diagonals: direct, uncovered by either side's piece, and pawns.
        {"small pawn, king up-right", {{"d4", SMALL_PAWN}, {"e6", BIG_KING}}, "d4d5",
            {Check::diagonal, Side::big, Dir::down_left}, yes, diagonal_big, yes, no},
        {"big pawn, king down-left", {{"e7", BIG_PAWN}, {"d5", SMALL_KING}}, "e7e6",
            {Check::diagonal, Side::small, Dir::up_right}, yes, diagonal_small, no, yes},
        {"bishop seven squares away", {{"a3", SMALL_BISHOP}, {"h8", BIG_KING}}, "a3a1",
            {Check::diagonal, Side::big, Dir::down_left}, yes, diagonal_big, yes, no},
        {"big bishop to a8", {{"b7", BIG_BISHOP}, {"d5", SMALL_KING}}, "b7a8",
            {Check::diagonal, Side::small, Dir::up_left}, yes, diagonal_small, no, yes},
        {"queen diagonally next to the king", {{"c3", SMALL_QUEEN}, {"e5", BIG_KING}}, "c3d4",
            {Check::diagonal, Side::big, Dir::down_left}, yes, diagonal_big, yes, no},
        {"bishop uncovered", {{"b2", SMALL_BISHOP}, {"d4", SMALL_KNIGHT}, {"f6", BIG_KING}}, "d4b5",
            {Check::diagonal, Side::big, Dir::down_left}, yes, diagonal_big, yes, no},
        {"queen uncovered six squares behind",
            {{"a1", SMALL_QUEEN}, {"g7", SMALL_KNIGHT}, {"h8", BIG_KING}}, "g7e8",
            {Check::diagonal, Side::big, Dir::down_left}, yes, diagonal_big, yes, no},
        {"no bishop behind", {{"b2", SMALL_ROOK}, {"d4", SMALL_KNIGHT}, {"f6", BIG_KING}}, "d4b5",
            {Check::diagonal, Side::big, Dir::down_left}, no, "", no, no},
        {"bishop uncovered, king screened",
            {{"b2", SMALL_BISHOP}, {"d4", SMALL_KNIGHT}, {"e5", BIG_PAWN}, {"f6", BIG_KING}},
            "d4b5", {Check::diagonal, Side::big, Dir::down_left}, no, "", no, no},
        {"bishop uncovered by a big piece",
            {{"b2", SMALL_BISHOP}, {"d4", BIG_KNIGHT}, {"f6", BIG_KING}}, "d4b5",
            {Check::diagonal, Side::big, Dir::down_left}, yes, diagonal_big, yes, no},
        // Knights, and rooks or queens uncovered along a line.
        {"small knight", {{"g4", SMALL_KNIGHT}, {"e8", BIG_KING}}, "g4f6",
            {Check::knight, Side::big}, yes, knight_big, yes, no},
        {"big knight", {{"g5", BIG_KNIGHT}, {"d2", SMALL_KING}}, "g5f3",
            {Check::knight, Side::small}, yes, knight_small, no, yes},
        {"knight check and uncovered rook",
            {{"e1", SMALL_ROOK}, {"e4", SMALL_KNIGHT}, {"e8", BIG_KING}}, "e4f6",
            {Check::discovered, Side::big}, yes, knight_big + discovered_big, yes, no},
        {"big queen uncovered on the rank",
            {{"h6", BIG_QUEEN}, {"e6", BIG_KNIGHT}, {"b6", SMALL_KING}}, "e6d4",
            {Check::discovered, Side::small}, yes, discovered_small, no, no},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame g;
        place(g, c.pieces);
        g.request(c.move);
        make_move(g.state());
        EXPECT_EQ(read(g.state(), c.flag), c.flag_value);
        EXPECT_EQ(announced(g), c.text);
        EXPECT_EQ(g.state().in_check[Side::big], c.in_check_big);
        EXPECT_EQ(g.state().in_check[Side::small], c.in_check_small);
    }
}

TEST(CheckDetection, PawnCheckIsKeptOnTheRayWhereThePawnStands) {
    struct Case {
        Side king_side;
        Pieces pieces;
        const char* move;
        Dir ray;
    };
    const std::vector<Case> cases{
        {Side::big, {{"d4", SMALL_PAWN}, {"c6", BIG_KING}}, "d4d5", Dir::down_right},
        {Side::big, {{"d4", SMALL_PAWN}, {"e6", BIG_KING}}, "d4d5", Dir::down_left},
        {Side::small, {{"e7", BIG_PAWN}, {"d5", SMALL_KING}}, "e7e6", Dir::up_right},
        {Side::small, {{"e7", BIG_PAWN}, {"f5", SMALL_KING}}, "e7e6", Dir::up_left},
        // A pawn gives no check backwards (Dir::up: no diagonal flag holds).
        {Side::big, {{"d6", SMALL_PAWN}, {"c4", BIG_KING}}, "d6d5", Dir::up},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pieces[1].first);
        TestGame g;
        place(g, c.pieces);
        g.request(c.move);
        make_move(g.state());
        for (Dir ray : diagonal_dirs) {
            EXPECT_EQ(g.state().diag_check[c.king_side][ray], tri(ray == c.ray))
                << static_cast<int>(ray);
        }
    }
}

TEST(CheckDetection, RemainingCheckSummaryReadsEveryRemainingFlag) {
    for (Side side : {Side::small, Side::big}) {
        for (int flag = -1; flag < 8; ++flag) {
            SCOPED_TRACE(
                testing::Message() << "side " << static_cast<int>(side) << " flag " << flag);
            TestGame g;
            g.place({{"a2", SMALL_PAWN}}).request("a2a3");
            Tri& remains = flag < 0
                ? g.state().knight_check_remains[side]
                : g.state().check_remains[side][all_dirs[static_cast<std::size_t>(flag)]];
            remains = Tri::yes;
            make_move(g.state());
            EXPECT_EQ(g.state().check_remains_any[side], Tri::yes);
            EXPECT_EQ(g.state().check_remains_any[opponent(side)], Tri::no);
        }
    }
}

TEST(DiscoveredLineChecks, FindTheUncoveredRookOrQueenWhoeverMoves) {
    struct Case {
        const char* name;
        Pieces pieces;
        const char* move;
        std::optional<std::pair<Side, Dir>> found;
    };
    const std::vector<Case> cases{
        {"knight leaves the file", {{"e1", SMALL_ROOK}, {"e4", SMALL_KNIGHT}, {"e8", BIG_KING}},
            "e4f6", std::pair{Side::big, Dir::down}},
        {"piece stays on the file", {{"e1", SMALL_ROOK}, {"e4", SMALL_ROOK}, {"e8", BIG_KING}},
            "e4e5", std::nullopt},
        {"piece leaves the rank", {{"a4", SMALL_ROOK}, {"d4", SMALL_PAWN}, {"h4", BIG_KING}},
            "d4d5", std::pair{Side::big, Dir::left}},
        {"rook six squares behind", {{"a1", SMALL_ROOK}, {"g1", SMALL_KNIGHT}, {"h1", BIG_KING}},
            "g1f3", std::pair{Side::big, Dir::left}},
        {"queen six squares above", {{"h8", SMALL_QUEEN}, {"h2", BIG_BISHOP}, {"h1", BIG_KING}},
            "h2g3", std::pair{Side::big, Dir::up}},
        {"big queen right of the small king",
            {{"h6", BIG_QUEEN}, {"e6", BIG_BISHOP}, {"b6", SMALL_KING}}, "e6c4",
            std::pair{Side::small, Dir::right}},
        {"big rook above the small king",
            {{"e8", BIG_ROOK}, {"e5", BIG_KNIGHT}, {"e1", SMALL_KING}}, "e5d7",
            std::pair{Side::small, Dir::up}},
        {"big piece uncovers its own king",
            {{"e1", SMALL_ROOK}, {"e4", BIG_BISHOP}, {"e8", BIG_KING}}, "e4f5",
            std::pair{Side::big, Dir::down}},
        {"blocker toward the rook",
            {{"e1", SMALL_ROOK}, {"e2", BIG_PAWN}, {"e4", SMALL_KNIGHT}, {"e8", BIG_KING}}, "e4f6",
            std::nullopt},
        {"blocker toward the king",
            {{"e1", SMALL_ROOK}, {"e4", SMALL_KNIGHT}, {"e7", SMALL_PAWN}, {"e8", BIG_KING}},
            "e4f6", std::nullopt},
        {"the king itself leaves", {{"a4", SMALL_ROOK}, {"d4", BIG_KING}}, "d4e5", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame g;
        place(g, c.pieces);
        g.request(c.move);
        make_move(g.state());
        for (Side side : {Side::small, Side::big}) {
            for (Dir ray : straight_dirs) {
                const bool expected = c.found == std::pair{side, ray};
                EXPECT_EQ(g.state().disc_check_ray[side][ray], tri(expected))
                    << "side " << static_cast<int>(side) << " ray " << static_cast<int>(ray);
            }
        }
    }
}

// A move through the request loop gives the check; the king's step is the next request.
TEST(KingSteps, RefuseStepsAlongTheCheckAndCarryOutSafeOnes) {
    struct Case {
        const char* name;
        const char* pieces;
        const char* checking_move; // the last move carried out, which leaves the check flags
        const char* step;
        std::string refusal;
        bool moved;
    };
    const std::vector<Case> cases{
        {"away from a bishop", "Fb7 md5", "b7a8", "d5e4", still_diagonal_small, false},
        {"off the bishop's diagonal", "Fb7 md5", "b7a8", "d5d4", "", true},
        {"away from a pawn", "Ue7 md5", "e7e6", "d5c4", "", true},
        {"knight on the same geometry", "Fh5 me6 kb2", "h5g4", "b2a3", still_diagonal_small, false},
        {"away from a bishop, big king", "fh1 Md5", "h1f3", "d5c6", still_diagonal_big, false},
        {"small king takes the rook on e3", "Te8 mf3", "e8e3", "f3e3", "", true},
        {"along an uncovered rank", "Dh6 Fe6 mb6", "e6c4", "b6a6", still_line_small, false},
        {"along the adjacent rook's file", "Te8 me5", "e8e6", "e5e4", still_adjacent_small, false},
        {"off the adjacent rook's file", "Te8 me5", "e8e6", "e5d5", "", true},
        {"small king takes the adjacent rook", "Te8 me5", "e8e6", "e5e6", "", true},
        {"along the adjacent rook's rank", "Td8 me3", "d8d3", "e3f3",
            still_line_small + still_adjacent_small, false},
        {"along a rank check", "ta8 Me1", "a8a1", "e1f1", still_line_big, false},
        {"off a rank check", "ta8 Me1", "a8a1", "e1f2", "", true},
        {"along a file check", "ta8 Me2", "a8e8", "e2e1", "", true},
        {"along the adjacent rook's file, big king", "ta3 Me2", "a3e3", "e2e1", still_adjacent_big,
            false},
        {"big king takes the adjacent rook", "ta3 Me2", "a3e3", "e2e3", "", true},
        {"big king on a takes the rook on b", "tb1 Ma4", "b1b4", "a4b4", "", true},
        {"big king away from the adjacent rook", "tc1 Mb4", "c1c4", "b4a4",
            still_adjacent_big + still_line_big, false},
        {"big king on b takes the rook on c", "tc1 Mb4", "c1c4", "b4c4", "", true},
        {"two files along the rank", "Th8 me1", "h8h7", "e1g1", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestGame g;
        setup(g, c.pieces, "");
        const Code checker = g.state().cell(sq(std::string_view(c.checking_move).substr(0, 2)));
        const int number = is_piece_of(checker, Side::big) ? 2 : 3;
        EXPECT_NE(play(g, number, std::string(c.checking_move) + "d\n").find(clear_screen),
            std::string::npos);

        const Code king = g.state().cell(sq(std::string_view(c.step).substr(0, 2)));
        const std::string output = play(g, number + 1, std::string(c.step) + "d\n");
        if (c.refusal.empty()) {
            // Neither a step refusal nor the warning of a check left unanswered.
            const Report& report = g.state().report;
            for (Message message : {Message::still_check_diagonal, Message::still_check_rank,
                     Message::still_check_adjacent, Message::knight_check_remains}) {
                EXPECT_EQ(report.count(message), 0U) << view(output);
            }
        } else {
            EXPECT_NE(output.find(c.refusal), std::string::npos) << view(output);
        }
        EXPECT_EQ(g.state().cell(sq(std::string_view(c.step).substr(2, 2))) == king, c.moved);
        EXPECT_EQ(next_prompt(g), number + (c.moved ? 2 : 1));
    }
}

TEST(KingSteps, StepNeedsTheTurnAFreeSquareAndASafeDestination) {
    struct Case {
        const char* name;
        const char* pieces; // the small king on e4 asks for e5
        bool own_turn;
        bool moved;
    };
    const std::vector<Case> cases{
        {"safe", "me4", true, true},
        {"other side's turn", "me4", false, false},
        {"own piece there", "me4 ue5", true, false},
        {"opponent's piece there", "me4 Ue5", true, true},
        {"knight attack", "me4 Kf7", true, false},
        {"diagonal attack", "me4 Fb8", true, false},
        {"pawn attack", "me4 Ud6", true, false},
        {"line attack", "me4 Ta5", true, false},
        {"next to the other king", "me4 Mf6", true, false},
    };
    for (bool mirror : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << (mirror ? ", mirrored" : ""));
            TestGame g;
            setup(g, c.pieces, "", mirror);
            const int number = mirror == c.own_turn ? 2 : 1;
            play(g, number, (mirror ? mirrored("e4e5") : std::string("e4e5")) + "d\n");
            const Code king = mirror ? BIG_KING : SMALL_KING;
            EXPECT_EQ(g.state().cell(sq(mirror ? "e4" : "e5")) == king, c.moved);
        }
    }
}

TEST(KingSteps, SayNothingOnceAMoveHasBeenCarriedOut) {
    // A big rook moving along its rank gives check along that rank; the step tests that follow
    // in the same request see a move along a rank under a rank check, but must stay silent.
    TestGame g;
    g.place({{"a4", BIG_ROOK}, {"h4", SMALL_KING}}).request("a4c4");
    g.begin_request(2);
    make_move(g.state());
    apply_king_rules(g.state());
    EXPECT_EQ(announced(g), line_small);
    // The same tests speak in a request that has done nothing yet.
    g.begin_request(3);
    apply_king_rules(g.state());
    EXPECT_EQ(announced(g), still_line_small);
}

} // namespace
} // namespace referee::test
