// Feeds arbitrary bytes to the codec data base loader through an in-memory file
// system, then runs every lookup over whatever tables came out of it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "codecs/codec_database.h"
#include "tests/support/memory_file_system.h"

namespace {

class CheckingPrompter : public tavro::Prompter {
  public:
    tavro::Answer ask(const std::string& text, const std::string&, tavro::Buttons,
                      tavro::Icon) override {
        if (text.size() > 287) std::abort(); // message boxes take 288 bytes at most
        return tavro::Answer::Ok;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte steers the file system: where the file lies, whether reads
    // fail, and how far the claimed size differs from the bytes.
    const uint8_t steer = data[0];
    tavro::test::MemoryFileSystem fs;
    std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    fs.files[(steer & 1) ? fs.folder + "Tavro21.dat" : "Tavro21.dat"] = bytes;
    fs.failReads = (steer & 2) != 0;
    fs.claimedExtra = (steer >> 2) & 3;
    fs.shortReadBy = (steer >> 4) & 1;

    CheckingPrompter prompter;
    tavro::CodecDatabase db;
    db.load(fs, prompter);

    // Lookup keys taken from the input itself, so matches happen.
    char fourcc[5] = {};
    std::memcpy(fourcc, bytes.data(), bytes.size() < 4 ? bytes.size() : 4);
    int slot = db.findVideoFormat(fourcc);
    volatile size_t sink = std::strlen(db.video(slot).name) + std::strlen(db.video(slot).detail);
    std::string display;
    db.findAudioFormat("0x0055", &display);
    db.findAudioFormat(fourcc, &display);
    char name[64];
    for (int tag : {0x0000, 0x0001, 0x0055, steer * 257})
        db.audioFormatName(static_cast<uint16_t>(tag), name, 13 + (steer & 31));
    std::string text;
    db.resultCodeText(0x80040218, &text);
    tavro::Guid guid{};
    if (bytes.size() >= 16) std::memcpy(&guid, bytes.data() + bytes.size() - 16, 16);
    db.guidName(guid, name, sizeof name);
    for (int i = 1; i <= db.videoListCount(); ++i)
        sink = sink + std::strlen(db.video(i).key);
    for (int i = 1; i <= db.audioListCount(); ++i)
        sink = sink + std::strlen(db.audio(i).detail);
    for (int i = 1; db.guid(i).key && i < tavro::CodecDatabase::kGuidSlots; ++i)
        sink = sink + db.guidName(db.guid(i).guid, nullptr, 0);
    (void)sink;
    return 0;
}
