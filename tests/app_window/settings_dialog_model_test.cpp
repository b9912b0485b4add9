#include <gtest/gtest.h>

#include "app/ui/settings_dialog_model.h"

namespace tavro {
namespace {

Settings withMode(int32_t mode, uint32_t bits = 0xFFFFFFFFu) {
    Settings s;
    s.runMode = mode;
    s.enableBits = bits;
    return s;
}

TEST(SettingsDialogModel, EnablesBoxesByRunMode) {
    // Boxes in bit order; the last is "Render in batch mode also (slow)".
    const struct {
        int mode;
        int shown;
        bool enabled[kSettingsBoxCount];
    } cases[] = {
        {1, 1, {true, true, true, true, true, true, true, true}},
        {2, 2, {true, true, true, true, false, true, true, true}},
        {3, 3, {false, false, false, false, false, false, false, true}},
        {7, 1, {true, true, true, true, true, true, true, true}},
        {0, 1, {true, true, true, true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        SettingsDialogModel model(withMode(c.mode));
        EXPECT_EQ(model.mode(), c.shown) << c.mode;
        EXPECT_TRUE(model.saveDefaultEnabled());
        for (int box = 0; box < kSettingsBoxCount; ++box)
            EXPECT_EQ(model.boxEnabled(box), c.enabled[box]) << "mode " << c.mode << " box " << box;
        // A click on a radio button applies the same rule at once.
        SettingsDialogModel clicked(withMode(1));
        clicked.selectMode(c.mode);
        for (int box = 0; box < kSettingsBoxCount; ++box)
            EXPECT_EQ(clicked.boxEnabled(box), c.enabled[box]) << "click " << c.mode;
    }
}

TEST(SettingsDialogModel, TicksBoxesFromBitsWithTheBatchBoxInverted) {
    SettingsDialogModel all(withMode(1));
    for (int box = 0; box < 7; ++box)
        EXPECT_TRUE(all.checked(box));
    EXPECT_FALSE(all.checked(kRenderInBatchBox));

    SettingsDialogModel some(withMode(1, 0x05));
    EXPECT_TRUE(some.checked(0));
    EXPECT_FALSE(some.checked(1));
    EXPECT_TRUE(some.checked(2));
    EXPECT_TRUE(some.checked(kRenderInBatchBox));
}

TEST(SettingsDialogModel, OkReadsBackIntoTheRecord) {
    Settings global = withMode(7);
    global.lastMediaFile = "C:\\keep.avi";
    SettingsDialogModel model(global);
    model.ok(global);
    EXPECT_EQ(global.runMode, 1); // a stored 7 becomes 1 after OK
    EXPECT_EQ(global.enableBits, 0xFFFFFFFFu);
    EXPECT_EQ(global.lastMediaFile, "C:\\keep.avi");

    SettingsDialogModel change(global);
    change.selectMode(3);
    change.setChecked(1, false);                // DMO off
    change.setChecked(kRenderInBatchBox, true); // render in batch: clears 0x80
    change.ok(global);
    EXPECT_EQ(global.runMode, 3);
    EXPECT_EQ(global.enableBits, 0xFFFFFFFFu & ~0x02u & ~0x80u);
}

TEST(SettingsDialogModel, SaveAsDefaultStoresAndMakesCancelReportOk) {
    Settings global = withMode(1);
    MemorySettingsStore store;
    SettingsDialogModel model(global);
    EXPECT_FALSE(model.cancelReportsOk());

    model.selectMode(2);
    EXPECT_TRUE(model.saveAsDefault(global, store));
    EXPECT_FALSE(model.saveDefaultEnabled());
    EXPECT_TRUE(model.cancelReportsOk());
    EXPECT_EQ(global.runMode, 2);
    EXPECT_EQ(store.ints["RunMode"], 2);
    EXPECT_EQ(store.ints["EnableBits"], -1);
    EXPECT_EQ(store.ints.count("LastMediaFile"), 0u); // working values are not written here

    // Ticking a box enables the button again; changes after the save are not applied
    // by Cancel (the caller simply does not call ok()).
    model.setChecked(0, false);
    EXPECT_TRUE(model.saveDefaultEnabled());
    EXPECT_TRUE(global.allows(kEnableDirectShow));

    MemorySettingsStore failing;
    failing.failWrites = true;
    SettingsDialogModel again(global);
    EXPECT_FALSE(again.saveAsDefault(global, failing));
    EXPECT_TRUE(again.cancelReportsOk());
}

} // namespace
} // namespace tavro
