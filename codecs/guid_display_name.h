// How the lists and detail views name a GUID: the data base's name when it has
// one, a wave format or a FourCC when the GUID has that form, else its text.
#pragma once
#include <cstddef>

#include "codecs/codec_database.h"
#include "codecs/guid.h"

namespace tavro {

struct GuidNameOptions {
    bool append = false;     // follow a name with a space and the GUID text
    bool fourccMode = false; // try the wave format and FourCC forms
};

// From a binary GUID; the null GUID gives an empty output. `fourcc` (5 bytes,
// optional) receives the upper-cased FourCC when the GUID names one.
void guidDisplayName(const CodecDatabase& db, const Guid& guid, char* out, size_t size,
                     GuidNameOptions options, char* fourcc = nullptr);
// From the registry-form text; an empty or null text gives an empty output.
void guidDisplayName(const CodecDatabase& db, const char* text, char* out, size_t size,
                     GuidNameOptions options, char* fourcc = nullptr);

} // namespace tavro
