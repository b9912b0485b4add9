// Writing a rebuilt head back over a file: only when the file is still the one that
// was analysed, only the bytes that changed, never past its end, and journaled: the
// bytes about to be replaced go to a flushed recovery file first, so that a crash at
// any moment leaves the old head, the new one, or a head that can be put back.
#pragma once
#include <string>

#include "analysis/byte_view.h"
#include "common/file_system.h"

namespace tavro {

struct HeadWriteResult {
    enum class Kind {
        Written,
        Unchanged,
        OpenFailed,
        FileChanged,
        WriteFailed,
        NoRecoveryFile, // the recovery file could not be written: nothing was
        RecoveryPending // an earlier save was cut short and waits to be undone
    };
    Kind kind = Kind::WriteFailed;
    std::string text; // the message for the user, "" when written
    std::string caption;
    bool ok() const { return kind == Kind::Written || kind == Kind::Unchanged; }
};

// `original` is the head as analysed, `updated` the new head of the same length;
// `analysed` the file's stamp taken before it was read.
HeadWriteResult writeHead(FileSystem& files, const std::string& path, const FileStamp& analysed,
                          ByteView original, ByteView updated);

// The same without a recovery file, for a copy under a temporary name that nobody
// sees until it is complete.
HeadWriteResult writeHeadOfPrivateCopy(FileSystem& files, const std::string& path,
                                       const FileStamp& analysed, ByteView original,
                                       ByteView updated);

} // namespace tavro
