// Whole-program transcripts: each tests/golden/NAME.in is fed to the referee as its standard
// input, and the readable view of the output, followed by the exit status, must equal NAME.out.
#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace referee::test {
namespace {

namespace fs = std::filesystem;

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> golden_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(REFEREE_GOLDEN_DIR)) {
        if (entry.path().extension() == ".in") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public ::testing::TestWithParam<std::string> { };

TEST_P(Golden, OutputMatchesTranscript) {
    const fs::path dir = REFEREE_GOLDEN_DIR;
    const RunResult result = run(read_file(dir / (GetParam() + ".in")));
    const std::string actual
        = view(result.output) + "\n[exit " + std::to_string(result.status) + "]\n";
    EXPECT_EQ(actual, read_file(dir / (GetParam() + ".out")));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, Golden, ::testing::ValuesIn(golden_names()),
    [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

} // namespace
} // namespace referee::test
