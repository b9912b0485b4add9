// The audio codec and render test explanations, branch by branch.
#include <gtest/gtest.h>

#include "report/explanations.h"

namespace tavro {
namespace {

const std::string kHeader =
    " Audio Format:~ Code: 0x0055~ Name: WAVE_FORMAT_MPEGLAYER3~ Vendor: ISO/MPEG Layer 3~~";
const std::string kOff = "This has not been \"confirmed\" since DirectShow rendering is currently "
                         "disabled for the reason shown in its status bar";

AudioExplainInput audio(int status, int render = kRenderNotRun) {
    AudioExplainInput in;
    in.code = "0x0055";
    in.name = "WAVE_FORMAT_MPEGLAYER3";
    in.vendor = "ISO/MPEG Layer 3";
    in.nameField = "0x0055(MP3) ID'd as MPEG-1 Layer 3";
    in.nameLink = "tavro://7.audio.codec";
    in.status = status;
    in.codecLongName = "Fraunhofer IIS MPEG Layer-3 Codec";
    in.codecFormatName = "MPEG Layer-3";
    in.driverFile = "C:\\windows\\system32\\l3codeca.acm";
    in.renderResult = render;
    return in;
}

TEST(ExplainAudio, Branches) {
    AudioExplainInput unknown = audio(-1);
    unknown.code = "<unknown>";
    unknown.nameField = "0x2000";
    AudioExplainInput companion = audio(0);
    companion.codecLongName = "";
    companion.hasCompanion = true;
    companion.companionFormatName = "PCM";
    companion.companionIndex = 12;
    AudioExplainInput missing = audio(7);
    missing.missing = true;
    missing.disabled = true;
    AudioExplainInput disabled = audio(7);
    disabled.disabled = true;
    AudioExplainInput multiple = audio(-1, kRenderSucceeded);
    multiple.audioCodecField = "MPEG Audio Decoder -> DMO";
    AudioExplainInput arrowFirst = audio(-1, kRenderSucceeded);
    arrowFirst.audioCodecField = "->x";
    AudioExplainInput alsoRendered = audio(7, kRenderSucceeded);
    alsoRendered.audioCodecField = "MPEG Layer-3 Decoder";

    const std::string found = " Tavro has found that the {Fraunhofer IIS MPEG Layer-3 Codec} "
                              "audio codec will decompress this audio format. ";
    const std::string noCodec =
        "Tavro was unable to find an audio codec which will decompress this format. ";
    const std::string see = "See the DirectShow Render details for more info. ";
    struct Case {
        const char* name;
        AudioExplainInput in;
        std::string text;
        std::vector<std::string> targets;
    } cases[] = {
        {"no codec needed",
         audio(-2, kRenderFailed),
         kHeader + " This audio is not compressed, or is compressed using a very simple method. "
                   "As such, there is no 'codec' required to play it; all of the necessary "
                   "software is already 'built in to' the O/S~~ The audio for this file should "
                   "play fine. ",
         {}},
        {"unknown code", unknown, " Audio Format:~ Code: 0x2000~" + noCodec + kOff, {}},
        {"companion",
         companion,
         kHeader +
             " Tavro has found that the {MPEG Layer-3} audio codec will decompress this "
             "audio format if it is used in conjunction with the {PCM} codec to further "
             "process the audio to a renderable state." +
             kOff,
         {"tavro://7.audio.codec", "tavro://12.audio.codec"}},
        {"missing wins over disabled",
         missing,
         kHeader + found +
             "However, even though it's \"installed\", the actual driver file, "
             "C:\\windows\\system32\\l3codeca.acm, appears to be MISSING (perhaps due to an "
             "improper un-install). This codec can NOT be used until the driver file is "
             "restored.  " +
             kOff,
         {"tavro://7.audio.codec"}},
        {"disabled",
         disabled,
         kHeader + found +
             "However, even though it's \"installed\", the codec cannot be used because it is "
             "set to \"Disabled\". This setting can be changed back, usually somewhere in Control "
             "Panel - the exact details vary by operating system.  " +
             kOff,
         {"tavro://7.audio.codec"}},
        {"rendered without a codec, several filters",
         multiple,
         kHeader + noCodec +
             "~~ DirectShow WAS able to render sound though, apparently by using "
             "multiple filters; " +
             see,
         {}},
        {"arrow at the start does not count",
         arrowFirst,
         kHeader + noCodec + "~~ DirectShow WAS able to render sound though, " + see,
         {}},
        {"rendered as well",
         alsoRendered,
         kHeader + found +
             "~~ DirectShow was also able to find a codec to render it - the sound for this media "
             "clip should work fine. " +
             see,
         {"tavro://7.audio.codec"}},
        {"rendered, no audio",
         audio(7, kRenderSucceeded),
         kHeader + found +
             "DirectShow reported no errors, but failed to render the audio; See the "
             "DirectShow Render details for more info.",
         {"tavro://7.audio.codec"}},
        {"render failed, codec found",
         audio(0, kRenderFailed),
         kHeader + found +
             "DirectShow was UNABLE to render movie overall however, see the "
             "DirectShow details for more info",
         {"tavro://7.audio.codec"}},
        {"render failed, no codec",
         audio(-1, kRenderFailed),
         kHeader + noCodec +
             "DirectShow was not able to render it either. You will most likely "
             "need to obtain an audio codec update to get sound from this media "
             "clip",
         {}},
    };
    for (const Case& c : cases) {
        const ExplanationText e = explainAudio(c.in);
        EXPECT_EQ(e.text, c.text) << c.name;
        EXPECT_EQ(e.targets, c.targets) << c.name;
    }
}

const std::string kIntro = "This section simulates 'playing' the file using the same "
                           "system as Windows Media Player uses (and probably most other media "
                           "players as well).  The results of the attempt are shown here.~~ ";
const std::string kRendered =
    "DirectShow reported no errors. It was able to \"render\" the file using ";
const std::string kSplitter = "{AVI Splitter} as a \"splitter\" (generally to isolate the audio "
                              "and the video from the combined stream)";

RenderExplainInput rendered(const char* splitter, const char* video, const char* audio) {
    RenderExplainInput in;
    in.result = kRenderSucceeded;
    in.splitter = {splitter, 1};
    in.video = {video, 2};
    in.audio = {audio, 3};
    return in;
}

TEST(ExplainRender, Branches) {
    RenderExplainInput failed;
    failed.result = kRenderFailed;
    failed.errorMatched = true;
    failed.errorCode = "0x80040265";
    failed.errorName = "VFW_E_UNSUPPORTED_STREAM";
    failed.errorText = "Cannot play back the file.";
    RenderExplainInput unknownError;
    unknownError.result = kRenderFailed;
    RenderExplainInput off;
    RenderExplainInput wrapped = rendered("AVI Splitter", "", "ACM Wrapper -> MPEG Layer-3");
    wrapped.audio.filterIndex = -1;

    const std::string fl = "tavro://1.filtergraph.info", vl = "tavro://2.filtergraph.info",
                      al = "tavro://3.filtergraph.info";
    struct Case {
        const char* name;
        RenderExplainInput in;
        std::string text;
        std::vector<std::string> targets;
    } cases[] = {
        {"failed",
         failed,
         kIntro + "In this case, DirectShow was unable to play the file. The only information "
                  "returned is in the form of an error message. The full error message is as "
                  "follows:~~ Error Number: 0x80040265~~ Error Name: VFW_E_UNSUPPORTED_STREAM~~ "
                  "Full Error Text: Cannot play back the file.",
         {}},
        {"failed, no entry",
         unknownError,
         kIntro + "In this case, DirectShow was unable to play the file. The only information "
                  "returned is in the form of an error message. The full error message is as "
                  "follows:~~ Error: Unknown Error",
         {}},
        {"not run",
         off,
         kIntro + "DirectShow rendering is currently disabled for the reason shown in its status "
                  "bar. ",
         {}},
        {"three items",
         rendered("AVI Splitter", "Xvid Decoder", "MPEG Layer-3 Decoder"),
         kIntro + kRendered + kSplitter +
             ", {Xvid Decoder} as the video codec and {MPEG Layer-3 Decoder} as the audio codec.",
         {fl, vl, al}},
        {"two items",
         rendered("", "Xvid Decoder", "PCM"),
         kIntro + kRendered + "{Xvid Decoder} as the video codec and {PCM} as the audio codec.",
         {vl, al}},
        {"one item", rendered("AVI Splitter", "", ""), kIntro + kRendered + kSplitter + ".", {fl}},
        {"no items", rendered("", "", ""), kIntro + kRendered, {}},
        {"acm wrapper",
         wrapped,
         kIntro + kRendered + kSplitter +
             " and {MPEG Layer-3} as the audio codec.~~ \"ACM Wrapper -> \" is a \"wrapper\" - an "
             "auxiliary driver which allows the MPEG Layer-3 codec, which is  a non-DirectShow "
             "\"ACM\" type, to work with the DirectShow system.",
         {fl, ""}},
    };
    for (const Case& c : cases) {
        const ExplanationText e = explainRender(c.in);
        EXPECT_EQ(e.text, c.text) << c.name;
        EXPECT_EQ(e.targets, c.targets) << c.name;
    }
}

TEST(ExplainRender, AFilterInSeveralRolesIsNamedOnceAndDecodesByItself) {
    const std::string gl = "tavro://1.filtergraph.info", al = "tavro://3.filtergraph.info";
    const std::string kSplits = "{GStreamer splitter} as a \"splitter\" that also decodes the ";
    struct Case {
        const char* name;
        RenderExplainInput in;
        std::string text;
        std::vector<std::string> targets;
    } cases[] = {
        {"splits and decodes both",
         rendered("GStreamer splitter", "GStreamer splitter", "GStreamer splitter"),
         kSplits + "video and the audio by itself.",
         {gl}},
        {"splits and decodes the video",
         rendered("GStreamer splitter", "GStreamer splitter", "MPEG Layer-3 Decoder"),
         kSplits + "video by itself and {MPEG Layer-3 Decoder} as the audio codec.",
         {gl, al}},
        {"a post-filter stays named",
         rendered("GStreamer splitter", "GStreamer splitter-->Colour Space", ""),
         kSplits + "video by itself and {GStreamer splitter-->Colour Space} as the video codec.",
         {gl, gl}},
        {"a reader decodes both",
         rendered("", "WM ASF Reader", "WM ASF Reader"),
         "{WM ASF Reader} as the codec of both the video and the audio, which it decodes by "
         "itself.",
         {"tavro://2.filtergraph.info"}},
    };
    cases[0].in.video.filterIndex = cases[0].in.audio.filterIndex = 1;
    cases[1].in.video.filterIndex = 1;
    cases[2].in.video.filterIndex = 1;
    cases[3].in.audio.filterIndex = 2;
    for (const Case& c : cases) {
        const ExplanationText e = explainRender(c.in);
        EXPECT_EQ(e.text, kIntro + kRendered + c.text) << c.name;
        EXPECT_EQ(e.targets, c.targets) << c.name;
    }
    // A built graph (even a partial one) adds the link that draws it, last.
    RenderExplainInput drawn = rendered("AVI Splitter", "", "");
    drawn.graphLink = "tavro://0.rendergraph.show";
    const ExplanationText withGraph = explainRender(drawn);
    EXPECT_EQ(withGraph.text, kIntro + kRendered + kSplitter +
                                  ".~~ {Show graph}: the filters DirectShow chose and how they "
                                  "connect, as a picture.");
    EXPECT_EQ(withGraph.targets,
              (std::vector<std::string>{"tavro://1.filtergraph.info", drawn.graphLink}));

    // Different filters of the same name are still two items.
    RenderExplainInput two = rendered("", "Decoder", "Decoder");
    EXPECT_EQ(explainRender(two).text, kIntro + kRendered +
                                           "{Decoder} as the video codec and {Decoder} as the "
                                           "audio codec.");
}

TEST(ExplainRender, FilterNamesWithBracesStayOneLinkEach) {
    const ExplanationText e = explainRender(rendered("{a}", "b}{c", "~d"));
    EXPECT_EQ(e.text, kIntro + kRendered +
                          "{(a)} as a \"splitter\" (generally to isolate the audio and the video "
                          "from the combined stream), {b)(c} as the video codec and {-d} as the "
                          "audio codec.");
    EXPECT_EQ(e.targets.size(), 3u);
}

} // namespace
} // namespace tavro
