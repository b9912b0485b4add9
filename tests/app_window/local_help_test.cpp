#include "app/ui/local_help.h"

#include <gtest/gtest.h>

#include "app/ui/link_target.h"
#include "app/ui/popup_layout.h"

namespace tavro {
namespace {

// The dialogs' local links reach a text through the link parser, and the text lays
// out in the popup as plain pieces: a brace would turn it into a dead link.
TEST(LocalHelp, DialogLinksHaveTextsThatLayOutWithoutLinks) {
    for (const char* target : {"tavro://local.info", "tavro://local.legal", "TAVRO://LOCAL.Info"}) {
        const LinkTarget link = parseLinkTarget(target);
        ASSERT_EQ(link.kind, LinkKind::Local) << target;
        const std::string text = localHelpText(link.name);
        ASSERT_FALSE(text.empty()) << target;
        EXPECT_EQ(text.find_first_of("{}"), std::string::npos) << target;
        const PopupLayout layout = layoutPopup(
            text, [](const std::string& s) { return int(s.size()) * 6; }, 13);
        for (const PopupPiece& piece : layout.pieces)
            EXPECT_EQ(piece.linkIndex, -1) << target;
    }
}

TEST(LocalHelp, OtherNamesHaveNoText) {
    for (const char* name : {"", "modes", "info2", "legal "})
        EXPECT_EQ(localHelpText(name), "") << name;
}

} // namespace
} // namespace tavro
