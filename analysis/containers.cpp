#include "analysis/containers.h"

#include <cstring>

namespace tavro {
namespace {

const Signature kMpeg4 = {"ftyp", 4, 4, "MPEG-4 (.MP4/.M4A)", "video/mp4", ContainerKind::Mpeg4};
const Signature kMpeg4Audio = {
    "ftyp", 4, 4, "MPEG-4 audio (.M4A)", "audio/mp4", ContainerKind::Mpeg4Audio};
const Signature kMpeg4Video = {
    "ftyp", 4, 4, "MPEG-4 video (.M4V)", "video/x-m4v", ContainerKind::Mpeg4Video};
const Signature kQuickTime = {
    "ftyp", 4, 4, "Quicktime (.MOV/QT)", "video/quicktime", ContainerKind::QuickTime};
const Signature k3gpp = {"ftyp", 4, 4, "3GPP (.3GP)", "video/3gpp", ContainerKind::ThreeGpp};
const Signature k3gpp2 = {"ftyp", 4, 4, "3GPP2 (.3G2)", "video/3gpp2", ContainerKind::ThreeGpp2};
const Signature kFlashMp4 = {
    "ftyp", 4, 4, "Flash MP4 video (.F4V)", "video/mp4", ContainerKind::FlashMp4};
const Signature kMotionJpeg2000 = {
    "ftyp", 4, 4, "Motion JPEG 2000 (.MJ2)", "video/mj2", ContainerKind::MotionJpeg2000};
const Signature kHeif = {
    "ftyp", 4, 4, "HEIF image (.HEIC/.HEIF)", "image/heif", ContainerKind::Heif};
const Signature kAvif = {"ftyp", 4, 4, "AVIF image (.AVIF)", "image/avif", ContainerKind::Avif};
const Signature kIsoMedia = {
    "ftyp", 4, 4, "ISO base media (.MP4)", "video/mp4", ContainerKind::IsoMedia};
const Signature kMatroska = {
    "\x1A\x45\xDF\xA3", 0, 4, "Matroska (.MKV/.MKA)", "video/x-matroska", ContainerKind::Matroska};
const Signature kWebm = {"\x1A\x45\xDF\xA3", 0, 4, "WebM (.WEBM)", "video/webm",
                         ContainerKind::WebM};
const Signature kFlv = {
    "FLV\x01", 0, 4, "Flash Video (.FLV)", "video/x-flv", ContainerKind::FlashVideo};
const Signature kTransportStream = {
    "\x47", 0, 1, "MPEG transport stream (.TS)", "video/mp2t", ContainerKind::TransportStream};
const Signature kFlac = {"fLaC", 0, 4, "FLAC audio (.FLAC)", "audio/flac", ContainerKind::Flac};

// Major brands by family; a brand ending in '*' stands for every brand it begins.
struct Brand {
    const char* brand;
    const Signature* row;
};
// clang-format off
const Brand kBrands[] = {
    {"qt  ", &kQuickTime},
    {"M4A ", &kMpeg4Audio}, {"M4B ", &kMpeg4Audio}, {"M4P ", &kMpeg4Audio},
    {"F4A ", &kMpeg4Audio}, {"F4B ", &kMpeg4Audio}, {"f4a ", &kMpeg4Audio},
    {"M4V ", &kMpeg4Video}, {"M4VH", &kMpeg4Video}, {"M4VP", &kMpeg4Video},
    {"F4V ", &kFlashMp4}, {"F4P ", &kFlashMp4}, {"f4v ", &kFlashMp4},
    {"3g2*", &k3gpp2},
    {"3gp*", &k3gpp}, {"3gg*", &k3gpp}, {"3gr*", &k3gpp}, {"3gs*", &k3gpp}, {"3ge*", &k3gpp},
    {"3gt*", &k3gpp},
    {"iso*", &kMpeg4}, {"mp4*", &kMpeg4}, {"mp7*", &kMpeg4}, {"avc1", &kMpeg4}, {"dash", &kMpeg4},
    {"MSNV", &kMpeg4}, {"NDAS", &kMpeg4}, {"NDSC", &kMpeg4}, {"NDSH", &kMpeg4}, {"NDSM", &kMpeg4},
    {"NDSP", &kMpeg4}, {"NDSS", &kMpeg4}, {"NDXC", &kMpeg4}, {"NDXH", &kMpeg4}, {"NDXM", &kMpeg4},
    {"NDXP", &kMpeg4}, {"NDXS", &kMpeg4},
    {"mjp2", &kMotionJpeg2000}, {"mj2s", &kMotionJpeg2000},
    {"heic", &kHeif}, {"heix", &kHeif}, {"heim", &kHeif}, {"heis", &kHeif}, {"hevc", &kHeif},
    {"hevx", &kHeif}, {"mif1", &kHeif}, {"msf1", &kHeif},
    {"avif", &kAvif}, {"avis", &kAvif},
};
// clang-format on

const Signature* isoMedia(ByteView data) {
    if (!data.has(8, 4)) return &kIsoMedia;
    const char* major = reinterpret_cast<const char*>(data.data() + 8);
    for (const Brand& b : kBrands) {
        size_t n = std::strlen(b.brand);
        bool family = b.brand[n - 1] == '*';
        if (std::memcmp(major, b.brand, family ? n - 1 : 4) == 0) return b.row;
    }
    return &kIsoMedia;
}

// An EBML variable-length number at `at`: its length comes from the leading zero bits
// of the first byte. With `keepMarker` (element ids) the value keeps that bit.
bool readVint(ByteView data, uint64_t at, bool keepMarker, uint64_t* value, unsigned* length) {
    if (!data.has(at, 1)) return false;
    uint8_t first = data.u8(at);
    unsigned n = 1;
    while (n <= 8 && !(first & (0x80 >> (n - 1))))
        ++n;
    if (n > 8 || !data.has(at, n)) return false;
    uint64_t v = keepMarker ? first : first & (0xFF >> n);
    for (unsigned i = 1; i < n; ++i)
        v = v << 8 | data.u8(at + i);
    *value = v;
    *length = n;
    return true;
}

// WebM is Matroska restricted to open codecs; only the header's DocType tells them
// apart. A DocType missing, or past the head, leaves the Matroska default.
const Signature* ebml(ByteView data) {
    const uint64_t kDocType = 0x4282;
    uint64_t size = 0;
    unsigned n = 0;
    if (!readVint(data, 4, false, &size, &n)) return &kMatroska;
    uint64_t at = 4 + n;
    uint64_t end = size < data.size() - at ? at + size : data.size();
    for (int elements = 0; elements < 64 && at < end; ++elements) {
        uint64_t id = 0, length = 0;
        unsigned idBytes = 0, sizeBytes = 0;
        if (!readVint(data, at, true, &id, &idBytes) ||
            !readVint(data, at + idBytes, false, &length, &sizeBytes))
            break;
        at += idBytes + sizeBytes;
        if (at > end || length > end - at) break;
        if (id == kDocType) {
            // Strings may be padded with zero bytes.
            const char* text = reinterpret_cast<const char*>(data.data() + at);
            size_t used = static_cast<size_t>(length);
            while (used > 0 && text[used - 1] == '\0')
                --used;
            return used == 4 && std::memcmp(text, "webm", 4) == 0 ? &kWebm : &kMatroska;
        }
        at += length;
    }
    return &kMatroska;
}

} // namespace

std::vector<const Signature*> containerRows() {
    return {&kMpeg4, &kMpeg4Audio, &kMpeg4Video,      &kQuickTime,
            &k3gpp,  &k3gpp2,      &kFlashMp4,        &kMotionJpeg2000,
            &kHeif,  &kAvif,       &kIsoMedia,        &kMatroska,
            &kWebm,  &kFlv,        &kTransportStream, &kFlac};
}

const Signature* findContainer(ByteView data) {
    if (data.equals(4, "ftyp", 4)) return isoMedia(data);
    if (data.equals(0, kMatroska.pattern, 4)) return ebml(data);
    if (data.equals(0, kFlv.pattern, 4)) return &kFlv;
    // One sync byte is common; three at the packet spacing are not.
    if (data.u8(0) == 0x47 && data.has(376, 1) && data.u8(188) == 0x47 && data.u8(376) == 0x47)
        return &kTransportStream;
    if (data.equals(0, kFlac.pattern, 4)) return &kFlac;
    return nullptr;
}

} // namespace tavro
