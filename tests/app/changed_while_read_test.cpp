// A file that grows or is rewritten while it is analysed is reported as changing,
// not as truncated, and its head is never offered for writing back.
#include <gtest/gtest.h>

#include "app/analysis_driver.h"
#include "infoedit/info_commands.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/riff_builder.h"

namespace tavro {
namespace {

using namespace test;

// An AVI head whose RIFF size claims far more than is there yet: a recording in progress.
Bytes recording() {
    Bytes avih(56, 0);
    Bytes head = list("LIST", "hdrl", chunk("avih", avih));
    Bytes b = list("RIFF", "AVI ", head + list("LIST", "movi", Bytes(64, 0)));
    const uint32_t claimed = 1000000;
    for (int i = 0; i < 4; ++i)
        b[4 + i] = static_cast<uint8_t>(claimed >> (8 * i));
    return b;
}

TEST(ChangedWhileRead, GrowingOrRewrittenFilesAreReportedAsChanging) {
    const struct {
        const char* name;
        std::function<void(MemoryFile&)> change;
        bool changing;
    } cases[] = {
        {"untouched", nullptr, false},
        {"grows", [](MemoryFile& f) { f.bytes.resize(f.bytes.size() + 4096); }, true},
        {"rewritten in place", [](MemoryFile& f) { f.modified += 1; }, true},
        {"cut short", [](MemoryFile& f) { f.bytes.resize(20); }, true},
    };
    for (const auto& c : cases) {
        MemoryFileSystem fs;
        fs.files["C:\\rec.avi"] = MemoryFile(recording());
        bool changedOnce = false;
        if (c.change)
            fs.afterRead = [&](MemoryFile& f) {
                if (!changedOnce) c.change(f); // the first read sees the file as opened
                changedOnce = true;
            };
        RecordingPrompter prompter;
        ReportModel report;
        auto driver = AnalysisDriver::create(report, prompter, fs, kRunModeInformationOnly);
        driver->fileList().add("C:\\rec.avi");
        driver->fileList().current = 0;
        EXPECT_EQ(driver->analyseCurrentFile(), AnalysisDriver::Outcome::Analysed) << c.name;
        const std::string status = report.text(field::FileStatus);
        if (c.changing) {
            EXPECT_EQ(status, "File changed while being read") << c.name;
            EXPECT_FALSE(infoCommandsAllowed(driver->info())) << c.name;
        } else {
            EXPECT_EQ(status.rfind("===> Truncated", 0), 0u) << c.name << ": " << status;
        }
        EXPECT_TRUE(prompter.asked.empty()) << c.name;
        // The next file starts clean.
        fs.afterRead = nullptr;
        fs.files["C:\\rec.avi"] = MemoryFile(recording());
        driver->analyseCurrentFile();
        EXPECT_EQ(driver->info().changedWhileRead, 0u) << c.name;
    }
}

} // namespace
} // namespace tavro
