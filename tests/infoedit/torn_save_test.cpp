// Power lost in the middle of a save, over the generated AVIs in each JUNK layout: the
// head write (or the recovery file's) is torn at a random byte, 10,000 times, all in
// memory. After the recovery step the file is the old one or the new one byte for
// byte, and nothing from `movi` on ever changes.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "app/analysis_driver.h"
#include "infoedit/head_recovery.h"
#include "infoedit/head_writer.h"
#include "infoedit/info_commands.h"
#include "infoedit/info_fields.h"
#include "tests/infoedit/junk_layouts.h"
#include "tests/support/crash_file_system.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

using Bytes = std::vector<uint8_t>;
const std::string kMedia = TAVRO_BINARY_DIR "/infoedit_media/";
const std::string kPath = "/media/clip.avi";

struct Edit {
    Bytes updated;
    size_t headCall = 0, journalCall = 0; // the indexes of the two writes
    size_t firstChange = 0, headBytes = 0, journalBytes = 0;
};
struct Layout {
    std::string name;
    Bytes file, head;
    uint32_t movi = 0;
    std::vector<Edit> edits;
};

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The head as the analysis holds it, read through the in-memory file system.
Bytes analysedHead(const Bytes& file) {
    test::MemoryFileSystem memory;
    memory.files[kPath] = test::MemoryFile(file);
    ReportModel report;
    SilentPrompter prompter;
    auto driver = AnalysisDriver::create(report, prompter, memory, kRunModeInformationOnly);
    driver->fileList().add(kPath);
    driver->fileList().current = 0;
    driver->analyseCurrentFile();
    const MediaInfo& info = driver->info();
    if (!infoCommandsAllowed(info)) return Bytes();
    return Bytes(info.headBuffer(), info.headBuffer() + info.headLength);
}

HeadWriteResult save(test::CrashFileSystem& fs, const Layout& l, const Edit& e) {
    FileStamp stamp;
    fs.stamp(kPath, &stamp, nullptr);
    return writeHead(fs, kPath, stamp, ByteView(l.head.data(), l.head.size()),
                     ByteView(e.updated.data(), e.updated.size()));
}

// A few edits per layout, and where their writes fall in a save that runs through.
void addEdits(Layout& l, std::mt19937& random) {
    const InfoField* table = infoFieldTable();
    for (int attempt = 0; attempt < 12 && l.edits.size() < 5; ++attempt) {
        Edit e;
        e.updated = l.head;
        std::string text;
        const size_t length = attempt % 5 == 4 ? 0 : 1 + random() % 70;
        for (size_t i = 0; i < length; ++i)
            text.push_back(static_cast<char>(' ' + random() % 95));
        InfoMessage message;
        if (!setInfoField(e.updated, fourcc4(table[random() % kInfoFieldCount].id), text,
                          &message) ||
            e.updated == l.head)
            continue;
        test::CrashFileSystem dry;
        dry.put(kPath, l.file);
        if (!save(dry, l, e).ok()) continue;
        for (size_t i = 0; i < dry.log.size(); ++i) {
            if (dry.log[i] == "write " + kPath) e.headCall = i;
            if (dry.log[i].rfind("write ", 0) == 0 && dry.log[i] != "write " + kPath)
                e.journalCall = i;
        }
        e.headBytes = e.updated.size();
        while (e.headBytes > 0 && e.updated[e.headBytes - 1] == l.head[e.headBytes - 1])
            --e.headBytes;
        while (e.updated[e.firstChange] == l.head[e.firstChange])
            ++e.firstChange;
        // The recovery file holds the head's bytes and a small frame; a tear past a
        // write's end lands all of it, without the flush that should follow.
        e.journalBytes = e.headBytes + 200;
        l.edits.push_back(std::move(e));
    }
}

TEST(TornSave, RecoveryGivesTheOldOrTheNewFileAfterEveryTear) {
    std::mt19937 random(2705);
    std::vector<Layout> layouts;
    for (const char* name : {"tags_pcm.avi", "no_info.avi", "long_comment.avi", "raw_tags.avi",
                             "small_tags.avi", "menc_tags.avi", "menc_copy.avi"})
        for (const char* kind : {"plain", "small_junk", "no_junk_after"}) {
            Layout l;
            l.name = std::string(name) + "/" + kind;
            const Bytes source = readFile(kMedia + name);
            ASSERT_GT(source.size(), 1000u) << "media missing: run infoedit_media_generate";
            l.file = variant(source, kind);
            l.head = analysedHead(l.file);
            ASSERT_FALSE(l.head.empty()) << l.name;
            l.movi = moviOffset(l.head);
            ASSERT_NE(l.movi, 0xFFFFFFFFu) << l.name;
            addEdits(l, random);
            if (!l.edits.empty()) layouts.push_back(std::move(l));
        }
    ASSERT_GE(layouts.size(), 15u);

    int restored = 0, completed = 0, untouched = 0;
    test::CrashFileSystem fs;
    for (int run = 0; run < 10000; ++run) {
        const Layout& l = layouts[run % layouts.size()];
        const Edit& e = l.edits[random() % l.edits.size()];
        const bool tearJournal = run % 5 == 4;
        fs.reset(kPath, l.file);
        fs.crashAt = static_cast<int>(tearJournal ? e.journalCall : e.headCall);
        // A head torn before its first changed byte is still the old head: most tears
        // fall among the changed bytes.
        const size_t from = tearJournal || run % 7 == 0 ? 0 : e.firstChange;
        const size_t to = tearJournal ? e.journalBytes : e.headBytes;
        const int64_t tear = static_cast<int64_t>(from + random() % (to - from + 1));
        fs.tearAt = tear;
        ASSERT_FALSE(save(fs, l, e).ok()) << l.name << " run " << run;
        fs.powerCycle();
        const RecoveryCheck check = checkRecovery(fs, kPath);
        if (check.state == RecoveryState::NeedsRestore) {
            ASSERT_TRUE(restoreHead(fs, kPath, check).ok()) << l.name << " run " << run;
            ++restored;
        } else {
            ASSERT_TRUE(settleRecovery(fs, check)) << l.name << " run " << run;
            check.state == RecoveryState::Completed ? ++completed : ++untouched;
        }
        const Bytes& now = fs.bytes(kPath);
        ASSERT_EQ(now.size(), l.file.size()) << l.name << " run " << run;
        ASSERT_EQ(std::memcmp(now.data() + l.movi, l.file.data() + l.movi, now.size() - l.movi), 0)
            << l.name << ": bytes from movi on changed, run " << run;
        const bool isOld = std::memcmp(now.data(), l.file.data(), l.movi) == 0;
        const bool isNew = std::memcmp(now.data(), e.updated.data(), l.movi) == 0;
        ASSERT_TRUE(isOld || isNew) << l.name << " run " << run << " tear " << tear;
        ASSERT_EQ(fs.files.size(), 1u) << "no recovery file is left, run " << run;
    }
    // The runs reach every outcome: torn heads put back, tears at the very end, tears
    // of the recovery file that leave the head alone.
    EXPECT_GT(restored, 6000);
    EXPECT_GT(completed + untouched, 100);
}

} // namespace
} // namespace tavro
