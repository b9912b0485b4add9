#include <gtest/gtest.h>

#include "app/ui/link_target.h"

namespace tavro {
namespace {

TEST(LinkTarget, ParsesEachKind) {
    const struct {
        const char* target;
        LinkKind kind;
        int number;
        const char* name;
    } cases[] = {
        {"tavro://3.video.codec", LinkKind::VideoCodec, 3, ""},
        {"TAVRO://12.Audio.codec", LinkKind::AudioCodec, 12, ""},
        {"tavro://2.FilterGraph.info", LinkKind::FilterGraph, 2, ""},
        {"tavro://0.rendergraph.show", LinkKind::RenderGraph, 0, ""},
        {"tavro://x7.audio.codec", LinkKind::AudioCodec, 0, ""}, // no digits: record 0
        {"tavro://4x.video.codec", LinkKind::VideoCodec, 4, ""}, // digits up to the x
        {"tavro://5.video.", LinkKind::VideoCodec, 5, ""},       // the rest is not read
        {"tavro://99999999999999.video.codec", LinkKind::VideoCodec, 2147483647, ""},
        {"tavro://3.video", LinkKind::None, 0, ""}, // one dot only
        {"tavro://3.picture.codec", LinkKind::None, 0, ""},
        {"tavro://3..codec", LinkKind::None, 0, ""},
        {"tavro:/3.video.codec", LinkKind::None, 0, ""},
        {"", LinkKind::None, 0, ""},
        {"tavro://local.legal", LinkKind::Local, 0, "legal"},
        {"Tavro://LOCAL.modes", LinkKind::Local, 0, "modes"},
        {"http://example.org/x", LinkKind::Web, 0, "http://example.org/x"},
    };
    for (const auto& c : cases) {
        const LinkTarget link = parseLinkTarget(c.target);
        EXPECT_EQ(link.kind, c.kind) << c.target;
        EXPECT_EQ(link.number, c.number) << c.target;
        EXPECT_EQ(link.name, c.name) << c.target;
    }
}

TEST(LinkTarget, LooksAtSixtyThreeCharactersOnly) {
    // The second dot lies past character 63, so the link is malformed.
    const std::string padded = "tavro://1.video" + std::string(60, 'z') + ".codec";
    EXPECT_EQ(parseLinkTarget(padded).kind, LinkKind::None);
    const std::string fits = "tavro://1.video." + std::string(60, 'z');
    EXPECT_EQ(parseLinkTarget(fits).kind, LinkKind::VideoCodec);
}

TEST(LinkTarget, BuildsWhatItParses) {
    EXPECT_EQ(videoCodecLink(3), "tavro://3.video.codec");
    EXPECT_EQ(audioCodecLink(0), "tavro://0.audio.codec");
    EXPECT_EQ(filterGraphLink(9), "tavro://9.filtergraph.info");
    EXPECT_EQ(parseLinkTarget(filterGraphLink(9)).number, 9);
    EXPECT_EQ(parseLinkTarget(renderGraphLink()).kind, LinkKind::RenderGraph);
}

} // namespace
} // namespace tavro
