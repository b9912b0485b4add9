// Where the CLI's codec status comes from: the data base beside the program and,
// on Windows, the machine's own codec systems.
#pragma once
#include <memory>

#include "app/codec_status.h"
#include "codecs/codec_database.h"
#include "common/settings.h"
#include "render/graph_description.h"
#include "render/mf_play.h"

namespace tavro {

class CodecEnvironment {
  public:
    virtual ~CodecEnvironment() = default;
    Settings settings;
    CodecDatabase db;
    CodecServices services;
    GraphBuilder* graphBuilder = nullptr; // the render test's DirectShow, where there is one
    MfPlayer* mfPlayer = nullptr;         // the Media Foundation test's, likewise
};

// Natively there are no installed codecs to ask: information-only mode. On
// Windows the program's stored settings apply (run mode, enabled sources).
std::unique_ptr<CodecEnvironment> makeCodecEnvironment();

} // namespace tavro
