#include <gtest/gtest.h>

#include "app/ui/settings_io.h"
#include "report/export_template.h"

namespace tavro {
namespace {

TEST(SettingsIo, FirstRunTakesTheDefaults) {
    MemorySettingsStore store;
    const Settings s = loadSettings(store);
    EXPECT_EQ(s.enableBits, 0xFFFFFFFFu);
    EXPECT_EQ(s.runMode, 1);
    EXPECT_EQ(s.exportMode, 1);
    EXPECT_EQ(s.fileMaskIndex, 0);
    EXPECT_EQ(s.exportEnabled, 0u);
    EXPECT_EQ(s.exportFormat, kDefaultExportTemplate);
    EXPECT_TRUE(s.exportFile.empty() && s.exportPath.empty() && s.lastMediaFile.empty());
    // No render test for multi-file lists until the user asks for it.
    EXPECT_TRUE(s.allows(kNoBatchRendering));
}

TEST(SettingsIo, ReadsStoredValuesAndCutsLongTexts) {
    MemorySettingsStore store;
    store.ints = {{"EnableBits", 0x5F}, {"RunMode", 7}, {"ExportMode", 2}, {"FileMaskIndex", 2}};
    store.texts = {{"ExportFormat", std::string(300, 'f')},
                   {"ExportFile", std::string(300, 'e')},
                   {"ExportPath", "C:\\out"},
                   {"LastMediaFile", std::string(260, 'l')}};
    const Settings s = loadSettings(store);
    EXPECT_EQ(s.enableBits, 0x5Fu);
    EXPECT_EQ(s.runMode, 7); // kept as stored; the Settings dialog shows it as mode 1
    EXPECT_EQ(s.exportMode, 2);
    EXPECT_EQ(s.fileMaskIndex, 2);
    EXPECT_EQ(s.exportFormat.size(), 255u);
    EXPECT_EQ(s.exportFile.size(), 259u);
    EXPECT_EQ(s.exportPath, "C:\\out");
    EXPECT_EQ(s.lastMediaFile.size(), 259u);
}

TEST(SettingsIo, AValueOfTheWrongTypeReadsAsMissing) {
    MemorySettingsStore store;
    store.texts = {{"RunMode", "3"}, {"EnableBits", "0"}};
    store.ints = {{"LastMediaFile", 5}};
    const Settings s = loadSettings(store);
    EXPECT_EQ(s.runMode, 1);
    EXPECT_EQ(s.enableBits, 0xFFFFFFFFu);
    EXPECT_TRUE(s.lastMediaFile.empty());
}

TEST(SettingsIo, WorkingSettingsAndDefaultsWriteTheirOwnValues) {
    Settings s;
    s.exportMode = 3;
    s.fileMaskIndex = 1;
    s.exportFile = "out.txt";
    s.exportPath = "C:\\x";
    s.exportFormat = "%n";
    s.lastMediaFile = "C:\\a.avi";
    s.enableBits = 0x7F;
    s.runMode = 2;

    MemorySettingsStore store;
    EXPECT_TRUE(saveWorkingSettings(store, s));
    EXPECT_EQ(store.written,
              (std::vector<std::string>{"ExportMode", "FileMaskIndex", "ExportFile", "ExportPath",
                                        "ExportFormat", "LastMediaFile"}));
    EXPECT_TRUE(saveDefaults(store, s));
    EXPECT_EQ(store.ints["EnableBits"], 0x7F);
    EXPECT_EQ(store.ints["RunMode"], 2);

    const Settings back = loadSettings(store);
    EXPECT_EQ(back.lastMediaFile, "C:\\a.avi");
    EXPECT_EQ(back.exportFormat, "%n");
    EXPECT_EQ(back.runMode, 2);

    MemorySettingsStore failing;
    failing.failWrites = true;
    EXPECT_FALSE(saveWorkingSettings(failing, s));
    EXPECT_FALSE(saveDefaults(failing, s));
}

TEST(SettingsIo, CleanupDeletesInnermostFirstAndStopsAtAFailure) {
    using K = SettingsKey;
    const struct {
        std::vector<K> failing;
        std::vector<K> deleted;
        bool result;
    } cases[] = {
        {{}, {K::Section, K::Program, K::Company}, true},
        {{K::Section}, {}, false},
        {{K::Program}, {K::Section}, false},
        {{K::Company}, {K::Section, K::Program}, false},
    };
    for (const auto& c : cases) {
        MemorySettingsStore store;
        store.failDeletes = c.failing;
        EXPECT_EQ(deleteRegistryEntries(store), c.result);
        EXPECT_EQ(store.deleted, c.deleted);
    }
}

} // namespace
} // namespace tavro
