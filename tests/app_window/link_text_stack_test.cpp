#include <gtest/gtest.h>

#include "app/ui/link_text_stack.h"
#include "app/ui/tooltip_rule.h"

namespace tavro {
namespace {

TEST(LinkTextStack, PopsInReverseAndKeepsTheLatestFour) {
    LinkTextStack stack;
    LinkState state{"untouched", true};
    EXPECT_FALSE(stack.pop(state));
    EXPECT_EQ(state.text, "untouched");

    for (int i = 1; i <= 6; ++i)
        stack.push({"t" + std::to_string(i), i % 2 == 0});
    EXPECT_EQ(stack.size(), LinkTextStack::kDepth);
    const char* expected[] = {"t6", "t5", "t4", "t3"};
    for (const char* text : expected) {
        ASSERT_TRUE(stack.pop(state));
        EXPECT_EQ(state.text, text);
    }
    EXPECT_FALSE(stack.pop(state));
}

TEST(TooltipRule, TitleTipWinsOnGreen) {
    const Tooltip full = chooseTooltip("C:\\a very long path\\clip.avi", "Name of the file");
    EXPECT_EQ(full.text, "C:\\a very long path\\clip.avi");
    EXPECT_EQ(full.background, 0xE0FFE0u);
    const Tooltip own = chooseTooltip("", "Name of the file");
    EXPECT_EQ(own.text, "Name of the file");
    EXPECT_EQ(own.background, 0xE7FFFFu);
}

} // namespace
} // namespace tavro
