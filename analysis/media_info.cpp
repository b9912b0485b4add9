#include "analysis/media_info.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tavro {

void MediaInfo::FreeBytes::operator()(void* p) const {
    std::free(p);
}

std::unique_ptr<MediaInfo> MediaInfo::create() {
    std::unique_ptr<MediaInfo> info(new (std::nothrow) MediaInfo());
    if (!info) return nullptr;
    // Not cleared: the buffers are reused from file to file, so no reader may look past
    // what the current file put there, and untouched pages cost nothing until a file
    // needs them.
    info->head_.reset(static_cast<uint8_t*>(std::malloc(kHeadCapacity)));
    info->frameTables_.reset(
        static_cast<uint32_t*>(std::calloc(4 * kMpegFrameTableSize, sizeof(uint32_t))));
    if (!info->head_ || !info->frameTables_) return nullptr;
    for (int i = 0; i < 3; ++i)
        info->mpegScan[i].frameTable = info->frameTables_.get() + i * kMpegFrameTableSize;
    info->mpegScanFile.frameTable = info->frameTables_.get() + 3 * kMpegFrameTableSize;
    return info;
}

uint8_t* MediaInfo::audioCollect(int n) {
    // Only AVI audio is collected: made when first needed, the buffers stay out of
    // the memory every other file's analysis touches.
    Buffer& b = audio_[size_t(n)];
    if (!b) b.reset(static_cast<uint8_t*>(std::malloc(kHeadCapacity)));
    return b.get();
}

void MediaInfo::resetModels() {
    avi = AviHeaderModel();
    resetInterleave(interleave);
    audioWrite = {};
    for (auto& s : mpegScan)
        resetMpegScan(s);
    resetMpegScan(mpegScanFile);
    rateMode = {};
    spanClocks = SpanClocks();
    streams = MediaStreams();
}

void MediaInfo::resetFlags() {
    isAvi = isCooked = notIdentified = isEmpty = isRiff = 0;
}

} // namespace tavro
