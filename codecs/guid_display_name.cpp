#include "codecs/guid_display_name.h"

#include <cstring>
#include <string>

#include "codecs/text_field.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

const char kFourccTail[] = "0000-0010-8000-00AA00389B71}";
constexpr size_t kGuidTextLength = 38;

// Hex pairs are taken as they come: a character that is not a digit counts as 0.
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = asciiLower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

unsigned char hexPair(const char* text, size_t at) {
    return static_cast<unsigned char>(hexDigit(text[at]) << 4 | hexDigit(text[at + 1]));
}

size_t boundedLength(const char* text, size_t max) {
    size_t n = 0;
    while (n < max && text[n])
        ++n;
    return n;
}

void nameFromText(const CodecDatabase& db, const char* text, const Guid* guid, char* out,
                  size_t size, GuidNameOptions options, char* fourcc) {
    if (!out || size == 0) return;
    out[0] = '\0';
    const size_t length = boundedLength(text, kGuidTextLength + 1);
    char name[256];
    if (guid && db.guidName(*guid, name, sizeof name)) {
        std::string shown = name;
        if (options.append) shown += std::string(" ") + text;
        copyText(out, size, shown.c_str());
        return;
    }
    if (options.fourccMode && length == kGuidTextLength && equalsNoCase(text + 10, kFourccTail)) {
        if (std::strncmp(text, "{0000", 5) == 0) {
            // A wave format tag dressed as a media subtype.
            const uint16_t tag = static_cast<uint16_t>(hexPair(text, 5) << 8 | hexPair(text, 7));
            db.audioFormatName(tag, out, size);
            return;
        }
        const char c[4] = {static_cast<char>(hexPair(text, 7)), static_cast<char>(hexPair(text, 5)),
                           static_cast<char>(hexPair(text, 3)),
                           static_cast<char>(hexPair(text, 1))};
        // A zero byte ends the visible text, as it would in the characters themselves.
        std::string shown = std::string("4cc: ") + std::string(c, 4) + "    ";
        shown.resize(std::strlen(shown.c_str()));
        if (options.append) shown += std::string(" ") + text;
        copyText(out, size, shown.c_str());
        if (fourcc) {
            for (int i = 0; i < 4; ++i)
                fourcc[i] = asciiUpper(c[i]);
            fourcc[4] = '\0';
        }
        return;
    }
    copyText(out, size, text);
}

} // namespace

void guidDisplayName(const CodecDatabase& db, const Guid& guid, char* out, size_t size,
                     GuidNameOptions options, char* fourcc) {
    // A caller reading the FourCC after a GUID without one sees it empty.
    if (fourcc) fourcc[0] = '\0';
    if (!out || size == 0) return;
    if (guid == Guid{}) {
        out[0] = '\0';
        return;
    }
    char text[39];
    formatRegistryGuid(guid, text);
    nameFromText(db, text, &guid, out, size, options, fourcc);
}

void guidDisplayName(const CodecDatabase& db, const char* text, char* out, size_t size,
                     GuidNameOptions options, char* fourcc) {
    if (fourcc) fourcc[0] = '\0';
    if (!out || size == 0) return;
    if (!text || !text[0]) {
        out[0] = '\0';
        return;
    }
    Guid guid{};
    const bool parsed = parseRegistryGuid(text, boundedLength(text, kGuidTextLength), &guid);
    nameFromText(db, text, parsed ? &guid : nullptr, out, size, options, fourcc);
}

} // namespace tavro
