// A MediaInfo with a report, loaded with test bytes as if read from a file.
#pragma once
#include <algorithm>
#include <cstring>
#include <memory>

#include "analysis/analysis.h"
#include "app/report_model.h"
#include "tests/support/riff_builder.h"

namespace tavro::test {

class NoCodecs : public CodecResolver {
  public:
    int videoCalls = 0, audioCalls = 0;
    void resolveVideoCodec() override { ++videoCalls; }
    void resolveAudioCodec(int) override { ++audioCalls; }
};

struct LoadedHead {
    std::unique_ptr<MediaInfo> info = MediaInfo::create();
    ReportModel report;
    NoCodecs codecs;
    Analysis a{*info, report, codecs};

    explicit LoadedHead(const Bytes& bytes) {
        info->headLength = static_cast<uint32_t>(std::min<size_t>(bytes.size(), kHeadCapacity));
        if (info->headLength) std::memcpy(info->headBuffer(), bytes.data(), info->headLength);
    }
};

} // namespace tavro::test
