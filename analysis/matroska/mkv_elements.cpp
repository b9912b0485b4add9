#include "analysis/matroska/mkv_elements.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "analysis/matroska/ebml.h"
#include "analysis/matroska/mkv_codec.h"

namespace tavro {

namespace {

using Payload = const uint8_t*;

void noteWalk(const ChildWalk& w, MkvFile& file) {
    if (w.clamped) file.note(MkvProblem::elementPastParent);
    if (w.bad) file.note(MkvProblem::badElement);
    if (w.capped) file.note(MkvProblem::tooManyElements);
}

uint32_t clampU32(uint64_t v) {
    return v > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(v);
}

double finiteOr(double v, double fallback) {
    return std::isfinite(v) && v >= 0 ? v : fallback;
}

void parseVideo(Payload data, size_t size, const MkvElementLimits& limits, MkvTrack& t,
                MkvFile& file) {
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              const size_t n = static_cast<size_t>(h.size);
                              const uint64_t v = ebmlUint(p, n);
                              switch (h.id) {
                              case mkvid::kPixelWidth:
                                  t.width = clampU32(v);
                                  break;
                              case mkvid::kPixelHeight:
                                  t.height = clampU32(v);
                                  break;
                              case mkvid::kDisplayWidth:
                                  t.displayWidth = clampU32(v);
                                  break;
                              case mkvid::kDisplayHeight:
                                  t.displayHeight = clampU32(v);
                                  break;
                              case mkvid::kDisplayUnit:
                                  t.displayUnit = v;
                                  break;
                              case mkvid::kColour:
                                  noteWalk(forEachChild(p, n, limits.maxChildren,
                                                        [&](const ElementHeader& c, Payload q) {
                                                            if (c.id == mkvid::kBitsPerChannel)
                                                                t.bitsPerChannel =
                                                                    clampU32(ebmlUint(q, c.size));
                                                            return true;
                                                        }),
                                           file);
                                  break;
                              }
                              return true;
                          }),
             file);
}

void parseAudio(Payload data, size_t size, const MkvElementLimits& limits, MkvTrack& t,
                MkvFile& file) {
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              const size_t n = static_cast<size_t>(h.size);
                              switch (h.id) {
                              case mkvid::kSamplingFrequency:
                                  t.samplingFrequency = finiteOr(ebmlFloat(p, n), 0);
                                  break;
                              case mkvid::kOutputSamplingFrequency:
                                  t.outputSamplingFrequency = finiteOr(ebmlFloat(p, n), 0);
                                  break;
                              case mkvid::kChannels:
                                  t.channels = clampU32(ebmlUint(p, n));
                                  break;
                              case mkvid::kBitDepth:
                                  t.bitDepth = clampU32(ebmlUint(p, n));
                                  break;
                              }
                              return true;
                          }),
             file);
}

