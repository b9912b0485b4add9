// The installed-codec inventories (video, audio, Media Foundation transforms) of a run, and the one
// entry point that builds whichever does not exist yet, on first need.
#pragma once
#include <memory>

#include "codecs/audio_codec_inventory.h"
#include "codecs/codec_database.h"
#include "codecs/codec_sources.h"
#include "codecs/mft_inventory.h"
#include "codecs/other_arch_codecs.h"
#include "codecs/video_codec_inventory.h"
#include "common/prompter.h"
#include "common/settings.h"

namespace tavro {

// What the screen shows while the inventories are built. The driver implements
// it over the report model: the wait cursor and the "processing..." texts pushed
// on the video status, audio status, render status and progress fields.
class InventoryProgress {
  public:
    virtual ~InventoryProgress() = default;
    // Wait cursor on; each of the four fields saves its text and enabled state,
    // then shows "processing..." enabled.
    virtual void begin() = 0;
    // The progress field's text, written only while that field is enabled.
    virtual void showProgress(const char* text) = 0;
    // Restores the saved texts, enabled states and cursor.
    virtual void end() = 0;
};

struct CodecInventories {
    std::unique_ptr<VideoCodecInventory> video; // null until built
    std::unique_ptr<AudioCodecInventory> audio;
    std::unique_ptr<MftInventory> mft;
    // VfW, ACM and DMO codecs of the other architecture, listed only.
    std::unique_ptr<std::vector<OtherArchCodec>> otherArch;
    int ownBits = 0; // the architecture the video and audio inventories serve
    // The architecture whose codecs otherArch lists; 0 when there is none, or its
    // registry could not be read, so nothing is known of its players.
    int otherBits = 0;
    // A failed inventory is tried again at every need, but told once per run: each
    // file needs both inventories twice (video and audio status).
    bool videoFailureTold = false;
    bool audioFailureTold = false;

    // After the Settings dialog ends with OK: the next need rebuilds both.
    void discard() {
        video.reset();
        audio.reset();
        mft.reset();
        otherArch.reset();
    }
};

// Allocation of the inventories, replaceable so the failure path can be shown.
struct InventoryAllocator {
    std::unique_ptr<VideoCodecInventory> (*video)(int capacity) = &VideoCodecInventory::create;
    std::unique_ptr<AudioCodecInventory> (*audio)(int capacity) = &AudioCodecInventory::create;
};

struct InventoryContext {
    const CodecSources& sources;
    const CodecDatabase& db;
    const Settings& settings;
    Prompter& prompter;
    InventoryProgress* progress = nullptr; // optional
    InventoryAllocator allocator = {};
};

// Builds each inventory that does not exist. In run mode 3 they are created
// empty: no source is consulted. An inventory that could not be allocated is
// reported under "Tavro Initialization" (once per run) and tried again next time.
void ensureCodecInventories(CodecInventories& inventories, const InventoryContext& context);

} // namespace tavro
