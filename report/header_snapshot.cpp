#include "report/header_snapshot.h"

namespace tavro {
namespace {

const uint32_t kSizes[] = {5120, 51200, 512000}; // 500 x 1024, not the whole head buffer

void systemError(Prompter& prompter, const char* caption, const std::string& text,
                 const FileError& error) {
    prompter.tell(text + error.systemText, caption, Icon::Exclamation);
}

} // namespace

uint32_t snapshotSize(int choice) {
    return choice >= 0 && choice < 3 ? kSizes[choice] : kSizes[1];
}

uint32_t snapshotAmount(int choice, uint32_t held) {
    const uint32_t size = snapshotSize(choice);
    return size < held ? size : held;
}

SnapshotResult saveHeaderSnapshot(OutputFiles& files, Prompter& prompter, const uint8_t* head,
                                  uint32_t amount, const std::string& target,
                                  const std::string& mediaPath) {
    const std::string openText = "Unable to create file " + target + ":\n\n";
    if (!mediaPath.empty() && files.sameFile(target, mediaPath)) {
        FileError refused;
        refused.systemText = "This is the file being analyzed; saving its header over it would "
                             "destroy the rest of the file.";
        systemError(prompter, "File Open Failure", openText, refused);
        return SnapshotResult::RefusedTarget;
    }
    FileError error;
    std::unique_ptr<OutputFile> file = files.create(target, &error);
    if (!file) {
        systemError(prompter, "File Open Failure", openText, error);
        return SnapshotResult::OpenFailed;
    }
    if (!file->append(head, amount, &error)) {
        file.reset();
        files.remove(target); // a partial head would pass for a real one
        systemError(prompter, "File Write Failure",
                    "Write operation failed for " + target + ":\n\n", error);
        return SnapshotResult::WriteFailed;
    }
    return SnapshotResult::Saved;
}

std::string snapshotSavedText(uint32_t amount, const std::string& target) {
    // Grouped by thousands as the report's sizes are.
    std::string digits = std::to_string(amount);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, ",");
    return "The first " + digits + " bytes of the file were saved to " + target + ".";
}

} // namespace tavro
