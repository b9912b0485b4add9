// Tavro21.dat: the program's own names for video FourCCs, wave format tags,
// result codes and media GUIDs. The file is read once into one buffer and cut
// into fields in place; every table text points into that buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "codecs/guid.h"
#include "common/file_system.h"
#include "common/prompter.h"

namespace tavro {

struct CodecDatabaseEntry {
    const char* key = nullptr;
    const char* name = nullptr;
    const char* detail = nullptr;
    // Only in the GUID table: the binary form of `key`, valid when hasGuid is set.
    Guid guid{};
    bool hasGuid = false;
};

class CodecDatabase {
  public:
    static constexpr int kVideoSlots = 400;
    static constexpr int kAudioSlots = 150;
    static constexpr int kResultSlots = 200;
    static constexpr int kGuidSlots = 400;
    static constexpr uint64_t kMaxFileSize = 100000;
    static constexpr const char* kFileName = "Tavro21.dat";

    CodecDatabase();
    CodecDatabase(const CodecDatabase&) = delete;
    CodecDatabase& operator=(const CodecDatabase&) = delete;

    // Finds, reads and parses the file; tells the user through `prompter` when the
    // file cannot be opened, has a bad size or cannot be read. True only when all
    // four sections parsed. The file is looked for in the current folder, then
    // beside the program, then in the installed data folder when one is set.
    bool load(FileSystem& fs, Prompter& prompter);

    // An installed program keeps its data apart from itself ("../share/tavro/"
    // from its bin folder). Relative to the program folder, '/'-separated, ending
    // in '/'; empty (the default) for a program that ships with the file beside it.
    void setInstalledFolder(const std::string& relativeToProgram) {
        installedFolder_ = relativeToProgram;
    }
    // Where the installed data folder's copy is looked for, ".." steps resolved
    // against `programFolder`; empty when no installed folder is set.
    std::string installedPath(const std::string& programFolder) const;

    // Slot of the first video entry whose key matches the FourCC text over at most
    // four characters, ignoring case; 0 (the "<unknown>" slot) when none does.
    int findVideoFormat(const char* fourcc) const;
    // Slot of the entry whose key is exactly `tagText` ("0x0055"); builds the name
    // shown to the user into `displayName`. 0 when there is none.
    int findAudioFormat(const char* tagText, std::string* displayName) const;
    // The symbolic name of a format tag and the tag, "WAVE_FORMAT_PCM (0x0001)",
    // bounded by `size`; -1 with "( Unknown )" when the tag is not listed, and -1
    // with nothing written when `size` is below 13.
    int audioFormatName(uint16_t tag, char* out, size_t size) const;
    // "0x80040216: NAME - explanation", or "0x80040216: [unknown]" and null.
    const CodecDatabaseEntry* resultCodeText(uint32_t code, std::string* text) const;
    // True when the GUID is listed; its name goes to `out` when one is given.
    bool guidName(const Guid& guid, char* out, size_t size) const;

    const CodecDatabaseEntry& video(int slot) const { return video_[clampSlot(slot, kVideoSlots)]; }
    const CodecDatabaseEntry& audio(int slot) const { return audio_[clampSlot(slot, kAudioSlots)]; }
    const CodecDatabaseEntry& result(int slot) const {
        return results_[clampSlot(slot, kResultSlots)];
    }
    const CodecDatabaseEntry& guid(int slot) const { return guids_[clampSlot(slot, kGuidSlots)]; }
    // Entries the codec lists show: from slot 1 up to the first slot without a name.
    int videoListCount() const { return listCount(video_, kVideoSlots); }
    int audioListCount() const { return listCount(audio_, kAudioSlots); }

  private:
    static int clampSlot(int slot, int slots) { return slot < 0 || slot >= slots ? 0 : slot; }
    static int listCount(const CodecDatabaseEntry* table, int slots);

    bool readFile(FileSystem& fs, Prompter& prompter);
    bool parseAll();
    bool parseSection(const char* header, CodecDatabaseEntry* table, int slots);
    void convertGuids();
    void reset();

    std::string installedFolder_;
    std::unique_ptr<char[]> image_;
    size_t imageSize_ = 0;
    char* pos_ = nullptr; // where the last section's parse stopped
    CodecDatabaseEntry video_[kVideoSlots];
    CodecDatabaseEntry audio_[kAudioSlots];
    CodecDatabaseEntry results_[kResultSlots];
    CodecDatabaseEntry guids_[kGuidSlots];
};

// Start-up's load: on failure also shows the fatal message after which the
// program ends. The caller closes the main window when this returns false.
bool loadCodecDatabaseAtStartup(CodecDatabase& db, FileSystem& fs, Prompter& prompter);

} // namespace tavro
