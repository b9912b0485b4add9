// The table of further formats recognised by a byte pattern near the start.
#pragma once
#include <string>
#include <vector>

#include "analysis/analysis.h"
#include "analysis/byte_view.h"
#include "common/container_kind.h"

namespace tavro {

struct Signature {
    const char* pattern; // '?' matches any byte
    unsigned offset;
    unsigned length;
    const char* description;
    const char* mimeType;
    ContainerKind kind; // what the reports key their texts on
};

// The first row matching `data`, then the newer containers; null when none names it.
// Rows reaching past the span never match.
const Signature* findSignature(ByteView data);

// Every row that can name a file, the signature table first, then the newer containers.
std::vector<const Signature*> identificationRows();

// On a match writes File status, Type, typeCode (behind `prefix` when given) and the
// row's container kind.
bool matchSignature(Analysis& a, ByteView data, const std::string& prefix);

} // namespace tavro
