// The file explanation's body for each identification row, keyed by the row's
// container kind, so every row speaks for itself.
#pragma once
#include "common/container_kind.h"

namespace tavro {

struct ContainerText {
    ContainerKind kind;
    // Fits after "This is " and after the wrapper opening.
    const char* body;
    // The body only names the container: the explanation adds that its streams are
    // not read, and what the render test made of the file.
    bool namedOnly;
};

// The entry of `kind`; null for ContainerKind::None.
const ContainerText* containerText(ContainerKind kind);

// The MPEG audio body, shared by the frame scan and the MPEG audio signature row.
extern const char kMpegAudioBody[];

} // namespace tavro
