// The Tavro21.dat that ships with the program: it must load, stay within its
// limits and name what the generated test media contain.
#include "codecs/codec_database.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "analysis/streams/codec_family.h"
#include "codecs/stream_codec_status.h"
#include "tests/codecs/recording_prompter.h"
#include "tests/support/memory_file_system.h"

namespace tavro {
namespace {

std::string readShippedFile() {
    std::string bytes;
    FILE* f = std::fopen(TAVRO_SOURCE_DIR "/codecs/data/Tavro21.dat", "rb");
    if (!f) return bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    std::fclose(f);
    return bytes;
}

class Shipped : public ::testing::Test {
  protected:
    void SetUp() override {
        bytes = readShippedFile();
        fs.files["Tavro21.dat"] = bytes;
        ASSERT_TRUE(db.load(fs, prompter));
        ASSERT_TRUE(prompter.messages.empty());
    }
    std::string bytes;
    test::MemoryFileSystem fs;
    RecordingPrompter prompter;
    CodecDatabase db;
};

TEST_F(Shipped, StaysWithinLimits) {
    EXPECT_LE(bytes.size(), 100000u);
    EXPECT_EQ(bytes.find("\n"), bytes.find("\r\n") + 1) << "lines end in CR LF";
    for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
        ASSERT_EQ(bytes[at - 1], '\r') << "bare line feed at byte " << at;
    // Most of the video table and all of the audio table are used.
    EXPECT_GE(db.videoListCount(), 300);
    EXPECT_EQ(db.audioListCount(), 149);
}

TEST_F(Shipped, NamesNewerAndCaptureFourccs) {
    for (const char* fourcc : {"hev1", "vp09", "av01", "FLV4", "uly4", "M8RG", "ap4x", "MSA1",
                               "AMVV", "mx5p", "SHQ2", "Q1.0", "dvc "}) {
        int slot = db.findVideoFormat(fourcc);
        EXPECT_GT(slot, 0) << fourcc;
        EXPECT_NE(db.video(slot).detail[0], '*') << fourcc << " needs a codec";
    }
    for (const char* raw : {"v410", "Y210", "2vuy", "AI44", "DIB "})
        EXPECT_EQ(db.video(db.findVideoFormat(raw)).detail[0], '*') << raw << " needs no codec";
}

TEST_F(Shipped, NamesTheFormatsOfTheTestMedia) {
    for (const char* fourcc : {"XVID", "DX50", "DIVX", "MJPG", "H264", "avc1", "FMP4", "DIV3",
                               "cvid", "MP42", "WMV2", "VP80", "HFYU", "FFV1", "dvsd", "MPG2"}) {
        int slot = db.findVideoFormat(fourcc);
        EXPECT_GT(slot, 0) << fourcc;
        EXPECT_NE(db.video(slot).detail[0], '*') << fourcc << " needs a codec";
    }
    for (const char* raw :
         {"_RGB", "_RL8", "_RL4", "_BIT", "_JPG", "_PNG", "YUY2", "UYVY", "YV12", "I420", "NV12"}) {
        int slot = db.findVideoFormat(raw);
        ASSERT_GT(slot, 0) << raw;
        EXPECT_EQ(db.video(slot).detail[0], '*') << raw << " needs no codec";
    }
    for (uint16_t tag : {0x0055, 0x0050, 0x2000, 0x0001, 0x0011, 0x674f, 0x6750, 0x0161, 0x0002,
                         0x0006, 0x0007, 0x0031, 0x0003, 0x00ff, 0xfffe}) {
        char name[64];
        EXPECT_GT(db.audioFormatName(tag, name, sizeof name), 0) << std::hex << tag;
    }
    std::string display;
    db.findAudioFormat("0x0055", &display);
    EXPECT_EQ(display.compare(0, 18, "mpeglayer3 (0x0055"), 0) << display;
}

TEST_F(Shipped, NamesResultCodesAndGuids) {
    for (uint32_t code :
         {0x00000000u, 0x00000001u, 0x80004005u, 0x8007000Eu, 0x80004002u, 0x80040154u, 0x80070002u,
          0x80070003u, 0x8004022Fu, 0x80040265u, 0x8004021Au, 0x80040218u, 0x00040258u}) {
        std::string text;
        EXPECT_NE(db.resultCodeText(code, &text), nullptr) << text;
    }
    const Guid video = {
        0x73646976, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    const Guid yuy2 = {
        0x32595559, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
    char name[64];
    EXPECT_TRUE(db.guidName(video, name, sizeof name));
    EXPECT_TRUE(db.guidName(yuy2, name, sizeof name));
    for (int slot = 1; db.guid(slot).key; ++slot)
        EXPECT_TRUE(db.guid(slot).hasGuid) << slot;
}

// Every family a modern reader can name has a key the status lookup can name it by.
TEST_F(Shipped, NamesEveryCodecFamilyThatHasKeys) {
    for (const CodecKeys& family : codecFamilies()) {
        StreamFacts stream;
        stream.kind = family.kind;
        stream.codec = family.family;
        const StreamCodecKeys keys = streamCodecKeys(stream);
        if (keys.keys.empty()) continue;
        StreamCodecStatus s = resolveStreamCodec(stream, 1, db, nullptr, nullptr);
        EXPECT_GT(s.entrySlot, 0) << family.family;
        EXPECT_FALSE(s.namedBy.empty()) << family.family;
    }
}

TEST_F(Shipped, NamesTheModernCodecKeys) {
    for (const char* fourcc :
         {"AVC1", "avc1", "H264", "h264", "X264", "x264", "DAVC", "CCV1", "HEVC",
          "HVC1", "hvc1", "HEV1", "hev1", "H265", "VP80", "VP90", "vp09", "AV01",
          "av01", "MPG2", "mpg2", "MP2V", "apcn", "apch", "apcs", "apco", "ap4h",
          "WVC1", "WMV3", "WMVA", "WMV1", "WMV2", "FLV1", "VP6F", "THEO", "theo"}) {
        const int slot = db.findVideoFormat(fourcc);
        EXPECT_GT(slot, 0) << fourcc;
        EXPECT_NE(db.video(slot).detail[0], '*') << fourcc << " needs a codec";
    }
    for (const char* tag :
         {"0x00ff", "0x1600", "0x1602", "0x1610", "0x706d", "0x704f", "0xf1ac", "0x6c61", "0x2000",
          "0x2001", "0x566f", "0x674f", "0x6750", "0x6751", "0x0160", "0x0161", "0x0162", "0x0163"})
        EXPECT_GT(db.findAudioFormat(tag, nullptr), 0) << tag;
}

} // namespace
} // namespace tavro
