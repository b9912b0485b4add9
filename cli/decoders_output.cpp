#include "cli/decoders_output.h"

#include "codecs/player_decoders.h"
#include "codecs/stream_codec_status.h"

namespace tavro {
namespace {

nlohmann::json decoderJson(const PlayerDecoder& d) {
    return {{"name", d.name},
            {"type", d.type},
            {"key", d.key},
            {"clsid", d.clsid},
            {"architecture", d.bits ? nlohmann::json(d.bits) : nlohmann::json()},
            {"merit", d.hasMerit ? nlohmann::json(d.merit) : nlohmann::json()},
            {"works", d.works}};
}

nlohmann::json streamDecoders(int index, StreamKind kind, const std::vector<uint32_t>& keys,
                              const CodecInventories& inventories) {
    nlohmann::json keyTexts = nlohmann::json::array();
    for (uint32_t key : keys)
        keyTexts.push_back(streamCodecKeyText(kind, key));
    const PlayerDecoders found = findPlayerDecoders(kind, keys, inventories);
    nlohmann::json players = nlohmann::json::object();
    for (int k = 0; k < kPlayerKinds; ++k) {
        const PlayerDecoderList& list = found.kinds[k];
        nlohmann::json decoders = nlohmann::json::array();
        for (const PlayerDecoder& d : list.decoders)
            decoders.push_back(decoderJson(d));
        players[playerKindKey(static_cast<PlayerKind>(k))] =
            list.known ? std::move(decoders) : nlohmann::json();
    }
    return {{"stream", index},
            {"kind", streamKindText(kind)},
            {"keys", std::move(keyTexts)},
            {"players", std::move(players)}};
}

} // namespace

nlohmann::json decodersJson(const MediaInfo& info, const CodecInventories& inventories) {
    nlohmann::json out = nlohmann::json::array();
    if (info.streams.present) {
        // "stream" is the index in the file's "streams" array.
        for (size_t i = 0; i < info.streams.streams.size(); ++i) {
            const StreamCodecKeys keys = streamCodecKeys(info.streams.streams[i]);
            if (keys.keys.empty()) continue;
            out.push_back(streamDecoders(static_cast<int>(i), keys.kind, keys.keys, inventories));
        }
        return out;
    }
    // An AVI: its video stream, then its audio streams, numbered in that order.
    const AviHeaderModel& avi = info.avi;
    int index = 0;
    if (avi.videoStreams > 0)
        out.push_back(streamDecoders(index++, StreamKind::video, {avi.videoFormat.compression()},
                                     inventories));
    for (int i = 0; i < avi.audioStreams && i < kMaxAudioStreams; ++i)
        out.push_back(streamDecoders(index++, StreamKind::audio, {avi.audioFormat[i].formatTag()},
                                     inventories));
    return out;
}

} // namespace tavro
