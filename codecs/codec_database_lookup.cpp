// Lookups over the loaded tables. Scans are linear and the first match wins;
// each table has its own matching rule, kept as the lists and reports expect.
#include "codecs/codec_database.h"

#include <cstdio>
#include <cstring>

#include "common/fourcc_text.h"

namespace tavro {
namespace {

// Case-blind comparison of at most four characters; the terminator takes part,
// so a three-character key only matches a three-character FourCC text.
bool sameFourcc(const char* key, const char* fourcc) {
    for (int i = 0; i < 4; ++i) {
        const char a = asciiLower(key[i]);
        if (a != asciiLower(fourcc[i])) return false;
        if (a == '\0') return true;
    }
    return true;
}

// Appends `text` to the terminated string in out[size], cutting what does not fit.
void appendBounded(char* out, size_t size, const char* text) {
    size_t used = std::strlen(out);
    while (*text && used + 1 < size)
        out[used++] = *text++;
    out[used] = '\0';
}

} // namespace

int CodecDatabase::findVideoFormat(const char* fourcc) const {
    if (!fourcc) return 0;
    for (int slot = 1; slot < kVideoSlots && video_[slot].key; ++slot) {
        if (sameFourcc(video_[slot].key, fourcc)) return slot;
    }
    return 0;
}

int CodecDatabase::findAudioFormat(const char* tagText, std::string* displayName) const {
    if (tagText) {
        for (int slot = 1; slot < kAudioSlots; ++slot) {
            const CodecDatabaseEntry& e = audio_[slot];
            if (!e.key || std::strcmp(e.key, tagText) != 0) continue;
            if (displayName) {
                // "WAVE_FORMAT_MPEGLAYER3" reads better as "mpeglayer3".
                static const char kPrefix[] = "WAVE_FORMAT_";
                const size_t prefixLength = sizeof kPrefix - 1;
                std::string name = e.name;
                if (name.size() > prefixLength && name.compare(0, prefixLength, kPrefix) == 0) {
                    name.erase(0, prefixLength);
                    for (char& c : name)
                        c = asciiLower(c);
                }
                *displayName = name + " (" + tagText + ") " + e.detail;
            }
            return slot;
        }
    }
    if (displayName) *displayName = std::string(tagText ? tagText : "") + ": <unknown>";
    return 0;
}

int CodecDatabase::audioFormatName(uint16_t tag, char* out, size_t size) const {
    if (!out || size < 13) return -1;
    char tagText[8];
    std::snprintf(tagText, sizeof tagText, "0x%04x", static_cast<unsigned>(tag));
    for (int slot = 0; slot < kAudioSlots && audio_[slot].key; ++slot) {
        const CodecDatabaseEntry& e = audio_[slot];
        if (std::strcmp(e.key, tagText) != 0) continue;
        out[0] = '\0';
        appendBounded(out, size, e.name);
        appendBounded(out, size, " (");
        appendBounded(out, size, tagText);
        appendBounded(out, size, ")");
        return slot;
    }
    out[0] = '\0';
    appendBounded(out, size, "( Unknown )");
    return -1;
}

const CodecDatabaseEntry* CodecDatabase::resultCodeText(uint32_t code, std::string* text) const {
    char codeText[12];
    std::snprintf(codeText, sizeof codeText, "0x%08x", static_cast<unsigned>(code));
    for (int slot = 0; slot < kResultSlots; ++slot) {
        const CodecDatabaseEntry& e = results_[slot];
        if (!e.key || !e.key[0]) break;
        if (!equalsNoCase(e.key, codeText)) continue;
        if (text) *text = std::string(codeText) + ": " + e.name + " - " + e.detail;
        return &e;
    }
    if (text) *text = std::string(codeText) + ": [unknown]";
    return nullptr;
}

bool CodecDatabase::guidName(const Guid& guid, char* out, size_t size) const {
    // Entries whose key is not a GUID are passed over: they name nothing.
    for (int slot = 1; slot < kGuidSlots && guids_[slot].key; ++slot) {
        const CodecDatabaseEntry& e = guids_[slot];
        if (!e.hasGuid || !(e.guid == guid)) continue;
        if (out && size >= 1) {
            out[0] = '\0';
            appendBounded(out, size, e.detail);
        }
        return true;
    }
    return false;
}

} // namespace tavro
