// The audio codec explanation: the format, the installed codec, its driver's
// state and what the render test made of the sound.
#include "report/explanation_markup.h"
#include "report/explanations.h"

namespace tavro {
namespace {

const char kNoCodecNeeded[] =
    " This audio is not compressed, or is compressed using a very simple method. As such, there "
    "is no 'codec' required to play it; all of the necessary software is already 'built in to' "
    "the O/S~~ The audio for this file should play fine. ";
const char kNoCodec[] =
    "Tavro was unable to find an audio codec which will decompress this format. ";
const char kFoundWithCompanion[] =
    " Tavro has found that the {%s} audio codec will decompress this audio format if it is used "
    "in conjunction with the {%s} codec to further process the audio to a renderable state.";
const char kFound[] = " Tavro has found that the {%s} audio codec will decompress this audio "
                      "format. ";
const char kMissing[] = "However, even though it's \"installed\", the actual driver file, %s, "
                        "appears to be MISSING (perhaps due to an improper un-install). This "
                        "codec can NOT be used until the driver file is restored.  ";
const char kDisabled[] =
    "However, even though it's \"installed\", the codec cannot be used because it is set to "
    "\"Disabled\". This setting can be changed back, usually somewhere in Control Panel - the "
    "exact details vary by operating system.  ";
const char kRenderedAnyway[] = "~~ DirectShow WAS able to render sound though, ";
const char kMultipleFilters[] = "apparently by using multiple filters; ";
const char kRenderedToo[] = "~~ DirectShow was also able to find a codec to render it - the "
                            "sound for this media clip should work fine. ";
const char kSeeDetails[] = "See the DirectShow Render details for more info. ";
const char kRenderOff[] = "This has not been \"confirmed\" since DirectShow rendering is currently "
                          "disabled for the reason shown in its status bar";
const char kNoAudioRendered[] = "DirectShow reported no errors, but failed to render the audio; "
                                "See the DirectShow Render details for more info.";
const char kMovieFailed[] = "DirectShow was UNABLE to render movie overall however, see the "
                            "DirectShow details for more info";
const char kFailedToo[] = "DirectShow was not able to render it either. You will most likely "
                          "need to obtain an audio codec update to get sound from this media clip";

std::string audioCodecLink(int index) {
    return "tavro://" + std::to_string(index) + ".audio.codec";
}

} // namespace

ExplanationText explainAudio(const AudioExplainInput& in) {
    ExplanationText out;
    std::string& text = out.text;
    text = " Audio Format:~";
    if (in.code == "<unknown>") {
        text += " Code: " + markupSafe(in.nameField);
    } else {
        text += fillPattern(" Code: %s~", {markupSafe(in.code)});
        text += fillPattern(" Name: %s~", {markupSafe(in.name)});
        text += fillPattern(" Vendor: %s~", {markupSafe(in.vendor)});
    }
    text += "~";

    if (in.status == -2) {
        text += kNoCodecNeeded;
        return out;
    }
    if (in.status < 0) {
        text += kNoCodec;
        text += missingCodecAdvice(in.missingCodec);
        if (!in.missingCodec.keys.empty()) text += "~~ ";
    } else {
        const std::string codec =
            markupSafe(in.codecLongName.empty() ? in.codecFormatName : in.codecLongName);
        if (in.hasCompanion) {
            text += fillPattern(kFoundWithCompanion, {codec, markupSafe(in.companionFormatName)});
            out.targets = {in.nameLink, audioCodecLink(in.companionIndex)};
        } else {
            text += fillPattern(kFound, {codec});
            out.targets = {in.nameLink};
        }
        if (in.missing)
            text += fillPattern(kMissing, {markupSafe(in.driverFile)});
        else if (in.disabled)
            text += kDisabled;
    }

    const bool rendered = !in.audioCodecField.empty();
    if (in.renderResult == kRenderSucceeded && rendered) {
        if (in.status < 0) {
            text += kRenderedAnyway;
            if (in.audioCodecField.find("->", 1) != std::string::npos) text += kMultipleFilters;
        } else {
            text += kRenderedToo;
        }
        text += kSeeDetails;
    } else if (in.renderResult == kRenderNotRun) {
        text += kRenderOff;
    } else if (in.renderResult == kRenderSucceeded) {
        text += kNoAudioRendered;
    } else if (in.renderResult == kRenderFailed) {
        text += in.status >= 0 ? kMovieFailed : kFailedToo;
    }
    return out;
}

} // namespace tavro
