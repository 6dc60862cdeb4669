// The referee's shared vocabulary: sides, ray directions, tri-state flags, cell codes and squares.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace referee {

// The small side (lower-case letters, moves up the board, moves first) and the big side.
enum class Side { small, big };

constexpr Side opponent(Side side) {
    return side == Side::small ? Side::big : Side::small;
}

// Rank step of a pawn moving forward: the small side moves up, the big side down.
constexpr int forward(Side side) {
    return side == Side::small ? 1 : -1;
}

// The eight rays. Up is toward rank 8, right toward file h.
enum class Dir { up, down, left, right, up_right, up_left, down_left, down_right };

struct Step {
    int rank;
    int file;
};

constexpr Step step_of(Dir dir) {
    constexpr std::array<Step, 8> steps{{
        {1, 0},
        {-1, 0},
        {0, -1},
        {0, 1},
        {1, 1},
        {1, -1},
        {-1, -1},
        {-1, 1},
    }};
    return steps[static_cast<std::size_t>(dir)];
}

constexpr Dir opposite(Dir dir) {
    constexpr std::array<Dir, 8> opposites{Dir::down, Dir::up, Dir::right, Dir::left,
        Dir::down_left, Dir::down_right, Dir::up_right, Dir::up_left};
    return opposites[static_cast<std::size_t>(dir)];
}

inline constexpr std::array<Dir, 4> straight_dirs{Dir::up, Dir::down, Dir::left, Dir::right};
inline constexpr std::array<Dir, 4> diagonal_dirs{
    Dir::up_right, Dir::up_left, Dir::down_left, Dir::down_right};
inline constexpr std::array<Dir, 8> all_dirs{Dir::up, Dir::down, Dir::left, Dir::right,
    Dir::up_right, Dir::up_left, Dir::down_left, Dir::down_right};

// A value kept per side, indexed by Side.
template <class T> class PerSide {
public:
    constexpr PerSide() = default;
    constexpr PerSide(T small, T big)
        : values_{small, big} { }
    constexpr T& operator[](Side side) { return values_[static_cast<std::size_t>(side)]; }
    constexpr const T& operator[](Side side) const {
        return values_[static_cast<std::size_t>(side)];
    }

private:
    std::array<T, 2> values_{};
};

// A value kept per ray, indexed by Dir.
template <class T> class PerDir {
public:
    constexpr T& operator[](Dir dir) { return values_[static_cast<std::size_t>(dir)]; }
    constexpr const T& operator[](Dir dir) const { return values_[static_cast<std::size_t>(dir)]; }

private:
    std::array<T, 8> values_{};
};

// An analysis result: unset before its producer first runs, then yes or no. Unset satisfies
// neither a test for yes nor a test for no.
enum class Tri : std::int32_t { unset = 0, yes = 1, no = 2 };

constexpr Tri tri(bool holds) {
    return holds ? Tri::yes : Tri::no;
}

// Cell codes. Each is also the code page 437 character the console shows for it.
// OFF_BOARD is what a probe beyond the edge finds; NOTHING is what a walk reports when its
// limit runs out over empty squares. Neither is ever stored on the board.
enum Code : std::int32_t {
    OFF_BOARD = -1,
    NOTHING = 0,
    EMPTY_LIGHT = 255,
    EMPTY_DARK = 177,
    BIG_PAWN = 220,
    BIG_ROOK = 174,
    BIG_KNIGHT = 172,
    BIG_BISHOP = 2,
    BIG_QUEEN = 178,
    BIG_KING = 5,
    SMALL_PAWN = 22,
    SMALL_ROOK = 127,
    SMALL_KNIGHT = 171,
    SMALL_BISHOP = 1,
    SMALL_QUEEN = 219,
    SMALL_KING = 6,
};

// Piece kinds; the first five are the counted ones, in the order of a side's counters.
enum class Kind { rook, pawn, knight, bishop, queen, king };

inline constexpr std::size_t counted_kinds = 5;

constexpr Code code_of(Side side, Kind kind) {
    constexpr std::array<Code, 6> big{
        BIG_ROOK, BIG_PAWN, BIG_KNIGHT, BIG_BISHOP, BIG_QUEEN, BIG_KING};
    constexpr std::array<Code, 6> small{
        SMALL_ROOK, SMALL_PAWN, SMALL_KNIGHT, SMALL_BISHOP, SMALL_QUEEN, SMALL_KING};
    return (side == Side::big ? big : small)[static_cast<std::size_t>(kind)];
}

constexpr Code king_of(Side side) {
    return code_of(side, Kind::king);
}

constexpr bool is_empty(Code code) {
    return code == EMPTY_LIGHT || code == EMPTY_DARK;
}

inline constexpr std::array<Kind, 6> all_kinds{
    Kind::rook, Kind::pawn, Kind::knight, Kind::bishop, Kind::queen, Kind::king};

constexpr bool is_piece_of(Code code, Side side) {
    // Iterators rather than a range: libc++ 14 has no ranges algorithms yet.
    return std::any_of(
        all_kinds.begin(), all_kinds.end(), [&](Kind kind) { return code == code_of(side, kind); });
}

// A square: rank 1..8 as typed, file index 0..7 for a..h. Squares off the board are allowed
// as values; probing them finds OFF_BOARD.
struct Square {
    int rank;
    int file;

    [[nodiscard]] constexpr bool on_board() const {
        return rank >= 1 && rank <= 8 && file >= 0 && file <= 7;
    }
    constexpr Square operator+(Step step) const { return {rank + step.rank, file + step.file}; }
    constexpr Square operator+(Dir dir) const { return *this + step_of(dir); }
    constexpr bool operator==(const Square&) const = default;
};

// The empty code of a square's own colour: light when rank + file index is even.
constexpr Code empty_shade(Square square) {
    return (square.rank + square.file) % 2 == 0 ? EMPTY_LIGHT : EMPTY_DARK;
}

// The eight knight jumps.
inline constexpr std::array<Step, 8> knight_jumps{{
    {2, 1},
    {2, -1},
    {-2, 1},
    {-2, -1},
    {1, 2},
    {1, -2},
    {-1, 2},
    {-1, -2},
}};

} // namespace referee
