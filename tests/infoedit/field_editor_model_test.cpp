// The field editor's list, names and OK values, apart from its window.
#include <gtest/gtest.h>

#include "infoedit/field_editor_model.h"

namespace tavro {
namespace {

TEST(FieldEditorModel, ListOffersEveryFieldAfterTheChoiceItem) {
    std::vector<std::string> edit = fieldEditorItems(FieldEditorMode::Edit);
    std::vector<std::string> add = fieldEditorItems(FieldEditorMode::New);
    ASSERT_EQ(edit.size(), 26u);
    EXPECT_EQ(edit[0], "       {no change}");
    EXPECT_EQ(add[0], "          {select}");
    EXPECT_EQ(edit[1], "IARL: Archival Location");
    EXPECT_EQ(edit[25], "ITCH: Technician");
    EXPECT_FALSE(fieldEditorItemIsField(edit[0]));
    EXPECT_FALSE(fieldEditorItemIsField(add[0]));
    EXPECT_TRUE(fieldEditorItemIsField(edit[16]));
}

TEST(FieldEditorModel, NamesIdsAndText) {
    EXPECT_EQ(fieldEditorNameFor("INAM"), "INAM: Name");
    EXPECT_EQ(fieldEditorNameFor("IXYZ"), "IXYZ: {unknown}");
    EXPECT_EQ(fieldEditorNameFor("IN"), "IN: {unknown}");
    EXPECT_EQ(fieldEditorIdOf("ISFT: Software"), "ISFT");
    EXPECT_EQ(fieldEditorTextOf(std::string(100, 'a')), std::string(63, 'a'));
    EXPECT_EQ(fieldEditorTextOf("short"), "short");
}

} // namespace
} // namespace tavro
