// Take-back, promotion, castling and the end-of-game rules on positions built in the state. Most
// cases run one whole request (prompt, read, analyses, rules) through the request loop.
#include "support.h"

#include "game/end_rules.h"
#include "game/request_loop.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace referee::test {
namespace {

int& count(TestGame& g, Side side, Kind kind) {
    return g.state().piece_counts[side][static_cast<std::size_t>(kind)];
}

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

struct Letter {
    char letter;
    Side side;
    Kind kind;
};

constexpr std::array<Letter, 8> promotion_letters{{
    {'T', Side::big, Kind::rook},
    {'K', Side::big, Kind::knight},
    {'F', Side::big, Kind::bishop},
    {'D', Side::big, Kind::queen},
    {'t', Side::small, Kind::rook},
    {'k', Side::small, Kind::knight},
    {'f', Side::small, Kind::bishop},
    {'d', Side::small, Kind::queen},
}};

TEST(Promotion, EveryLetterForTheSmallPawn) {
    for (const Letter& l : promotion_letters) {
        SCOPED_TRACE(l.letter);
        TestGame g;
        g.place({{"e7", SMALL_PAWN}, {"a1", SMALL_KING}, {"h5", BIG_KING}});
        const int before = count(g, l.side, l.kind);
        play(g, 5, std::string("e7e8e") + l.letter + "\n");
        EXPECT_EQ(g.state().cell(sq("e8")), code_of(l.side, l.kind));
        EXPECT_EQ(g.state().cell(sq("e7")), EMPTY_DARK);
        EXPECT_EQ(count(g, Side::small, Kind::pawn), 7);
        EXPECT_EQ(count(g, l.side, l.kind), before + 1);
        // A small letter passes the turn; a big letter takes one more off the move number.
        EXPECT_EQ(next_prompt(g), l.side == Side::small ? 6 : 5);
    }
}

TEST(Promotion, EveryLetterForTheBigPawn) {
    for (const Letter& l : promotion_letters) {
        SCOPED_TRACE(l.letter);
        TestGame g;
        g.place({{"d2", BIG_PAWN}, {"a8", SMALL_KING}, {"h5", BIG_KING}});
        const int before = count(g, l.side, l.kind);
        play(g, 6, std::string("d2d1w") + l.letter + "\n");
        EXPECT_EQ(g.state().cell(sq("d1")), code_of(l.side, l.kind));
        EXPECT_EQ(g.state().cell(sq("d2")), EMPTY_DARK);
        EXPECT_EQ(count(g, Side::big, Kind::pawn), 7);
        EXPECT_EQ(count(g, l.side, l.kind), before + 1);
        // A big letter passes the turn; with a small letter the big side is asked again.
        EXPECT_EQ(next_prompt(g), l.side == Side::big ? 7 : 8);
    }
}

TEST(Promotion, CaptureLowersTheCapturedCounter) {
    // A pawn on the last rank (left there by a take-back) is captured like any other piece.
    for (const Kind captured : {Kind::rook, Kind::pawn}) {
        TestGame g;
        g.place({{"e7", SMALL_PAWN}, {"d8", code_of(Side::big, captured)}, {"a1", SMALL_KING},
            {"h5", BIG_KING}});
        const int before = count(g, Side::big, captured);
        play(g, 3, "e7d8ek\n");
        EXPECT_EQ(g.state().cell(sq("d8")), SMALL_KNIGHT);
        EXPECT_EQ(count(g, Side::big, captured), before - 1);
        EXPECT_EQ(count(g, Side::small, Kind::knight), 3);
        EXPECT_EQ(count(g, Side::small, Kind::pawn), 7);
        EXPECT_EQ(next_prompt(g), 4);
    }
}

TEST(Promotion, RefusedWithoutAPieceLetterOrOffTheLastRank) {
    struct Case {
        std::string_view line;
        int number;
    };
    for (const Case& c : {Case{"e7e8e\n", 3}, Case{"e7e8ex", 3}, Case{"e7e8eu", 3},
             Case{"e7e8eo", 3}, Case{"e7e5ed", 3}, Case{"e7e7ed", 3}, Case{"e7f7ed", 3},
             Case{"d2d1w\n", 4}, Case{"d2d1wU", 4}, Case{"d2d4wD", 4}, Case{"d2c2wD", 4}}) {
        SCOPED_TRACE(c.line);
        TestGame g;
        g.place({{"e7", SMALL_PAWN}, {"f7", BIG_PAWN}, {"d2", BIG_PAWN}, {"c2", SMALL_PAWN},
            {"a5", SMALL_KING}, {"h5", BIG_KING}});
        const auto board = g.state().board;
        const auto counts = g.state().piece_counts;
        const std::string out = play(g, c.number, c.line);
        EXPECT_EQ(g.state().board, board);
        EXPECT_EQ(g.state().piece_counts[Side::small], counts[Side::small]);
        EXPECT_EQ(g.state().piece_counts[Side::big], counts[Side::big]);
        EXPECT_EQ(next_prompt(g), c.number);
        EXPECT_EQ(g.state().report.count(wrong_way(Kind::pawn)), 1U) << out;
    }
}

TEST(TakeBack, RestoresTheNamedPieceAndClearsTheEndState) {
    TestGame g;
    g.place({{"e4", SMALL_QUEEN}, {"a1", SMALL_KING}, {"h8", BIG_KING}});
    GameState& s = g.state();
    for (Side side : {Side::small, Side::big}) {
        s.mate_counter[side] = 4;
        s.stalemate_counter[side] = 3;
        s.in_check[side] = Tri::yes;
        s.check_remains_any[side] = Tri::no;
    }
    const std::string out = play(g, 2, "e4h1pD");
    EXPECT_EQ(s.cell(sq("h1")), SMALL_QUEEN);
    EXPECT_EQ(s.cell(sq("e4")), BIG_QUEEN);
    EXPECT_EQ(count(g, Side::big, Kind::queen), 2);
    for (Side side : {Side::small, Side::big}) {
        EXPECT_EQ(s.mate_counter[side], 1);
        EXPECT_EQ(s.stalemate_counter[side], 1);
        EXPECT_EQ(s.in_check[side], Tri::no);
    }
    EXPECT_TRUE(out.ends_with(said(Message::took_back, Side::small)));
    EXPECT_EQ(next_prompt(g), 1);
}

TEST(TakeBack, LetterOutsideTheTableIsDroppedSilently) {
    for (std::string_view line : {"e4e2p\n", "e4e2pM", "e4e2p0"}) {
        SCOPED_TRACE(line);
        TestGame g;
        g.place({{"e4", SMALL_PAWN}, {"a1", SMALL_KING}, {"h8", BIG_KING}});
        g.state().mate_counter[Side::small] = 3;
        const auto board = g.state().board;
        const std::string out = play(g, 2, line);
        EXPECT_EQ(g.state().board, board);
        EXPECT_EQ(g.state().mate_counter[Side::small], 3);
        EXPECT_EQ(next_prompt(g), 2);
        EXPECT_EQ(out, prompt(Side::big, 2));
    }
}

// Requests one step from an empty square in each of the eight directions: a check that is still
// remembered shows in them (the warnings of a knight check left unanswered, the messages of a king
// stepping along the line of a check, mate counted at the fifth), a forgotten one does not.
constexpr std::array<std::string_view, 8> probes{
    "c6c7", "c6d7", "c6d6", "c6d5", "c6c5", "c6b5", "c6b6", "c6b7"};

// What the probes print, prompts left out, each played under the given number.
std::string probe(TestGame& g, int number, bool mirror) {
    std::string printed;
    for (std::string_view typed : probes) {
        const std::string out
            = play(g, number, (mirror ? mirrored(typed) : std::string(typed)) + "d\n");
        printed += out.substr(out.find(":>") + 2);
        EXPECT_EQ(next_prompt(g), number);
    }
    return printed;
}

// Each kind of check the big side can give the small king, given by a move through the loop, then
// taken back or castled out of: after either, the check is forgotten, so the requests that follow
// see none. Without the take-back or castling the same requests do show the check.
TEST(ForgetCheck, TakeBackAndCastlingForgetEveryKindOfCheck) {
    struct Case {
        const char* kind;
        const char* pieces;
        const char* check; // the big side's move that gives the check
        const char* undo; // the small side's take-back of it, or its castling
    };
    const Case cases[] = {
        {"knight", "me1 th1 Ke5", "e5d3", "d3e5po"},
        {"knight, castled out of", "me1 th1 Ke5", "e5d3", "e1g1d"},
        {"bishop", "me1 th1 Fa5", "a5b4", "b4a5po"},
        {"bishop, castled out of", "me1 th1 Fa5", "a5b4", "e1g1d"},
        {"pawn", "me1 Ud3", "d3d2", "d2d3po"},
        {"rook along the rank", "me1 th1 Ta8", "a8a1", "a1a8po"},
        {"rook along the rank, castled out of", "me1 th1 Ta8", "a8a1", "e1g1d"},
        {"rook beside the king on its rank", "me1 Td8", "d8d1", "d1d8po"},
        {"rook beside the king on its file", "me1 Te8", "e8e2", "e2e8po"},
        {"discovered along the rank", "me1 Ta1 Kc1", "c1b3", "b3c1po"},
        {"discovered along a diagonal", "me1 Fa5 Kb4", "b4a2", "a2b4po"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        for (bool mirror : {false, true}) {
            SCOPED_TRACE(mirror ? "mirrored" : "as written");
            const auto typed = [&](std::string_view request) {
                return (mirror ? mirrored(request) : std::string(request)) + "d\n";
            };
            const std::string undo = mirror ? mirrored(c.undo) : std::string(c.undo);
            const int checker = mirror ? 3 : 2; // the move number of the checking side
            for (bool undone : {false, true}) {
                SCOPED_TRACE(undone ? "undone" : "standing");
                TestGame g;
                setup(g, c.pieces, "", mirror);
                play(g, checker, typed(c.check));
                EXPECT_TRUE(announced_check(g.state().report));
                int next = checker;
                if (undone) {
                    const bool take_back = undo.find('p') != std::string::npos;
                    play(g, checker + 1, take_back ? undo : undo + "\n");
                    next = take_back ? checker : checker + 2;
                    EXPECT_EQ(next_prompt(g), next);
                }
                const std::string printed = probe(g, next, mirror);
                if (undone) {
                    EXPECT_EQ(printed, "");
                } else {
                    EXPECT_NE(printed, "");
                }
            }
        }
    }
}

TEST(TakeBack, OntoAnOccupiedSquareIsDroppedSilently) {
    TestGame g;
    g.place({{"e4", SMALL_PAWN}, {"e2", SMALL_ROOK}, {"a1", SMALL_KING}, {"h8", BIG_KING}});
    g.state().mate_counter[Side::small] = 3;
    const auto board = g.state().board;
    const auto counts = g.state().piece_counts;
    for (std::string_view line : {"e2e4po", "e4e2pU", "a1a1po", "e4h8po"}) {
        SCOPED_TRACE(line);
        const std::string out = play(g, 2, line);
        EXPECT_EQ(g.state().board, board);
        EXPECT_EQ(g.state().piece_counts[Side::big], counts[Side::big]);
        EXPECT_EQ(g.state().mate_counter[Side::small], 3);
        EXPECT_EQ(next_prompt(g), 2);
        EXPECT_EQ(out, prompt(Side::big, 2));
    }
}

TEST(TakeBack, EmptyFromSquareLeavesEveryEmptySquareItsOwnShade) {
    TestGame g;
    g.place({{"a1", SMALL_KING}, {"h8", BIG_KING}});
    play(g, 3, "d3d2po"); // d3 light, d2 dark
    EXPECT_EQ(g.state().cell(sq("d2")), EMPTY_DARK);
    EXPECT_EQ(g.state().cell(sq("d3")), EMPTY_LIGHT);
}

TEST(Castling, BigKingCastlesQueenSideWhileInCheck) {
    TestGame g;
    g.place({{"e8", BIG_KING}, {"a8", BIG_ROOK}, {"e1", SMALL_ROOK}, {"h1", SMALL_KING}});
    g.state().in_check[Side::big] = Tri::yes;
    g.state().line_check[Side::big][Dir::down] = Tri::yes;
    play(g, 4, "e8c8d\n");
    EXPECT_EQ(g.state().cell(sq("c8")), BIG_KING);
    EXPECT_EQ(g.state().cell(sq("d8")), BIG_ROOK);
    EXPECT_EQ(g.state().cell(sq("e8")), EMPTY_LIGHT);
    EXPECT_EQ(g.state().cell(sq("a8")), EMPTY_LIGHT);
    EXPECT_EQ(g.state().cell(sq("b8")), EMPTY_DARK);
    EXPECT_EQ(next_prompt(g), 5);
}

TEST(Castling, RefusedOntoAnAttackedSquareOrOffTheHomeRank) {
    {
        TestGame g; // a big knight on h3 guards g1
        g.place({{"e1", SMALL_KING}, {"h1", SMALL_ROOK}, {"h3", BIG_KNIGHT}, {"a8", BIG_KING}});
        const auto board = g.state().board;
        const std::string out = play(g, 1, "e1g1d\n");
        EXPECT_EQ(g.state().board, board);
        EXPECT_TRUE(contains(out, said(Message::king_dest_knight, Side::small))) << out;
        EXPECT_EQ(next_prompt(g), 1);
    }
    {
        TestGame g; // a big king on e6 with the king-side squares of rank 8 ready
        g.place({{"e6", BIG_KING}, {"h8", BIG_ROOK}, {"h6", SMALL_KNIGHT}, {"a1", SMALL_KING}});
        const auto board = g.state().board;
        play(g, 2, "e6g6d\n");
        EXPECT_EQ(g.state().board, board);
        EXPECT_EQ(next_prompt(g), 2);
    }
}

// The announcements of the end rules at the numbers of the cases below.
const std::string draw_text = said(Message::draw, Side::small, 7);
const std::string mate_big_text = said(Message::mate, Side::big, 8);
const std::string stalemate_big_text = said(Message::stalemate, Side::big, 12);

void set_counts(TestGame& g, std::array<int, 5> small, std::array<int, 5> big) {
    g.state().piece_counts[Side::small] = small;
    g.state().piece_counts[Side::big] = big;
}

// Mate and stalemate counted over requests played through the loop, on both sides: each request
// of the sequence with the announcement expected at its start. A threshold or a reset moved by
// one moves an announcement by one request.
TEST(EndRules, CountedOverTheRequestsOfAGame) {
    struct Step {
        const char* typed;
        std::optional<Message> announced; // stalemate, mate or nothing
    };
    constexpr std::optional<Message> nothing;
    constexpr std::optional<Message> stalemate = Message::stalemate;
    constexpr std::optional<Message> mate = Message::mate;
    struct Sequence {
        const char* name;
        const char* pieces;
        int first; // the number of the first request, as written
        std::vector<Step> steps;
    };
    // The small rook on e2 shields its king from the big rook on e8: moving it off the file is
    // unsafe. A request from the empty square c4 is refused and is safe.
    const Step unsafe{"e2d2", nothing};
    const Step safe{"c4c5", nothing};
    const auto times = [](std::size_t n, Step step) { return std::vector<Step>(n, step); };
    const auto join = [](std::initializer_list<std::vector<Step>> parts) {
        std::vector<Step> all;
        for (const auto& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    };
    const std::vector<Sequence> sequences{
        {"stalemate at the sixth request after five unsafe ones, again while they go on",
            "me1 te2 Te8 Ma8", 2,
            join({{{"a8b8", nothing}}, times(5, unsafe), times(2, {"e2d2", stalemate}),
                {{"c4c5", stalemate}, safe}, times(5, unsafe), {{"e2d2", stalemate}}})},
        {"a take-back sets the stalemate count back", "me1 te2 Te8 Ma8", 2,
            join({{{"a8b8", nothing}}, times(5, unsafe), {{"b8a8po", nothing}}})},
        {"no stalemate counted before the first move", "me1 te2 Te8 Ma8", 1, times(7, unsafe)},
        {"mate at the fifth request after the check, again until a move", "me1 Ta8 Mh8", 2,
            join({{{"a8a1", nothing}}, times(4, safe), times(2, {"c4c5", mate}),
                {{"e1e2", mate}, {"h8g8", nothing}}})},
    };
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        for (bool mirror : {false, true}) {
            SCOPED_TRACE(mirror ? "mirrored" : "as written");
            TestGame g;
            setup(g, sequence.pieces, "", mirror);
            int number = sequence.first + (mirror ? 1 : 0);
            for (std::size_t at = 0; at < sequence.steps.size(); ++at) {
                const Step& step = sequence.steps[at];
                SCOPED_TRACE(testing::Message() << "request " << at + 1 << ", " << step.typed);
                const std::string typed = mirror ? mirrored(step.typed) : std::string(step.typed);
                const bool take_back = typed.find('p') != std::string::npos;
                const std::string out = play(g, number, take_back ? typed : typed + "d\n");
                const Report& report = g.state().report;
                for (Message announcement : {Message::stalemate, Message::mate}) {
                    EXPECT_EQ(report.count(announcement) != 0, announcement == step.announced)
                        << view(out);
                }
                number = next_prompt(g);
            }
        }
    }
}

TEST(EndRules, KingsAloneDrawIsAnnouncedAtEveryLaterRequest) {
    TestGame g;
    set_counts(g, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0});
    g.begin_request(7);
    apply_end_rules(g.state());
    EXPECT_EQ(g.take_output(), draw_text);
    // Material brought back does not withdraw it.
    set_counts(g, {2, 8, 2, 2, 1}, {2, 8, 2, 2, 1});
    apply_end_rules(g.state());
    EXPECT_EQ(g.take_output(), draw_text);
}

TEST(EndRules, DrawNeedsNoMinorPieceOrALoneOne) {
    struct Case {
        std::array<int, 5> small; // rooks, pawns, knights, bishops, queens
        std::array<int, 5> big;
        bool draw;
    };
    for (const Case& c : {
             Case{{0, 0, 0, 1, 0}, {0, 0, 2, 0, 0}, true}, // bishop against two knights
             Case{{0, 0, 0, 0, 0}, {0, 0, 1, 0, 0}, true},
             Case{{0, 0, 0, 0, 0}, {0, 0, 2, 0, 0}, false}, // two knights against a king
             Case{{0, 0, 2, 0, 0}, {0, 0, 0, 2, 0}, false},
             Case{{0, 1, 0, 0, 0}, {0, 0, 0, 0, 0}, false}, // a pawn
             Case{{0, 0, 0, 0, 0}, {0, 0, 0, 0, 1}, false}, // a queen
             Case{{0, 0, 0, 0, 0}, {0, -1, 0, 0, 0}, false},
         }) {
        TestGame g;
        set_counts(g, c.small, c.big);
        g.begin_request(7);
        apply_end_rules(g.state());
        EXPECT_EQ(g.take_output(), c.draw ? draw_text : std::string());
    }
}

TEST(EndRules, BigSideMateAtTheFifthRequestAndAgainAfter) {
    TestGame g;
    GameState& s = g.state();
    s.in_check[Side::big] = Tri::yes;
    s.check_remains_any[Side::big] = Tri::no;
    g.begin_request(8);
    for (int request = 1; request <= 4; ++request) {
        apply_end_rules(g.state());
        EXPECT_EQ(g.take_output(), "");
    }
    apply_end_rules(g.state());
    EXPECT_EQ(g.take_output(), mate_big_text);
    apply_end_rules(g.state());
    EXPECT_EQ(g.take_output(), mate_big_text);
    // A move that left the check unanswered does not count.
    s.check_remains_any[Side::big] = Tri::yes;
    apply_end_rules(g.state());
    EXPECT_EQ(g.take_output(), "");
    EXPECT_EQ(s.mate_counter[Side::big], 1);
}

TEST(EndRules, BigSideStalemateCountsUnsafeRequestsOnly) {
    const auto unsafe_flags
        = {&GameState::pin_line, &GameState::pin_diagonal, &GameState::king_dest_knight_attacked,
            &GameState::king_dest_diagonal_attacked, &GameState::king_dest_line_attacked};
    for (auto flag : unsafe_flags) {
        TestGame g;
        GameState& s = g.state();
        s.in_check[Side::big] = Tri::no;
        (s.*flag)[Side::big] = Tri::yes;
        g.begin_request(12);
        for (int request = 1; request <= 4; ++request) {
            apply_end_rules(g.state());
            EXPECT_EQ(g.take_output(), "");
        }
        apply_end_rules(g.state());
        EXPECT_EQ(g.take_output(), stalemate_big_text);
        apply_end_rules(g.state());
        EXPECT_EQ(g.take_output(), stalemate_big_text);
    }
    {
        TestGame g; // the other king next to the destination is not counted, nor a king in check
        GameState& s = g.state();
        s.in_check[Side::big] = Tri::no;
        s.king_dest_next_to_king[Side::big] = Tri::yes;
        for (int request = 1; request <= 6; ++request) {
            apply_end_rules(g.state());
        }
        s.in_check[Side::big] = Tri::yes;
        s.check_remains_any[Side::big] = Tri::yes;
        s.pin_line[Side::big] = Tri::yes;
        for (int request = 1; request <= 6; ++request) {
            apply_end_rules(g.state());
        }
        EXPECT_EQ(g.take_output(), "");
    }
}

} // namespace
} // namespace referee::test
