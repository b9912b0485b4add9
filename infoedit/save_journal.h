// The recovery file of an in-place head save: the bytes about to be replaced, with
// what identifies the file they belong to and checksums of the old and the new head.
// It is written and flushed before the head is touched, so a save cut short at any
// moment can be told apart (done, not begun, or torn) and undone.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/byte_view.h"

namespace tavro {

// Recovery files of later versions are left alone; this one writes version 1.
constexpr uint32_t kJournalVersion = 1;
// How much of the untouched rest of the file is summed to recognise it again.
constexpr uint32_t kJournalTailSample = 4096;

struct SaveJournal {
    uint64_t fileSize = 0;
    uint32_t oldSum = 0;     // of the replaced bytes [0, oldBytes.size())
    uint32_t newSum = 0;     // of the bytes written over them
    uint32_t tailLength = 0; // bytes summed right behind the replaced ones
    uint32_t tailSum = 0;
    std::vector<uint8_t> oldBytes;
};

enum class JournalDecode { Ok, Torn, NewerVersion };

std::vector<uint8_t> encodeJournal(const SaveJournal& journal);
// Torn: too short, not ours, or its own checksum does not match (a write cut short).
JournalDecode decodeJournal(ByteView bytes, SaveJournal* out);

// CRC-32 (the zip polynomial); `crc` carries a running sum over pieces.
uint32_t journalSum(const uint8_t* data, size_t size, uint32_t crc = 0);

// Where the recovery file of `mediaPath` goes: beside it, or in the user's folder
// under a name made from the whole path when the media file's folder cannot be written.
std::string journalPathBeside(const std::string& mediaPath);
std::string journalPathInFolder(const std::string& folder, const std::string& mediaPath);

} // namespace tavro
