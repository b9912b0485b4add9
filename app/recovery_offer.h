// Opening a file whose last in-place save was cut short: a recovery file with nothing
// left to do is removed quietly; one whose file holds a torn head is offered to the
// user, and the old head put back when they agree.
#pragma once
#include <string>

#include "common/file_system.h"
#include "common/prompter.h"

namespace tavro {

enum class RecoveryOffer { None, Settled, Restored, Declined, Failed, Kept };

RecoveryOffer offerRecovery(FileSystem& files, Prompter& prompter, const std::string& path);

} // namespace tavro
