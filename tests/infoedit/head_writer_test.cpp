// Writing the head back through a file system that fails on purpose: a failed,
// short or unflushed write, a changed file, a file that cannot be opened for writing.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "infoedit/head_writer.h"

namespace tavro {
namespace {

struct FaultPlan {
    int failWrite = 0;       // the n-th write (1-based) fails; 0 never
    bool shortWrite = false; // ... by writing half of it and reporting success
    bool failAll = false;    // every write from the failing one on fails
    bool failFlush = false;
    bool readOnly = false;
};

class FaultyFileSystem : public FileSystem {
  public:
    std::vector<uint8_t> bytes;
    FileStamp stampNow;
    FaultPlan plan;
    int writes = 0;

    std::map<std::string, std::vector<uint8_t>> journals; // recovery files by name

    std::unique_ptr<InputFile> openRead(const std::string&, FileError*) override { return nullptr; }
    bool exists(const std::string& path) override {
        return journals.count(path) || path.find(".tavro-recovery") == std::string::npos;
    }
    std::unique_ptr<UpdateFile> create(const std::string& path, FileError*) override {
        return std::make_unique<Journal>(journals[path]);
    }
    bool remove(const std::string& path, FileError*) override { return journals.erase(path) != 0; }
    std::string programFolder() override { return "/"; }
    bool stamp(const std::string&, FileStamp* out, FileError*) override {
        *out = stampNow;
        return true;
    }
    std::unique_ptr<UpdateFile> openUpdate(const std::string&, FileError* error) override {
        if (plan.readOnly) {
            *error = {5, "Access is denied."};
            return nullptr;
        }
        return std::make_unique<File>(*this);
    }

  private:
    // Recovery files always land: the faults here are in the media file.
    class Journal : public UpdateFile {
      public:
        explicit Journal(std::vector<uint8_t>& bytes) : bytes_(bytes) {}
        uint64_t size() const override { return bytes_.size(); }
        bool readAt(uint64_t, void*, size_t, size_t* got, FileError*) override {
            *got = 0;
            return true;
        }
        bool writeAt(uint64_t offset, const void* data, size_t count, size_t* written,
                     FileError*) override {
            bytes_.resize(std::max<size_t>(bytes_.size(), offset + count));
            std::memcpy(bytes_.data() + offset, data, count);
            *written = count;
            return true;
        }
        bool flush(FileError*) override { return true; }

      private:
        std::vector<uint8_t>& bytes_;
    };
    class File : public UpdateFile {
      public:
        explicit File(FaultyFileSystem& fs) : fs_(fs) {}
        uint64_t size() const override { return fs_.bytes.size(); }
        bool readAt(uint64_t offset, void* buffer, size_t want, size_t* got, FileError*) override {
            size_t n =
                offset < fs_.bytes.size() ? std::min(want, size_t(fs_.bytes.size() - offset)) : 0;
            std::memcpy(buffer, fs_.bytes.data() + offset, n);
            *got = n;
            return true;
        }
        bool writeAt(uint64_t offset, const void* data, size_t count, size_t* written,
                     FileError* error) override {
            int n = ++fs_.writes;
            const FaultPlan& p = fs_.plan;
            bool fail = p.failWrite && (n == p.failWrite || (p.failAll && n > p.failWrite));
            size_t take = fail ? (p.shortWrite ? count / 2 : 0) : count;
            EXPECT_LE(offset + take, fs_.bytes.size()) << "never past the end";
            std::memcpy(fs_.bytes.data() + offset, data, take);
            *written = take;
            if (fail && !p.shortWrite) *error = {112, "There is not enough space on the disk."};
            return !fail || p.shortWrite;
        }
        bool flush(FileError* error) override {
            if (!fs_.plan.failFlush) return true;
            *error = {21, "The device is not ready."};
            return false;
        }

