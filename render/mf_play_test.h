// The Media Foundation play test: what Media Foundation would use to play a file
// (its media source, and a decoder per stream), the result texts in the form the
// DirectShow render test gives them, and the explanation.
#pragma once
#include <string>
#include <vector>

#include "codecs/codec_database.h"
#include "render/mf_play.h"

namespace tavro {

// MF_E_TOPO_CODEC_NOT_FOUND: what Media Foundation reports when a stream of a
// file has no decoder. The test reports it when any stream lacks one.
constexpr int32_t kMfCodecNotFound = static_cast<int32_t>(0xC00D5212);

struct MfStreamVerdict {
    std::string kind;    // "Video", "Audio" or "Other"
    std::string subtype; // the data base's name for it, or the GUID text
    bool needsDecoder = false;
    std::string decoder; // the one Media Foundation would use; "" for none
    std::string text;    // "Video: H264 -> Microsoft H264 Video Decoder MFT"
};

struct MfPlayOutcome {
    int32_t hr = 0; // the failing step's result, kMfCodecNotFound, or 0
    int result = 0; // 0 not run, 1 every stream decodable, -1 anything else
    MfPlayDescription description;
    std::vector<MfStreamVerdict> streams;
    std::string errorText; // as renderErrorText gives it
    const CodecDatabaseEntry* matchedError = nullptr;
};

constexpr size_t kMfMaxStreams = 64;

// Runs the test with `player` (none: Media Foundation is not available) and
// judges every stream.
MfPlayOutcome runMfPlayTest(MfPlayer* player, const std::string& path, const CodecDatabase* db);

// "Rendered OK"-style status: the DirectShow test's texts for the result.
std::string mfPlayStatusText(const MfPlayOutcome& outcome);

// The explanation: what Media Foundation opened and chose, or where it stopped.
// `disabledReason` non-empty: the test did not run, for that reason.
std::string explainMfPlay(const MfPlayOutcome& outcome, const std::string& disabledReason);

} // namespace tavro
