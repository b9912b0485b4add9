// Writing a rebuilt head back over a file: only when the file is still the one that
// was analysed, only the bytes that changed, never past its end, and with the old
// bytes put back when the write fails or falls short.
#pragma once
#include <string>

#include "analysis/byte_view.h"
#include "common/file_system.h"

namespace tavro {

struct HeadWriteResult {
    enum class Kind { Written, Unchanged, OpenFailed, FileChanged, WriteFailed };
    Kind kind = Kind::WriteFailed;
    std::string text; // the message for the user, "" when written
    std::string caption;
    bool ok() const { return kind == Kind::Written || kind == Kind::Unchanged; }
};

// `original` is the head as analysed, `updated` the new head of the same length;
// `analysed` the file's stamp taken before it was read.
HeadWriteResult writeHead(FileSystem& files, const std::string& path, const FileStamp& analysed,
                          ByteView original, ByteView updated);

} // namespace tavro
