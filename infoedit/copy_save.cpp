#include "infoedit/copy_save.h"

namespace tavro {

std::string temporaryCopyName(const std::string& target) {
    return target + ".tavro-tmp";
}

HeadWriteResult saveEditedCopy(FileSystem& files, const std::string& from,
                               const std::string& target, ByteView original, ByteView updated,
                               const CopyStep& copy) {
    using Kind = HeadWriteResult::Kind;
    const std::string temporary = temporaryCopyName(target);
    FileError error;
    const bool copied =
        copy ? copy(from, temporary, &error) : files.copyFile(from, temporary, &error);
    if (!copied) {
        files.remove(temporary, nullptr);
        return {Kind::OpenFailed,
                "Unable to copy " + from + " to " + target + ":\n\n" + error.systemText,
                "File Copy Failure"};
    }
    FileStamp stamp;
    HeadWriteResult result =
        files.stamp(temporary, &stamp, &error)
            ? writeHeadOfPrivateCopy(files, temporary, stamp, original, updated)
            : HeadWriteResult{Kind::OpenFailed,
                              "Unable to open file " + temporary + ":\n\n" + error.systemText,
                              "File Open Failure"};
    // An unchanged head still makes the copy; nothing flushed it yet, and a copy the
    // system has not flushed may be renamed into place before its bytes reach the disk.
    if (result.kind == Kind::Unchanged) {
        std::unique_ptr<UpdateFile> copied = files.openUpdate(temporary, &error);
        if (!copied || !copied->flush(&error))
            result = {Kind::WriteFailed,
                      "Write operation failed for " + temporary + ":\n\n" + error.systemText,
                      "File Write Failure"};
    }
    if (result.ok() && !files.rename(temporary, target, &error))
        result = {Kind::WriteFailed,
                  "Unable to rename " + temporary + " to " + target + ":\n\n" + error.systemText,
                  "File Write Failure"};
    if (!result.ok()) files.remove(temporary, nullptr);
    return result;
}

} // namespace tavro
