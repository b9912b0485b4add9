// What every analysis step works on: the record, the report it writes, and the codec
// status resolution that lives above the analysis.
#pragma once
#include "analysis/media_info.h"
#include "analysis/report_sink.h"

namespace tavro {

class CodecResolver {
  public:
    virtual ~CodecResolver() = default;
    virtual void resolveVideoCodec() = 0;
    virtual void resolveAudioCodec(int stream) = 0;
};

struct Analysis {
    MediaInfo& info;
    ReportSink& report;
    CodecResolver& codecs;
};

} // namespace tavro
