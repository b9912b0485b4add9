#include "app/recovery_offer.h"

#include "infoedit/head_recovery.h"

namespace tavro {

RecoveryOffer offerRecovery(FileSystem& files, Prompter& prompter, const std::string& path) {
    const RecoveryCheck check = checkRecovery(files, path);
    switch (check.state) {
    case RecoveryState::None:
        return RecoveryOffer::None;
    case RecoveryState::Completed:
    case RecoveryState::NotStarted:
    case RecoveryState::Torn:
        settleRecovery(files, check);
        return RecoveryOffer::Settled;
    case RecoveryState::Foreign:
    case RecoveryState::Unreadable:
        // Not this file's, or not readable by this version: left for the user to judge.
        return RecoveryOffer::Kept;
    case RecoveryState::NeedsRestore:
        break;
    }
    if (prompter.ask("Saving the header of " + path +
                         " was cut short, and the file may not open as it was.\n\n"
                         "Put the old header back?",
                     "Interrupted Save", Buttons::OkCancel, Icon::Question) != Answer::Ok)
        return RecoveryOffer::Declined;
    const HeadWriteResult result = restoreHead(files, path, check);
    if (result.ok()) return RecoveryOffer::Restored;
    prompter.tell(result.text, result.caption, Icon::Exclamation);
    return RecoveryOffer::Failed;
}

} // namespace tavro
