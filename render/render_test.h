// One render test: whether the settings and the file allow it, and building,
// recording and classifying the graph DirectShow chooses for the file.
#pragma once
#include <string>

#include "codecs/audio_codec_inventory.h"
#include "codecs/codec_database.h"
#include "codecs/video_codec_inventory.h"
#include "common/settings.h"
#include "render/filter_roles.h"
#include "render/filter_table.h"
#include "render/graph_description.h"

namespace tavro {

// Why the test may not run for this file ("" when it may): the settings' bits
// and run mode, the file's stream counts and the size of the batch.
const char* renderDisabledReason(const Settings& settings, int audioStreams, int videoStreams,
                                 int fileCount);

// The result of a test the user cancelled before DirectShow finished (the
// platform's ERROR_CANCELLED as a result code).
constexpr int32_t kRenderCancelled = static_cast<int32_t>(0x800704C7);

// What one test found; kept until the next test.
struct RenderOutcome {
    int32_t hr = 0;              // the graph builder's result (or the manager's creation failure)
    bool managerCreated = false; // false also when no test ran
    int result = 0;              // 0 not run, 1 success (result exactly 0), -1 anything else
    std::string errorText;       // the result code's text, see renderErrorText
    const CodecDatabaseEntry* matchedError = nullptr; // its data base entry, or null
    FilterRoles roles;
    GraphDescription graph; // every filter described, pins and connections
};

struct RenderInputs {
    GraphBuilder& builder;
    const CodecDatabase* db = nullptr;
    const VideoCodecInventory* video = nullptr;
    const AudioCodecInventory* audio = nullptr;
};

// Builds the graph for `path`, fills `table` (cleared first), classifies the
// filters and matches the decoders to installed codecs. A graph built only in
// part (a success code other than 0) is still recorded and classified. Returns
// the graph builder's result.
int32_t buildAndInspectGraph(const RenderInputs& in, const std::string& path, FilterTable& table,
                             RenderOutcome* outcome);

} // namespace tavro
