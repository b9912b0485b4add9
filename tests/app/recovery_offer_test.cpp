// Opening a file after an interrupted save: quiet clean-up when the save finished or
// never began, a question when the head tore, and the old head back on Ok.
#include <gtest/gtest.h>

#include "app/analysis_driver.h"
#include "app/recovery_offer.h"
#include "infoedit/head_writer.h"
#include "infoedit/save_journal.h"
#include "tests/support/crash_file_system.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

using Bytes = std::vector<uint8_t>;
const std::string kPath = "C:\\Videos\\clip.avi";

enum class Left { Nothing, TornHead, FinishedSave, TornJournal, OtherFile };

// The file system after a save that stopped as `left` says; `oldFile` is the file
// before the save.
void interruptedSave(test::CrashFileSystem& fs, Left left, Bytes* oldFile, Bytes* newFile) {
    Bytes file(9000);
    for (size_t i = 0; i < file.size(); ++i)
        file[i] = static_cast<uint8_t>(i * 31 + 7);
    Bytes head(file.begin(), file.begin() + 3000), updated = head;
    for (size_t i = 100; i < 1100; ++i)
        updated[i] ^= 0xA5;
    *oldFile = file;
    *newFile = file;
    std::copy(updated.begin(), updated.end(), newFile->begin());
    fs.put(kPath, file);
    if (left == Left::Nothing) return;
    // Calls of a save: create, write and flush the recovery file, write the head, ...
    const int headWrite = 3, journalWrite = 1, journalRemove = 5;
    fs.crashAt = left == Left::TornHead      ? headWrite
                 : left == Left::TornJournal ? journalWrite
                                             : journalRemove;
    fs.tearAt = left == Left::TornHead ? 600 : left == Left::TornJournal ? 40 : -1;
    FileStamp stamp;
    fs.stamp(kPath, &stamp, nullptr);
    writeHead(fs, kPath, stamp, ByteView(head.data(), head.size()),
              ByteView(updated.data(), updated.size()));
    fs.powerCycle();
    if (left == Left::OtherFile) fs.files[kPath].cache.resize(8000); // replaced since
}

TEST(RecoveryOffer, SettlesQuietlyOrAsksAndRestores) {
    const struct {
        const char* name;
        Left left;
        Answer answer;
        RecoveryOffer outcome;
        size_t asked;
        bool fileIsOld; // else the file is as the save left it
        bool journalStays;
    } cases[] = {
        {"no recovery file", Left::Nothing, Answer::Ok, RecoveryOffer::None, 0, true, false},
        {"torn head, Ok", Left::TornHead, Answer::Ok, RecoveryOffer::Restored, 1, true, false},
        {"torn head, Cancel", Left::TornHead, Answer::Cancel, RecoveryOffer::Declined, 1, false,
         true},
        {"finished save", Left::FinishedSave, Answer::Ok, RecoveryOffer::Settled, 0, false, false},
        {"torn recovery file", Left::TornJournal, Answer::Ok, RecoveryOffer::Settled, 0, true,
         false},
        {"another file now", Left::OtherFile, Answer::Ok, RecoveryOffer::Kept, 0, false, true},
    };
    for (const auto& c : cases) {
        test::CrashFileSystem fs;
        Bytes oldFile, newFile;
        interruptedSave(fs, c.left, &oldFile, &newFile);
        const Bytes before = fs.bytes(kPath);
        if (c.left == Left::TornHead) ASSERT_TRUE(before != oldFile && before != newFile);
        test::RecordingPrompter prompter;
        prompter.answer = c.answer;
        EXPECT_EQ(offerRecovery(fs, prompter, kPath), c.outcome) << c.name;
        ASSERT_EQ(prompter.asked.size(), c.asked) << c.name;
        if (c.asked) {
            EXPECT_EQ(prompter.asked[0].caption, "Interrupted Save");
            EXPECT_EQ(prompter.asked[0].text.rfind("Saving the header of " + kPath, 0), 0u);
            EXPECT_EQ(prompter.asked[0].buttons, Buttons::OkCancel);
        }
        EXPECT_EQ(fs.bytes(kPath), c.fileIsOld ? oldFile : before) << c.name;
        EXPECT_EQ(fs.files.count(journalPathBeside(kPath)), c.journalStays ? 1u : 0u) << c.name;
    }
}

TEST(RecoveryOffer, TheDriverAsksBeforeItOpensTheFile) {
    test::MemoryFileSystem memory;
    memory.files[kPath] = test::MemoryFile("RIFF");
    ReportModel report;
    SilentPrompter prompter;
    auto driver = AnalysisDriver::create(report, prompter, memory, kRunModeInformationOnly);
    std::vector<std::string> seen;
    driver->setBeforeOpen([&](const std::string& path) {
        seen.push_back(path + (memory.lastOpened.empty() ? " before" : " after"));
    });
    driver->fileList().add(kPath);
    driver->fileList().current = 0;
    driver->analyseCurrentFile();
    EXPECT_EQ(seen, std::vector<std::string>{kPath + " before"});
}

} // namespace
} // namespace tavro
