#include "analysis/signatures.h"

#include "analysis/containers.h"

namespace tavro {
namespace {

const char* const kQuickTime = "Quicktime (.MOV/QT)";

const Signature kSignatures[] = {
    {"\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C", 0, 16, "ASF (.WMA/.WMV)",
     "video/x-ms-asf", ContainerKind::Asf},
    {"\xFF\xFD", 0, 2, "MPEG1/MPEG2 (.MP2/.MPA)", "audio/mpeg", ContainerKind::MpegAudio},
    {"moov", 4, 4, kQuickTime, "video/quicktime", ContainerKind::QuickTime},
    {"mdat", 4, 4, kQuickTime, "video/quicktime", ContainerKind::QuickTime},
    {"free", 4, 4, kQuickTime, "video/quicktime", ContainerKind::QuickTime},
    {"mdat", 12, 4, kQuickTime, "video/quicktime", ContainerKind::QuickTime},
    {"\x00\x00\x01\xBA", 0, 4, "MPEG (.MPG/.MPEG/.VOB)", "video/mpeg", ContainerKind::MpegProgram},
    {"\x00\x00\x01\xB3", 0, 4, "MPEG (.MPG/.MPEG/.VOB)", "video/mpeg", ContainerKind::MpegProgram},
    {".RMF", 0, 4, "RealMedia (.RM)", "application/vnd.rn-realmedia", ContainerKind::RealMedia},
    {"FWS", 0, 3, "Shockwave/Flash (.SWF)", "application/x-shockwave-flash",
     ContainerKind::Shockwave},
    {"MZ", 0, 2, "Executable (.EXE)", "application/OCTET-STREAM", ContainerKind::Executable},
    {"Rar!", 0, 4, "RAR file (.RAR)", "application/x-rar-compressed", ContainerKind::Rar},
    {"\x50\x4B\x03\x04", 0, 4, "ZIP file (.ZIP)", "application/zip", ContainerKind::Zip},
    {"http://", 0, 7, "URL link (text)", "n.a.", ContainerKind::UrlLink},
    {"OggS", 0, 4, "Ogg Media", "application/x-ogg", ContainerKind::Ogg},
    {"Vivo", 13, 4, "Vivo(.VIV)", "video/vnd.vivo", ContainerKind::Vivo},
    {"MThd", 0, 4, "MIDI (.MID)", "audio/midi", ContainerKind::Midi},
    {"FORM????AIFF", 0, 12, "AIFF audio (.AIF)", "audio/x-aiff", ContainerKind::Aiff},
    {"FORM????AIFC", 0, 12, "AIFF-C audio (.AIF)", "audio/x-aiff", ContainerKind::AiffC},
    {".snd", 0, 4, "NeXT/SUN audio (.AU/.SND)", "audio/basic", ContainerKind::SunAudio},
};

bool rowMatches(const Signature& row, ByteView data) {
    if (!data.has(row.offset, row.length)) return false;
    for (unsigned i = 0; i < row.length; ++i) {
        char want = row.pattern[i];
        if (want != '?' && data.data()[row.offset + i] != static_cast<uint8_t>(want)) return false;
    }
    return true;
}

} // namespace

std::vector<const Signature*> identificationRows() {
    std::vector<const Signature*> rows;
    for (const Signature& row : kSignatures)
        rows.push_back(&row);
    for (const Signature* row : containerRows())
        rows.push_back(row);
    return rows;
}

const Signature* findSignature(ByteView data) {
    for (const Signature& row : kSignatures)
        if (rowMatches(row, data)) return &row;
    return findContainer(data);
}

bool matchSignature(Analysis& a, ByteView data, const std::string& prefix) {
    const Signature* row = findSignature(data);
    if (!row) return false;
    if (!prefix.empty()) {
        a.report.setText(field::FileStatus, prefix + row->description);
        a.info.typeCode = prefix + row->description;
    } else {
        a.report.setText(field::FileStatus, std::string("File is ") + row->description);
        a.info.typeCode = row->description;
    }
    a.report.setText(field::Type, row->mimeType);
    a.info.container = row->kind;
    return true;
}

} // namespace tavro
