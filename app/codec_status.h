// The codec status of the video stream and of the audio stream on display.
#pragma once
#include <string>

#include "analysis/analysis.h"
#include "app/report_model.h"

namespace tavro {

// The run mode in which only information is shown: no codec status, no render test.
constexpr int kRunModeInformationOnly = 3;

// The FourCC field text from the stream header's handler and the bitmap header's
// compression: "K/H" when they differ, H when equal, "H(_RGB)" style below 6.
std::string videoFourccText(const uint8_t* handler, uint32_t compression);

class CodecStatus : public CodecResolver {
  public:
    CodecStatus(MediaInfo& info, ReportModel& report, int runMode)
        : info_(info), report_(report), runMode_(runMode) {}
    void resolveVideoCodec() override;
    void resolveAudioCodec(int stream) override;

  private:
    MediaInfo& info_;
    ReportModel& report_;
    int runMode_;
};

} // namespace tavro
