// The Media Foundation play test's platform half, as plain data: a file opened
// through Media Foundation's source resolver, its streams with their media types,
// and for each the decoders Media Foundation offers for that type, best first.
// The Windows adapter fills it; tests write it by hand.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/guid.h"

namespace tavro {

// Where opening the file stopped.
enum class MfPlayStage {
    None,         // every step succeeded
    Startup,      // Media Foundation could not be started (or is not on the system)
    Resolver,     // the source resolver could not be created
    OpenSource,   // no media source for the file (unknown type, unreadable, missing)
    Presentation, // the media source gave no presentation descriptor
    Cancelled,    // the user stopped the test before Media Foundation answered
};

struct MfDecoderFound {
    std::string name; // the transform's friendly name; may be empty
    Guid clsid{};
};

struct MfStreamFacts {
    bool selected = false; // selected by default in the presentation
    Guid major{};          // null when the stream's media type could not be read
    Guid subtype{};
    int32_t searchHr = 0;                 // the decoder search's result; 0 when not searched
    bool searched = false;                // audio and video streams only
    std::vector<MfDecoderFound> decoders; // best first, as Media Foundation ranks them
};

struct MfPlayDescription {
    MfPlayStage failedAt = MfPlayStage::None;
    int32_t hr = 0;                     // the failing step's result, 0 when none failed
    std::vector<MfStreamFacts> streams; // at most the requested number
    uint32_t streamCount = 0;           // as the presentation descriptor tells
};

class MfPlayer {
  public:
    virtual ~MfPlayer() = default;
    // Opens `path`, describes at most `maxStreams` of its streams, searches a
    // decoder for each and releases everything before returning. Returns the
    // failing step's result, or 0.
    virtual int32_t describeFile(const std::string& path, size_t maxStreams,
                                 MfPlayDescription* out) = 0;
};

} // namespace tavro
