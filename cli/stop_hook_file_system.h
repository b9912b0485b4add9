// A test hook for crash tests of saves: with TAVRO_TEST_STOP_SAVE=N[:BYTES] in the
// environment, the N-th changing file call (0-based: create, write, flush, remove,
// rename) ends the process at once, as a power cut would; a write given BYTES lands
// that many of its bytes first. Without the variable the platform's file system is used.
#pragma once
#include "common/file_system.h"

namespace tavro {

FileSystem& saveFileSystem();

} // namespace tavro
