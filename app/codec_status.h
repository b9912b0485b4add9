// The codec status of the video stream and of the audio stream on display: the
// data base names, the installed-codec search and the status links, written into
// the report model from the stream headers of the current file.
#pragma once
#include <functional>
#include <string>

#include "analysis/analysis.h"
#include "app/report_model.h"
#include "codecs/codec_inventories.h"
#include "codecs/codec_status.h"
#include "codecs/player_decoders.h"
#include "codecs/stream_codec_status.h"
#include "common/prompter.h"
#include "common/settings.h"

namespace tavro {

// What the codec status needs from the program: the data base (names) and the
// places installed codecs are found. Either may be missing: without a data base
// every format is "<unknown>", without sources nothing is installed.
struct CodecServices {
    const CodecDatabase* db = nullptr;
    const CodecSources* sources = nullptr;
    CodecInventories inventories;
    // Called while the inventories are built, so a window can show the progress
    // texts at once rather than after the whole analysis.
    std::function<void()> refresh;
};

class CodecStatus : public CodecResolver {
  public:
    CodecStatus(MediaInfo& info, ReportModel& report, Prompter& prompter, const Settings& settings,
                CodecServices* services);
    void resolveVideoCodec() override;
    void resolveAudioCodec(int stream) override;
    // The same for a file a modern container reader described: its first video
    // stream, and its n-th audio stream.
    void resolveModernCodecs();
    void resolveModernAudio(int n);
    // Adds what the parameter sets tell ("High@L4.1, 8-bit 4:2:0") to the video name.
    void addVideoDetail(const std::string& detail, const std::string& family);
    void addAudioDetail(const std::string& detail);

    // The last resolutions, for the explanations and the export.
    const VideoCodecStatus& video() const { return video_; }
    const AudioCodecStatus& audio() const { return audio_; }
    // Which kinds of player can decode the video and audio stream on display.
    const PlayerDecoders& videoPlayers() const { return videoPlayers_; }
    const PlayerDecoders& audioPlayers() const { return audioPlayers_; }

  private:
    void ensureInventories();
    void prepareStatusField(int id);
    StreamCodecStatus resolveStream(const StreamFacts& stream, int statusId);
    void resolveModernVideo(const StreamFacts& stream);
    // Looks the stream up for every kind of player and adds what that tells
    // beyond the own player's status to the status text.
    PlayerDecoders addPlayerVerdict(StreamKind kind, const std::vector<uint32_t>& keys,
                                    int installedIndex, CodecStatusField& status);
    void showResult(int nameId, const CodecNameField& name, int statusId,
                    const CodecStatusField& status);

    MediaInfo& info_;
    ReportModel& report_;
    Prompter& prompter_;
    const Settings& settings_;
    CodecServices* services_;
    VideoCodecStatus video_;
    AudioCodecStatus audio_;
    PlayerDecoders videoPlayers_;
    PlayerDecoders audioPlayers_;
};

} // namespace tavro
