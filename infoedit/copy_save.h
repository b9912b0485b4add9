// Saving an edited head to a copy (Save As, --output): the copy is made and edited
// under a temporary name beside the target and renamed into place only when whole,
// so the target name never shows a half-copied or half-written file.
#pragma once
#include <functional>
#include <string>

#include "infoedit/head_writer.h"

namespace tavro {

// Copies `from` to `to`; false (with the system's words) on failure. The window
// shows its own progress; the default copies through the file system.
using CopyStep = std::function<bool(const std::string& from, const std::string& to, FileError*)>;

std::string temporaryCopyName(const std::string& target);

// `original` is the head as analysed from `from`, `updated` the edited one.
HeadWriteResult saveEditedCopy(FileSystem& files, const std::string& from,
                               const std::string& target, ByteView original, ByteView updated,
                               const CopyStep& copy = CopyStep());

} // namespace tavro
