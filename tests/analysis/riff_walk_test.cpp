#include "analysis/riff_walker.h"

#include <gtest/gtest.h>

#include "analysis/text_run.h"
#include "tests/support/analysis_fixture.h"

namespace tavro {
namespace {

using namespace test;

TEST(RiffWalk, ReadsAviHeaders) {
    Bytes file = simpleAvi();
    LoadedHead h(file);
    ASSERT_TRUE(walkRiff(h.a));
    const AviHeaderModel& avi = h.info->avi;
    EXPECT_EQ(avi.mainHeader.microSecPerFrame(), 40000u);
    EXPECT_EQ(avi.mainHeader.width(), 320u);
    EXPECT_EQ(avi.videoStreams, 1);
    EXPECT_EQ(avi.audioStreams, 1);
    EXPECT_EQ(avi.videoHeader.length(), 10u);
    EXPECT_EQ(fourcc("MJPG"), avi.videoFormat.compression());
    EXPECT_EQ(avi.audioFormat[0].formatTag(), 1);
    EXPECT_EQ(avi.audioFormat[0].channels(), 2);
    EXPECT_EQ(avi.moviSize, 4u + 10 * (108 + 72));
    // Ten alternating video/audio runs; the last (audio) run is dropped as cut.
    EXPECT_EQ(h.info->interleave.slots[0].runCount, 10);
    EXPECT_EQ(h.info->interleave.slots[1].runCount, 9);
    EXPECT_EQ(h.info->interleave.firstStream, 0);
    EXPECT_EQ(h.info->audioWrite[0], 640u);
    EXPECT_EQ(h.info->audioCollect(0)[0], 0x11);
}

TEST(RiffWalk, StreamHeadersOfOtherKindsAreSkipped) {
    // video, text, then four audio streams: the text strf and the fourth audio are ignored.
    Bytes strls =
        list("LIST", "strl", strh("vids", "DIVX", 1, 25, 5) + bitmapStrf(64, 48, fourcc("DX50"))) +
        list("LIST", "strl", strh("txts", "    ", 1, 1, 1) + bitmapStrf(1, 1, 7));
    for (uint16_t n = 1; n <= 4; ++n)
        strls = strls + list("LIST", "strl",
                             strh("AUDS", "    ", 1, 8000, 8000) +
                                 chunk("strf", waveFormat(0x55, n, 8000 * n, 1000 * n, 1, 0)));
    strls = strls + list("LIST", "strl", strh("vids", "XVID", 1, 25, 5) + bitmapStrf(9, 9, 9));
    Bytes file = list("RIFF", "AVI ", list("LIST", "hdrl", avih(40000, 5, 6, 64, 48) + strls));
    LoadedHead h(file);
    ASSERT_TRUE(walkRiff(h.a));
    const AviHeaderModel& avi = h.info->avi;
    EXPECT_EQ(avi.videoStreams, 2);
    EXPECT_EQ(avi.audioStreams, 3);
    EXPECT_EQ(avi.videoFormat.width(), 64u);
    EXPECT_EQ(avi.videoFormat.compression(), fourcc("DX50"));
    for (int n = 0; n < 3; ++n)
        EXPECT_EQ(avi.audioFormat[n].channels(), n + 1);
}

TEST(RiffWalk, ChunkSizesAgainstParent) {
    struct Case {
        const char* name;
        Bytes file;
        bool ok;
    };
    Bytes hdrl = list("LIST", "hdrl", avih(40000, 1, 1, 8, 8));
    uint32_t riffSize = static_cast<uint32_t>(4 + hdrl.size());
    const Case cases[] = {
        {"1024 beyond parent",
         list("RIFF", "AVI ", list("LIST", "hdrl", avih(1, 1, 1, 8, 8), riffSize + 1024)), true},
        {"1025 beyond parent",
         list("RIFF", "AVI ", list("LIST", "hdrl", avih(1, 1, 1, 8, 8), riffSize + 1025)), false},
        // Parents of 2 GiB and more, and the all-ones sizes of a piped file, hold big children.
        {"3 GiB RIFF",
         list("RIFF", "AVI ", hdrl + list("LIST", "movi", chunk("00dc", Bytes(8)), 0x90000000u),
              0xC0000000u),
         true},
        {"piped sizes",
         list("RIFF", "AVI ", hdrl + list("LIST", "movi", chunk("00dc", Bytes(8)), 0xFFFFFFFFu),
              0xFFFFFFFFu),
         true},
        {"empty list", list("RIFF", "AVI ", list("LIST", "hdrl", {}) + hdrl), true},
        {"short list", list("RIFF", "AVI ", chunk("LIST", text("ab")) + hdrl), true},
        {"zero-size chunks", list("RIFF", "AVI ", chunk("JUNK", {}) + chunk("JUNK", {}) + hdrl),
         true},
        {"odd-size chunk", list("RIFF", "AVI ", chunk("JUNK", text("abc")) + hdrl), true},
        {"header cut by head", Bytes{'R', 'I', 'F', 'F', 0, 1, 0, 0, 'A', 'V', 'I', ' ', 'L', 'I'},
         true},
    };
    for (const Case& c : cases) {
        LoadedHead h(c.file);
        EXPECT_EQ(walkRiff(h.a), c.ok) << c.name;
    }
}

TEST(RiffWalk, PipedSizesStillFindTheHeaders) {
    Bytes file = simpleAvi();
    for (size_t at : {size_t(4)})
        std::fill(file.begin() + at, file.begin() + at + 4, 0xFF);
    LoadedHead h(file);
    ASSERT_TRUE(walkRiff(h.a));
    EXPECT_EQ(h.info->avi.videoStreams, 1);
    EXPECT_EQ(h.info->interleave.slots[0].runCount, 10);
}

TEST(RiffWalk, DeepNestingIsBounded) {
    Bytes inner = chunk("JUNK", text("deep text here"));
    for (int i = 0; i < 200; ++i)
        inner = list("LIST", "nest", inner);
    LoadedHead h(list("RIFF", "AVI ", inner));
    EXPECT_TRUE(walkRiff(h.a));
    EXPECT_TRUE(h.report.comments().empty()); // the JUNK lies below the depth bound
}

TEST(RiffWalk, ShortHeaderChunksAreZeroFilled) {
    Bytes shortAvih = chunk("avih", Bytes{0x40, 0x9C, 0x00, 0x00, 0xAA}); // 5 of 56 bytes
    Bytes file = list("RIFF", "AVI ", list("LIST", "hdrl", shortAvih + chunk("segm", {})));
    LoadedHead h(file);
    std::memset(h.info->headBuffer() + file.size(), 0x77, 4096); // stale bytes past the head
    ASSERT_TRUE(walkRiff(h.a));
    EXPECT_EQ(h.info->avi.mainHeader.microSecPerFrame(), 40000u);
    EXPECT_EQ(h.info->avi.mainHeader.raw[4], 0xAA);
    for (size_t i = 5; i < 56; ++i)
        ASSERT_EQ(h.info->avi.mainHeader.raw[i], 0) << i;
    EXPECT_EQ(h.info->avi.segmentNumber, 1);

    // A strh whose size runs past the head copies only the head's bytes.
    Bytes cut = list("RIFF", "AVI ",
                     list("LIST", "hdrl", list("LIST", "strl", strh("vids", "ABCD", 1, 25, 9))));
    cut.resize(cut.size() - 30);
    LoadedHead c(cut);
    std::memset(c.info->headBuffer() + cut.size(), 0x77, 4096);
    ASSERT_TRUE(walkRiff(c.a));
    EXPECT_EQ(c.info->avi.videoStreams, 1);
    EXPECT_EQ(c.info->avi.videoHeader.raw[63], 0);
    EXPECT_EQ(c.info->avi.videoHeader.raw[33], 0);
}

TEST(RiffWalk, CommentRows) {
    Bytes info = list("LIST", "INFO",
                      chunk("INAM", text("My title\0tail")) + chunk("ICMT", {}) +
                          chunk("IART", text("Artist")));
    Bytes junk =
        Bytes(16, 0) + text("Encoded by x/yWriter 2.0") + Bytes(10, 0) + text("aaaaaaaaaaaa");
    Bytes hdrl = list("LIST", "hdrl", avih(40000, 1, 1, 8, 8) + chunk("ISFT", text("MyMux 1.0")));
    Bytes file =
        list("RIFF", "AVI ", hdrl + info + chunk("JUNK", junk) + chunk("junk", Bytes(9000, 0)));
    LoadedHead h(file);
    ASSERT_TRUE(walkRiff(h.a));
    std::vector<std::pair<std::string, std::string>> rows;
    for (const CommentRow& r : h.report.comments())
        rows.push_back({r.code, r.text});
    const std::vector<std::pair<std::string, std::string>> want = {
        {"ISFT", "MyMux 1.0"}, {"INAM", "My title"},     {"ICMT", ""},
        {"IART", "Artist"},    {"JUNK", "Encoded by x"}, {"JUNK", "yWriter 2"}};
    EXPECT_EQ(rows, want);
    EXPECT_EQ(h.info->avi.commentRows, 6);
    EXPECT_EQ(h.info->avi.junkTexts, 2);
    size_t infoAt = 12 + hdrl.size();
    EXPECT_EQ(h.info->avi.firstInfoChunk, infoAt + 12);
    EXPECT_EQ(h.info->avi.largestJunkSize, 9000u);
}

TEST(RiffWalk, AtMostFiveJunkRows) {
    Bytes junk;
    for (int i = 0; i < 8; ++i)
        junk = junk + text("Row number ") + Bytes{uint8_t('0' + i), 0};
    LoadedHead h(list("RIFF", "AVI ", chunk("JUNK", junk)));
    ASSERT_TRUE(walkRiff(h.a));
    EXPECT_EQ(h.report.comments().size(), 5u);
    EXPECT_EQ(h.report.comments()[4].text, "Row number 4");
}

TEST(FindTextRun, Rules) {
    struct Case {
        std::string data;
        bool found;
        size_t start, length;
    };
    const Case cases[] = {
        {std::string("\0\0Quick brown\0", 14), true, 2, 11},
        {"aaaaaaaaaaaaaaa", false, 0, 0},
        {"abcde", false, 0, 0},
        {"xx-abcdef-", true, 3, 6},
        {"aabcdefg", true, 2, 6},
        {"abccdefghi", true, 4, 6},   // a repeat restarts the count
        {"abcdef  ghh", true, 0, 11}, // repeats allowed once the run began
    };
    for (const Case& c : cases) {
        TextRun run;
        bool found =
            findTextRun(reinterpret_cast<const uint8_t*>(c.data.data()), c.data.size(), &run);
        EXPECT_EQ(found, c.found) << c.data;
        if (found && c.found) {
            EXPECT_EQ(run.start, c.start) << c.data;
            EXPECT_EQ(run.length, c.length) << c.data;
        }
    }
    std::string far(9000, '\0');
    far.replace(8500, 10, "abcdefghij");
    TextRun run;
    EXPECT_FALSE(findTextRun(reinterpret_cast<const uint8_t*>(far.data()), far.size(), &run));
}

} // namespace
} // namespace tavro
