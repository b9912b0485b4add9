// Finding and settling the recovery file an interrupted in-place save left behind:
// whether the save finished, never began, or tore the head; and putting the old
// head back when it tore.
#pragma once
#include <string>

#include "common/file_system.h"
#include "infoedit/head_writer.h"
#include "infoedit/save_journal.h"

namespace tavro {

enum class RecoveryState {
    None,         // no recovery file
    Completed,    // the head is the new one: the save finished
    NotStarted,   // the head is still the old one
    Torn,         // the recovery file itself was cut short, so the head was never touched
    NeedsRestore, // the head is neither: the old one can be put back
    Foreign,      // the recovery file is of another file (size or the bytes behind the head)
    Unreadable,   // the media or the recovery file cannot be read, or is of a later version
};

struct RecoveryCheck {
    RecoveryState state = RecoveryState::None;
    std::string journalPath;
    SaveJournal journal;
    FileError error;
};

// Looks beside the file, then in the user's folder. Reads only.
RecoveryCheck checkRecovery(FileSystem& files, const std::string& path);

// Removes a recovery file that has nothing left to do (Completed, NotStarted, Torn);
// true when that was done or there was none to remove.
bool settleRecovery(FileSystem& files, const RecoveryCheck& check);

// Puts the old head back over a torn one (NeedsRestore only), flushes it, and then
// removes the recovery file. The file is checked again before it is written.
HeadWriteResult restoreHead(FileSystem& files, const std::string& path, const RecoveryCheck& check);

} // namespace tavro
