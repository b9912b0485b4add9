// The table of further formats recognised by a byte pattern near the start.
#pragma once
#include <string>

#include "analysis/analysis.h"
#include "analysis/byte_view.h"

namespace tavro {

struct Signature {
    const char* pattern; // '?' matches any byte
    unsigned offset;
    unsigned length;
    const char* description;
    const char* mimeType;
};

// The first row matching `data`, then the newer containers; null when none names it.
// Rows reaching past the span never match.
const Signature* findSignature(ByteView data);

// On a match writes File status, Type and typeCode (behind `prefix` when given).
bool matchSignature(Analysis& a, ByteView data, const std::string& prefix);

} // namespace tavro
