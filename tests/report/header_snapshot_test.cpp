// Header snapshots written to real files: the size rules, the refused target and
// the clean-up after a failed write.
#include <gtest/gtest.h>

#include <filesystem>

#include "report/header_snapshot.h"
#include "tests/support/fake_output_files.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/scratch_dir.h"

namespace tavro {
namespace {

using test::RecordingPrompter;
using test::ScratchDir;
using test::ShortWriteFiles;

TEST(SnapshotAmount, ChosenSizeCutByTheBytesHeld) {
    const struct {
        int choice;
        uint32_t held, amount;
    } cases[] = {
        {2, 3000, 3000},           {kSnapshotNoChoice, 524288, 51200},
        {0, 524288, 5120},         {1, 524288, 51200},
        {2, 524288, 512000},       {7, 100000, 51200},
        {kSnapshotNoChoice, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(snapshotAmount(c.choice, c.held), c.amount) << c.choice << " " << c.held;
}

std::vector<uint8_t> head(size_t n) {
    std::vector<uint8_t> bytes(n);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

TEST(SaveHeaderSnapshot, ConfirmationNamesAmountAndTarget) {
    const struct {
        uint32_t amount;
        const char* text;
    } cases[] = {{51200, "The first 51,200 bytes of the file were saved to C:\\x.bin."},
                 {512000, "The first 512,000 bytes of the file were saved to C:\\x.bin."},
                 {999, "The first 999 bytes of the file were saved to C:\\x.bin."},
                 {1000, "The first 1,000 bytes of the file were saved to C:\\x.bin."}};
    for (const auto& c : cases)
        EXPECT_EQ(snapshotSavedText(c.amount, "C:\\x.bin"), c.text);
}

TEST(SaveHeaderSnapshot, WritesTheFirstBytesReplacingTheTarget) {
    ScratchDir dir;
    const std::string target = dir.path("clip.bin");
    ScratchDir::write(target, std::string(100000, 'x'));
    const std::vector<uint8_t> bytes = head(60000);
    RecordingPrompter prompter;
    EXPECT_EQ(saveHeaderSnapshot(platformOutputFiles(), prompter, bytes.data(),
                                 snapshotAmount(kSnapshotNoChoice, 60000), target,
                                 dir.path("a.avi")),
              SnapshotResult::Saved);
    EXPECT_EQ(ScratchDir::read(target), std::string(bytes.begin(), bytes.begin() + 51200));
    EXPECT_TRUE(prompter.asked.empty());
}

TEST(SaveHeaderSnapshot, RefusesTheAnalysedFile) {
    ScratchDir dir;
    const std::string media = dir.path("movie.avi");
    ScratchDir::write(media, std::string(700000, 'm'));
    const std::vector<uint8_t> bytes = head(5120);
    RecordingPrompter prompter;
    // The same file through another spelling of its folder.
    const std::string other = (std::filesystem::path(dir.folder()) / "." / "movie.avi").string();
    EXPECT_EQ(saveHeaderSnapshot(platformOutputFiles(), prompter, bytes.data(), 5120, other, media),
              SnapshotResult::RefusedTarget);
    EXPECT_EQ(ScratchDir::read(media).size(), 700000u);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].caption, "File Open Failure");
    EXPECT_EQ(prompter.asked[0].text.rfind("Unable to create file " + other + ":\n\n", 0), 0u);
}

TEST(SaveHeaderSnapshot, UncreatableTargetGivesTheSystemReason) {
    ScratchDir dir;
    const std::string target = dir.path("no such folder") + "/x.bin";
    const std::vector<uint8_t> bytes = head(10);
    RecordingPrompter prompter;
    EXPECT_EQ(saveHeaderSnapshot(platformOutputFiles(), prompter, bytes.data(), 10, target, ""),
              SnapshotResult::OpenFailed);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].icon, Icon::Exclamation);
    const std::string prefix = "Unable to create file " + target + ":\n\n";
    EXPECT_EQ(prompter.asked[0].text.rfind(prefix, 0), 0u);
    EXPECT_GT(prompter.asked[0].text.size(), prefix.size()); // the system's words follow
}

TEST(SaveHeaderSnapshot, FailedWriteLeavesNoPartialFile) {
    ShortWriteFiles files;
    files.limit = 1000;
    const std::vector<uint8_t> bytes = head(5120);
    RecordingPrompter prompter;
    EXPECT_EQ(saveHeaderSnapshot(files, prompter, bytes.data(), 5120, "h.bin", "a.avi"),
              SnapshotResult::WriteFailed);
    EXPECT_EQ(files.files.count("h.bin"), 0u);
    ASSERT_EQ(prompter.asked.size(), 1u);
    EXPECT_EQ(prompter.asked[0].caption, "File Write Failure");
    EXPECT_EQ(prompter.asked[0].text,
              "Write operation failed for h.bin:\n\nThere is not enough space on the disk.");
}

} // namespace
} // namespace tavro
