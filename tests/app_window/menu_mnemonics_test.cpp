// Every menu level of the program's menus gives each item its own access key, so a
// key press never lands on the wrong item.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

// The access key of a menu text: the letter after a single "&"; 0 for none.
char accessKey(const std::string& text) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
    }
    return 0;
}

std::string quoted(const std::string& line) {
    const size_t open = line.find('"');
    const size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    return close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
}

TEST(MenuMnemonics, EachLevelHasDistinctKeys) {
    std::ifstream in(std::string(TAVRO_SOURCE_DIR) + "/resources/tavro.rc");
    ASSERT_TRUE(in.good());
    std::string line;
    bool inMenu = false;
    // One map per open level: key -> the item that took it.
    std::vector<std::map<char, std::string>> levels;
    int items = 0;
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        const std::string word = start == std::string::npos ? "" : line.substr(start);
        if (!inMenu) {
            inMenu = word.find(" MENU") != std::string::npos && word.find("MENUITEM") != 0;
            continue;
        }
        if (word.rfind("BEGIN", 0) == 0) {
            levels.emplace_back();
        } else if (word.rfind("END", 0) == 0) {
            if (!levels.empty()) levels.pop_back();
            if (levels.empty()) inMenu = false;
        } else if (word.rfind("POPUP", 0) == 0 || word.rfind("MENUITEM \"", 0) == 0) {
            ASSERT_FALSE(levels.empty()) << line;
            const std::string text = quoted(word);
            const char key = accessKey(text);
            if (!key) continue;
            ++items;
            auto& taken = levels.back();
            EXPECT_EQ(taken.count(key), 0u)
                << "\"" << text << "\" and \"" << taken[key] << "\" share the key " << key;
            taken[key] = text;
        }
    }
    EXPECT_GT(items, 20);
}

} // namespace
