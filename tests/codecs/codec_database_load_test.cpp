#include "codecs/codec_database.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/codecs/db_text.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

const std::string kProgramCopy = "C:\\Program Files\\Tavro\\Tavro21.dat";

struct LoadCase {
    const char* what;
    std::string text;
    bool loads;
};

std::string replaced(std::string s, const std::string& from, const std::string& to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

std::vector<LoadCase> syntaxCases() {
    const std::string good = dbText(smallDb());
    DbSections d;
    std::vector<LoadCase> c;
    c.push_back({"all four sections", good, true});
    c.push_back({"line feed only endings", replaced(good, "\r\n", "\n"), false});
    c.push_back({"sections out of order",
                 sectionText("[audio codecs]", {}) + sectionText("[video codecs]", {}) +
                     sectionText("[vfw messages]", {}) + sectionText("[guids]", {}),
                 false});
    c.push_back({"guids section missing", replaced(good, "[guids]", "[guid]"), false});
    c.push_back({"header without a line feed", good.substr(0, good.find("[guids]") + 7), false});
    c.push_back({"text after a header on its line",
                 replaced(good, "[guids]", "[guids] and more text"), true});
    c.push_back({"header in the middle of a line", "junk " + good, true});
    c.push_back({"unknown section between known ones",
                 replaced(good, "[audio codecs]", "[extra]\r\nA\tB\tC\r\n[audio codecs]"), true});
    c.push_back({"comment directly before a header",
                 replaced(good, "[audio codecs]", "# audio follows\r\n[audio codecs]"), false});
    c.push_back({"at-sign comment directly before a header",
                 replaced(good, "[guids]", "@ note\r\n[guids]"), false});
    c.push_back({"comments and blank lines between entries",
                 replaced(good, "XVID\t", "# c\r\n@ d\r\n\r\n   indented\r\nXVID\t"), true});
    c.push_back({"blank lines after an entry",
                 replaced(good, "XviD project\r\n", "XviD project\r\n\r\n  \r\n"), true});
    c.push_back({"fourth field", replaced(good, "XviD project", "XviD project\textra"), false});
    c.push_back({"two fields", replaced(good, "\tXviD project", ""), false});
    c.push_back({"one field", replaced(good, "XVID\tXviD MPEG-4\tXviD project", "XVID"), false});
    c.push_back({"empty second field", replaced(good, "XviD MPEG-4", ""), true});
    c.push_back({"empty third field", replaced(good, "XviD project", ""), true});
    c.push_back({"last line without CR LF", good.substr(0, good.size() - 2), true});
    c.push_back({"file ends in a carriage return", good.substr(0, good.size() - 1), true});
    c.push_back({"last line ends before its third field", good + "{0-0}\tNAME", true});
    c.push_back({"last line is a bare key", good + "KEY", true});
    c.push_back({"trailing comment without line end", good + "# end", true});
    c.push_back({"NUL byte before a header", replaced(good, "[guids]", std::string("\0[guids]", 8)),
                 false});
    return c;
}

TEST(CodecDatabaseLoad, SyntaxCases) {
    for (const LoadCase& c : syntaxCases()) {
        test::MemoryFileSystem fs;
        fs.files["Tavro21.dat"] = c.text;
        RecordingPrompter prompter;
        CodecDatabase db;
        EXPECT_EQ(db.load(fs, prompter), c.loads) << c.what;
        EXPECT_TRUE(prompter.messages.empty()) << c.what; // parse failures stay silent
    }
}

TEST(CodecDatabaseLoad, FieldsAreCutInPlace) {
    DbSections d = smallDb();
    d.video = {"DIVX\t\tDivX, Inc.", "YUY2\tYUY2 4:2:2\t*uncompressed"};
    test::MemoryFileSystem fs;
    // The final line of the file has no CR LF.
    std::string text = dbText(d);
    fs.files["Tavro21.dat"] = text.substr(0, text.size() - 2);
    RecordingPrompter prompter;
    CodecDatabase db;
    ASSERT_TRUE(db.load(fs, prompter));
    EXPECT_STREQ(db.video(1).key, "DIVX");
    EXPECT_STREQ(db.video(1).name, "");
    EXPECT_STREQ(db.video(1).detail, "DivX, Inc.");
    EXPECT_STREQ(db.video(2).detail, "*uncompressed");
    EXPECT_EQ(db.video(3).key, nullptr);
    EXPECT_STREQ(db.guid(1).detail, "Video");
    EXPECT_EQ(db.guid(2).key, nullptr);
    for (int slot : {0, -1, 5000})
        EXPECT_STREQ(db.video(slot).name, "<unknown>");
}

TEST(CodecDatabaseLoad, TruncatedLastLineBuildsNoEntry) {
    test::MemoryFileSystem fs;
    fs.files["Tavro21.dat"] = dbText(smallDb()) + "{0-0}\tNAME";
    RecordingPrompter prompter;
    CodecDatabase db;
    ASSERT_TRUE(db.load(fs, prompter));
    EXPECT_EQ(db.guid(2).key, nullptr);
}

TEST(CodecDatabaseLoad, SkippedLinesHideTheNextHeader) {
    // The line after skipped lines is an entry even when it starts with "[".
    DbSections d = smallDb();
    std::string text = replaced(dbText(d), "[audio codecs]\r\n",
                                "# c\r\n[odd]\tname\tdetail\r\n[audio codecs]\r\n");
    test::MemoryFileSystem fs;
    fs.files["Tavro21.dat"] = text;
    RecordingPrompter prompter;
    CodecDatabase db;
    ASSERT_TRUE(db.load(fs, prompter));
    EXPECT_STREQ(db.video(2).key, "[odd]");
}

TEST(CodecDatabaseLoad, FailedSectionKeepsEarlierTables) {
    DbSections d = smallDb();
    d.results = {"0x80004005\tE_FAIL\tbad\textra"};
    test::MemoryFileSystem fs;
    fs.files["Tavro21.dat"] = dbText(d);
    RecordingPrompter prompter;
    CodecDatabase db;
    EXPECT_FALSE(db.load(fs, prompter));
    EXPECT_STREQ(db.video(1).key, "XVID");
    EXPECT_STREQ(db.audio(1).key, "0x0055");
    EXPECT_STREQ(db.guid(0).detail, "<unknown>");
}

// Fills one section with `count` entries, the others with one, and says whether it loads.
bool loadsWithEntries(int section, int count) {
    DbSections d = smallDb();
    std::vector<std::string>* tables[] = {&d.video, &d.audio, &d.results, &d.guids};
    std::vector<std::string>& lines = *tables[section];
    lines.clear();
    for (int i = 0; i < count; ++i) {
        char line[80];
        std::snprintf(line, sizeof line, "{%08X-0000-0010-8000-00AA00389B71}\tN%d\tD%d", i, i, i);
        lines.push_back(line);
    }
    test::MemoryFileSystem fs;
    fs.files["Tavro21.dat"] = dbText(d);
    RecordingPrompter prompter;
    CodecDatabase db;
    return db.load(fs, prompter);
}

TEST(CodecDatabaseLoad, SlotCapacity) {
    const int entries[] = {399, 149, 199, 399};
    for (int s = 0; s < 4; ++s) {
        EXPECT_TRUE(loadsWithEntries(s, entries[s])) << "section " << s;
        EXPECT_FALSE(loadsWithEntries(s, entries[s] + 1)) << "section " << s;
    }
}

// A valid file padded to exactly `size` bytes through its last detail field.
std::string fileOfSize(size_t size) {
    std::string text = dbText(smallDb());
    const std::string tail = "Video\r\n";
    text.insert(text.size() - tail.size() + 5, size - text.size(), 'x');
    return text;
}

struct MessageCase {
    const char* what;
    void (*setUp)(test::MemoryFileSystem&);
    bool loads;
    std::string text; // expected message, empty for none
};

TEST(CodecDatabaseLoad, LocatingSizeAndReadErrors) {
    const MessageCase cases[] = {
        {"exactly the size limit",
         [](test::MemoryFileSystem& fs) { fs.files["Tavro21.dat"] = fileOfSize(100000); }, true,
         ""},
        {"one byte over the limit",
         [](test::MemoryFileSystem& fs) { fs.files["Tavro21.dat"] = fileOfSize(100001); }, false,
         "Invalid Data file: Tavro21.dat"},
        {"empty file in the program folder",
         [](test::MemoryFileSystem& fs) { fs.files[kProgramCopy] = ""; }, false,
         "Invalid Data file: " + kProgramCopy},
        {"only in the program folder",
         [](test::MemoryFileSystem& fs) { fs.files[kProgramCopy] = dbText(smallDb()); }, true, ""},
        {"nowhere", [](test::MemoryFileSystem&) {}, false,
         "Error opening Data file " + kProgramCopy +
             ":\n\nThe system cannot find the file specified."},
        {"read error",
         [](test::MemoryFileSystem& fs) {
             fs.files["Tavro21.dat"] = dbText(smallDb());
             fs.failReads = true;
         },
         false, "Error reading Data file Tavro21.dat:\n\nData error (cyclic redundancy check)."},
        {"short read",
         [](test::MemoryFileSystem& fs) {
             fs.files["Tavro21.dat"] = dbText(smallDb());
             fs.claimedExtra = 3;
         },
         false, "Error reading Data file Tavro21.dat:\n\n"},
    };
    for (const MessageCase& c : cases) {
        test::MemoryFileSystem fs;
        c.setUp(fs);
        RecordingPrompter prompter;
        CodecDatabase db;
        EXPECT_EQ(db.load(fs, prompter), c.loads) << c.what;
        if (c.text.empty()) {
            EXPECT_TRUE(prompter.messages.empty()) << c.what;
            continue;
        }
        ASSERT_EQ(prompter.messages.size(), 1u) << c.what;
        EXPECT_EQ(prompter.messages[0].text, c.text) << c.what;
        EXPECT_EQ(prompter.messages[0].caption, "Load Data") << c.what;
        EXPECT_EQ(prompter.messages[0].icon, Icon::Exclamation) << c.what;
        EXPECT_EQ(prompter.messages[0].buttons, Buttons::Ok) << c.what;
    }
}

TEST(CodecDatabaseLoad, CurrentFolderWinsOverProgramFolder) {
    DbSections other = smallDb();
    other.video = {"MJPG\tMotion JPEG\tvarious"};
    test::MemoryFileSystem fs;
    fs.files["Tavro21.dat"] = dbText(smallDb());
    fs.files[kProgramCopy] = dbText(other);
    RecordingPrompter prompter;
    CodecDatabase db;
    ASSERT_TRUE(db.load(fs, prompter));
    EXPECT_STREQ(db.video(1).key, "XVID");
}

// An installed program: the current folder, then beside the program, then the
// installed data folder; a copy that is found but bad is never passed over.
TEST(CodecDatabaseLoad, InstalledProgramLookupOrder) {
    const std::string cwd = "Tavro21.dat";
    const std::string beside = "/opt/t/bin/Tavro21.dat";
    const std::string installed = "/opt/t/share/tavro/Tavro21.dat";
    struct Case {
        const char* what;
        std::vector<std::string> present; // each holds a data base naming its own place
        std::string broken;               // present but empty
        std::string loadedFrom;           // empty: the load fails
        std::string message;
    };
    const Case cases[] = {
        {"all three", {cwd, beside, installed}, "", cwd, ""},
        {"beside and installed", {beside, installed}, "", beside, ""},
        {"installed only", {installed}, "", installed, ""},
        {"empty copy beside the program", {installed}, beside, "", "Invalid Data file: " + beside},
        {"nowhere",
         {},
         "",
         "",
         "Error opening Data file " + installed +
             ":\n\nThe system cannot find the file specified."},
    };
    for (const Case& c : cases) {
        test::MemoryFileSystem fs;
        fs.folder = "/opt/t/bin/";
        for (const std::string& path : c.present) {
            DbSections d = smallDb();
            d.video = {"PLAC\t" + path + "\tsomewhere"};
            fs.files[path] = dbText(d);
        }
        if (!c.broken.empty()) fs.files[c.broken] = "";
        RecordingPrompter prompter;
        CodecDatabase db;
        db.setInstalledFolder("../share/tavro/");
        EXPECT_EQ(db.load(fs, prompter), !c.loadedFrom.empty()) << c.what;
        if (!c.loadedFrom.empty()) EXPECT_EQ(std::string(db.video(1).name), c.loadedFrom) << c.what;
        if (c.message.empty()) {
            EXPECT_TRUE(prompter.messages.empty()) << c.what;
        } else {
            ASSERT_EQ(prompter.messages.size(), 1u) << c.what;
            EXPECT_EQ(prompter.messages[0].text, c.message) << c.what;
        }
    }
}

TEST(CodecDatabaseLoad, InstalledPathResolvesParentSteps) {
    const struct {
        const char* programFolder;
        const char* relative;
        const char* path;
    } cases[] = {
        {"/usr/bin/", "../share/tavro/", "/usr/share/tavro/Tavro21.dat"},
        {"/usr/local/bin/", "../share/tavro/", "/usr/local/share/tavro/Tavro21.dat"},
        {"/x/a/b/", "../../data/", "/x/data/Tavro21.dat"},
        {"/bin/", "../../share/", "/share/Tavro21.dat"}, // never above the root
        {"/opt/t/", "data/", "/opt/t/data/Tavro21.dat"},
        {"", "../share/tavro/", ""}, // no program folder known: no installed copy
        {"/usr/bin/", "", ""},       // no installed folder set
    };
    for (const auto& c : cases) {
        CodecDatabase db;
        db.setInstalledFolder(c.relative);
        EXPECT_EQ(db.installedPath(c.programFolder), c.path) << c.programFolder << c.relative;
    }
}

TEST(CodecDatabaseLoad, MessageTextIsBounded) {
    test::MemoryFileSystem fs;
    fs.folder = "C:\\" + std::string(400, 'd') + "\\";
    RecordingPrompter prompter;
    CodecDatabase db;
    EXPECT_FALSE(db.load(fs, prompter));
    ASSERT_EQ(prompter.messages.size(), 1u);
    EXPECT_EQ(prompter.messages[0].text.size(), 287u);
    EXPECT_EQ(prompter.messages[0].text.compare(0, 27, "Error opening Data file C:\\"), 0);
}

TEST(CodecDatabaseLoad, StartupAddsTheFatalMessage) {
    const struct {
        const char* what;
        std::string file;
        size_t messages;
    } cases[] = {
        {"good file", dbText(smallDb()), 0},
        {"parse failure", "[video codecs]\n", 1},
        {"bad size", "", 2},
    };
    for (const auto& c : cases) {
        test::MemoryFileSystem fs;
        fs.files["Tavro21.dat"] = c.file;
        RecordingPrompter prompter;
        CodecDatabase db;
        EXPECT_EQ(loadCodecDatabaseAtStartup(db, fs, prompter), c.messages == 0) << c.what;
        ASSERT_EQ(prompter.messages.size(), c.messages) << c.what;
        if (c.messages == 0) continue;
        const RecordingPrompter::Message& last = prompter.messages.back();
        EXPECT_EQ(last.text, "Error processing codec data base file Tavro21.dat.\n") << c.what;
        EXPECT_EQ(last.caption, "Fatal Error") << c.what;
        EXPECT_EQ(last.icon, Icon::Stop) << c.what;
    }
}

} // namespace
} // namespace tavro
