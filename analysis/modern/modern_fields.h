// The main window's fields for a file read by a modern container reader: the first
// video stream and the chosen audio stream in the same texts as for an AVI, the
// container with its brand, and the worst finding in the file status.
#pragma once
#include "analysis/analysis.h"
#include "analysis/streams/media_streams.h"

namespace tavro {

// The n-th audio stream of the file, or null.
const StreamFacts* audioStream(const MediaStreams& streams, int n);
// "High@4.1, 10-bit 4:2:0" and the like: what a codec name alone does not say.
std::string streamDetailText(const StreamFacts& s);

// The same, short enough for the main window's name field: the usual 8-bit and 4:2:0
// are left out ("High 10@L5.1, 10-bit").
std::string compactDetailText(const StreamFacts& s);
// A codec name and its detail as the name field shows them: the data base name when
// both fit the field, else the family's short name, else the name alone.
std::string nameWithDetail(const std::string& name, const std::string& family,
                           const std::string& detail);
// What the 4CC field shows of a container's codec id: the FourCC a stream carries, a
// short id as written, else the last part of a long one ("V_MPEG4/ISO/AVC" -> "AVC").
std::string fourccFieldText(const StreamFacts& s);

// One line per stream for lists and explanations: "Video #1: AVC (avc1) High@L4.1,
// 8-bit 4:2:0, 1920 x 1080, 25.000 FPS, 4500 kb/s, 0:10.000, eng, default".
std::string streamSummaryText(const StreamFacts& s);
// The line's start, the stream's name on the file map: "Video #1: AVC".
std::string streamNameText(const StreamFacts& s);

void fillModernFields(Analysis& a, const MediaStreams& streams);
void fillModernAudioFields(Analysis& a, const MediaStreams& streams, int n);

} // namespace tavro
