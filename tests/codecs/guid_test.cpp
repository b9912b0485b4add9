#include "codecs/guid.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tavro {
namespace {

TEST(Guid, ParsesRegistryFormOnly) {
    const struct {
        const char* text;
        bool ok;
    } cases[] = {
        {"{32595559-0000-0010-8000-00AA00389B71}", true},
        {"{32595559-0000-0010-8000-00aa00389b71}", true},
        {"{32595559-0000-0010-8000-00AA00389B71}tail", true},
        {"{32595559-0000-0010-8000-00AA00389B7}", false},
        {"32595559-0000-0010-8000-00AA00389B71", false},
        {"(32595559-0000-0010-8000-00AA00389B71)", false},
        {"{32595559-0000-0010-8000-00AA00389G71}", false},
        {"{32595559-0000-0010-800000-AA00389B71}", false},
        {"{3259555 -0000-0010-8000-00AA00389B71}", false},
        {"{+2595559-0000-0010-8000-00AA00389B71}", false},
        {"", false},
    };
    for (const auto& c : cases) {
        Guid g{};
        EXPECT_EQ(parseRegistryGuid(c.text, std::strlen(c.text), &g), c.ok) << c.text;
    }
    EXPECT_FALSE(parseRegistryGuid(nullptr, 38, nullptr));
}

TEST(Guid, ByteLayoutMatchesThePlatform) {
    Guid g{};
    const char* text = "{32595559-0000-0010-8000-00AA00389B71}";
    ASSERT_TRUE(parseRegistryGuid(text, 38, &g));
    const unsigned char expect[16] = {0x59, 0x55, 0x59, 0x32, 0x00, 0x00, 0x10, 0x00,
                                      0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71};
    // Data1..Data3 are little-endian in memory on every target Tavro builds for.
    EXPECT_EQ(std::memcmp(&g, expect, 16), 0);
    char back[39];
    formatRegistryGuid(g, back);
    EXPECT_STREQ(back, text);
}

TEST(Guid, StopsAtAShortText) {
    // The length says 38, but the text ends early: nothing past its terminator is read.
    char text[40] = "{32595559-0000}";
    Guid g{};
    EXPECT_FALSE(parseRegistryGuid(text, 38, &g));
}

} // namespace
} // namespace tavro
