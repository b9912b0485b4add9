#include "infoedit/head_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tavro {
namespace {

HeadWriteResult failure(HeadWriteResult::Kind kind, const char* format, const std::string& path,
                        const char* caption, const std::string& systemText) {
    std::vector<char> text(path.size() + 256);
    std::snprintf(text.data(), text.size(), format, path.c_str());
    return {kind, std::string(text.data()) + systemText, caption};
}

bool writeAll(UpdateFile& file, ByteView bytes, size_t count, FileError* error) {
    size_t written = 0;
    if (file.writeAt(0, bytes.data(), count, &written, error) && written == count)
        return file.flush(error);
    // A short write may come without an error of its own; it is a full disk.
    if (error->systemText.empty()) *error = {112, "There is not enough space on the disk."};
    return false;
}

} // namespace

HeadWriteResult writeHead(FileSystem& files, const std::string& path, const FileStamp& analysed,
                          ByteView original, ByteView updated) {
    using Kind = HeadWriteResult::Kind;
    if (original.size() != updated.size())
        return failure(Kind::WriteFailed, "Write operation failed for %s:\n\n", path,
                       "File Write Failure", "The new header does not fit the file.");
    // Only the changed bytes are written: everything behind the last one stays untouched.
    size_t count = updated.size();
    while (count > 0 && updated.data()[count - 1] == original.data()[count - 1])
        --count;
    if (count == 0) return {Kind::Unchanged, "", ""};

    FileError error;
    std::unique_ptr<UpdateFile> file = files.openUpdate(path, &error);
    if (!file)
        return failure(Kind::OpenFailed, "Unable to open file %s:\n\n", path, "File Open Failure",
                       error.systemText);
    FileStamp now;
    std::vector<uint8_t> onDisk(original.size());
    size_t got = 0;
    // The file must still be the one analysed: same size and time, the same head bytes.
    if (!files.stamp(path, &now, &error) || now != analysed || file->size() != analysed.size ||
        count > file->size() || !file->readAt(0, onDisk.data(), onDisk.size(), &got, &error) ||
        got < count || got != std::min<uint64_t>(onDisk.size(), file->size()) ||
        std::memcmp(onDisk.data(), original.data(), got) != 0)
        return failure(Kind::FileChanged,
                       "%s has changed since it was analysed. File will not be modified", path,
                       "File Write Failure", "");
    if (writeAll(*file, updated, count, &error)) return {Kind::Written, "", ""};
    FileError restoreError;
    bool restored = writeAll(*file, original, count, &restoreError);
    HeadWriteResult result = failure(Kind::WriteFailed, "Write operation failed for %s:\n\n", path,
                                     "File Write Failure", error.systemText);
    if (!restored) result.text += "\nThe original header could not be written back either.";
    return result;
}

} // namespace tavro
