#include "analysis/identify.h"

#include <cstring>

#include "analysis/field_format.h"
#include "analysis/wide_scan.h"
#include "analysis/mpeg_audio_scan.h"
#include "analysis/ogg_streams.h"
#include "analysis/signatures.h"
#include "analysis/size_text.h"
#include "analysis/span_feed.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

const char* const kUnknownType = "Non-AVI File - Type Unknown.";

bool formIs(ByteView head, const char* form) {
    size_t n = std::strlen(form);
    return head.has(8, n) && startsWithNoCase(head.data() + 8, n, form);
}

void identifyRiff(Analysis& a, uint64_t fileSize) {
    MediaInfo& info = a.info;
    ByteView head = info.head();
    bool avi = formIs(head, "AVI");
    bool cdxa = !avi && formIs(head, "CDXA");
    bool wave = !avi && !cdxa && formIs(head, "WAVE");
    if (!avi && !cdxa && !wave) {
        if (formIs(head, "RMID")) {
            a.report.setText(field::FileStatus, "File is .RMI (RIFF/MIDI)");
            a.report.setText(field::Type, "audio/midi");
            info.typeCode = ".RMI (RIFF \"wrapped\" MIDI)";
            return;
        }
        a.report.setText(field::FileStatus, "Unsupported / Unknown RIFF file");
        info.typeCode = kUnknownType;
        info.notIdentified = 1;
        return;
    }
    info.isRiff = 1;
    if (avi) {
        info.typeCode = "AVI";
        info.isAvi = 1;
    } else {
        a.report.setText(field::Type, "wrapper");
        info.typeCode = "wrapper";
    }
    // The size field does not count the 8 header bytes, so up to 8 missing bytes pass.
    uint64_t declared = head.u32(4);
    uint64_t missing = declared > fileSize ? declared - fileSize : 0;
    if (missing > 1024) {
        a.report.setText(field::FileStatus,
                         "===> Truncated: " + sizeText(missing, true) + " are missing.");
        info.typeCode = "CUT";
    } else if (missing > 0) {
        a.report.setText(field::FileStatus,
                         "May be truncated:" + sizeText(missing, true) + " are missing.");
        info.typeCode = "SHY";
    } else {
        a.report.setText(field::FileStatus, "File Length Correct");
    }
}

void identifyOgg(Analysis& a) {
    MediaInfo& info = a.info;
    if (readOggIntoModel(a, info.headBuffer(), info.headLength) != 0) {
        a.report.setText(field::FileStatus, "File is Ogg Audio");
        info.typeCode = "Ogg Audio";
        return;
    }
    // An audio-only Ogg has no video header: no "(_RGB)" FourCC, no 0 x 0 frame.
    if (info.avi.videoStreams > 0) {
        fillVideoFields(a);
        a.codecs.resolveVideoCodec();
    }
    fillAudioFields(a, 0);
    a.codecs.resolveAudioCodec(0);
    info.typeCode = "OGG";
}

void identifyOther(Analysis& a) {
    MediaInfo& info = a.info;
    bool matched = matchSignature(a, info.head(), "");
    // Only the verdict is used when there is none, so a hopeless scan may stop early.
    scanMpegAudio(info.headBuffer(), info.headLength, info.mpegScanFile, true);
    if (info.mpegScanFile.verdict != 0) {
        // A frame scan outranks a signature: MPEG audio may begin with any bytes.
        MpegAudioSummary s = describeMpegAudio(info.mpegScanFile);
        a.report.setText(field::Type, s.kind + s.rate);
        a.report.setText(field::FileStatus, s.kind + s.rate);
        info.typeCode = s.kind;
        info.container = ContainerKind::None;
        mapMpegAudioFile(info);
        return;
    }
    if (matched) return;
    a.report.setText(field::FileStatus, kUnknownType);
    info.typeCode = kUnknownType;
    info.notIdentified = 1;
}

} // namespace

void identify(Analysis& a, uint64_t fileSize) {
    MediaInfo& info = a.info;
    a.report.setText(field::Size, sizeText(fileSize, true));
    info.sizeFull = sizeText(fileSize, false);
    beginFileMap(info, fileSize);
    // Only a row matched in this pass may key the texts; a wrapper's pass names none.
    info.container = ContainerKind::None;
    ByteView head = info.head();
    if (head.size() >= 4 && startsWithNoCase(head.data(), 4, "RIFF"))
        identifyRiff(a, fileSize);
    else if (head.equals(0, "OggS", 4))
        identifyOgg(a);
    else
        identifyOther(a);
}

void cdxaScan(Analysis& a, uint32_t chunk) {
    const uint32_t kSector = 2352, kUserOffset = 24, kUserBytes = 2324;
    ByteView head = a.info.head();
    uint32_t size = head.u32(uint64_t(chunk) + 4);
    if (size < 4 || size % 4 != 0) return;
    uint64_t sectors = size / 4;
    uint64_t user = uint64_t(chunk) + 8 + kUserOffset;
    // Only sectors wholly inside the head are looked at.
    for (uint64_t n = 0; n < sectors && head.has(user - kUserOffset, kSector);
         ++n, user += kSector) {
        const uint8_t* data = head.data() + user;
        bool blank = true;
        for (uint32_t i = 0; i < kUserBytes && blank; ++i)
            blank = data[i] == 0;
        if (blank) continue;
        matchSignature(a, ByteView(data, head.size() - user), "RIFF/CDXA -->");
        return;
    }
}

uint32_t cookedScore(const uint8_t* data, size_t length) {
    const LineFeeds n = countLineFeeds(data, length);
    return n.all > 15 ? static_cast<uint32_t>(n.afterReturn * 256 / n.all) : 0;
}

} // namespace tavro
