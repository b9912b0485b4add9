// The plain-prose explanations behind the four status links. Each builder takes a
// small record of exactly what its text needs, so the texts can be checked for
// every branch without a window, a codec inventory or a filter graph.
//
// Markup of the texts, read by the explanation popup: "~" breaks the line, and the
// k-th piece in braces is a link to targets[k].
#pragma once
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/container_kind.h"

namespace tavro {

struct ExplanationText {
    std::string text;
    std::vector<std::string> targets;
};

// Render test outcome as the explanations read it.
constexpr int kRenderNotRun = 0;
constexpr int kRenderSucceeded = 1;
constexpr int kRenderFailed = -1;
// The codec status index of a format no installed codec takes.
constexpr int kNoCodecInstalledStatus = -1;

struct FileExplainInput {
    std::string typeCode; // "AVI", "OGG", "SHY", "CUT", "MPEG...", "WAV...", or a description
    // The identification row that named the file; it picks the body before typeCode.
    ContainerKind container = ContainerKind::None;
    bool isEmpty = false;
    bool isCooked = false;
    uint32_t wrapperKind = 0; // 1: the file is a WAVE wrapper around the data
    std::string sizeFull;     // the file length text
    int renderResult = kRenderNotRun;
    // A modern container read to the stream level: a line per stream, and what is
    // wrong with the file (short status, then the paragraph), worst first.
    bool streamsRead = false;
    std::vector<std::string> streamLines;
    std::vector<std::pair<std::string, std::string>> findings;
};

// The video decoder the latest render test that found one chose.
struct VideoDecoderFacts {
    bool found = false;       // some render test of this run found a video decoder
    int codecIndex = -1;      // its installed video codec record, -1 for none
    std::string codecFourcc;  // the primary FourCC of that record
    std::string filterFourcc; // the primary FourCC of the filter record
    // FOURCC-style subtypes the codec record declares, in order, up to the first empty one.
    std::vector<std::string> subtypeFourccs;
};

// What is known of a format no searched decoder takes, for the "not installed" texts.
struct MissingCodecFacts {
    bool video = true;
    // The keys it travels under ("XVID", "0x0055"), the file's own first; empty
    // when there is nothing to advise on.
    std::vector<std::string> keys;
    std::string formatName; // the data base's name, empty when it does not know the key
    std::string vendor;
    struct Claim {
        std::string kind; // "Media Foundation transform", "VfW driver", ...
        std::string name;
        std::string file;
        int bits = 0; // the architecture that can load it; 0 unknown
        bool loadableHere = false;
    };
    bool searched = false;     // the system's decoders were searched: claims counts
    std::vector<Claim> claims; // other kinds of decoder that list one of the keys
    int ownBits = 0;           // this program's architecture; 0 unknown
};

// The paragraph that says what to install, appended to the "not installed" texts.
std::string missingCodecAdvice(const MissingCodecFacts& facts);

struct VideoExplainInput {
    bool hasFormatRecord = false; // the data base knows the video format
    std::string recordFourcc;     // the data base entry's FourCC text
    std::string recordName;       // its format name ("<unknown>" for none)
    std::string fileFourcc;       // the FourCC the file declares
    std::string fourccField;      // the "4CC" field
    int status = -1;              // -2 no codec needed, -1 none found, else installed record
    std::string codecName;        // the installed codec's name kept with the video Name field
    std::string nameLink;         // the video Name field's link
    int renderResult = kRenderNotRun;
    VideoDecoderFacts decoder;
    std::string videoCodecField; // the render test's "Video Codec" field and its link
    std::string videoCodecLink;
    // With status -1 and keys given, the text says what to install even when no
    // render test ran or found a decoder.
    MissingCodecFacts missingCodec;
};

struct AudioExplainInput {
    std::string code; // the data base entry of the format: "<unknown>" when none
    std::string name;
    std::string vendor;
    std::string nameField; // the audio "Name" field and its link
    std::string nameLink;
    int status = -1; // -2 no codec needed, -1 none found, else installed record
    // The installed record, when status >= 0.
    std::string codecLongName;
    std::string codecFormatName;
    std::string driverFile;
    bool missing = false;
    bool disabled = false;
    bool hasCompanion = false; // a related record completes the decoding
    std::string companionFormatName;
    int companionIndex = -1;
    int renderResult = kRenderNotRun;
    std::string audioCodecField;    // the render test's "Audio Codec" field
    MissingCodecFacts missingCodec; // read with status -1
};

// One filter the render test chose, as its field shows it.
struct RenderItem {
    std::string name;     // the field text
    int filterIndex = -1; // its filter record; the link opens that record's details
};

struct RenderExplainInput {
    int result = kRenderNotRun;
    bool errorMatched = false; // the result code was found among the data base's messages
    std::string errorCode;
    std::string errorName;
    std::string errorText;
    RenderItem splitter;   // "Splitter/Other"
    RenderItem video;      // "Video Codec"
    RenderItem audio;      // "Audio Codec"
    std::string graphLink; // target of the "Show graph" link; "" when no graph was built
};

ExplanationText explainFile(const FileExplainInput& in);
ExplanationText explainVideo(const VideoExplainInput& in);
ExplanationText explainAudio(const AudioExplainInput& in);
ExplanationText explainRender(const RenderExplainInput& in);

// A name as it may stand in an explanation: braces and "~" would start links or
// break lines, so they become "(", ")" and "-".
std::string markupSafe(const std::string& name);
// "tavro://%d.filtergraph.info", or empty for a negative index.
std::string filterLinkTarget(int index);

} // namespace tavro
