// referee_view: runs a game on the bytes of standard input and prints the readable transcript
// that the golden tests compare, for writing and reviewing tests/golden/*.out.
#include "support.h"

#include <iostream>
#include <iterator>

int main() {
    const std::string input{
        std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    const referee::test::RunResult result = referee::test::run(input);
    std::cout << referee::test::view(result.output) << "\n[exit " << result.status << "]\n";
    return 0;
}
