#include "infoedit/head_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "infoedit/head_recovery.h"
#include "infoedit/save_journal.h"

namespace tavro {
namespace {

HeadWriteResult failure(HeadWriteResult::Kind kind, const char* format, const std::string& path,
                        const char* caption, const std::string& systemText) {
    std::vector<char> text(path.size() + 256);
    std::snprintf(text.data(), text.size(), format, path.c_str());
    return {kind, std::string(text.data()) + systemText, caption};
}

// The length of the prefix that holds every changed byte. Whole blocks are compared
// first: a head is up to half a megabyte and an edit touches its first few KiB.
size_t changedLength(const uint8_t* before, const uint8_t* after, size_t size) {
    constexpr size_t kBlock = 4096;
    size_t count = size;
    while (count >= kBlock &&
           std::memcmp(before + count - kBlock, after + count - kBlock, kBlock) == 0)
        count -= kBlock;
    while (count > 0 && before[count - 1] == after[count - 1])
        --count;
    return count;
}

bool writeAll(UpdateFile& file, const uint8_t* bytes, size_t count, FileError* error) {
    size_t written = 0;
    if (file.writeAt(0, bytes, count, &written, error) && written == count)
        return file.flush(error);
    // A short write may come without an error of its own; it is a full disk.
    if (error->systemText.empty()) *error = {112, "There is not enough space on the disk."};
    return false;
}

// Writes and flushes the recovery file beside the media file, or else in the user's
// folder. Returns its path, or "" (with the last error) when neither could be written.
std::string writeJournal(FileSystem& files, const std::string& path, const SaveJournal& journal,
                         FileError* error) {
    const std::vector<uint8_t> bytes = encodeJournal(journal);
    std::vector<std::string> places = {journalPathBeside(path)};
    const std::string folder = files.userFolder();
    if (!folder.empty()) places.push_back(journalPathInFolder(folder, path));
    for (const std::string& place : places) {
        FileError attempt;
        std::unique_ptr<UpdateFile> file = files.create(place, &attempt);
        if (file && writeAll(*file, bytes.data(), bytes.size(), &attempt)) return place;
        file.reset();
        if (!attempt.systemText.empty() || error->systemText.empty()) *error = attempt;
        files.remove(place, nullptr); // a partial one would only be judged torn later
    }
    return std::string();
}

// What an earlier, interrupted save left: one with nothing left to do goes; one that
// waits to be undone (or cannot be read) stops this save, since its new recovery
// file would replace the only copy of the old head.
bool clearLeftover(FileSystem& files, const std::string& path, HeadWriteResult* refusal) {
    const RecoveryCheck left = checkRecovery(files, path);
    switch (left.state) {
    case RecoveryState::None:
    case RecoveryState::Foreign:
        return true;
    case RecoveryState::Completed:
    case RecoveryState::NotStarted:
    case RecoveryState::Torn:
        settleRecovery(files, left);
        return true;
    default:
        *refusal = {HeadWriteResult::Kind::RecoveryPending,
                    "An earlier save of " + path + " was cut short, and its recovery file " +
                        left.journalPath +
                        " still holds the old header (tavro-cli --restore puts it back). File "
                        "will not be modified",
                    "File Write Failure"};
        return false;
    }
}

HeadWriteResult writeHeadWith(FileSystem& files, const std::string& path, const FileStamp& analysed,
                              ByteView original, ByteView updated, bool journaled) {
    using Kind = HeadWriteResult::Kind;
    if (original.size() != updated.size())
        return failure(Kind::WriteFailed, "Write operation failed for %s:\n\n", path,
                       "File Write Failure", "The new header does not fit the file.");
    // Only the changed bytes are written: everything behind the last one stays untouched.
    const size_t count = changedLength(original.data(), updated.data(), updated.size());
    if (count == 0) return {Kind::Unchanged, "", ""};

    HeadWriteResult refusal;
    if (journaled && !clearLeftover(files, path, &refusal)) return refusal;
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

    std::string journalPath;
    if (journaled) {
        SaveJournal journal;
        journal.fileSize = file->size();
        journal.oldBytes.assign(onDisk.begin(), onDisk.begin() + count);
        journal.oldSum = journalSum(journal.oldBytes.data(), count);
        journal.newSum = journalSum(updated.data(), count);
        std::vector<uint8_t> tail(
            static_cast<size_t>(std::min<uint64_t>(kJournalTailSample, file->size() - count)));
        size_t tailGot = 0;
        if (!file->readAt(count, tail.data(), tail.size(), &tailGot, &error) ||
            tailGot != tail.size())
            return failure(Kind::FileChanged, "Error reading file %s:\n\n", path, "File Read Error",
                           error.systemText);
        journal.tailLength = static_cast<uint32_t>(tail.size());
        journal.tailSum = journalSum(tail.data(), tail.size());
        FileError journalError;
        journalPath = writeJournal(files, path, journal, &journalError);
        if (journalPath.empty())
            return failure(Kind::NoRecoveryFile,
                           "Unable to write the recovery file for %s. File will not be "
                           "modified\n\n",
                           path, "File Write Failure", journalError.systemText);
    }

    if (writeAll(*file, updated.data(), count, &error)) {
        if (journaled) {
            file.reset();
            // Left over, it is judged "completed" and removed at the next open.
            files.remove(journalPath, nullptr);
        }
        return {Kind::Written, "", ""};
    }
    FileError restoreError;
    bool restored = writeAll(*file, original.data(), count, &restoreError);
    file.reset();
    HeadWriteResult result = failure(Kind::WriteFailed, "Write operation failed for %s:\n\n", path,
                                     "File Write Failure", error.systemText);
    if (restored && journaled) files.remove(journalPath, nullptr);
    if (!restored) {
        result.text += "\nThe original header could not be written back either.";
        if (journaled)
            result.text += " It is kept in " + journalPath +
                           " and is offered back when the file is next opened.";
    }
    return result;
}

} // namespace

HeadWriteResult writeHead(FileSystem& files, const std::string& path, const FileStamp& analysed,
                          ByteView original, ByteView updated) {
    return writeHeadWith(files, path, analysed, original, updated, true);
}

HeadWriteResult writeHeadOfPrivateCopy(FileSystem& files, const std::string& path,
                                       const FileStamp& analysed, ByteView original,
                                       ByteView updated) {
    return writeHeadWith(files, path, analysed, original, updated, false);
}

} // namespace tavro
