// Program-specific information: table sections gathered across packets, and the
// program association and program map tables read from them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

// Gathers the sections of one PID from packet payloads (pointer_field on a unit start).
class SectionAssembler {
  public:
    enum class Result { none, section, bad };

    // Feeds one packet's payload; `take` is called for each whole section, with its
    // header. Returns `bad` when a section was malformed (too long, or cut by a lost
    // packet) and dropped; `section` when at least one whole section came out.
    template <typename Take>
    Result feed(const uint8_t* payload, size_t size, bool unitStart, Take&& take) {
        Result result = Result::none;
        size_t at = 0;
        if (unitStart) {
            if (size == 0) return Result::bad;
            const size_t pointer = payload[0];
            at = 1;
            if (pointer > size - at) {
                buffer_.clear();
                return Result::bad;
            }
            // The pointed-to bytes end the section begun in earlier packets.
            if (!buffer_.empty()) {
                append(payload + at, pointer);
                result = drain(take, result);
                if (!buffer_.empty()) result = Result::bad; // the earlier section came up short
            }
            buffer_.clear();
            at += pointer;
            started_ = true;
        } else if (!started_ || buffer_.empty()) {
            return Result::none; // nothing to continue
        }
        append(payload + at, size - at);
        return drain(take, result);
    }

    void reset() {
        buffer_.clear();
        started_ = false;
    }

  private:
    static constexpr size_t kMaxSection = 4096; // private sections; PSI is at most 1024

    void append(const uint8_t* p, size_t n) {
        if (buffer_.size() > kMaxSection * 2) return;
        buffer_.insert(buffer_.end(), p, p + n);
    }

    template <typename Take> Result drain(Take&& take, Result result) {
        // Whole sections come out of the front; 0xFF stuffing ends the packet's sections.
        for (int guard = 0; guard < 256; ++guard) {
            if (buffer_.empty() || buffer_[0] == 0xFF) {
                buffer_.clear();
                return result;
            }
            if (buffer_.size() < 3) return result;
            const size_t length = size_t(buffer_[1] & 0x0F) << 8 | buffer_[2];
            if (length + 3 > kMaxSection) {
                buffer_.clear();
                return Result::bad;
            }
            if (buffer_.size() < length + 3) return result;
            take(buffer_.data(), length + 3);
            if (result == Result::none) result = Result::section;
            buffer_.erase(buffer_.begin(),
                          buffer_.begin() + static_cast<std::ptrdiff_t>(length + 3));
        }
        buffer_.clear();
        return result;
    }

    std::vector<uint8_t> buffer_;
    bool started_ = false;
};

// CRC-32/MPEG-2 over a section (the trailing CRC included gives zero).
uint32_t mpegCrc32(const uint8_t* data, size_t size);

struct PatEntry {
    uint16_t programNumber = 0;
    uint16_t pid = 0;
};

struct PatSection {
    bool ok = false;
    bool crcOk = true;
    uint16_t transportStreamId = 0;
    std::vector<PatEntry> programs; // program 0 (the network PID) left out
    uint64_t programsDeclared = 0;
};

// Reads a program association section (table_id 0), at most `maxPrograms` kept.
PatSection parsePatSection(const uint8_t* s, size_t size, size_t maxPrograms);

struct PmtStreamEntry {
    uint8_t streamType = 0;
    uint16_t pid = 0;
    std::string registration;    // format_identifier, printable or ""
    std::string language;        // ISO 639 (0x0A), subtitling (0x59) or teletext (0x56)
    uint8_t codecDescriptor = 0; // 0x6A AC-3, 0x7A E-AC-3, 0x7B DTS, 0x59, 0x56; 0 none
};

struct PmtSection {
    bool ok = false;
    bool crcOk = true;
    uint16_t programNumber = 0;
    uint16_t pcrPid = 0;
    std::string registration; // program-level registration descriptor ("HDMV" on Blu-ray)
    std::vector<PmtStreamEntry> streams;
    uint64_t streamsDeclared = 0;
};

// Reads a program map section (table_id 2), at most `maxStreams` kept.
PmtSection parsePmtSection(const uint8_t* s, size_t size, size_t maxStreams);

} // namespace tavro
