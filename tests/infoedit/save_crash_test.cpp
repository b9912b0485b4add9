// Saves that lose power: the recovery file's format recognises every torn copy of
// itself, and a save stopped before any one of its changing calls leaves the old file
// or the new one, or one that the recovery step puts back to the old byte for byte.
#include <gtest/gtest.h>

#include "infoedit/copy_save.h"
#include "infoedit/head_recovery.h"
#include "infoedit/head_writer.h"
#include "infoedit/save_journal.h"
#include "tests/support/crash_file_system.h"

namespace tavro {
namespace {

using Bytes = std::vector<uint8_t>;
using test::CrashFileSystem;

const std::string kPath = "/media/clip.avi";

Bytes pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i)
        b[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 7));
    return b;
}

struct Scene {
    Bytes file, head, updated;
};
Scene scene() {
    Scene s;
    s.file = pattern(20000, 4);
    s.head.assign(s.file.begin(), s.file.begin() + 6000);
    s.updated = s.head;
    s.updated[40] ^= 0x55;
    s.updated[2500] ^= 0x0F;
    s.updated[4999] ^= 0x80;
    return s;
}
Bytes withHead(const Bytes& file, const Bytes& head) {
    Bytes b = file;
    std::copy(head.begin(), head.end(), b.begin());
    return b;
}

HeadWriteResult save(CrashFileSystem& fs, const Scene& s) {
    FileStamp stamp;
    fs.stamp(kPath, &stamp, nullptr);
    return writeHead(fs, kPath, stamp, ByteView(s.head.data(), s.head.size()),
                     ByteView(s.updated.data(), s.updated.size()));
}

// What opening the file does after power comes back: settle, or restore a torn head.
void recover(CrashFileSystem& fs, const std::string& path) {
    RecoveryCheck check = checkRecovery(fs, path);
    if (check.state == RecoveryState::NeedsRestore) {
        ASSERT_TRUE(restoreHead(fs, path, check).ok());
    } else {
        ASSERT_TRUE(settleRecovery(fs, check)) << static_cast<int>(check.state);
    }
    EXPECT_EQ(checkRecovery(fs, path).state, RecoveryState::None);
}

size_t journals(const CrashFileSystem& fs) {
    size_t n = 0;
    for (const auto& f : fs.files)
        n += f.first.find(".tavro-recovery") != std::string::npos;
    return n;
}

TEST(SaveJournal, EveryTornOrAlteredCopyIsRecognised) {
    SaveJournal j;
    j.fileSize = 123456789012ull;
    j.oldBytes = pattern(300, 1);
    j.oldSum = journalSum(j.oldBytes.data(), j.oldBytes.size());
    j.newSum = 77;
    j.tailLength = 4096;
    j.tailSum = 0xDEADBEEF;
    const Bytes bytes = encodeJournal(j);
    SaveJournal back;
    ASSERT_EQ(decodeJournal(ByteView(bytes.data(), bytes.size()), &back), JournalDecode::Ok);
    EXPECT_EQ(back.fileSize, j.fileSize);
    EXPECT_EQ(back.oldBytes, j.oldBytes);
    EXPECT_EQ(back.newSum, 77u);
    EXPECT_EQ(back.tailLength, 4096u);
    EXPECT_EQ(back.tailSum, 0xDEADBEEFu);
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        ASSERT_EQ(decodeJournal(ByteView(bytes.data(), cut), &back), JournalDecode::Torn) << cut;
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(decodeJournal(ByteView(longer.data(), longer.size()), &back), JournalDecode::Torn);
    for (size_t at = 0; at < bytes.size(); ++at) {
        Bytes altered = bytes;
        altered[at] ^= 0x01;
        ASSERT_NE(decodeJournal(ByteView(altered.data(), altered.size()), &back), JournalDecode::Ok)
            << at;
    }
    Bytes later = bytes;
    later[4] = 2;
    EXPECT_EQ(decodeJournal(ByteView(later.data(), later.size()), &back),
              JournalDecode::NewerVersion);
    // The zip CRC-32, in one piece or many.
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(journalSum(digits, 9), 0xCBF43926u);
    EXPECT_EQ(journalSum(digits + 5, 4, journalSum(digits, 5)), 0xCBF43926u);
    // Names in the user's folder keep files of one name in different folders apart.
    EXPECT_NE(journalPathInFolder("/u/", "/a/clip.avi"), journalPathInFolder("/u/", "/b/clip.avi"));
    EXPECT_EQ(journalPathBeside("/a/clip.avi"), "/a/clip.avi.tavro-recovery");
}

