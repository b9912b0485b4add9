#include "analysis/media_info.h"

#include <cstring>
#include <new>

namespace tavro {

std::unique_ptr<MediaInfo> MediaInfo::create() {
    std::unique_ptr<MediaInfo> info(new (std::nothrow) MediaInfo());
    if (!info) return nullptr;
    auto bytes = [] {
        return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[kHeadCapacity]());
    };
    info->head_ = bytes();
    info->work_ = bytes();
    info->aux_ = bytes();
    for (auto& a : info->audio_)
        a = bytes();
    info->frameTables_.reset(new (std::nothrow) uint32_t[4 * kMpegFrameTableSize]());
    if (!info->head_ || !info->work_ || !info->aux_ || !info->audio_[0] || !info->audio_[1] ||
        !info->audio_[2] || !info->frameTables_)
        return nullptr;
    for (int i = 0; i < 3; ++i)
        info->mpegScan[i].frameTable = &info->frameTables_[i * kMpegFrameTableSize];
    info->mpegScanFile.frameTable = &info->frameTables_[3 * kMpegFrameTableSize];
    return info;
}

void MediaInfo::resetModels() {
    avi = AviHeaderModel();
    resetInterleave(interleave);
    audioWrite = {};
    for (auto& s : mpegScan)
        resetMpegScan(s);
    resetMpegScan(mpegScanFile);
    rateMode = {};
}

void MediaInfo::resetFlags() {
    isAvi = isCooked = notIdentified = isEmpty = isRiff = 0;
}

} // namespace tavro
