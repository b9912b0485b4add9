// The file status explanation: what the type and length check found.
#include <cstring>

#include "report/container_texts.h"
#include "report/explanation_markup.h"
#include "report/explanations.h"

namespace tavro {
namespace {

const char kWrapped[] = "This file is \"wrapped\" to appear like a .wav file (presumably for "
                        "compatibility reasons). Inside the wav wrapper is ";
const char kEmpty[] = "an empty file. Its length is zero bytes.It is blank, barren and bare - "
                      "vacant, vacuous, and void. It is a degenerate case.";
const char kAvi[] =
    "a valid AVI file. The file's length is consistent with information embedded within the "
    "file, so it's fairly safe to assume that this file is complete, i.e. the file has not been "
    "truncated. The exact file length is as follows:~~ ";
const char kOgg[] = "a valid Ogg Media file. Unfortunately, this stream structure does not permit "
                    "Tavro to determine whether the file's length is correct or not.  The exact "
                    "file length is as follows:~~ ";
const char kShy[] =
    "a valid AVI file that has been slightly truncated - a relatively small number of bytes are "
    "missing. This is a somewhat common occurrence, and not necessarily a problem; the media "
    "file may be perfectly usable. Then again it may not. The exact file length is as "
    "follows:~~ ";
const char kWav[] = "an audio-only WAVE (.wav) file. The \"Type\" box shows the reported sample "
                    "rate, number of channels, and bitrate";
const char kCut[] =
    "a valid AVI file that has been truncated. A moderate to large amount of the data is "
    "missing.~~ For AVI files, a \"half a file\" does not equal \"half of a movie\" - rather, "
    "there is a good chance the file will not play at all. This is often mistaken for a codec "
    "problem, as the media player often gives no clue as to what the problem is, but rather "
    "acts the same as if the file was a foreign format with no appropriate codec available. The "
    "exact file length is as follows:~~ ";
const char kUnsupported[] = "This appears to be an unsupported filetype. Tavro provides full "
                            "support for AVI and OGG media streams. Based on its composition, "
                            "Tavro believes the filetype to be \"%s\".~~ ";
// After a row's own body: Tavro names the container but does not read inside it.
const char kNamedOnly[] = " Tavro names it \"%s\" from its first bytes, but does not yet read "
                          "what it holds, so no stream details are shown.~~ ";
// A wrapped file whose content is not supported: the unsupported sentence stands on
// its own, so the opening needs an object first.
const char kWrappedOther[] = "something else. ";
const char kRenderTried[] = "Tavro has also allowed DirectShow to attempt to render the file, ";
const char kFailedText[] = "but apparently without much success. The associated error is shown "
                           "in the \"DirectShow Render\" section below.";
const char kRenderWorked[] =
    "and that seems to have been somewhat successful; you may therefore be able to find out more "
    "about the file by checking the details in the \"DirectShow Render\" section below.";
const char kRenderOff[] = "Further information may be available using DirectShow Rendering; ";
const char kRenderOffWhy[] =
    "rendering is currently disabled, however, for the reason shown in its status bar. ";
const char kCooked[] =
    "~~ Note: This file appears to be \"cooked\" - a type of corruption which can occur when a "
    "downloaded file is mistaken for text. If the file is not playable, consider obtaining a "
    "public domain utility such as \"uncook95.exe\" - such a utility can often restore the file "
    "100%.";

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

// What the render test made of a file Tavro does not read itself.
void renderParts(int renderResult, std::string& second, std::string& third) {
    if (renderResult != kRenderNotRun) {
        second = kRenderTried;
        if (renderResult == kRenderFailed) third = kFailedText;
        if (renderResult == kRenderSucceeded) third = kRenderWorked;
    } else {
        second = kRenderOff;
        third = kRenderOffWhy;
    }
}

// What the container reader found: the streams, then each finding with its reason.
std::string streamsPart(const FileExplainInput& in) {
    std::string text = "~~";
    if (in.streamLines.empty()) text += "Tavro found no streams in it.";
    for (const std::string& line : in.streamLines)
        text += markupSafe(line) + "~";
    for (const auto& finding : in.findings)
        text += "~" + markupSafe(finding.first) + ":~" + markupSafe(finding.second) + "~";
    return text + "~The exact file length is as follows:~~ " + markupSafe(in.sizeFull);
}

} // namespace

ExplanationText explainFile(const FileExplainInput& in) {
    std::string opening = in.wrapperKind == 1 ? kWrapped : "This is ";
    std::string body, second, third;
    const std::string& type = in.typeCode;
    const std::string length = markupSafe(in.sizeFull);
    // A row that named the file decides first: descriptions such as "MPEG-4 ..." or
    // "MPEG transport stream ..." must not read as the MPEG audio kinds below.
    const ContainerText* row = containerText(in.container);
    if (in.isEmpty) {
        body = kEmpty;
    } else if (row) {
        body = row->body;
        if (in.streamsRead) {
            body += streamsPart(in);
        } else if (row->namedOnly) {
            body += fillPattern(kNamedOnly, {markupSafe(type)});
            renderParts(in.renderResult, second, third);
        }
    } else if (in.streamsRead) {
        // A raw stream: no container row, the reader's own name.
        body =
            "a raw " + markupSafe(type) + " stream, with no container around it." + streamsPart(in);
    } else if (type == "AVI") {
        body = kAvi, second = length;
    } else if (type == "OGG") {
        body = kOgg, second = length;
    } else if (type == "SHY") {
        body = kShy, second = length;
    } else if (startsWith(type, "MPEG")) {
        body = kMpegAudioBody;
    } else if (startsWith(type, "WAV")) {
        body = kWav;
    } else if (type == "CUT") {
        body = kCut, second = length;
    } else {
        // The sentence begins with its own "This", so "This is " would double it.
        opening = in.wrapperKind == 1 ? std::string(kWrapped) + kWrappedOther : std::string();
        body = fillPattern(kUnsupported, {markupSafe(type)});
        renderParts(in.renderResult, second, third);
    }
    ExplanationText out;
    out.text = opening + body + second + third;
    if (in.isCooked) out.text += kCooked;
    return out;
}

} // namespace tavro
