// Containers that came after the signature table was drawn up (ISO media, Matroska,
// Flash video, MPEG transport streams, FLAC), named from their own headers. They are
// asked only when no signature row matched, so older names keep their precedence.
#pragma once
#include <vector>

#include "analysis/byte_view.h"
#include "analysis/signatures.h"

namespace tavro {

// The row naming the container `data` begins with, or null.
const Signature* findContainer(ByteView data);

// Every row findContainer can return.
std::vector<const Signature*> containerRows();

} // namespace tavro
