// The report texts made from the AVI model and the audio scans: duration, bit rates,
// frame rate, frame size, sampling rate, and the PCM WAVE summary.
#pragma once
#include <cstdint>
#include <string>

#include "analysis/analysis.h"

namespace tavro {

// "02h 05m 03s"; hours are not folded into days.
std::string durationText(uint64_t seconds);
std::string aspectText(uint32_t width, uint32_t height);
// Empty unless the format is PCM.
std::string wavSummary(const WaveFormatBytes& fmt);

// Frames from the OpenDML count when there is one, else from the video header.
uint32_t videoFrames(const AviHeaderModel& avi);

void fillVideoFields(Analysis& a);
void fillAudioFields(Analysis& a, int stream);

} // namespace tavro
