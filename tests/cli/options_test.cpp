// The command line: options anywhere before "--", values, and refusals.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "cli/options.h"

namespace tavro {
namespace {

struct ParseCase {
    std::vector<std::string> args;
    bool ok;
    std::vector<std::string> paths;
    bool json, jsonl, recursive;
    int jobs;
};

TEST(CliOptions, ParsesTheTable) {
    const ParseCase cases[] = {
        {{"a.avi", "--json"}, true, {"a.avi"}, true, false, false, 0}, // option after a file
        {{"--jsonl", "-r", "dir", "--jobs", "4"}, true, {"dir"}, false, true, true, 4},
        {{"--jobs=2", "x", "-j", "3"}, true, {"x"}, false, false, false, 3},
        {{"--", "--json", "-r"}, true, {"--json", "-r"}, false, false, false, 0},
        {{"-", "a"}, true, {"-", "a"}, false, false, false, 0}, // "-" is a name
        {{"--json", "--jsonl", "a"}, false, {}, false, false, false, 0},
        {{"--json", "--json", "a"}, false, {}, false, false, false, 0},
        {{"--bogus", "a"}, false, {}, false, false, false, 0},
        {{"--jobs", "0", "a"}, false, {}, false, false, false, 0},
        {{"--jobs", "2x", "a"}, false, {}, false, false, false, 0},
        {{"a", "--jobs"}, false, {}, false, false, false, 0},
        {{"--json=1", "a"}, false, {}, false, false, false, 0},
        {{"--json"}, false, {}, false, false, false, 0},            // no file
        {{"--codecs", "a.avi"}, false, {}, false, false, false, 0}, // codecs take none
    };
    for (const ParseCase& c : cases) {
        CliOptions o;
        std::string error;
        std::string where = c.args.empty() ? "" : c.args[0] + " ...";
        ASSERT_EQ(parseCommandLine(c.args, o, error), c.ok) << where << ": " << error;
        if (!c.ok) {
            EXPECT_FALSE(error.empty()) << where;
            continue;
        }
        EXPECT_EQ(o.paths, c.paths) << where;
        EXPECT_EQ(o.json, c.json) << where;
        EXPECT_EQ(o.jsonl, c.jsonl) << where;
        EXPECT_EQ(o.recursive, c.recursive) << where;
        EXPECT_EQ(o.jobs, c.jobs) << where;
    }
}

TEST(CliOptions, ListsFromFilesAndHelp) {
    CliOptions o;
    std::string error;
    ASSERT_TRUE(parseCommandLine({"--files-from", "-", "--files-from=l.txt"}, o, error)) << error;
    EXPECT_EQ(o.filesFrom, (std::vector<std::string>{"-", "l.txt"}));
    CliOptions h;
    ASSERT_TRUE(parseCommandLine({"--help"}, h, error));
    EXPECT_TRUE(h.help);
    // --version stands alone like --help: no file needed.
    CliOptions v;
    ASSERT_TRUE(parseCommandLine({"--version"}, v, error)) << error;
    EXPECT_TRUE(v.version);
    // Every option of the table is in the usage text.
    for (const OptionSpec& s : optionTable())
        EXPECT_NE(usageText().find(s.name), std::string::npos) << s.name;
}

#ifndef _WIN32
// The man page and the bash completion are written by hand: a new option must
// reach both. (The INFO editor's --set and --output are parsed apart.)
TEST(CliOptions, ManPageAndCompletionKnowEveryOption) {
    const std::string folder = std::string(TAVRO_SOURCE_DIR) + "/packaging/linux/";
    for (const char* file : {"tavro-cli.1.in", "tavro-cli.bash"}) {
        std::ifstream in(folder + file);
        ASSERT_TRUE(in) << file;
        std::string text((std::istreambuf_iterator<char>(in)), {});
        // The man page escapes each hyphen of an option name.
        const bool roff = std::string(file).find(".1") != std::string::npos;
        std::vector<std::string> names = {"--set", "--output"};
        for (const OptionSpec& s : optionTable()) {
            names.push_back(s.name);
            if (s.alias) names.push_back(s.alias);
        }
        for (std::string name : names) {
            if (roff)
                for (size_t at = name.find('-'); at != std::string::npos;
                     at = name.find('-', at + 2))
                    name.insert(at, "\\");
            EXPECT_NE(text.find(name), std::string::npos) << name << " is not in " << file;
        }
    }
}
#endif

} // namespace
} // namespace tavro
