// The king-safety analyses: attacked king destinations, pins and checks left unanswered. Each
// position is written with the big side's king as the one concerned; every case also runs on its
// mirror image (ranks reversed, sides swapped) and with either side to move, so a rule that holds
// for one side only or that looks at the turn is caught.
#include "support.h"

#include "safety/safety.h"

#include <gtest/gtest.h>

#include <string>

namespace referee::test {
namespace {

// The side of the upper-case pieces once the case is mirrored or not.
Side own(bool mirror) {
    return mirror ? Side::small : Side::big;
}

Dir flip(Dir dir, bool mirror) {
    constexpr std::array<Dir, 8> flipped{Dir::down, Dir::up, Dir::left, Dir::right, Dir::down_right,
        Dir::down_left, Dir::up_left, Dir::up_right};
    return mirror ? flipped[static_cast<std::size_t>(dir)] : dir;
}

template <class Check> void each_variant(Check check) {
    for (bool mirror : {false, true}) {
        for (int move : {1, 2}) {
            SCOPED_TRACE(
                std::string(mirror ? "mirrored" : "as written") + ", move " + std::to_string(move));
            check(mirror, move);
        }
    }
}

struct Attack {
    bool diagonal = false, knight = false, line = false, king = false;
};

struct DestinationCase {
    const char* name;
    const char* pieces;
    const char* request;
    Attack expected;
};

// The warnings for a king of `side` asked onto the square, in the order they print.
std::string destination_warnings(Side side, Attack a) {
    std::string out;
    if (a.diagonal) {
        out += said(Message::king_dest_diagonal, side);
    }
    if (a.knight) {
        out += said(Message::king_dest_knight, side);
    }
    if (a.line) {
        out += said(Message::king_dest_line, side);
    }
    if (a.king) {
        out += said(Message::king_dest_king, side);
    }
    return out;
}

TEST(KingDestination, SeesAttacksOnTheSquareBeforeTheMove) {
    const DestinationCase cases[] = {
        {"own from-square blocks a diagonal", "Md4 fb2", "d4e5", {}},
        {"bishop seven squares away", "fa1 Mh7", "h7h8", {.diagonal = true}},
        {"own from-square on the long diagonal", "fa1 Mg7", "g7h8", {}},
        {"queen along a diagonal", "dh1 Mb8", "b8a8", {.diagonal = true}},
        {"pawn captures toward its forward side", "uc3 Me5", "e5d4", {.diagonal = true}},
        {"pawn captures toward either file", "ue3 Mc5", "c5d4", {.diagonal = true}},
        {"pawn does not capture backward", "uc5 Me5", "e5d4", {}},
        {"pawn blocks the bishop behind it", "fa1 ub2 Me4", "e4d4", {}},
        {"guarded piece on the destination", "te5 fg7 Me4", "e4e5", {.diagonal = true}},
        {"knight", "kf6 Me5", "e5e4", {.knight = true}},
        {"nothing wraps from file a to file h", "kg6 kh3 uh4 Ma5", "a5a4", {}},
        {"own from-square blocks a file", "te8 Me2", "e2e1", {}},
        {"rook along the whole rank", "ta1 Mg2", "g2h1", {.line = true}},
        {"queen on the rank", "da4 Me5", "e5e4", {.line = true}},
        {"empty rank is no attack", "Mb3", "b3a2", {}},
        {"piece blocks the rook on the rank", "tb4 kc4 Me5", "e5d4", {}},
        {"enemy king next to the destination", "md6 Md4", "d4d5", {.king = true}},
        {"kings on files a and h are not neighbours", "ma4 Mh6", "h6h5", {}},
        {"only a king on the from-square is judged", "De4 kf7 te8 Ma1", "e4e5", {}},
        {"all four at once", "Mc4 ff7 kb6 td1 mc6", "c4d5",
            {.diagonal = true, .knight = true, .line = true, .king = true}},
    };
    for (const DestinationCase& c : cases) {
        SCOPED_TRACE(c.name);
        each_variant([&](bool mirror, int move) {
            TestGame g;
            g.begin_request(move);
            setup(g, c.pieces, c.request, mirror);
            analyse_king_destination(g.state());
            const GameState& s = g.state();
            const Side side = own(mirror);
            const Side other = opponent(side);
            EXPECT_EQ(s.king_dest_diagonal_attacked[side], tri(c.expected.diagonal));
            EXPECT_EQ(s.king_dest_knight_attacked[side], tri(c.expected.knight));
            EXPECT_EQ(s.king_dest_line_attacked[side], tri(c.expected.line));
            EXPECT_EQ(s.king_dest_next_to_king[side], tri(c.expected.king));
            EXPECT_EQ(s.king_dest_diagonal_attacked[other], Tri::no);
            EXPECT_EQ(s.king_dest_knight_attacked[other], Tri::no);
            EXPECT_EQ(s.king_dest_line_attacked[other], Tri::no);
            EXPECT_EQ(s.king_dest_next_to_king[other], Tri::no);
            EXPECT_EQ(g.take_output(), destination_warnings(side, c.expected));
        });
    }
}

struct Pins {
    bool diagonal_big = false, diagonal_small = false, line_big = false, line_small = false;
};

struct PinCase {
    const char* name;
    const char* pieces;
    const char* request;
    Pins expected;
};

TEST(Pins, FlagAMoveOffTheLineThatShieldsAKing) {
    const PinCase cases[] = {
        {"bishop pin, moved off the diagonal", "Md1 Fe2 fg4", "e2d3", {.diagonal_big = true}},
        {"bishop pin, moved along the diagonal", "Md1 Fe2 fg4", "e2f3", {}},
        {"bishop pin, attacker captured", "Md1 Fe2 fg4", "e2g4", {}},
        {"king, shield and attacker adjacent", "Md1 Fe2 ff3", "e2e3", {.diagonal_big = true}},
        {"two pieces between", "Md1 Fe2 Tf3 fg4", "e2d3", {}},
        {"queen pins on a diagonal", "Md1 Te2 dg4", "e2e3", {.diagonal_big = true}},
        {"attacker's own piece shields (discovered check)", "Md1 ke2 fg4", "e2c3",
            {.diagonal_big = true}},
        {"king on the from-square", "Me2 fg4 te8", "e2d2", {}},
        {"longest diagonal pin", "Ma1 Tb2 fh8", "b2b3", {.diagonal_big = true}},
        {"longest file pin", "Ma1 Ta2 ta8", "a2b2", {.line_big = true}},
        {"file pin, moved along the file", "Me1 Te3 te7", "e3e5", {}},
        {"file pin, moved along the rank", "Me1 Te3 te7", "e3d3", {.line_big = true}},
        {"queen pins on a rank", "Ma5 Tc5 dg5", "c5c6", {.line_big = true}},
        {"knight never pins", "Me1 Te3 ke7", "e3d3", {}},
        {"probe stops at the board's edge", "Th4 Me4 da3", "h4h5", {}},
        {"both diagonal pins", "De4 Mc2 fg6 mc6 Fg2", "e4e5",
            {.diagonal_big = true, .diagonal_small = true}},
        {"both line pins", "De4 Me1 te8 ma4 Th4", "e4d5", {.line_big = true, .line_small = true}},
        {"diagonal and line pin", "De4 Mc2 fg6 me1 Te8", "e4d5",
            {.diagonal_big = true, .line_small = true}},
    };
    for (const PinCase& c : cases) {
        SCOPED_TRACE(c.name);
        each_variant([&](bool mirror, int move) {
            TestGame g;
            g.begin_request(move);
            setup(g, c.pieces, c.request, mirror);
            analyse_pins(g.state());
            Pins e = c.expected;
            if (mirror) {
                e = {e.diagonal_small, e.diagonal_big, e.line_small, e.line_big};
            }
            const GameState& s = g.state();
            EXPECT_EQ(s.pin_diagonal[Side::big], tri(e.diagonal_big));
            EXPECT_EQ(s.pin_diagonal[Side::small], tri(e.diagonal_small));
            EXPECT_EQ(s.pin_line[Side::big], tri(e.line_big));
            EXPECT_EQ(s.pin_line[Side::small], tri(e.line_small));
            std::string warnings;
            warnings += e.diagonal_small ? said(Message::pin_diagonal, Side::small) : "";
            warnings += e.diagonal_big ? said(Message::pin_diagonal, Side::big) : "";
            warnings += e.line_small ? said(Message::pin_line, Side::small) : "";
            warnings += e.line_big ? said(Message::pin_line, Side::big) : "";
            EXPECT_EQ(g.take_output(), warnings);
        });
    }
}

// The check state the last executed move left on the concerned king.
enum class Check { none, knight, diagonal, line, discovered };

void give_check(GameState& s, Side king, Check kind, Dir ray) {
    switch (kind) {
    case Check::none:
        break;
    case Check::knight:
        s.knight_check[king] = Tri::yes;
        break;
    case Check::diagonal:
        s.diag_check[king][ray] = Tri::yes;
        break;
    case Check::line:
        s.line_check[king][ray] = Tri::yes;
        break;
    case Check::discovered:
        s.disc_check_ray[king][ray] = Tri::yes;
        break;
    }
}

struct RemainingCase {
    const char* name;
    const char* pieces;
    Check check;
    Dir ray;
    const char* request;
    bool remains;
};

TEST(RemainingCheck, FlagsOnlyTheCheckThatTheRequestLeavesUnanswered) {
    const RemainingCase cases[] = {
        {"no check in force", "Me8 te3 Dc5", Check::none, Dir::up, "c5d6", false},
        {"interposed on the file", "Me8 te3 Dc5", Check::line, Dir::down, "c5e5", false},
        {"checker captured", "Me8 te3 Kc4", Check::line, Dir::down, "c4e3", false},
        {"moved beyond the checker", "Me8 te3 Th2", Check::line, Dir::down, "h2e2", true},
        {"moved off the line", "Me8 te3 Dc5", Check::line, Dir::down, "c5d6", true},
        {"king leaves the file", "Me8 te3", Check::line, Dir::down, "e8d8", false},
        {"king steps along the file", "Me8 te3", Check::line, Dir::down, "e8e7", false},
        {"checker next but one captured", "Me8 te6 Kg5", Check::line, Dir::down, "g5e6", false},
        {"checker seven squares away captured", "Me8 te1 Ta1", Check::line, Dir::down, "a1e1",
            false},
        {"discovered check interposed", "Me8 te3 Dc5", Check::discovered, Dir::down, "c5e5", false},
        {"discovered check ignored", "Me8 te3 Dc5", Check::discovered, Dir::down, "c5d6", true},
        {"king leaves the rank", "Me4 th4", Check::line, Dir::right, "e4e5", false},
        {"interposed on the rank", "Me4 ta4 Dc1", Check::line, Dir::left, "c1c4", false},
        {"walk leaves the board at once", "Me4 th4 Ta1", Check::line, Dir::right, "a1a4", true},
        {"interposed six steps from the king", "Mh8 fa1 Fc1", Check::diagonal, Dir::down_left,
            "c1b2", false},
        {"bishop seven squares away captured", "Mh8 fa1 Ta2", Check::diagonal, Dir::down_left,
            "a2a1", false},
        {"interposed on the other diagonal", "Mf2 fb6 Dd1", Check::diagonal, Dir::up_left, "d1d4",
            false},
        {"king steps off a diagonal", "Me5 fh8", Check::diagonal, Dir::up_right, "e5d5", true},
        {"checking pawn captured", "Me5 ud4 Td8", Check::diagonal, Dir::down_left, "d8d4", false},
        {"square across the king from the pawn taken", "Me5 ud4 Df1", Check::diagonal,
            Dir::down_left, "f1f6", true},
        {"some knight captured", "Me8 ka3 Fc1", Check::knight, Dir::up, "c1a3", false},
        {"another piece captured", "Me8 ta3 Fc1", Check::knight, Dir::up, "c1a3", true},
        {"king moves in knight check", "Me8", Check::knight, Dir::up, "e8d8", true},
    };
    for (const RemainingCase& c : cases) {
        SCOPED_TRACE(c.name);
        each_variant([&](bool mirror, int move) {
            TestGame g;
            g.begin_request(move);
            setup(g, c.pieces, c.request, mirror);
            const Side king = own(mirror);
            const Dir ray = flip(c.ray, mirror);
            give_check(g.state(), king, c.check, ray);
            analyse_remaining_checks(g.state());
            const GameState& s = g.state();
            const bool knight = c.check == Check::knight;
            for (Side side : {Side::big, Side::small}) {
                EXPECT_EQ(s.knight_check_remains[side], tri(knight && side == king && c.remains));
                for (Dir dir : all_dirs) {
                    SCOPED_TRACE(static_cast<int>(dir));
                    const bool expected = !knight && c.check != Check::none && side == king
                        && dir == ray && c.remains;
                    EXPECT_EQ(s.check_remains[side][dir], tri(expected));
                }
            }
            const std::string warning = said(Message::knight_check_remains, king);
            EXPECT_EQ(g.take_output(), knight && c.remains ? warning : "");
        });
    }
}

// A king stepping off its rank escapes a rank check, except the big king checked from its left
// by a discovered check only: that flag frees the king only when the check was direct.
TEST(RemainingCheck, BigKingLeavingItsRankStaysInADiscoveredCheckFromTheLeft) {
    const struct {
        const char* pieces;
        Side king;
        Check check;
        Dir ray;
        Tri expected;
    } cases[] = {
        {"Me4 ta4", Side::big, Check::discovered, Dir::left, Tri::yes},
        {"Me4 ta4", Side::big, Check::line, Dir::left, Tri::no},
        {"Me4 th4", Side::big, Check::discovered, Dir::right, Tri::no},
        {"me4 Ta4", Side::small, Check::discovered, Dir::left, Tri::no},
        {"me4 Th4", Side::small, Check::discovered, Dir::right, Tri::no},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pieces) + (c.check == Check::line ? " direct" : " discovered"));
        TestGame g;
        setup(g, c.pieces, "e4e5", false);
        give_check(g.state(), c.king, c.check, c.ray);
        analyse_remaining_checks(g.state());
        EXPECT_EQ(g.state().check_remains[c.king][c.ray], c.expected);
    }
}

TEST(KingSafety, WarningsOfOneRequestComeInAnalysisOrder) {
    TestGame g;
    // Big king e4 to e5: e5 is seen by the small rook on a5, e4 shields the small king on c2
    // from the big bishop on g6, and a knight check on the big king stays unanswered.
    setup(g, "Me4 mc2 Fg6 ta5", "e4e5", false);
    g.state().knight_check[Side::big] = Tri::yes;
    g.state().knight_check[Side::small] = Tri::yes;
    analyse_king_safety(g.state());
    EXPECT_EQ(g.take_output(),
        said(Message::king_dest_line, Side::big) + said(Message::pin_diagonal, Side::small)
            + said(Message::knight_check_remains, Side::big)
            + said(Message::knight_check_remains, Side::small));
}

} // namespace
} // namespace referee::test
