#include "common/file_system.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

std::string tempPath(const char* name) {
    return std::string(TAVRO_BINARY_DIR) + "/" + name;
}

TEST(PlatformFileSystem, ReadsWholeFileAndReportsSize) {
    const std::string path = tempPath("fs_test_small.bin");
    std::vector<unsigned char> bytes(70000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);

    tavro::FileError error;
    auto file = tavro::platformFileSystem().openRead(path, &error);
    ASSERT_NE(file, nullptr) << error.systemText;
    EXPECT_EQ(file->size(), bytes.size());
    std::vector<unsigned char> got(100000, 0xAA);
    size_t n = 0;
    ASSERT_TRUE(file->read(got.data(), got.size(), &n, &error));
    ASSERT_EQ(n, bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), got.begin()));
    EXPECT_TRUE(tavro::platformFileSystem().exists(path));
    std::remove(path.c_str());
}

TEST(PlatformFileSystem, MissingFileGivesSystemText) {
    tavro::FileError error;
    auto file = tavro::platformFileSystem().openRead(tempPath("no_such_file.avi"), &error);
    EXPECT_EQ(file, nullptr);
    EXPECT_NE(error.code, 0u);
    EXPECT_FALSE(error.systemText.empty());
    EXPECT_FALSE(tavro::platformFileSystem().exists(tempPath("no_such_file.avi")));
}

TEST(PlatformFileSystem, ProgramFolderEndsWithSeparator) {
    std::string folder = tavro::platformFileSystem().programFolder();
    ASSERT_FALSE(folder.empty());
    char last = folder.back();
    EXPECT_TRUE(last == '/' || last == '\\');
}

#ifndef _WIN32
// A FIFO is refused at once (no wait for a writer), a folder too, with a reason.
TEST(PlatformFileSystem, RefusesFifosAndFoldersWithoutWaiting) {
    const std::string fifo = tempPath("fs_test_fifo");
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& path : {fifo, std::string(TAVRO_BINARY_DIR)}) {
        tavro::FileError error;
        EXPECT_EQ(tavro::platformFileSystem().openRead(path, &error), nullptr) << path;
        EXPECT_FALSE(error.systemText.empty()) << path;
    }
    std::remove(fifo.c_str());
}
#endif

void markReadOnly(const std::string& path, bool readOnly) {
#ifdef _WIN32
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
    chmod(path.c_str(), readOnly ? 0444 : 0644);
#endif
}

TEST(PlatformFileSystem, UpdatesInPlaceCopiesAndRefusesReadOnlyFiles) {
    tavro::FileSystem& fs = tavro::platformFileSystem();
    const std::string path = tempPath("fs_test_update.bin"), copy = tempPath("fs_test_copy.bin");
    markReadOnly(path, false);
    std::remove(path.c_str());
    std::remove(copy.c_str());
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::vector<char> bytes(1000, 'x');
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);

    tavro::FileError error;
    tavro::FileStamp stamp;
    ASSERT_TRUE(fs.stamp(path, &stamp, &error)) << error.systemText;
    EXPECT_EQ(stamp.size, 1000u);
    {
        auto file = fs.openUpdate(path, &error);
        ASSERT_NE(file, nullptr) << error.systemText;
        EXPECT_EQ(file->size(), 1000u);
        size_t done = 0;
        ASSERT_TRUE(file->writeAt(10, "abc", 3, &done, &error));
        EXPECT_EQ(done, 3u);
        EXPECT_TRUE(file->flush(&error));
        char back[5] = {};
        ASSERT_TRUE(file->readAt(9, back, 5, &done, &error));
        EXPECT_EQ(std::memcmp(back, "xabcx", 5), 0);
    }
    ASSERT_TRUE(fs.copyFile(path, copy, &error)) << error.systemText;
    tavro::FileStamp copied;
    ASSERT_TRUE(fs.stamp(copy, &copied, &error));
    EXPECT_EQ(copied.size, 1000u);
    EXPECT_TRUE(fs.sameFile(path, path));
    EXPECT_FALSE(fs.sameFile(path, copy));

    markReadOnly(path, true);
    EXPECT_EQ(fs.openUpdate(path, &error), nullptr);
    EXPECT_FALSE(error.systemText.empty());
    markReadOnly(path, false);
    std::remove(path.c_str());
    std::remove(copy.c_str());
}

} // namespace

namespace {

TEST(PlatformFileSystem, StampsFromTheOpenHandleSeeAFileGrow) {
    tavro::FileSystem& fs = tavro::platformFileSystem();
    const std::string path = tempPath("fs_test_growing.bin");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite("0123456789", 1, 10, f);
    std::fflush(f);
    tavro::FileError error;
    auto file = fs.openRead(path, &error);
    ASSERT_NE(file, nullptr) << error.systemText;
    tavro::FileStamp opened, now, byName;
    ASSERT_TRUE(file->openedStamp(&opened));
    EXPECT_EQ(opened.size, 10u);
    ASSERT_TRUE(fs.stamp(path, &byName, &error));
    EXPECT_EQ(opened, byName) << "the handle and the name agree on an idle file";
    ASSERT_TRUE(file->currentStamp(&now, &error)) << error.systemText;
    EXPECT_EQ(now, opened);
    std::fwrite("more", 1, 4, f); // a recording goes on while the file is open
    std::fclose(f);
    ASSERT_TRUE(file->currentStamp(&now, &error));
    EXPECT_EQ(now.size, 14u);
    EXPECT_NE(now, opened);
    file.reset();
    std::remove(path.c_str());
}

TEST(PlatformFileSystem, CreatesRenamesAndRemoves) {
    tavro::FileSystem& fs = tavro::platformFileSystem();
    const std::string a = tempPath("fs_test_new.bin"), b = tempPath("fs_test_renamed.bin");
    std::remove(a.c_str());
    std::remove(b.c_str());
    tavro::FileError error;
    {
        auto file = fs.create(a, &error);
        ASSERT_NE(file, nullptr) << error.systemText;
        size_t done = 0;
        ASSERT_TRUE(file->writeAt(0, "journal", 7, &done, &error));
        EXPECT_EQ(file->size(), 7u);
        EXPECT_TRUE(file->flush(&error));
    }
    FILE* old = std::fopen(b.c_str(), "wb"); // an existing target is replaced
    ASSERT_NE(old, nullptr);
    std::fclose(old);
    ASSERT_TRUE(fs.rename(a, b, &error)) << error.systemText;
    EXPECT_FALSE(fs.exists(a));
    tavro::FileStamp stamp;
    ASSERT_TRUE(fs.stamp(b, &stamp, &error));
    EXPECT_EQ(stamp.size, 7u);
    EXPECT_TRUE(fs.remove(b, &error));
    EXPECT_FALSE(fs.exists(b));
    EXPECT_FALSE(fs.remove(b, &error));
    EXPECT_FALSE(error.systemText.empty());
    const std::string user = fs.userFolder();
    ASSERT_FALSE(user.empty());
    EXPECT_TRUE(user.back() == '/' || user.back() == '\\');
}

} // namespace
