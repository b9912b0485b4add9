#include "codecs/version_strings.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

uint32_t entry(uint16_t language, uint16_t codePage) {
    return static_cast<uint32_t>(codePage) << 16 | language;
}

TEST(VersionTranslation, PreferenceOrder) {
    struct Case {
        const char* name;
        std::vector<uint32_t> entries;
        uint16_t user;
        int chosen;
    };
    const Case cases[] = {
        {"exact user language", {entry(0x0409, 1252), entry(0x0407, 1252)}, 0x0407, 1},
        {"same primary language", {entry(0x0409, 1252), entry(0x0807, 1252)}, 0x0407, 1},
        {"neutral", {entry(0x0409, 1252), entry(0x0000, 1200)}, 0x040C, 1},
        {"English", {entry(0x0410, 1252), entry(0x0809, 1252)}, 0x040C, 1},
        {"first", {entry(0x0410, 1252), entry(0x0411, 932)}, 0x040C, 0},
        {"none", {}, 0x0409, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseVersionTranslation(c.entries.data(), c.entries.size(), c.user), c.chosen)
            << c.name;
}

} // namespace
} // namespace tavro
