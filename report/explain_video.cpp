// The video codec explanation: the format, the installed codec and what the
// render test's choice of decoder says about it.
#include "report/explanation_markup.h"
#include "report/explanations.h"

namespace tavro {
namespace {

const char kNoDetails[] = "No Details Available";
const char kFormat[] = " Format: %s,  4CC: %s~~ ";
const char kNoCodecNeeded[] =
    "This video is not compressed, or is compressed using a very simple method. As such, there "
    "is no 'codec' required to play it; all of the necessary software is already 'built in to' "
    "the O/S~~ The video for this file should play fine.  Check the audio section for audio "
    "codec information.";
const char kNoCodec[] =
    "Tavro was unable to find a suitable codec installed, indicating that this media file not "
    "likely playable on this O/S at this time. To be able to play this media file, attempt to "
    "locate a suitable codec based on the Format and 4CC given above. Install the codec and then "
    "test again with Tavro after the codec has been installed.";
const char kFound[] = "Tavro has found {%s}, which is installed on your system, is compatible "
                      "with this format; based on that, the video for this file should play "
                      "fine.~~ ";
const char kDisagrees[] =
    "Nonetheless, DirectShow is apparently NOT able to play this file. (see \"DirectShow "
    "Render\", below). No further information is available concerning the apparent discrepancy";
const char kRenderOff[] = "This has not been \"confirmed\" since DirectShow rendering is currently "
                          "disabled for the reason shown in the status bar. ";
const char kRenderWorked[] = "DirectShow is apparently able to play the file as well (see "
                             "\"DirectShow Render\", below), ";
const char kSameCodec[] = "and has selected {exactly the same codec}, so there should be no "
                          "problem as far as the video is concerned.~~ Check the audio section "
                          "for audio codec information.";
const char kOtherCodec[] = "though it has selected a different codec, the {%s}, ";
const char kNoFourcc[] = "-- no further information is available on the 'discrepancy' - it is "
                         "unlikely to be problem, though";
const char kSameFourcc[] = "whose primary 4cc (%s), is also identical to that of the file, making "
                           "that selection equivalently as good. No further information is "
                           "available as to the differences between the two.";
const char kOtherFourcc[] = "whose primary 4cc (%s) does not match the file's 4cc (%s).";
const char kListed[] =
    "This is because the codec claims to be able to decompress %d other formats besides %s, and "
    "this format is number %d on that list.~~ This is usually not a problem, but under certain "
    "circumstances there may be a performance (quality) issue";

bool sameFourcc(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// Subtypes compare as four characters: shorter texts are padded with blanks.
std::string asFour(const std::string& text) {
    std::string out = text.substr(0, 4);
    out.resize(4, ' ');
    return out;
}

// What the choice of a different decoder means, judged by the FourCCs.
std::string fourccComparison(const VideoExplainInput& in, const std::string& fileFourcc) {
    const VideoDecoderFacts& d = in.decoder;
    const std::string primary =
        markupSafe(d.codecIndex >= 0 && !d.codecFourcc.empty() ? d.codecFourcc : d.filterFourcc);
    if (primary.empty()) return kNoFourcc;
    if (sameFourcc(primary, fileFourcc)) return fillPattern(kSameFourcc, {primary});
    std::string out = fillPattern(kOtherFourcc, {primary, fileFourcc});
    const size_t listed = d.subtypeFourccs.size() < 16 ? d.subtypeFourccs.size() : 16;
    for (size_t n = 1; n < listed; ++n) {
        if (sameFourcc(asFour(d.subtypeFourccs[n]), asFour(fileFourcc))) {
            out += fillPattern(kListed, {std::to_string(listed), primary, std::to_string(n + 1)});
            break;
        }
    }
    return out;
}

} // namespace

ExplanationText explainVideo(const VideoExplainInput& in) {
    ExplanationText out;
    // A missing codec is explained from what Tavro knows, render test or not: that is
    // when the user most needs to know what to install.
    const bool missing = in.status == kNoCodecInstalledStatus && !in.missingCodec.keys.empty();
    if (!in.hasFormatRecord || (!in.decoder.found && !missing)) {
        out.text = kNoDetails;
        return out;
    }
    std::string fourcc = in.fileFourcc.empty() ? in.recordFourcc : in.fileFourcc;
    if (in.recordName == "<unknown>") fourcc = in.fourccField;
    fourcc = markupSafe(fourcc);
    out.text = fillPattern(kFormat, {markupSafe(in.recordName), fourcc});
    if (in.status == -2) {
        out.text += kNoCodecNeeded;
        return out;
    }
    if (in.status < 0) {
        out.text += kNoCodec;
        if (missing) out.text += missingCodecAdvice(in.missingCodec);
        return out;
    }
    out.text += fillPattern(kFound, {markupSafe(in.codecName)});
    out.targets.push_back(in.nameLink);
    if (in.renderResult == kRenderFailed) {
        out.text += kDisagrees;
    } else if (in.renderResult == kRenderNotRun) {
        out.text += kRenderOff;
    } else if (in.renderResult == kRenderSucceeded) {
        out.text += kRenderWorked;
        if (in.decoder.codecIndex == in.status) {
            out.text += kSameCodec;
            out.targets.push_back(in.nameLink);
        } else {
            out.text += fillPattern(kOtherCodec, {markupSafe(in.videoCodecField)});
            out.targets.push_back(in.videoCodecLink);
            out.text += fourccComparison(in, fourcc);
        }
    }
    return out;
}

} // namespace tavro
