#include "codecs/codec_inventories.h"

namespace tavro {

void ensureCodecInventories(CodecInventories& inventories, const InventoryContext& context) {
    const uint32_t bits = context.settings.informationOnly() ? 0u : context.settings.enableBits;
    if (context.progress) context.progress->begin();
    if (!inventories.video) {
        auto video = context.allocator.video(VideoCodecInventory::kCapacity);
        if (video && video->build(context.sources, bits, context.db)) {
            inventories.video = std::move(video);
        } else if (!inventories.videoFailureTold) {
            inventories.videoFailureTold = true;
            context.prompter.tell("Unable To Retrieve Local Video Codec Information",
                                  "Tavro Initialization", Icon::Exclamation);
        }
    }
    if (!inventories.audio) {
        if (context.progress) context.progress->showProgress("Getting Audio Codec Info...");
        auto audio = context.allocator.audio(AudioCodecInventory::kCapacity);
        if (audio && audio->build(context.sources, bits)) {
            inventories.audio = std::move(audio);
        } else if (!inventories.audioFailureTold) {
            inventories.audioFailureTold = true;
            context.prompter.tell("Unable To Retrieve Local Audio Codec Information",
                                  "Tavro Initialization", Icon::Exclamation);
        }
    }
    if (!inventories.mft) {
        if (context.progress) context.progress->showProgress("Getting Media Foundation Info...");
        inventories.mft = std::make_unique<MftInventory>();
        inventories.mft->build(context.sources, bits);
    }
    if (!inventories.otherArch)
        inventories.otherArch = std::make_unique<std::vector<OtherArchCodec>>(
            readOtherArchitectureCodecs(context.sources, bits));
    inventories.ownBits = context.sources.ownBits;
    const int own = context.sources.ownBits;
    inventories.otherBits =
        context.sources.otherRegistry && (bits & kEnableRegistry) && (own == 32 || own == 64)
            ? 96 - own
            : 0;
    if (context.progress) context.progress->end();
}

} // namespace tavro
