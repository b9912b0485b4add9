// The platform's output files: appending keeps what is there, a record that does
// not fit is cut back out whole, and the refusals name the reason.
#include "common/output_files.h"

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace tavro {
namespace {

using test::ScratchDir;

TEST(OutputFiles, AppendKeepsTheContentsAndCreateReplacesThem) {
    ScratchDir dir;
    const std::string path = dir.path("log.txt");
    ScratchDir::write(path, "one\r\n");
    OutputFiles& files = platformOutputFiles();
    FileError error;
    {
        auto file = files.openForAppend(path, &error);
        ASSERT_TRUE(file) << error.systemText;
        EXPECT_TRUE(file->append("two\r\n", 5, &error));
        EXPECT_TRUE(file->append("three\r\n", 7, &error));
    }
    EXPECT_EQ(ScratchDir::read(path), "one\r\ntwo\r\nthree\r\n");
    {
        auto file = files.create(path, &error);
        ASSERT_TRUE(file);
        EXPECT_TRUE(file->append("new", 3, &error));
    }
    EXPECT_EQ(ScratchDir::read(path), "new");
    EXPECT_TRUE(files.sameFile(path, dir.path("./log.txt")));
    EXPECT_FALSE(files.sameFile(path, dir.path("other.txt")));
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(files.openForAppend(dir.path("no folder") + "/x.txt", &error));
    EXPECT_FALSE(error.systemText.empty());
}

#ifndef _WIN32
// A file-size limit makes the write short, as a full disk would: the record is
// cut back out and the reason is the disk-full error, not "success".
TEST(OutputFiles, ShortWriteIsCutBackAndReportedAsDiskFull) {
    ScratchDir dir;
    const std::string path = dir.path("full.txt");
    ScratchDir::write(path, "kept\r\n");
    auto file = platformOutputFiles().openForAppend(path, nullptr);
    ASSERT_TRUE(file);
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    FileError error;
    const std::string record(40, 'r');
    const bool ok = file->append(record.data(), record.size(), &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error.code, diskFullError().code);
    EXPECT_EQ(error.systemText, diskFullError().systemText);
    file.reset();
    EXPECT_EQ(ScratchDir::read(path), "kept\r\n");
}
#endif

} // namespace
} // namespace tavro