MkvTrack parseTrackEntry(Payload data, size_t size, const MkvElementLimits& limits, MkvFile& file) {
    MkvTrack t;
    Payload codecPrivate = nullptr;
    size_t codecPrivateSize = 0;
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              const size_t n = static_cast<size_t>(h.size);
                              switch (h.id) {
                              case mkvid::kTrackNumber:
                                  t.number = ebmlUint(p, n);
                                  break;
                              case mkvid::kTrackUid:
                                  t.uid = ebmlUint(p, n);
                                  break;
                              case mkvid::kTrackType:
                                  t.type = ebmlUint(p, n);
                                  break;
                              case mkvid::kFlagEnabled:
                                  // An empty element takes the default.
                                  if (n) t.enabled = ebmlUint(p, n, 1) != 0;
                                  break;
                              case mkvid::kFlagDefault:
                                  if (n) t.isDefault = ebmlUint(p, n, 1) != 0;
                                  break;
                              case mkvid::kFlagForced:
                                  t.forced = ebmlUint(p, n) != 0;
                                  break;
                              case mkvid::kDefaultDuration:
                                  t.defaultDuration = ebmlUint(p, n);
                                  break;
                              case mkvid::kName:
                                  t.name = ebmlString(p, n);
                                  break;
                              case mkvid::kLanguage:
                                  if (n && p[0]) {
                                      t.language = ebmlString(p, n, 16);
                                      t.hasLanguage = true;
                                  }
                                  break;
                              case mkvid::kLanguageBcp47:
                                  t.languageBcp47 = ebmlString(p, n, 64);
                                  break;
                              case mkvid::kCodecId:
                                  t.codecId = ebmlString(p, n, 64);
                                  break;
                              case mkvid::kCodecPrivate:
                                  codecPrivate = p;
                                  codecPrivateSize = n;
                                  break;
                              case mkvid::kContentEncodings:
                                  t.compressed = true;
                                  break;
                              case mkvid::kVideo:
                                  parseVideo(p, n, limits, t, file);
                                  break;
                              case mkvid::kAudio:
                                  parseAudio(p, n, limits, t, file);
                                  break;
                              }
                              return true;
                          }),
             file);
    t.codecPrivateSize = codecPrivateSize;
    identifyCodec(t, codecPrivate, codecPrivateSize);
    return t;
}

MkvTrack* trackByUid(MkvFile& file, uint64_t uid) {
    for (MkvTrack& t : file.tracks)
        if (t.uid == uid) return &t;
    return nullptr;
}

void parseSimpleTags(Payload data, size_t size, const MkvElementLimits& limits, size_t depth,
                     MkvTrack* track, MkvFile& file) {
    std::string name, value;
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              const size_t n = static_cast<size_t>(h.size);
                              if (h.id == mkvid::kTagName) name = ebmlString(p, n, 64);
                              if (h.id == mkvid::kTagString) value = ebmlString(p, n, 64);
                              if (h.id == mkvid::kSimpleTag) {
                                  if (depth >= limits.maxDepth) {
                                      file.note(MkvProblem::nestingTooDeep);
                                      return false;
                                  }
                                  parseSimpleTags(p, n, limits, depth + 1, track, file);
                              }
                              return true;
                          }),
             file);
    if (!track || depth != 1) return;
    // The statistics tags come in per-language copies ("BPS-eng") from some muxers.
    const std::string key = name.substr(0, name.find('-'));
    if (key == "BPS") {
        char* end = nullptr;
        const unsigned long long bps = std::strtoull(value.c_str(), &end, 10);
        if (end && *end == 0 && !value.empty()) track->tagBitrate = bps;
    } else if (key == "DURATION") {
        const double s = parseTagDuration(value.data(), value.size());
        if (s >= 0) track->tagSeconds = s;
    }
}

void parseTag(Payload data, size_t size, const MkvElementLimits& limits, MkvFile& file) {
    uint64_t trackUid = 0;
    // Targets come first; a SimpleTag before them applies to the whole file.
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              const size_t n = static_cast<size_t>(h.size);
                              if (h.id == mkvid::kTargets) {
                                  forEachChild(p, n, limits.maxChildren,
                                               [&](const ElementHeader& c, Payload q) {
                                                   if (c.id == mkvid::kTagTrackUid)
                                                       trackUid = ebmlUint(q, c.size);
                                                   return true;
                                               });
                              } else if (h.id == mkvid::kSimpleTag) {
                                  MkvTrack* t = trackUid ? trackByUid(file, trackUid) : nullptr;
                                  parseSimpleTags(p, n, limits, 1, t, file);
                              }
                              return true;
                          }),
             file);
}

} // namespace

