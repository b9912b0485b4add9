#include "codecs/codec_database.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/codecs/db_text.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

class Lookup : public ::testing::Test {
  protected:
    void SetUp() override {
        DbSections d;
        d.video = {"DIVX\tDivX 4/5\tDivX, Inc.", "DIV\tThree letters\tnone",
                   "Y8  \tGreyscale\t*uncompressed", "divx\tsecond match\tnever reached"};
        d.audio = {"0x0055\tWAVE_FORMAT_MPEGLAYER3\tMPEG Layer-3",
                   "0x0001 \tWAVE_FORMAT_PCM\ttrailing space",
                   "0X0002\tWAVE_FORMAT_ADPCM\tupper-case X",
                   "0x0011\tIMA_ADPCM\tno prefix",
                   "0x0012\tWAVE_FORMAT_\tonly the prefix",
                   "0x0031\tWAVE_FORMAT_GSM610\tGSM 6.10"};
        d.results = {"0x8004022F\tVFW_E_INVALID_FILE_FORMAT\tThe file is damaged.",
                     "0x80004005\tE_FAIL\tUnspecified failure."};
        d.guids = {"not a guid\tX\tBroken key",
                   "{73646976-0000-0010-8000-00aa00389b71}\tMEDIATYPE_Video\tVideo",
                   "{E436EB83-524F-11CE-9F53-0020AF0BA770}trailing\tX\tMPEG-1 System"};
        fs.files["Tavro21.dat"] = dbText(d);
        ASSERT_TRUE(db.load(fs, prompter));
    }
    test::MemoryFileSystem fs;
    RecordingPrompter prompter;
    CodecDatabase db;
};

TEST_F(Lookup, VideoFourcc) {
    const struct {
        const char* fourcc;
        int slot;
    } cases[] = {
        {"DIVX", 1}, {"divx", 1}, {"dIvX", 1}, {"DIV", 2}, {"div", 2},   {"Y8  ", 3},
        {"y8  ", 3}, {"Y8", 0},   {"XVID", 0}, {"", 0},    {nullptr, 0}, {"DIVXextra", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db.findVideoFormat(c.fourcc), c.slot) << (c.fourcc ? c.fourcc : "(null)");
    EXPECT_STREQ(db.video(db.findVideoFormat("H264")).name, "<unknown>");
}

TEST_F(Lookup, AudioDisplayName) {
    const struct {
        const char* tag;
        int slot;
        const char* display;
    } cases[] = {
        {"0x0055", 1, "mpeglayer3 (0x0055) MPEG Layer-3"},
        {"0x0001", 0, "0x0001: <unknown>"}, // the key has a trailing space
        {"0x0002", 0, "0x0002: <unknown>"}, // the key has an upper-case X
        {"0x0011", 4, "IMA_ADPCM (0x0011) no prefix"},
        {"0x0012", 5, "WAVE_FORMAT_ (0x0012) only the prefix"},
        {"0x0031", 6, "gsm610 (0x0031) GSM 6.10"},
        {"0x00", 0, "0x00: <unknown>"},
        {nullptr, 0, ": <unknown>"},
    };
    for (const auto& c : cases) {
        std::string display;
        EXPECT_EQ(db.findAudioFormat(c.tag, &display), c.slot) << c.display;
        EXPECT_EQ(display, c.display);
    }
}

TEST_F(Lookup, AudioFormatName) {
    const struct {
        uint16_t tag;
        size_t size;
        int result;
        const char* text;
    } cases[] = {
        {0x0055, 64, 1, "WAVE_FORMAT_MPEGLAYER3 (0x0055)"},
        {0x0031, 64, 6, "WAVE_FORMAT_GSM610 (0x0031)"},
        {0x0031, 13, 6, "WAVE_FORMAT_"},
        {0x0031, 20, 6, "WAVE_FORMAT_GSM610 "},
        {0x0001, 64, -1, "( Unknown )"},
        {0x1234, 13, -1, "( Unknown )"},
        {0x0055, 12, -1, "untouched"},
    };
    for (const auto& c : cases) {
        char out[64];
        std::strcpy(out, "untouched");
        EXPECT_EQ(db.audioFormatName(c.tag, out, c.size), c.result) << c.text;
        EXPECT_STREQ(out, c.text);
    }
}

TEST_F(Lookup, ResultCodes) {
    std::string text;
    const CodecDatabaseEntry* e = db.resultCodeText(0x8004022F, &text);
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "VFW_E_INVALID_FILE_FORMAT");
    EXPECT_EQ(text, "0x8004022f: VFW_E_INVALID_FILE_FORMAT - The file is damaged.");
    EXPECT_NE(db.resultCodeText(0x80004005, &text), nullptr);
    EXPECT_EQ(text, "0x80004005: E_FAIL - Unspecified failure.");
    EXPECT_EQ(db.resultCodeText(0x800401F0, &text), nullptr);
    EXPECT_EQ(text, "0x800401f0: [unknown]");
}

TEST_F(Lookup, GuidNames) {
    const Guid video = {
        0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    const Guid system = {
        0xe436eb83, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
    const Guid zero{};
    char out[16] = "untouched";
    EXPECT_FALSE(db.guidName(zero, out, sizeof out)); // the broken key matches nothing
    EXPECT_STREQ(out, "untouched");
    EXPECT_TRUE(db.guidName(video, out, sizeof out));
    EXPECT_STREQ(out, "Video");
    EXPECT_TRUE(db.guidName(system, out, 6)); // only 38 characters of the key count
    EXPECT_STREQ(out, "MPEG-");
    EXPECT_TRUE(db.guidName(system, nullptr, 0));
    std::strcpy(out, "x");
    EXPECT_TRUE(db.guidName(video, out, 0));
    EXPECT_STREQ(out, "x");
}

TEST_F(Lookup, ListCounts) {
    EXPECT_EQ(db.videoListCount(), 4);
    EXPECT_EQ(db.audioListCount(), 6);
}

TEST(LookupBeforeLoad, DefaultSlotsAnswer) {
    CodecDatabase db;
    std::string text;
    EXPECT_EQ(db.findVideoFormat("XVID"), 0);
    EXPECT_STREQ(db.video(0).detail, "<unknown>");
    EXPECT_EQ(db.resultCodeText(0, &text), nullptr);
    EXPECT_EQ(text, "0x00000000: [unknown]");
    char out[16];
    EXPECT_EQ(db.audioFormatName(1, out, sizeof out), -1);
    EXPECT_EQ(db.videoListCount(), 0);
}

} // namespace
} // namespace tavro