TEST(SaveCrash, StoppedBeforeAnyCallTheFileIsOldOrNew) {
    const struct {
        const char* name;
        bool besideRefused;
        bool tornLeftover; // a torn recovery file of an earlier save lies beside
    } cases[] = {{"beside", false, false},
                 {"in the user's folder", true, false},
                 {"after a torn leftover", false, true}};
    for (const auto& c : cases) {
        const Scene s = scene();
        const Bytes oldFile = s.file, newFile = withHead(s.file, s.updated);
        auto setUp = [&](CrashFileSystem& fs) {
            fs.put(kPath, s.file);
            if (c.besideRefused) fs.refuseCreateIn = "/media/";
            if (c.tornLeftover) fs.put(journalPathBeside(kPath), Bytes{'T', 'v', 'J'});
        };
        CrashFileSystem dry;
        setUp(dry);
        ASSERT_TRUE(save(dry, s).ok()) << c.name;
        ASSERT_EQ(dry.bytes(kPath), newFile);
        EXPECT_EQ(journals(dry), 0u) << c.name;
        const int total = dry.calls;
        ASSERT_GE(total, 5) << c.name; // create, write, flush, write, flush, remove
        for (int n = 0; n <= total; ++n) {
            CrashFileSystem fs;
            setUp(fs);
            fs.crashAt = n;
            const bool ok = save(fs, s).ok();
            if (!fs.dead()) EXPECT_TRUE(ok) << c.name << " at " << n;
            fs.powerCycle();
            fs.refuseCreateIn.clear();
            recover(fs, kPath);
            const Bytes& now = fs.bytes(kPath);
            EXPECT_TRUE(now == oldFile || now == newFile) << c.name << " stopped at call " << n;
            // Only the recovery file's removal may fail after the save reports success.
            if (ok) EXPECT_EQ(now, newFile) << c.name << " at " << n;
            EXPECT_EQ(journals(fs), 0u) << c.name << " at " << n;
        }
    }
}

TEST(SaveCrash, RefusesWithoutARecoveryFileOrWithOneWaiting) {
    const Scene s = scene();
    // Neither beside nor in the user's folder: refused before the file is touched.
    CrashFileSystem fs;
    fs.put(kPath, s.file);
    fs.refuseCreateIn = "/";
    HeadWriteResult r = save(fs, s);
    EXPECT_EQ(r.kind, HeadWriteResult::Kind::NoRecoveryFile);
    EXPECT_EQ(r.text.rfind("Unable to write the recovery file for /media/clip.avi. File will "
                           "not be modified",
                           0),
              0u)
        << r.text;
    EXPECT_NE(r.text.find("Access is denied."), std::string::npos);
    EXPECT_EQ(fs.bytes(kPath), s.file);
    fs.user.clear();
    EXPECT_EQ(save(fs, s).kind, HeadWriteResult::Kind::NoRecoveryFile);

    // A torn head waiting to be put back: a new save would overwrite its only copy.
    CrashFileSystem torn;
    torn.put(kPath, s.file);
    CrashFileSystem dry;
    dry.put(kPath, s.file);
    save(dry, s);
    torn.crashAt = 1; // the head write, after the recovery file's create
    for (size_t i = 0; i < dry.log.size(); ++i)
        if (dry.log[i] == "write " + kPath) torn.crashAt = static_cast<int>(i);
    torn.tearAt = 2600;
    EXPECT_FALSE(save(torn, s).ok());
    torn.powerCycle();
    const Bytes tornFile = torn.bytes(kPath);
    ASSERT_NE(tornFile, s.file);
    HeadWriteResult again = save(torn, s);
    EXPECT_EQ(again.kind, HeadWriteResult::Kind::RecoveryPending);
    EXPECT_NE(again.text.find("--restore"), std::string::npos);
    EXPECT_EQ(torn.bytes(kPath), tornFile);
    EXPECT_EQ(journals(torn), 1u);
    // A recovery file of another file (other size) is never used to write.
    torn.files[kPath].cache.push_back(0);
    torn.files[kPath].device.push_back(0);
    const RecoveryCheck foreign = checkRecovery(torn, kPath);
    EXPECT_EQ(foreign.state, RecoveryState::Foreign);
    EXPECT_FALSE(restoreHead(torn, kPath, foreign).ok());
}

TEST(SaveCrash, ACopySaveNeverShowsAHalfMadeTarget) {
    const Scene edited = scene();
    Scene unchanged = edited;
    unchanged.updated = unchanged.head;
    const std::string target = "/media/copy.avi";
    for (const Scene* s : {&edited, static_cast<const Scene*>(&unchanged)})
        for (bool targetExisted : {false, true}) {
            const Bytes newFile = withHead(s->file, s->updated);
            auto setUp = [&](CrashFileSystem& fs) {
                fs.put(kPath, s->file);
                if (targetExisted) fs.put(target, pattern(50, 9));
            };
            auto saveCopy = [&](CrashFileSystem& fs) {
                return saveEditedCopy(fs, kPath, target, ByteView(s->head.data(), s->head.size()),
                                      ByteView(s->updated.data(), s->updated.size()));
            };
            CrashFileSystem dry;
            setUp(dry);
            ASSERT_TRUE(saveCopy(dry).ok());
            ASSERT_EQ(dry.bytes(target), newFile);
            EXPECT_EQ(dry.files.count(temporaryCopyName(target)), 0u);
            for (int n = 0; n <= dry.calls; ++n) {
                CrashFileSystem fs;
                setUp(fs);
                fs.crashAt = n;
                const bool ok = saveCopy(fs).ok();
                fs.powerCycle();
                EXPECT_EQ(fs.bytes(kPath), s->file) << "the source is never written, call " << n;
                if (ok) EXPECT_EQ(fs.bytes(target), newFile) << "call " << n;
                if (fs.files.count(target)) {
                    const Bytes& now = fs.bytes(target);
                    EXPECT_TRUE(now == newFile || (targetExisted && now == pattern(50, 9)))
                        << "call " << n << (s == &unchanged ? " unchanged head" : "");
                }
            }
        }
}

} // namespace
} // namespace tavro
