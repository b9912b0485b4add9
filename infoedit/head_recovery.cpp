#include "infoedit/head_recovery.h"

#include <algorithm>
#include <vector>

namespace tavro {
namespace {

// A recovery file is small: the head and a few dozen bytes.
constexpr uint64_t kMaxJournalFile = (64u << 20) + 4096;

bool readAll(InputFile& file, std::vector<uint8_t>* out, size_t want, FileError* error) {
    out->resize(want);
    size_t got = 0;
    if (!file.read(out->data(), want, &got, error)) return false;
    out->resize(got);
    return true;
}

// The state of the media file against a decoded recovery file.
RecoveryState judge(const SaveJournal& j, uint64_t size, const std::vector<uint8_t>& head,
                    const std::vector<uint8_t>& tail) {
    if (size != j.fileSize || head.size() != j.oldBytes.size() || tail.size() != j.tailLength ||
        journalSum(tail.data(), tail.size()) != j.tailSum)
        return RecoveryState::Foreign;
    const uint32_t now = journalSum(head.data(), head.size());
    if (now == j.newSum) return RecoveryState::Completed;
    if (now == j.oldSum) return RecoveryState::NotStarted;
    return RecoveryState::NeedsRestore;
}

HeadWriteResult fail(HeadWriteResult::Kind kind, const std::string& text) {
    return {kind, text, "File Restore Failure"};
}

} // namespace

RecoveryCheck checkRecovery(FileSystem& files, const std::string& path) {
    RecoveryCheck check;
    std::unique_ptr<InputFile> journalFile;
    std::vector<std::string> candidates = {journalPathBeside(path)};
    const std::string folder = files.userFolder();
    if (!folder.empty()) candidates.push_back(journalPathInFolder(folder, path));
    for (const std::string& candidate : candidates) {
        if (!files.exists(candidate)) continue;
        check.journalPath = candidate;
        journalFile = files.openRead(candidate, &check.error);
        break;
    }
    if (check.journalPath.empty()) return check;
    std::vector<uint8_t> bytes;
    if (!journalFile || journalFile->size() > kMaxJournalFile ||
        !readAll(*journalFile, &bytes, static_cast<size_t>(journalFile->size()), &check.error)) {
        check.state = RecoveryState::Unreadable;
        return check;
    }
    journalFile.reset();
    switch (decodeJournal(ByteView(bytes.data(), bytes.size()), &check.journal)) {
    case JournalDecode::Torn:
        check.state = RecoveryState::Torn;
        return check;
    case JournalDecode::NewerVersion:
        check.state = RecoveryState::Unreadable;
        return check;
    case JournalDecode::Ok:
        break;
    }
    const SaveJournal& j = check.journal;
    std::unique_ptr<InputFile> media = files.openRead(path, &check.error);
    std::vector<uint8_t> head, tail;
    if (!media || !readAll(*media, &head, j.oldBytes.size(), &check.error) ||
        !readAll(*media, &tail, j.tailLength, &check.error)) {
        check.state = RecoveryState::Unreadable;
        return check;
    }
    check.state = judge(j, media->size(), head, tail);
    return check;
}

bool settleRecovery(FileSystem& files, const RecoveryCheck& check) {
    switch (check.state) {
    case RecoveryState::Completed:
    case RecoveryState::NotStarted:
    case RecoveryState::Torn:
        return files.remove(check.journalPath, nullptr);
    case RecoveryState::None:
        return true;
    default:
        return false;
    }
}

HeadWriteResult restoreHead(FileSystem& files, const std::string& path,
                            const RecoveryCheck& check) {
    using Kind = HeadWriteResult::Kind;
    if (check.state != RecoveryState::NeedsRestore)
        return fail(Kind::FileChanged, "There is no interrupted save of " + path + " to undo.");
    const SaveJournal& j = check.journal;
    FileError error;
    std::unique_ptr<UpdateFile> file = files.openUpdate(path, &error);
    if (!file)
        return fail(Kind::OpenFailed, "Unable to open file " + path + ":\n\n" + error.systemText);
    // The file may have changed since it was checked: it is judged again under the lock.
    std::vector<uint8_t> head(j.oldBytes.size()), tail(j.tailLength);
    size_t gotHead = 0, gotTail = 0;
    if (!file->readAt(0, head.data(), head.size(), &gotHead, &error) ||
        !file->readAt(head.size(), tail.data(), tail.size(), &gotTail, &error))
        return fail(Kind::OpenFailed, "Error reading file " + path + ":\n\n" + error.systemText);
    head.resize(gotHead);
    tail.resize(gotTail);
    if (judge(j, file->size(), head, tail) != RecoveryState::NeedsRestore)
        return fail(Kind::FileChanged,
                    path + " has changed since it was checked. File will not be modified");
    size_t written = 0;
    if (!file->writeAt(0, j.oldBytes.data(), j.oldBytes.size(), &written, &error) ||
        written != j.oldBytes.size() || !file->flush(&error)) {
        if (error.systemText.empty()) error = {112, "There is not enough space on the disk."};
        // The recovery file stays: the restore can be tried again.
        return fail(Kind::WriteFailed,
                    "Write operation failed for " + path + ":\n\n" + error.systemText);
    }
    file.reset();
    files.remove(check.journalPath, nullptr); // left over, it is judged Completed later
    return {Kind::Written, "", ""};
}

} // namespace tavro