      private:
        FaultyFileSystem& fs_;
    };
};

std::vector<uint8_t> pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

TEST(HeadWriter, FailuresLeaveTheOriginalBytes) {
    const struct {
        const char* name;
        FaultPlan plan;
        HeadWriteResult::Kind kind;
        const char* caption;
    } cases[] = {
        {"write fails",
         {1, false, false, false, false},
         HeadWriteResult::Kind::WriteFailed,
         "File Write Failure"},
        {"short write",
         {1, true, false, false, false},
         HeadWriteResult::Kind::WriteFailed,
         "File Write Failure"},
        {"flush fails",
         {0, false, false, true, false},
         HeadWriteResult::Kind::WriteFailed,
         "File Write Failure"},
        {"read-only",
         {0, false, false, false, true},
         HeadWriteResult::Kind::OpenFailed,
         "File Open Failure"},
    };
    for (const auto& c : cases) {
        FaultyFileSystem fs;
        std::vector<uint8_t> original = pattern(4096, 1);
        fs.bytes = original;
        fs.bytes.resize(10000, 0x5A); // the rest of the file
        const std::vector<uint8_t> before = fs.bytes;
        fs.stampNow = {10000, 77};
        fs.plan = c.plan;
        std::vector<uint8_t> updated = original;
        updated[100] ^= 0xFF;
        updated[3000] ^= 0xFF;
        HeadWriteResult r = writeHead(fs, "x.avi", {10000, 77}, ByteView(original.data(), 4096),
                                      ByteView(updated.data(), 4096));
        EXPECT_EQ(r.kind, c.kind) << c.name;
        EXPECT_EQ(r.caption, c.caption) << c.name;
        EXPECT_FALSE(r.ok()) << c.name;
        if (c.plan.failFlush) continue; // the bytes reached the file, then were put back
        EXPECT_EQ(fs.bytes, before) << c.name;
        EXPECT_TRUE(fs.journals.empty()) << c.name << ": the old head was put back";
    }
}

TEST(HeadWriter, MessagesNameTheFile) {
    FaultyFileSystem fs;
    fs.bytes = pattern(64, 3);
    fs.stampNow = {64, 1};
    fs.plan.readOnly = true;
    std::vector<uint8_t> updated = fs.bytes;
    updated[0] ^= 1;
    HeadWriteResult r = writeHead(fs, "C:\\v.avi", {64, 1}, ByteView(fs.bytes.data(), 64),
                                  ByteView(updated.data(), 64));
    EXPECT_EQ(r.text, "Unable to open file C:\\v.avi:\n\nAccess is denied.");
    fs.plan = {1, false, false, false, false};
    r = writeHead(fs, "C:\\v.avi", {64, 1}, ByteView(fs.bytes.data(), 64),
                  ByteView(updated.data(), 64));
    EXPECT_EQ(r.text,
              "Write operation failed for C:\\v.avi:\n\nThere is not enough space on the disk.");
}

TEST(HeadWriter, RefusesAFileChangedSinceItWasAnalysed) {
    const struct {
        const char* name;
        FileStamp now;
        bool changeHead;
    } cases[] = {{"newer", {10000, 78}, false},
                 {"longer", {10001, 77}, false},
                 {"other head bytes", {10000, 77}, true}};
    for (const auto& c : cases) {
        FaultyFileSystem fs;
        std::vector<uint8_t> original = pattern(4096, 9);
        fs.bytes = original;
        fs.bytes.resize(10000);
        if (c.changeHead) fs.bytes[50] ^= 1;
        const std::vector<uint8_t> before = fs.bytes;
        fs.stampNow = c.now;
        std::vector<uint8_t> updated = original;
        updated[10] ^= 1;
        HeadWriteResult r = writeHead(fs, "x.avi", {10000, 77}, ByteView(original.data(), 4096),
                                      ByteView(updated.data(), 4096));
        EXPECT_EQ(r.kind, HeadWriteResult::Kind::FileChanged) << c.name;
        EXPECT_EQ(fs.bytes, before) << c.name;
        EXPECT_EQ(fs.writes, 0) << c.name;
    }
}

TEST(HeadWriter, WritesOnlyUpToTheLastChangedByte) {
    FaultyFileSystem fs;
    std::vector<uint8_t> original = pattern(4096, 5);
    fs.bytes = original;
    fs.stampNow = {4096, 2};
    std::vector<uint8_t> updated = original;
    HeadWriteResult r = writeHead(fs, "x.avi", {4096, 2}, ByteView(original.data(), 4096),
                                  ByteView(updated.data(), 4096));
    EXPECT_EQ(r.kind, HeadWriteResult::Kind::Unchanged);
    EXPECT_EQ(fs.writes, 0);
    updated[200] = 0;
    fs.bytes.resize(300); // a file shorter than the changed bytes is never grown
    fs.stampNow = {300, 2};
    r = writeHead(fs, "x.avi", {300, 2}, ByteView(original.data(), 4096),
                  ByteView(updated.data(), 4096));
    EXPECT_EQ(r.kind, HeadWriteResult::Kind::Written);
    EXPECT_EQ(fs.bytes.size(), 300u);
    EXPECT_EQ(fs.bytes[200], 0);
    // A head longer than the file (a file shortened since) is refused.
    fs.bytes.resize(150);
    fs.stampNow = {150, 2};
    updated[200] = 1;
    r = writeHead(fs, "x.avi", {150, 2}, ByteView(original.data(), 4096),
                  ByteView(updated.data(), 4096));
    EXPECT_EQ(r.kind, HeadWriteResult::Kind::FileChanged);
}

TEST(HeadWriter, WhenTheRestoreFailsTooTheMessageSaysSo) {
    FaultyFileSystem fs;
    std::vector<uint8_t> original = pattern(512, 2);
    fs.bytes = original;
    fs.stampNow = {512, 3};
    fs.plan = {1, true, true, false, false};
    std::vector<uint8_t> updated = original;
    updated[400] ^= 1;
    HeadWriteResult r = writeHead(fs, "x.avi", {512, 3}, ByteView(original.data(), 512),
                                  ByteView(updated.data(), 512));
    EXPECT_EQ(r.kind, HeadWriteResult::Kind::WriteFailed);
    EXPECT_NE(r.text.find("could not be written back"), std::string::npos);
    // The old head stays in the recovery file, which the message names.
    ASSERT_EQ(fs.journals.size(), 1u);
    EXPECT_NE(r.text.find("x.avi.tavro-recovery"), std::string::npos) << r.text;
}

} // namespace
} // namespace tavro
