#include "app/codec_status.h"

#include "analysis/fourcc.h"

namespace tavro {

std::string videoFourccText(const uint8_t* handler, uint32_t compression) {
    static const char* const kUncompressed[] = {"_RGB", "_RL8", "_RL4", "_BIT", "_JPG", "_PNG"};
    std::string h = fourccText(handler);
    if (compression < 6) return h + "(" + kUncompressed[compression] + ")";
    std::string k = fourccText(compression);
    return equalsNoCase(h, k) ? h : k + "/" + h;
}

void CodecStatus::resolveVideoCodec() {
    report_.setPlainText(field::FourCC, videoFourccText(info_.avi.videoHeader.handler(),
                                                        info_.avi.videoFormat.compression()));
    if (runMode_ == kRunModeInformationOnly) {
        report_.disable(field::VideoStatus, false);
    } else {
        report_.enable(field::VideoStatus);
    }
    // The data base name, the installed-codec search and the status text are filled
    // by the codec status work.
}

void CodecStatus::resolveAudioCodec(int stream) {
    bool statusShown = runMode_ != kRunModeInformationOnly;
    if (statusShown)
        report_.enable(field::AudioStatus);
    else
        report_.disable(field::AudioStatus, false);
    if (info_.avi.audioFormat[stream].formatTag() == 1) {
        if (statusShown) report_.setPlainText(field::AudioStatus, "PCM: No Codec Required");
        report_.setPlainText(field::AudioName, "PCM Audio");
        return;
    }
    // Other tags: the data base name, the MPEG "ID'd as" name and the installed-codec
    // search are filled by the codec status work.
}

} // namespace tavro
