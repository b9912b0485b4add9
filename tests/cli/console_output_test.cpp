// Standard output in blocks: whatever mix of small and large texts is written, the
// bytes arrive whole and in order. (Windows keeps every text in the block.)
#ifndef _WIN32
#include "cli/console_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tavro {
namespace {

TEST(ConsoleOutput, KeepsOrderAcrossSmallAndLargeTexts) {
    // Sizes around the block (256 KiB) and a quarter of it, which go out unheld.
    const std::vector<std::vector<size_t>> runs = {
        {10, 300000, 10},         {70000, 70000, 70000, 70000}, {262144, 1},
        {1, 65535, 65536, 65537}, {200000, 100000, 5},          {0, 600000, 0, 3},
    };
    const std::string path = testing::TempDir() + "console_output_test.txt";
    for (const auto& sizes : runs) {
        std::string want;
        std::fflush(stdout);
        const int saved = dup(fileno(stdout));
        ASSERT_NE(std::freopen(path.c_str(), "wb", stdout), nullptr);
        {
            ConsoleOutput out;
            char fill = 'a';
            for (size_t n : sizes) {
                want += std::string(n, fill);
                out.write(std::string(n, fill++));
            }
        }
        std::fflush(stdout);
        dup2(saved, fileno(stdout));
        close(saved);
        std::ifstream in(path, std::ios::binary);
        const std::string got{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_EQ(got.size(), want.size()) << sizes.size();
        EXPECT_TRUE(got == want) << sizes.size();
    }
}

} // namespace
} // namespace tavro
#endif
