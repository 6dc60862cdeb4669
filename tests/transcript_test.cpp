#include "console/string_console.h"
#include "game/request_loop.h"

#include <gtest/gtest.h>

namespace referee {
namespace {

TEST(Transcript, Starts) {
    StringConsole console("14\n0\n");
    EXPECT_EQ(run_referee(console), 1);
}

} // namespace
} // namespace referee
