// Standard output in blocks: whatever mix of small and large texts is written, the
// bytes arrive whole and in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include "cli/console_output.h"

namespace tavro {
namespace {

#ifdef _WIN32
int copyFd(int fd) {
    return _dup(fd);
}
void restoreFd(int from, int to) {
    _dup2(from, to), _close(from);
}
int stdoutFd() {
    return _fileno(stdout);
}
#else
int copyFd(int fd) {
    return dup(fd);
}
void restoreFd(int from, int to) {
    dup2(from, to), close(from);
}
int stdoutFd() {
    return fileno(stdout);
}
#endif

// Runs `write` with standard output sent to a file; returns what arrived.
template <typename Write> std::string captured(Write write) {
    const std::string path = testing::TempDir() + "console_output_test.txt";
    std::fflush(stdout);
    const int saved = copyFd(stdoutFd());
    EXPECT_NE(std::freopen(path.c_str(), "wb", stdout), nullptr);
    write();
    std::fflush(stdout);
    restoreFd(saved, stdoutFd());
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(ConsoleOutput, KeepsOrderAcrossSmallAndLargeTexts) {
    // Sizes around the block (256 KiB) and a quarter of it, which go out unheld.
    const std::vector<std::vector<size_t>> runs = {
        {10, 300000, 10},         {70000, 70000, 70000, 70000}, {262144, 1},
        {1, 65535, 65536, 65537}, {200000, 100000, 5},          {0, 600000, 0, 3},
    };
    for (const auto& sizes : runs) {
        std::string want;
        const std::string got = captured([&] {
            ConsoleOutput out;
            out.keepLineEnds();
            char fill = 'a';
            for (size_t n : sizes) {
                const std::string text(n, fill++);
                want += text;
                out.write(text);
            }
        });
        ASSERT_EQ(got.size(), want.size()) << sizes.size();
        EXPECT_TRUE(got == want) << sizes.size();
    }
}

} // namespace
} // namespace tavro
