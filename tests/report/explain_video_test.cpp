// The video codec explanation: codec status by render result, and the FourCC
// comparison when DirectShow chose another decoder.
#include <gtest/gtest.h>

#include "report/explanations.h"

namespace tavro {
namespace {

const std::string kFormat = " Format: XviD MPEG-4,  4CC: XVID~~ ";
const std::string kFound = " Format: XviD MPEG-4,  4CC: XVID~~ Tavro has found {Xvid Decoder}, "
                           "which is installed on your system, is compatible with this format; "
                           "based on that, the video for this file should play fine.~~ ";
const std::string kWorked = "DirectShow is apparently able to play the file as well (see "
                            "\"DirectShow Render\", below), ";
const std::string kOther = "though it has selected a different codec, the {ffdshow Video "
                           "Decoder}, ";

VideoExplainInput video(int status, int render = kRenderSucceeded) {
    VideoExplainInput in;
    in.hasFormatRecord = true;
    in.recordFourcc = "XVID";
    in.recordName = "XviD MPEG-4";
    in.fileFourcc = "XVID";
    in.fourccField = "XVID";
    in.status = status;
    in.codecName = "Xvid Decoder";
    in.nameLink = "tavro://4.video.codec";
    in.renderResult = render;
    in.decoder.found = true;
    in.decoder.codecIndex = status;
    in.videoCodecField = "ffdshow Video Decoder";
    in.videoCodecLink = "tavro://2.filtergraph.info";
    return in;
}

// DirectShow chose record 9, whose FourCC or filter FourCC is given.
VideoExplainInput otherDecoder(const std::string& codecFourcc, const std::string& filterFourcc,
                               std::vector<std::string> subtypes = {}) {
    VideoExplainInput in = video(4);
    in.decoder.codecIndex = codecFourcc.empty() ? -1 : 9;
    in.decoder.codecFourcc = codecFourcc;
    in.decoder.filterFourcc = filterFourcc;
    in.decoder.subtypeFourccs = std::move(subtypes);
    return in;
}

TEST(ExplainVideo, Branches) {
    VideoExplainInput noRecord = video(4);
    noRecord.hasFormatRecord = false;
    VideoExplainInput noDecoderYet = video(4);
    noDecoderYet.decoder.found = false;
    VideoExplainInput unknownFormat = video(-1);
    unknownFormat.recordName = "<unknown>";
    unknownFormat.fileFourcc = "";
    unknownFormat.fourccField = "(_RGB)";
    VideoExplainInput fromRecord = video(-2);
    fromRecord.fileFourcc = "";
    fromRecord.recordFourcc = "DIVX";

    const std::string noCodecNeeded =
        "This video is not compressed, or is compressed using a very simple method. As such, "
        "there is no 'codec' required to play it; all of the necessary software is already "
        "'built in to' the O/S~~ The video for this file should play fine.  Check the audio "
        "section for audio codec information.";
    const std::string noCodec =
        "Tavro was unable to find a suitable codec installed, indicating that this media file "
        "not likely playable on this O/S at this time. To be able to play this media file, "
        "attempt to locate a suitable codec based on the Format and 4CC given above. Install the "
        "codec and then test again with Tavro after the codec has been installed.";
    struct Case {
        const char* name;
        VideoExplainInput in;
        std::string text;
        std::vector<std::string> targets;
    } cases[] = {
        {"no record", noRecord, "No Details Available", {}},
        {"no decoder found yet", noDecoderYet, "No Details Available", {}},
        {"no codec needed", video(-2), kFormat + noCodecNeeded, {}},
        {"record's 4cc", fromRecord, " Format: XviD MPEG-4,  4CC: DIVX~~ " + noCodecNeeded, {}},
        {"none found", video(-1, kRenderFailed), kFormat + noCodec, {}},
        {"unknown format", unknownFormat, " Format: <unknown>,  4CC: (_RGB)~~ " + noCodec, {}},
        {"found, render failed",
         video(4, kRenderFailed),
         kFound + "Nonetheless, DirectShow is apparently NOT able to play this file. (see "
                  "\"DirectShow Render\", below). No further information is available concerning "
                  "the apparent discrepancy",
         {"tavro://4.video.codec"}},
        {"found, render off",
         video(4, kRenderNotRun),
         kFound + "This has not been \"confirmed\" since DirectShow rendering is currently "
                  "disabled for the reason shown in the status bar. ",
         {"tavro://4.video.codec"}},
        // Record 0 is a found codec like any other.
        {"found at 0, same codec",
         video(0),
         kFound + kWorked +
             "and has selected {exactly the same codec}, so there should be no problem as far as "
             "the video is concerned.~~ Check the audio section for audio codec information.",
         {"tavro://4.video.codec", "tavro://4.video.codec"}},
        {"other codec, no 4cc",
         otherDecoder("", ""),
         kFound + kWorked + kOther +
             "-- no further information is available on the 'discrepancy' - it is unlikely to be "
             "problem, though",
         {"tavro://4.video.codec", "tavro://2.filtergraph.info"}},
        {"other codec, same 4cc",
         otherDecoder("xvid", "FFDS"),
         kFound + kWorked + kOther +
             "whose primary 4cc (xvid), is also identical to that of the file, making that "
             "selection equivalently as good. No further information is available as to the "
             "differences between the two.",
         {"tavro://4.video.codec", "tavro://2.filtergraph.info"}},
        {"filter's 4cc without a record",
         otherDecoder("", "FFDS"),
         kFound + kWorked + kOther +
             "whose primary 4cc (FFDS) does not match the file's 4cc (XVID).",
         {"tavro://4.video.codec", "tavro://2.filtergraph.info"}},
        {"file's 4cc listed third",
         otherDecoder("FFDS", "", {"FFDS", "DIVX", "xvid", "MP4V"}),
         kFound + kWorked + kOther +
             "whose primary 4cc (FFDS) does not match the file's 4cc (XVID).This is because the "
             "codec claims to be able to decompress 4 other formats besides FFDS, and this format "
             "is number 3 on that list.~~ This is usually not a problem, but under certain "
             "circumstances there may be a performance (quality) issue",
         {"tavro://4.video.codec", "tavro://2.filtergraph.info"}},
        // At position 0 the primary FourCC itself would have matched: no list sentence.
        {"file's 4cc not listed",
         otherDecoder("FFDS", "", {"FFDS", "DIVX"}),
         kFound + kWorked + kOther +
             "whose primary 4cc (FFDS) does not match the file's 4cc (XVID).",
         {"tavro://4.video.codec", "tavro://2.filtergraph.info"}},
    };
    for (const Case& c : cases) {
        const ExplanationText e = explainVideo(c.in);
        EXPECT_EQ(e.text, c.text) << c.name;
        EXPECT_EQ(e.targets, c.targets) << c.name;
    }
}

TEST(ExplainVideo, BracedNamesKeepTheLinkCount) {
    VideoExplainInput in = otherDecoder("", "");
    in.codecName = "Evil {x} ~ codec";
    in.videoCodecField = "}{";
    const ExplanationText e = explainVideo(in);
    EXPECT_NE(e.text.find("{Evil (x) - codec}"), std::string::npos);
    EXPECT_NE(e.text.find("the {)(}, "), std::string::npos);
    size_t braces = 0;
    for (char c : e.text)
        braces += c == '{';
    EXPECT_EQ(braces, e.targets.size());
}

} // namespace
} // namespace tavro
