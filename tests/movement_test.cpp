// How pieces move: pawns, knights, bishops, rooks and queens, promotion and castling, each case
// one request played through the request loop on a position built in the game state. Every case
// is written for the small side; it also runs on its mirror image (ranks reversed, sides swapped)
// and with the other side to move, when nothing may move at all.
#include "game/request_loop.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace referee::test {
namespace {

struct MoveCase {
    std::string name;
    std::string pieces; // "ue2 Ke3": letter and square, upper case for the big side
    std::string request; // "e2e4"
    bool accepted;
    char piece_letter = '\n'; // the sixth character typed; a promotion's piece letter
};

bool contains(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

char other_case(char letter) {
    const auto c = static_cast<unsigned char>(letter);
    return static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
}

// The board after the request: a castling moves the rook from its corner beside the king, a
// promotion puts the named piece on the destination, any other move the piece itself.
GameState carried_out(TestGame& g, Square from, Square to, char letter) {
    GameState after = g.state();
    const Code piece = after.cell(from);
    after.put(to, piece);
    after.clear(from);
    const bool pawn = piece == SMALL_PAWN || piece == BIG_PAWN;
    if (pawn && (to.rank == 1 || to.rank == 8)) {
        after.put(to, code_of_letter(letter));
    }
    if ((piece == SMALL_KING || piece == BIG_KING) && std::abs(to.file - from.file) == 2) {
        const int corner = to.file > from.file ? 7 : 0;
        const Code rook = after.cell({from.rank, corner});
        after.clear({from.rank, corner});
        if (corner == 0) {
            after.clear({from.rank, 1});
        }
        after.put({from.rank, (from.file + to.file) / 2}, rook);
    }
    return after;
}

// Whether the request said that its piece does not move that way.
bool said_wrong_way(const Report& report) {
    return std::any_of(all_kinds.begin(), all_kinds.end(),
        [&](Kind kind) { return report.count(wrong_way(kind)) != 0; });
}

// Runs the case four ways: as written and mirrored, with its side to move and with the other.
void check_case(const MoveCase& c) {
    SCOPED_TRACE(c.name + " (" + c.pieces + ", " + c.request + ")");
    for (bool mirror : {false, true}) {
        for (bool own_turn : {true, false}) {
            SCOPED_TRACE(std::string(mirror ? "mirrored" : "as written")
                + (own_turn ? ", its turn" : ", the other side's turn"));
            TestGame g;
            setup(g, c.pieces, "", mirror);
            const std::string typed = mirror ? mirrored(c.request) : c.request;
            const Square from = sq(typed.substr(0, 2));
            const Square to = sq(typed.substr(2, 2));
            const bool small_moves = !mirror;
            const int number = small_moves == own_turn ? 5 : 6;
            const bool piece_letter = contains("tukfdTUKFD", std::string(1, c.piece_letter));
            const char letter
                = mirror && piece_letter ? other_case(c.piece_letter) : c.piece_letter;
            const std::string before = board_rows(g.state());
            const std::string moved
                = c.accepted ? board_rows(carried_out(g, from, to, letter)) : before;

            const std::string out = play(g, number, typed + "d" + letter + "\n");
            if (c.accepted && own_turn) {
                EXPECT_EQ(board_rows(g.state()), moved) << view(out);
                const bool letter_of_the_mover = piece_letter
                    && (std::isupper(static_cast<unsigned char>(letter)) != 0) == mirror;
                if (c.piece_letter == '\n' || letter_of_the_mover) {
                    EXPECT_EQ(next_prompt(g), number + 1);
                }
            } else {
                EXPECT_EQ(board_rows(g.state()), before) << view(out);
                EXPECT_EQ(next_prompt(g), number);
                const Report& report = g.state().report;
                EXPECT_TRUE(own_turn ? said_wrong_way(report)
                                     : report.count(Message::other_side_moved) != 0)
                    << view(out);
            }
        }
    }
}

TEST(Movement, Pawns) {
    const MoveCase cases[] = {
        {"push", "ue4", "e4e5", true},
        {"push onto own piece", "ue4 ke5", "e4e5", false},
        {"push onto the other side's piece", "ue4 Ke5", "e4e5", false},
        {"double step from the home rank", "ue2", "e2e4", true},
        {"double step over own piece", "ue2 ke3", "e2e4", false},
        {"double step over the other side's piece", "ue2 Ue3", "e2e4", false},
        {"double step onto the other side's piece", "ue2 Ke4", "e2e4", false},
        {"double step onto own piece", "ue2 ke4", "e2e4", false},
        {"double step off the home rank", "ue3", "e3e5", false},
        {"three squares from the home rank", "ue2", "e2e5", false},
        {"backward", "ue4", "e4e3", false},
        {"sideways", "ue4", "e4f4", false},
        {"standing still", "ue4", "e4e4", false},
        {"diagonal onto an empty square", "ue4", "e4f5", false},
        {"diagonal double step onto an empty square", "ue2", "e2g4", false},
        {"capture to the left", "ue4 Ud5", "e4d5", true},
        {"capture to the right", "ue4 Tf5", "e4f5", true},
        {"capture of the king", "ue4 Mf5", "e4f5", true},
        {"capture of own piece", "ue4 kf5", "e4f5", false},
        {"capture backward", "ue4 Ud3", "e4d3", false},
        {"capture two files away", "ue4 Uc5", "e4c5", false},
        {"capture two ranks away", "ue4 Uf6", "e4f6", false},
        {"capture does not wrap from file h to file a", "uh4 Ua5", "h4a5", false},
        {"last rank but one: a push is a promotion", "ue7", "e7e8", false},
        {"last rank but one: a capture is a promotion", "ue7 Td8", "e7d8", false},
    };
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

TEST(Movement, Knights) {
    std::vector<MoveCase> cases;
    for (const char* to : {"e6", "f5", "f3", "e2", "c2", "b3", "b5", "c6"}) {
        const std::string request = std::string("d4") + to;
        cases.push_back({"jump", "kd4", request, true});
        cases.push_back(
            {"jump over a ring of pieces", "kd4 uc3 Ud3 ue3 Uc4 Ue4 uc5 Ud5 ue5", request, true});
        cases.push_back(
            {"jump onto the other side's piece", std::string("kd4 T") + to, request, true});
        cases.push_back({"jump onto own piece", std::string("kd4 t") + to, request, false});
    }
    const MoveCase other[] = {
        {"two squares straight", "kd4", "d4d6", false},
        {"three squares along the rank", "kd4", "d4g4", false},
        {"one square", "kd4", "d4d5", false},
        {"one square diagonally", "kd4", "d4e5", false},
        {"two squares diagonally", "kd4", "d4f6", false},
        {"three by one", "kd4", "d4e7", false},
        {"two by two back", "kd4", "d4f2", false},
        {"standing still", "kd4", "d4d4", false},
        {"from the corner", "kh1", "h1g3", true},
        {"into the corner", "kb3", "b3a1", true},
        {"no wrap from file h to file a", "kh4", "h4a5", false},
        {"no wrap from file a to file h", "ka4", "a4h6", false},
    };
    cases.insert(cases.end(), std::begin(other), std::end(other));
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

struct Run {
    const char* from;
    int rank_step;
    int file_step;
};

std::string square_name(Square square) {
    return {static_cast<char>('a' + square.file), static_cast<char>('0' + square.rank)};
}

// Every length 1 to 7 along each ray of the piece: free, onto the other side's piece, onto own
// piece, and with a piece on each square between in turn, the last one before the destination
// included.
std::vector<MoveCase> runs(char piece, const std::array<Run, 4>& rays) {
    std::vector<MoveCase> cases;
    for (const Run& ray : rays) {
        const Square from = sq(ray.from);
        const std::string start = std::string(1, piece) + ray.from;
        for (int length = 1; length <= 7; ++length) {
            const Square to{from.rank + ray.rank_step * length, from.file + ray.file_step * length};
            const std::string request = ray.from + square_name(to);
            const std::string run = "run of " + std::to_string(length);
            cases.push_back({run, start, request, true});
            cases.push_back({run + " onto the other side's piece", start + " K" + square_name(to),
                request, true});
            cases.push_back(
                {run + " onto own piece", start + " k" + square_name(to), request, false});
            for (int between = 1; between < length; ++between) {
                const Square blocker{
                    from.rank + ray.rank_step * between, from.file + ray.file_step * between};
                const char blocking = between % 2 == 0 ? 'u' : 'U';
                cases.push_back({run + " over a piece on square " + std::to_string(between),
                    start + " " + blocking + square_name(blocker), request, false});
            }
        }
    }
    return cases;
}

constexpr std::array<Run, 4> diagonals{
    {{"a1", 1, 1}, {"h1", 1, -1}, {"a8", -1, 1}, {"h8", -1, -1}}};
constexpr std::array<Run, 4> lines{{{"c1", 1, 0}, {"f8", -1, 0}, {"a3", 0, 1}, {"h6", 0, -1}}};

TEST(Movement, Bishops) {
    std::vector<MoveCase> cases = runs('f', diagonals);
    const MoveCase other[] = {
        {"along a file", "fd4", "d4d6", false},
        {"along a rank", "fd4", "d4g4", false},
        {"knight's jump", "fd4", "d4e6", false},
        {"two by one", "fd4", "d4f5", false},
        {"standing still", "fd4", "d4d4", false},
        {"no wrap from file h to file a", "fh3", "h3a4", false},
    };
    cases.insert(cases.end(), std::begin(other), std::end(other));
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

TEST(Movement, Rooks) {
    std::vector<MoveCase> cases = runs('t', lines);
    const MoveCase other[] = {
        {"diagonal", "td4", "d4f6", false},
        {"knight's jump", "td4", "d4e6", false},
        {"standing still", "td4", "d4d4", false},
    };
    cases.insert(cases.end(), std::begin(other), std::end(other));
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

TEST(Movement, Queens) {
    std::vector<MoveCase> cases = runs('d', diagonals);
    const std::vector<MoveCase> straight = runs('d', lines);
    cases.insert(cases.end(), straight.begin(), straight.end());
    const MoveCase other[] = {
        {"knight's jump", "dd4", "d4e6", false},
        {"three by one", "dd4", "d4e7", false},
        {"standing still", "dd4", "d4d4", false},
    };
    cases.insert(cases.end(), std::begin(other), std::end(other));
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

TEST(Movement, Promotion) {
    std::vector<MoveCase> cases;
    for (const char letter : {'t', 'k', 'f', 'd', 'T', 'K', 'F', 'D'}) {
        cases.push_back({std::string("straight to ") + letter, "ue7", "e7e8", true, letter});
        cases.push_back({std::string("capture to ") + letter, "ue7 Td8", "e7d8", true, letter});
    }
    for (const char letter : {'u', 'U', 'o', 'x', 'p', '\n'}) {
        cases.push_back({"refused letter", "ue7", "e7e8", false, letter});
    }
    const MoveCase other[] = {
        {"straight onto own piece", "ue7 ke8", "e7e8", false, 'd'},
        {"straight onto the other side's piece", "ue7 Ke8", "e7e8", false, 'd'},
        {"capture of the other side's pawn", "ue7 Uf8", "e7f8", true, 'k'},
        {"diagonal onto an empty square", "ue7", "e7d8", false, 'd'},
        {"diagonal onto own piece", "ue7 td8", "e7d8", false, 'd'},
        {"two files away", "ue7 Tc8", "e7c8", false, 'd'},
        {"from the rank before", "ue6", "e6e8", false, 'd'},
        {"backward", "ue7", "e7e6", false, 'd'},
    };
    cases.insert(cases.end(), std::begin(other), std::end(other));
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

TEST(Movement, Castling) {
    const MoveCase cases[] = {
        {"king side", "me1 th1", "e1g1", true},
        {"queen side", "me1 ta1", "e1c1", true},
        {"king side, king in check", "me1 th1 Te5", "e1g1", true},
        {"king side, the square passed over attacked", "me1 th1 Tf5", "e1g1", true},
        {"queen side, the square passed over attacked", "me1 ta1 Td5", "e1c1", true},
        {"queen side, b1 attacked", "me1 ta1 Tb5", "e1c1", true},
        {"king side, a pawn in front of the destination", "me1 th1 Ug2", "e1g1", true},
        {"king side, king away from e1", "md1 th1", "d1f1", false},
        {"king side, king off its home rank", "me2 th1 th2", "e2g2", false},
        {"king side, rook away from h1", "me1 th2", "e1g1", false},
        {"king side, the other side's rook on h1", "me1 Th1", "e1g1", false},
        {"king side, a knight on h1", "me1 kh1", "e1g1", false},
        {"king side, own piece on f1", "me1 th1 ff1", "e1g1", false},
        {"king side, the other side's piece on f1", "me1 th1 Ff1", "e1g1", false},
        {"king side, own piece on g1", "me1 th1 kg1", "e1g1", false},
        {"king side, the other side's piece on g1", "me1 th1 Kg1", "e1g1", false},
        {"king side, g1 seen by a knight", "me1 th1 Kh3", "e1g1", false},
        {"king side, g1 seen by a bishop", "me1 th1 Fc5", "e1g1", false},
        {"king side, g1 seen by a queen on the diagonal", "me1 th1 Dd4", "e1g1", false},
        {"king side, g1 seen by a rook", "me1 th1 Tg7", "e1g1", false},
        {"king side, g1 seen by a queen on the file", "me1 th1 Dg8", "e1g1", false},
        {"king side, g1 seen by a pawn", "me1 th1 Uh2", "e1g1", false},
        {"king side, g1 seen by a pawn on f2", "me1 th1 Uf2", "e1g1", false},
        {"queen side, rook away from a1", "me1 tb2", "e1c1", false},
        {"queen side, the other side's rook on a1", "me1 Ta1", "e1c1", false},
        {"queen side, the knight still at home", "me1 ta1 kb1", "e1c1", false},
        {"queen side, the other side's piece on b1", "me1 ta1 Kb1", "e1c1", false},
        {"queen side, own piece on c1", "me1 ta1 fc1", "e1c1", false},
        {"queen side, the other side's piece on c1", "me1 ta1 Fc1", "e1c1", false},
        {"queen side, own piece on d1", "me1 ta1 dd1", "e1c1", false},
        {"queen side, the other side's piece on d1", "me1 ta1 Dd1", "e1c1", false},
        {"queen side, c1 seen by a knight", "me1 ta1 Kb3", "e1c1", false},
        {"queen side, c1 seen by a bishop", "me1 ta1 Ff4", "e1c1", false},
        {"queen side, c1 seen by a queen on the diagonal", "me1 ta1 Da3", "e1c1", false},
        {"queen side, c1 seen by a rook", "me1 ta1 Tc7", "e1c1", false},
        {"queen side, c1 seen by a queen on the file", "me1 ta1 Dc8", "e1c1", false},
        {"queen side, c1 seen by a pawn", "me1 ta1 Ub2", "e1c1", false},
        {"queen side, c1 seen by a pawn on d2", "me1 ta1 Ud2", "e1c1", false},
        {"three squares toward the rook", "me1 ta1", "e1b1", false},
    };
    for (const MoveCase& c : cases) {
        check_case(c);
    }
}

// The cross-check below: a movement rule written again here from the rules of the game, in a
// few lines per piece, on the board read as letters.
class Letters {
public:
    explicit Letters(const GameState& state)
        : rows_(board_rows(state)) { }

    // The letter on a square: a request letter, M or m for a king, '.' or ':' when empty.
    [[nodiscard]] char at(int rank, int file) const {
        return rows_[static_cast<std::size_t>((8 - rank) * 12 + 4 + file)];
    }

private:
    std::string rows_; // "\n 8 " and eight letters per rank
};

bool vacant(char letter) {
    return letter == '.' || letter == ':';
}

bool belongs(char letter, bool small) {
    return !vacant(letter) && (std::islower(static_cast<unsigned char>(letter)) != 0) == small;
}

// Whether every square strictly between the two, on a straight or diagonal run, is empty.
bool clear_between(const Letters& b, int rank, int file, int to_rank, int to_file) {
    const int rank_step = (to_rank > rank) - (to_rank < rank);
    const int file_step = (to_file > file) - (to_file < file);
    for (rank += rank_step, file += file_step; rank != to_rank || file != to_file;
         rank += rank_step, file += file_step) {
        if (!vacant(b.at(rank, file))) {
            return false;
        }
    }
    return true;
}

// Whether the side to move may send the piece on the from-square to the destination by the
// piece's own movement, before any question of the kings' safety; castling is the king's move of
// two squares from e1 or e8 toward its own rook with the squares between empty.
bool moves_like_its_piece(
    const Letters& b, bool small, int rank, int file, int to_rank, int to_file) {
    const char piece = b.at(rank, file);
    const char target = b.at(to_rank, to_file);
    if (!belongs(piece, small) || belongs(target, small)) {
        return false;
    }
    const int dr = to_rank - rank;
    const int df = to_file - file;
    const int ahead = small ? 1 : -1;
    const bool diagonal = dr != 0 && std::abs(dr) == std::abs(df);
    const bool straight = (dr == 0) != (df == 0);
    switch (std::tolower(static_cast<unsigned char>(piece))) {
    case 'u':
        if (rank == (small ? 7 : 2)) {
            return false; // its next step is a promotion, which names a piece
        }
        return (dr == ahead && df == 0 && vacant(target))
            || (rank == (small ? 2 : 7) && dr == 2 * ahead && df == 0
                && vacant(b.at(rank + ahead, file)) && vacant(target))
            || (dr == ahead && std::abs(df) == 1 && belongs(target, !small));
    case 'k':
        return std::abs(dr * df) == 2;
    case 'f':
        return diagonal && clear_between(b, rank, file, to_rank, to_file);
    case 't':
        return straight && clear_between(b, rank, file, to_rank, to_file);
    case 'd':
        return (diagonal || straight) && clear_between(b, rank, file, to_rank, to_file);
    case 'm': {
        const int home = small ? 1 : 8;
        const char rook = small ? 't' : 'T';
        const int corner = df > 0 ? 7 : 0;
        const bool castling = rank == home && file == 4 && dr == 0 && std::abs(df) == 2
            && b.at(home, corner) == rook && clear_between(b, home, 4, home, corner);
        return std::max(std::abs(dr), std::abs(df)) == 1 || castling;
    }
    default:
        return false;
    }
}

// Whether the request was refused with a warning of the king-safety analyses or of the king
// steps.
bool refused_for_safety(const Report& report) {
    for (Message message : {Message::king_dest_diagonal, Message::king_dest_knight,
             Message::king_dest_line, Message::king_dest_king, Message::pin_diagonal,
             Message::pin_line, Message::knight_check_remains, Message::still_check_diagonal,
             Message::still_check_rank, Message::still_check_adjacent}) {
        if (report.count(message) != 0) {
            return true;
        }
    }
    return false;
}

struct Position {
    GameState state;
    bool check_in_force; // the last change of the board announced a check
};

// The positions of a recorded game, one after every request that changed the board.
std::vector<Position> positions_of(const std::string& input) {
    std::vector<Position> positions;
    StringConsole console{input};
    Game game(console);
    if (!start_game(game)) {
        return positions;
    }
    positions.push_back({game.state, false});
    for (std::string before = board_rows(game.state); request_pass(game).pass != Pass::quit;) {
        const std::string after = board_rows(game.state);
        if (after != before) {
            positions.push_back({game.state, announced_check(game.state.report)});
        }
        before = after;
        console.clear_output();
    }
    return positions;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

// Every from-square and destination pair, sent as one request in positions of the recorded
// games, is carried out exactly when the rule above allows it, unless the referee explains a
// refusal by the kings' safety or a check is in force (its refusals of moves that leave a check
// unanswered are silent). It sends about a million requests in some 250 positions (it prints the
// figures) in about a second.
TEST(EveryRequest, IsJudgedByTheMovesOfItsPiece) {
    // Positions of each game: every twentieth, from the tenth on, and the starting position once;
    // every eightieth under the sanitizers, which make each request some fifty times slower.
    constexpr std::size_t every = sanitized ? 80 : 20;
    std::vector<std::filesystem::path> games;
    for (const auto& entry : std::filesystem::directory_iterator(REFEREE_GOLDEN_DIR)) {
        if (entry.path().extension() == ".in") {
            games.push_back(entry.path());
        }
    }
    std::sort(games.begin(), games.end());
    std::vector<std::pair<std::string, Position>> tried;
    std::set<std::string> seen;
    for (const std::filesystem::path& path : games) {
        const std::vector<Position> positions = positions_of(read_file(path));
        for (std::size_t at = 0; at < positions.size(); at += at == 0 ? every / 2 : every) {
            const Position& p = positions[at];
            const std::string key = board_rows(p.state)
                + std::to_string(p.state.current_turn().number() % 2)
                + (p.check_in_force ? "+" : "");
            if (seen.insert(key).second) {
                tried.emplace_back(
                    path.filename().string() + ", position " + std::to_string(at), p);
            }
        }
    }
    std::size_t pairs = 0;
    std::size_t carried = 0;
    for (const auto& [where, p] : tried) {
        const Letters board(p.state);
        const std::string rows = board_rows(p.state);
        const bool small = p.state.current_turn().side() == Side::small;
        StringConsole console{""};
        Game game(console);
        for (int from = 0; from < 64; ++from) {
            for (int to = 0; to < 64; ++to) {
                const Square a{from / 8 + 1, from % 8};
                const Square b{to / 8 + 1, to % 8};
                const std::string typed = square_name(a) + square_name(b);
                game.state = p.state;
                console.append_input(typed + "d\n");
                ++pairs;
                request_pass(game);
                const std::string out = console.output();
                console.clear_output();
                const bool allowed
                    = moves_like_its_piece(board, small, a.rank, a.file, b.rank, b.file);
                const bool moved = board_rows(game.state) != rows;
                carried += moved ? 1 : 0;
                if (moved != allowed
                    && !(allowed && (p.check_in_force || refused_for_safety(game.state.report)))) {
                    ADD_FAILURE() << where << ", " << (small ? "small" : "big")
                                  << " side to move: " << typed
                                  << (moved ? " carried out" : " refused") << rows << "\n"
                                  << view(out);
                    return;
                }
                if (moved) {
                    // The piece itself went where it was sent.
                    const char piece = board.at(a.rank, a.file);
                    EXPECT_EQ(Letters(game.state).at(b.rank, b.file), piece) << typed;
                    EXPECT_TRUE(vacant(Letters(game.state).at(a.rank, a.file))) << typed;
                }
            }
        }
    }
    std::cout << "[ tried    ] " << pairs << " requests in " << tried.size()
              << " positions of the recorded games; " << carried << " carried out\n";
    EXPECT_GT(carried, 1000u);
}

} // namespace
} // namespace referee::test