double parseTagDuration(const char* text, size_t size) {
    // HH:MM:SS.fraction, hours of any width.
    size_t pos = 0;
    double fields[3] = {0, 0, 0};
    for (int f = 0; f < 3; ++f) {
        size_t digits = 0;
        double v = 0;
        while (pos < size && text[pos] >= '0' && text[pos] <= '9' && digits < 12) {
            v = v * 10 + (text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0) return -1;
        fields[f] = v;
        if (f < 2) {
            if (pos >= size || text[pos] != ':') return -1;
            ++pos;
        }
    }
    double fraction = 0, unit = 0.1;
    if (pos < size && text[pos] == '.') {
        ++pos;
        for (int d = 0; pos < size && text[pos] >= '0' && text[pos] <= '9'; ++pos, ++d)
            if (d < 12) {
                fraction += (text[pos] - '0') * unit;
                unit /= 10;
            }
    }
    if (pos != size || fields[1] >= 60 || fields[2] >= 60) return -1;
    return fields[0] * 3600 + fields[1] * 60 + fields[2] + fraction;
}

std::vector<SeekEntry> parseSeekHead(const uint8_t* data, size_t size,
                                     const MkvElementLimits& limits, MkvFile& file) {
    std::vector<SeekEntry> entries;
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              if (h.id != mkvid::kSeek) return true;
                              ++file.seekEntries;
                              if (entries.size() == limits.maxSeekEntries) return true;
                              SeekEntry e;
                              bool hasPosition = false;
                              forEachChild(p, h.size, 16, [&](const ElementHeader& c, Payload q) {
                                  if (c.id == mkvid::kSeekId)
                                      e.id = static_cast<uint32_t>(
                                          ebmlUint(q, c.size < 4 ? c.size : 4));
                                  if (c.id == mkvid::kSeekPosition && c.size <= 8) {
                                      e.position = ebmlUint(q, c.size);
                                      hasPosition = true;
                                  }
                                  return true;
                              });
                              if (e.id && hasPosition) entries.push_back(e);
                              return true;
                          }),
             file);
    return entries;
}

void parseInfo(const uint8_t* data, size_t size, const MkvElementLimits& limits, MkvFile& file) {
    file.hasInfo = true;
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              const size_t n = static_cast<size_t>(h.size);
                              switch (h.id) {
                              case mkvid::kTimestampScale: {
                                  const uint64_t scale = ebmlUint(p, n);
                                  // Zero would collapse every time; keep the default.
                                  if (scale) file.timestampScale = scale;
                                  break;
                              }
                              case mkvid::kDuration: {
                                  const double d = ebmlFloat(p, n, -1);
                                  if (std::isfinite(d) && d > 0) {
                                      file.hasDuration = true;
                                      file.duration = d;
                                  }
                                  break;
                              }
                              case mkvid::kTitle:
                                  file.title = ebmlString(p, n);
                                  break;
                              case mkvid::kMuxingApp:
                                  file.muxingApp = ebmlString(p, n, 128);
                                  break;
                              case mkvid::kWritingApp:
                                  file.writingApp = ebmlString(p, n, 128);
                                  break;
                              }
                              return true;
                          }),
             file);
}

void parseTracks(const uint8_t* data, size_t size, const MkvElementLimits& limits, MkvFile& file) {
    file.hasTracks = true;
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              if (h.id != mkvid::kTrackEntry) return true;
                              ++file.trackCount;
                              if (file.tracks.size() == limits.maxTracks) {
                                  file.note(MkvProblem::tooManyTracks);
                                  return true;
                              }
                              file.tracks.push_back(
                                  parseTrackEntry(p, static_cast<size_t>(h.size), limits, file));
                              return true;
                          }),
             file);
}

void parseTags(const uint8_t* data, size_t size, const MkvElementLimits& limits, MkvFile& file) {
    file.hasTags = true;
    noteWalk(forEachChild(data, size, limits.maxChildren,
                          [&](const ElementHeader& h, Payload p) {
                              if (h.id == mkvid::kTag)
                                  parseTag(p, static_cast<size_t>(h.size), limits, file);
                              return true;
                          }),
             file);
}

} // namespace tavro
