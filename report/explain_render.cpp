// The render test explanation: what DirectShow chose to play the file, or why it
// could not.
#include <cstring>

#include "report/explanation_markup.h"
#include "report/explanations.h"

namespace tavro {
namespace {

const char kWrapperPrefix[] = "ACM Wrapper -> ";
const char kWrapperNote[] =
    "~~ \"%s\" is a \"wrapper\" - an auxiliary driver which allows the %s codec, which is  a "
    "non-DirectShow \"ACM\" type, to work with the DirectShow system.";
const char kIntro[] = "This section simulates 'playing' the file using the same system "
                      "as Windows Media Player uses (and probably most other media players as "
                      "well).  The results of the attempt are shown here.~~ ";
const char kFailed[] = "In this case, DirectShow was unable to play the file. The only "
                       "information returned is in the form of an error message. The full error "
                       "message is as follows:~~ ";
const char kError[] = "Error Number: %s~~ Error Name: %s~~ Full Error Text: %s";
const char kUnknownError[] = "Error: Unknown Error";
const char kDisabled[] =
    "DirectShow rendering is currently disabled for the reason shown in its status bar. ";
const char kRendered[] = "DirectShow reported no errors. It was able to \"render\" the file using ";
const char kSplitterItem[] = "{%s} as a \"splitter\" (generally to isolate the audio and the video "
                             "from the combined stream)";
const char kVideoItem[] = "{%s} as the video codec";
const char kAudioItem[] = "{%s} as the audio codec";
const char kShowGraph[] = "~~ {Show graph}: the filters DirectShow chose and how they connect, "
                          "as a picture.";
// One filter in several roles (a splitter that decodes, a reader that decodes) is
// named once and said to decode by itself.
const char kSelfDecodingSplitterItem[] =
    "{%s} as a \"splitter\" that also decodes the %s by itself";
const char kSelfDecodingItem[] =
    "{%s} as the codec of both the video and the audio, which it decodes by itself";

bool sameFilter(const RenderItem& a, const RenderItem& b) {
    return a.filterIndex >= 0 && a.filterIndex == b.filterIndex && !a.name.empty() &&
           !b.name.empty();
}

// The codec item adds nothing to the merged one when its text is the start of the
// other's (a splitter text may go on with " / " and an extra filter).
bool namedBy(const std::string& codec, const RenderItem& merged) {
    return merged.name.compare(0, codec.size(), codec) == 0;
}

} // namespace

ExplanationText explainRender(const RenderExplainInput& in) {
    ExplanationText out;
    std::string audio = in.audio.name, wrapperNote;
    const size_t prefix = std::strlen(kWrapperPrefix);
    if (audio.compare(0, prefix, kWrapperPrefix) == 0) {
        audio = audio.substr(prefix);
        wrapperNote = fillPattern(kWrapperNote, {kWrapperPrefix, markupSafe(audio)});
    }
    out.text = kIntro;
    if (in.result == kRenderFailed) {
        out.text += kFailed;
        out.text += in.errorMatched
                        ? fillPattern(kError, {markupSafe(in.errorCode), markupSafe(in.errorName),
                                               markupSafe(in.errorText)})
                        : kUnknownError;
    } else if (in.result == kRenderNotRun) {
        out.text += kDisabled;
    } else if (in.result == kRenderSucceeded) {
        out.text += kRendered;
        std::vector<std::string> items;
        auto add = [&](const char* pattern, const std::string& name, int filter) {
            if (name.empty()) return;
            items.push_back(fillPattern(pattern, {markupSafe(name)}));
            out.targets.push_back(filterLinkTarget(filter));
        };
        const RenderItem audioItem{audio, in.audio.filterIndex};
        const bool splitsVideo = sameFilter(in.splitter, in.video);
        const bool splitsAudio = sameFilter(in.splitter, audioItem);
        std::string video = in.video.name;
        if (splitsVideo || splitsAudio) {
            const char* decoded = splitsVideo && splitsAudio ? "video and the audio"
                                  : splitsVideo              ? "video"
                                                             : "audio";
            items.push_back(
                fillPattern(kSelfDecodingSplitterItem, {markupSafe(in.splitter.name), decoded}));
            out.targets.push_back(filterLinkTarget(in.splitter.filterIndex));
            if (splitsVideo && namedBy(video, in.splitter)) video.clear();
            if (splitsAudio && namedBy(audio, in.splitter)) audio.clear();
        } else {
            add(kSplitterItem, in.splitter.name, in.splitter.filterIndex);
            if (sameFilter(in.video, audioItem) && audio == video) {
                items.push_back(fillPattern(kSelfDecodingItem, {markupSafe(video)}));
                out.targets.push_back(filterLinkTarget(in.video.filterIndex));
                video.clear();
                audio.clear();
            }
        }
        add(kVideoItem, video, in.video.filterIndex);
        add(kAudioItem, audio, in.audio.filterIndex);
        // An English list: "a, b and c."
        for (size_t i = 0; i < items.size(); ++i) {
            out.text += items[i];
            const size_t left = items.size() - 1 - i;
            out.text += left == 0 ? "." : left == 1 ? " and " : ", ";
        }
    }
    out.text += wrapperNote;
    if (!in.graphLink.empty()) {
        out.text += kShowGraph;
        out.targets.push_back(in.graphLink);
    }
    return out;
}

} // namespace tavro
