// referee_view: runs a game on the bytes of standard input and prints the readable transcript
// that the golden tests compare, for writing and reviewing tests/golden/*.out. With the argument
// --board=compact the game is drawn with the compact board.
#include "support.h"

#include <iostream>
#include <iterator>
#include <string_view>

int main(int argc, char** argv) {
    const std::string input{
        std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const bool compact = argc > 1 && std::string_view(argv[1]) == "--board=compact";
    const referee::test::RunResult result = referee::test::run(input, referee::GlyphMode::raw,
        compact ? referee::BoardStyle::compact : referee::BoardStyle::full);
    std::cout << referee::test::view(result.output) << "\n[exit " << result.status << "]\n";
    return 0;
}
