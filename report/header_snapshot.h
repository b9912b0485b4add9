// The diagnostic header snapshot: the first 5K, 50K or 500K of the head the
// analysis holds, saved as a file of its own for technical analysis.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/output_files.h"
#include "common/prompter.h"

namespace tavro {

// Size buttons: 0 "5K", 1 "50K (default)", 2 "500K"; no choice (-1) or another
// value counts as the default.
constexpr int kSnapshotNoChoice = -1;
uint32_t snapshotSize(int choice);
// The bytes to save: the chosen size, at most the bytes held.
uint32_t snapshotAmount(int choice, uint32_t held);

enum class SnapshotResult { Saved, RefusedTarget, OpenFailed, WriteFailed };

// Writes `amount` bytes of `head` to `target`, replacing it. The analysed file
// itself is refused as target (it would lose everything past its head), and a
// file left partial by a failed write is deleted. Failures are shown through
// `prompter` with the system's reason.
SnapshotResult saveHeaderSnapshot(OutputFiles& files, Prompter& prompter, const uint8_t* head,
                                  uint32_t amount, const std::string& target,
                                  const std::string& mediaPath);

// The confirmation after a saved snapshot: how much went where.
std::string snapshotSavedText(uint32_t amount, const std::string& target);

} // namespace tavro
