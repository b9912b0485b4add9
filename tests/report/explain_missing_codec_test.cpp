// The "not installed" texts: what is needed, who else claims the format, and what
// to look for, with or without a render test.
#include <gtest/gtest.h>

#include "report/explanations.h"

namespace tavro {
namespace {

MissingCodecFacts xvid() {
    MissingCodecFacts f;
    f.keys = {"XVID"};
    f.formatName = "Xvid (MPEG-4 Part 2)";
    f.vendor = "Xvid open source project";
    f.ownBits = 64;
    f.searched = true;
    return f;
}

TEST(MissingCodecAdvice, SaysWhatIsNeededFromWhatIsKnown) {
    MissingCodecFacts unknown = xvid();
    unknown.keys = {"QQ{}"};
    unknown.formatName.clear();
    unknown.vendor.clear();
    unknown.ownBits = 0;
    MissingCodecFacts family = xvid();
    family.keys = {"XVID", "FMP4", "DIVX"};
    MissingCodecFacts mft = xvid();
    mft.claims = {{"Media Foundation transform", "MPEG-4 Part 2 Decoder", "", 64, true}};
    MissingCodecFacts other = xvid();
    other.claims = {{"VfW driver", "vidc.xvid", "xvidvfw.dll", 32, false},
                    {"DMO", "Xvid DMO", "", 32, false}};
    MissingCodecFacts unsearched = xvid();
    unsearched.searched = false;
    MissingCodecFacts mp3;
    mp3.searched = true;
    mp3.video = false;
    mp3.keys = {"0x0055"};
    mp3.formatName = "WAVE_FORMAT_MPEGLAYER3";
    mp3.ownBits = 32;

    const std::string none = "No installed decoder of any kind claims it";
    struct Case {
        const char* name;
        MissingCodecFacts facts;
        std::vector<std::string> parts; // in this order
    } cases[] = {
        {"known format",
         xvid(),
         {"~~ What is needed: a video decoder for the 4CC XVID, that is \"Xvid (MPEG-4 Part 2)\" "
          "(Xvid open source project). ",
          none,
          "~~ Look for a Video for Windows codec or a DirectShow decoder filter that lists the 4CC "
          "XVID or the name \"Xvid (MPEG-4 Part 2)\", built for 64-bit programs as this copy of "
          "Tavro is. Install it, then check the file again with Tavro."}},
        // Braces would be links in the popup.
        {"unknown to the data base",
         unknown,
         {"for the 4CC QQ(), which the codec data base does not know. ", none,
          "that lists the 4CC QQ(). Install it"}},
        {"family keys", family, {"4CC XVID (or one of its other names: FMP4, DIVX), that is"}},
        // Without a search nothing is claimed of the system.
        {"not searched",
         unsearched,
         {"(Xvid open source project). Tavro has not searched this system's decoders, so "
          "whether any other kind claims it is not known. ~~ Look for"}},
        {"media foundation claims it",
         mft,
         {"Installed decoders of other kinds do claim it: the Media Foundation transform "
          "\"MPEG-4 Part 2 Decoder\" (64-bit), which players built on Media Foundation can use, "
          "but DirectShow and Video for Windows players cannot. "}},
        {"other architecture claims it",
         other,
         {"claim it: the VfW driver \"vidc.xvid\" (32-bit, xvidvfw.dll), which only 32-bit "
          "programs can load and the DMO \"Xvid DMO\" (32-bit), which only 32-bit programs can "
          "load. "}},
        {"audio tag",
         mp3,
         {"an audio decoder for the format tag 0x0055, that is \"WAVE_FORMAT_MPEGLAYER3\". ",
          "Look for an ACM codec or a DirectShow decoder filter that lists the format tag 0x0055",
          "built for 32-bit programs"}},
    };
    for (const Case& c : cases) {
        const std::string text = missingCodecAdvice(c.facts);
        size_t at = 0;
        for (const std::string& part : c.parts) {
            const size_t found = text.find(part, at);
            ASSERT_NE(found, std::string::npos) << c.name << ": " << part << "\nin: " << text;
            at = found + part.size();
        }
    }
    EXPECT_EQ(missingCodecAdvice(MissingCodecFacts()), "");
}

// The popup of "Codec NOT Installed!" says what is needed whatever the render test did,
// and a found codec still waits for a decoder before it explains.
TEST(MissingCodecAdvice, VideoAndAudioTextsCarryIt) {
    for (int render : {kRenderNotRun, kRenderFailed, kRenderSucceeded}) {
        VideoExplainInput v;
        v.hasFormatRecord = true;
        v.recordName = "Xvid (MPEG-4 Part 2)";
        v.fileFourcc = "XVID";
        v.status = -1;
        v.renderResult = render;
        v.missingCodec = xvid();
        const std::string text = explainVideo(v).text;
        EXPECT_EQ(text.rfind(" Format: Xvid (MPEG-4 Part 2),  4CC: XVID~~ Tavro was unable", 0), 0u)
            << text;
        EXPECT_NE(text.find("What is needed: a video decoder for the 4CC XVID"), std::string::npos);

        v.status = 3; // installed, but no render test found a decoder yet
        EXPECT_EQ(explainVideo(v).text, "No Details Available");

        AudioExplainInput a;
        a.code = "0x0055";
        a.status = -1;
        a.renderResult = render;
        a.missingCodec = xvid();
        a.missingCodec.video = false;
        a.missingCodec.keys = {"0x0055"};
        const std::string audio = explainAudio(a).text;
        EXPECT_NE(audio.find("decompress this format. ~~ What is needed: an audio decoder for the "
                             "format tag 0x0055"),
                  std::string::npos)
            << audio;
    }
}

} // namespace
} // namespace tavro
