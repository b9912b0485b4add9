#include "infoedit/save_journal.h"

#include <cstdio>

namespace tavro {
namespace {

constexpr uint8_t kMagic[4] = {'T', 'v', 'J', 'n'};
// magic, version, total length, file size, replaced length, old sum, new sum, tail
// length, tail sum; then the old bytes and a sum of everything before it.
constexpr size_t kFixed = 4 + 4 + 4 + 8 + 4 + 4 + 4 + 4 + 4;
// A head is at most a few hundred KiB; a larger claim is a damaged file.
constexpr uint32_t kMaxReplaced = 64u << 20;

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put64(std::vector<uint8_t>& out, uint64_t v) {
    put32(out, static_cast<uint32_t>(v));
    put32(out, static_cast<uint32_t>(v >> 32));
}

} // namespace

uint32_t journalSum(const uint8_t* data, size_t size, uint32_t crc) {
    // Four tables: four bytes a step, as a head may be half a megabyte.
    static uint32_t table[4][256];
    static const bool ready = [] {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int t = 1; t < 4; ++t)
                table[t][i] = (table[t - 1][i] >> 8) ^ table[0][table[t - 1][i] & 0xFF];
        return true;
    }();
    (void)ready;
    crc = ~crc;
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        crc ^= readLe32(data + i);
        crc = table[3][crc & 0xFF] ^ table[2][(crc >> 8) & 0xFF] ^ table[1][(crc >> 16) & 0xFF] ^
              table[0][crc >> 24];
    }
    for (; i < size; ++i)
        crc = table[0][(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::vector<uint8_t> encodeJournal(const SaveJournal& j) {
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    out.reserve(kFixed + j.oldBytes.size() + 4);
    put32(out, kJournalVersion);
    put32(out, static_cast<uint32_t>(kFixed + j.oldBytes.size() + 4));
    put64(out, j.fileSize);
    put32(out, static_cast<uint32_t>(j.oldBytes.size()));
    put32(out, j.oldSum);
    put32(out, j.newSum);
    put32(out, j.tailLength);
    put32(out, j.tailSum);
    out.insert(out.end(), j.oldBytes.begin(), j.oldBytes.end());
    put32(out, journalSum(out.data(), out.size()));
    return out;
}

JournalDecode decodeJournal(ByteView bytes, SaveJournal* out) {
    if (bytes.size() < kFixed + 4 || !bytes.has(0, 4) || bytes.data()[0] != kMagic[0] ||
        bytes.data()[1] != kMagic[1] || bytes.data()[2] != kMagic[2] ||
        bytes.data()[3] != kMagic[3])
        return JournalDecode::Torn;
    const uint32_t version = bytes.u32(4);
    if (version > kJournalVersion) return JournalDecode::NewerVersion;
    const uint32_t total = bytes.u32(8), replaced = bytes.u32(20);
    if (version == 0 || replaced > kMaxReplaced || total != kFixed + replaced + 4 ||
        bytes.size() != total)
        return JournalDecode::Torn;
    if (journalSum(bytes.data(), total - 4) != bytes.u32(total - 4)) return JournalDecode::Torn;
    out->fileSize = uint64_t(bytes.u32(12)) | (uint64_t(bytes.u32(16)) << 32);
    out->oldSum = bytes.u32(24);
    out->newSum = bytes.u32(28);
    out->tailLength = bytes.u32(32);
    out->tailSum = bytes.u32(36);
    out->oldBytes.assign(bytes.data() + kFixed, bytes.data() + kFixed + replaced);
    // A recovery file whose stored bytes do not match its own sum of them is no help.
    if (journalSum(out->oldBytes.data(), out->oldBytes.size()) != out->oldSum)
        return JournalDecode::Torn;
    return JournalDecode::Ok;
}

std::string journalPathBeside(const std::string& mediaPath) {
    return mediaPath + ".tavro-recovery";
}

std::string journalPathInFolder(const std::string& folder, const std::string& mediaPath) {
    // The whole path names the file: two media files of one name in different
    // folders keep apart. The readable tail helps a user who looks in the folder.
    const uint32_t sum =
        journalSum(reinterpret_cast<const uint8_t*>(mediaPath.data()), mediaPath.size());
    size_t cut = mediaPath.find_last_of("/\\");
    std::string name = cut == std::string::npos ? mediaPath : mediaPath.substr(cut + 1);
    if (name.size() > 100) name.resize(100);
    char hex[16];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(sum));
    return folder + hex + "-" + name + ".tavro-recovery";
}

} // namespace tavro
