// Real files made by make_samples with oggenc, ffmpeg and ogmmerge.
#include "analysis/ogg_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/analysis/ogg/ogg_samples.h"

namespace tavro {
namespace {

using namespace test;

TEST(OggReaderFiles, ReadsWhatTheToolsWrote) {
    int seen = 0;
    for (const FileCase& c : kFiles) {
        Bytes head;
        if (!loadHead(c.name, head)) continue;
        ++seen;
        OggReadResult r;
        ASSERT_EQ(readOggStreams(head.data(), head.size(), r), c.code) << c.name;
        EXPECT_EQ(r.hasVideo, c.video != nullptr) << c.name;
        if (c.video) {
            EXPECT_EQ(fourcc(r.videoHeader + kStrhHandler), c.video) << c.name;
            EXPECT_EQ(fourcc(r.videoFormat + kBihCompression), c.video) << c.name;
            EXPECT_EQ(le32(r.mainHeader + kAvihMicroSecPerFrame), 40000u) << c.name;
        }
        if (c.code != kOggOk) continue;
        ASSERT_EQ(r.audioStreams, c.audioTags.size()) << c.name;
        for (size_t n = 0; n < c.audioTags.size(); ++n)
            EXPECT_EQ(le16(r.audioFormat[n] + kWaveFormatTag), c.audioTags[n]) << c.name << n;
        EXPECT_EQ(r.comments.size(), c.commentRows) << c.name;
    }
    if (!seen) GTEST_SKIP() << "no samples in " OGG_SAMPLE_DIR;
}

TEST(OggReaderFiles, CommentsOfTheTools) {
    Bytes head;
    if (!loadHead("vorbis_serial0.ogg", head)) GTEST_SKIP();
    OggReadResult r;
    ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk);
    ASSERT_EQ(r.comments.size(), 3u);
    EXPECT_STREQ(r.comments[0].source, "aud");
    EXPECT_EQ(r.comments[0].name, "VENDOR");
    EXPECT_NE(r.comments[0].value.find("libVorbis"), std::string::npos);
    EXPECT_EQ(r.comments[1].name + "|" + r.comments[1].value, "ARTIST|Tavro");
    EXPECT_EQ(r.comments[2].name + "|" + r.comments[2].value, "TITLE|Sine test");

    if (!loadHead("vorbis_many_comments.ogg", head)) return;
    ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk);
    ASSERT_EQ(r.comments.size(), 301u);
    EXPECT_EQ(r.comments.back().name + "=" + r.comments.back().value, "COMMENT300=value 300");

    if (!loadHead("ogm_vorbis.ogm", head)) return;
    ASSERT_EQ(readOggStreams(head.data(), head.size(), r), kOggOk);
    ASSERT_FALSE(r.comments.empty());
    EXPECT_STREQ(r.comments[0].source, "vid"); // stream 0 is the video: no "aud" rows
    EXPECT_EQ(r.comments[0].name, "VENDOR");
}

} // namespace
} // namespace tavro
