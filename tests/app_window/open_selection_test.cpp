#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ui/open_selection.h"

namespace tavro {
namespace {

// Builds a dialog buffer from strings joined by zero bytes, with a final extra zero.
std::string buffer(const std::vector<std::string>& strings) {
    std::string bytes;
    for (const auto& s : strings)
        bytes += s + '\0';
    return bytes + '\0';
}

struct SelectionCase {
    const char* name;
    std::vector<std::string> strings;
    std::size_t nameOffset;
    std::vector<std::string> expected;
};

TEST(OpenSelection, BuildsThePathList) {
    const SelectionCase cases[] = {
        {"one file", {"C:\\media\\a.avi"}, 9, {"C:\\media\\a.avi"}},
        {"several in dialog order",
         {"C:\\media", "b.avi", "a.ogm"},
         9,
         {"C:\\media\\b.avi", "C:\\media\\a.ogm"}},
        {"root folder keeps one backslash",
         {"C:\\", "x.avi", "y.avi"},
         4,
         {"C:\\x.avi", "C:\\y.avi"}},
        {"empty buffer", {""}, 0, {}},
        {"folder without names", {"C:\\media"}, 9, {}},
    };
    for (const auto& c : cases) {
        const std::string bytes = buffer(c.strings);
        EXPECT_EQ(parseOpenSelection(bytes.data(), bytes.size(), c.nameOffset), c.expected)
            << c.name;
    }
}

TEST(OpenSelection, CutsAtOneThousandFiles) {
    std::vector<std::string> strings = {"D:\\clips"};
    for (int i = 0; i < 1200; ++i)
        strings.push_back(std::to_string(i) + ".avi");
    const std::string bytes = buffer(strings);
    const auto paths = parseOpenSelection(bytes.data(), bytes.size(), 9);
    ASSERT_EQ(paths.size(), kMaxBatchFiles);
    EXPECT_EQ(paths.front(), "D:\\clips\\0.avi");
    EXPECT_EQ(paths.back(), "D:\\clips\\999.avi");
}

TEST(OpenSelection, StopsAtTheEndOfTheBuffer) {
    // No terminator after the last name: it is cut short and not taken, and nothing
    // is read past the buffer.
    std::string bytes = std::string("C:\\m") + '\0' + "a.avi" + '\0' + "b.av";
    EXPECT_EQ(parseOpenSelection(bytes.data(), bytes.size(), 5),
              std::vector<std::string>{"C:\\m\\a.avi"});
    const std::string unterminated = "C:\\media\\a.avi";
    EXPECT_TRUE(parseOpenSelection(unterminated.data(), unterminated.size(), 9).empty());
    EXPECT_TRUE(parseOpenSelection(nullptr, 0, 0).empty());
}

TEST(OpenSelection, FirstStringIsCutTo259) {
    const std::string longPath(400, 'p');
    const std::string bytes = buffer({longPath, "a.avi"});
    EXPECT_EQ(firstSelectionString(bytes.data(), bytes.size()), std::string(259, 'p'));
    EXPECT_EQ(firstSelectionString(longPath.data(), 10), std::string(10, 'p'));
}

TEST(CommandLine, TakesTheFirstNonSwitchThenTheRest) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> expected;
    } cases[] = {
        {{"tavro.exe"}, {}},
        {{"tavro.exe", "a.avi", "b.avi"}, {"a.avi", "b.avi"}},
        {{"tavro.exe", "a.avi", "-x", "", "/y", "c.avi"}, {"a.avi", "c.avi"}},
        // The start-up file is not listed twice when a switch comes first.
        {{"tavro.exe", "/s", "a.avi", "b.avi"}, {"a.avi", "b.avi"}},
        {{"tavro.exe", "-only"}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(commandLineFiles(c.args), c.expected);

    std::vector<std::string> many = {"tavro.exe"};
    for (int i = 0; i < 1005; ++i)
        many.push_back("f" + std::to_string(i));
    EXPECT_EQ(commandLineFiles(many).size(), kMaxBatchFiles);
}

TEST(CommandLine, ProgramFolderEndsWithItsBackslash) {
    EXPECT_EQ(programFolderOf("C:\\Program Files\\Tavro\\tavro.exe"), "C:\\Program Files\\Tavro\\");
    EXPECT_EQ(programFolderOf("tavro.exe"), "");
}

TEST(Counter, PadsLikeTheBatchButton) {
    EXPECT_EQ(counterText(3, 12), "  3/12 ");
    EXPECT_EQ(counterText(1, 1), "  1/1  ");
    EXPECT_EQ(counterText(1000, 1000), "1000/1000");
}

} // namespace
} // namespace tavro
