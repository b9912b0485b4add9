// The FLAC record in the common shape: one audio stream, the title, and what a
// listener would notice about a damaged file.
#include <cstdio>
#include <string>

#include "analysis/flac/flac_reader.h"

namespace tavro {

namespace {

std::string number(uint64_t v) {
    return std::to_string(v);
}

void addFindings(const FlacFile& f, MediaStreams& m) {
    if (f.has(FlacProblem::id3PastEnd))
        m.add(Severity::broken, "flac.id3_past_end",
              "Damaged: the ID3 tag claims more than the file",
              "The file starts with an ID3 tag whose size runs past the end of the file, so "
              "the audio after it cannot be found. The file was probably cut short while it "
              "was copied or downloaded; get a complete copy.");
    if (f.has(FlacProblem::blockPastEnd))
        m.add(Severity::broken, "flac.block_past_end",
              "Truncated: the file ends inside its header blocks",
              "A metadata block at the head of this FLAC file claims more bytes than the file "
              "holds, so the file ends before any audio. Nothing here can be played; the "
              "download or copy stopped early. Get the file again.");
    if (f.has(FlacProblem::noFrameAtAudioStart) && !f.has(FlacProblem::blockPastEnd))
        m.add(Severity::warning, "flac.bad_block_length",
              "Damaged: the header block lengths do not lead to the audio",
              "Where the header blocks say the audio begins there is no FLAC frame. A block "
              "length is probably wrong (a tag editor may have damaged it). Players that "
              "search for the next frame will still play it; others will refuse. Re-encoding "
              "or re-tagging with a FLAC tool rewrites the header.");
    if (f.has(FlacProblem::badStreamInfo) || f.has(FlacProblem::streamInfoNotFirst) ||
        f.has(FlacProblem::badBlockType))
        m.add(Severity::warning, "flac.bad_streaminfo",
              "Damaged: the FLAC header blocks are malformed",
              "The stream information block is missing from its place, has the wrong length "
              "or holds impossible values, or a block of a forbidden type follows. Strict "
              "players may refuse the file. Re-encoding it with a FLAC tool repairs the "
              "header if the audio frames are whole.");
    if (f.has(FlacProblem::commentsDamaged))
        m.add(Severity::note, "flac.comments_damaged", "Tags damaged",
              "The Vorbis comment block's lengths do not add up, so some tags (title, "
              "artist...) could not be read. The audio is not affected.");
    if (f.has(FlacProblem::samplesExceedData)) {
        const double total = f.seconds;
        m.add(Severity::broken, "flac.samples_exceed_data",
              "Truncated: " + durationText(f.secondsMissing) + " of audio missing",
              "The header declares " + number(f.totalSamples) + " samples (" + durationText(total) +
                  "), but the last frame in the file ends at sample " + number(f.samplesInData) +
                  " (" + durationText(f.secondsInData) + "). About " +
                  durationText(f.secondsMissing) +
                  " at the end is missing: the file was cut short. Players will play what "
                  "is there and then stop early, or show a length they never reach. Get a "
                  "complete copy.");
    }
    if (f.has(FlacProblem::noFrames))
        m.add(Severity::broken, "flac.no_frames", "Damaged: no audio frames found",
              "No FLAC frame could be found at the end of the file. The audio is missing or "
              "overwritten; players will show the header and play nothing or noise.");
    if (f.hasStreamInfo && !f.totalSamples)
        m.add(Severity::note, "flac.length_unknown",
              f.lastFrameFound ? "Length not in the header; estimated from the last frame"
                               : "Length not in the header",
              "The encoder did not write the number of samples (a live or piped encoding), "
              "so the length shown is taken from the last frame found, not from the header. "
              "Some players show no length or cannot seek.");
}

} // namespace

MediaStreams describeFlac(const FlacFile& f) {
    MediaStreams m;
    if (f.status == FlacStatus::notFlac || f.status == FlacStatus::readError) {
        if (f.has(FlacProblem::id3PastEnd)) {
            addFindings(f, m);
        } else if (f.status == FlacStatus::readError) {
            m.add(Severity::broken, "flac.read_error", "Could not be read",
                  "Reading the file failed part way. Check the disk or network share and "
                  "try again.");
        } else {
            m.add(Severity::broken, "flac.not_flac", "Not a FLAC file",
                  "The file does not start with the FLAC marker, so it is something else "
                  "with a .flac name, or its head is damaged.");
        }
        return m;
    }
    m.present = true;
    m.container = "FLAC";
    m.title = f.comment("TITLE");
    m.streamCount = 1;
    if (f.status == FlacStatus::noStreamInfo) {
        m.add(Severity::broken, "flac.no_streaminfo", "Damaged: no stream information",
              "The file has the FLAC marker, but the block that gives the sample rate, "
              "channels and length is missing. Most players will refuse it. If the audio "
              "frames are whole, a FLAC tool can rebuild the header from them.");
        addFindings(f, m);
        return m;
    }
    StreamFacts s;
    s.kind = StreamKind::audio;
    s.id = 0;
    s.codecId = "fLaC";
    s.codec = "FLAC";
    s.sampleRate = f.sampleRate;
    s.channels = f.channels;
    s.bitDepth = f.bitsPerSample;
    s.language = f.comment("LANGUAGE");
    s.title = m.title;
    s.isDefault = true;
    if (f.totalSamples) {
        m.seconds = f.seconds;
    } else if (f.lastFrameFound) {
        m.seconds = f.secondsInData;
        m.secondsEstimated = true;
    }
    s.seconds = m.seconds;
    m.bitrate = f.bitrate;
    s.bitrate = f.bitrate;
    m.streams.push_back(s);
    addFindings(f, m);
    return m;
}

} // namespace tavro
