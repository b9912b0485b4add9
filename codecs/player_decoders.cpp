#include "codecs/player_decoders.h"

#include <algorithm>

#include "codecs/codec_status.h"
#include "codecs/media_guids.h"
#include "codecs/stream_codec_status.h"
#include "common/fourcc_text.h"

namespace tavro {

namespace {

const char* sourceType(int32_t source) {
    return source == kSourceVfw ? "VFW" : codecSourceText(source);
}

std::string clsidOf(const Guid& g) {
    char text[39];
    formatRegistryGuid(g, text);
    return text;
}

std::string boundedText(const char* text, size_t capacity) {
    size_t n = 0;
    while (n < capacity && text[n])
        ++n;
    return std::string(text, n);
}

// The other architecture's lists hold the same four systems; they are ranked as
// the codec search ranks its own: DMOs, then filters, then drivers.
int sourceRank(int32_t source) {
    switch (source) {
    case kSourceDmo:
        return 0;
    case kSourceDirectShow:
        return 1;
    case kSourceVfw:
        return 2;
    default:
        return 3;
    }
}

void addOwnVideo(PlayerDecoderList& list, const VideoCodecInventory& video, const std::string& key,
                 int bits) {
    for (int index : video.findAll(key.c_str())) {
        const VideoCodecRecord& rec = video.record(index);
        PlayerDecoder d;
        d.name = boundedText(rec.name, sizeof rec.name);
        if (d.name.empty()) d.name = boundedText(rec.friendlyName, sizeof rec.friendlyName);
        d.type = sourceType(rec.source);
        d.key = key;
        d.clsid = boundedText(rec.clsidText, sizeof rec.clsidText);
        d.bits = bits;
        d.works = videoRecordStatusText(rec) == kCodecInstalledText;
        d.record = index;
        list.decoders.push_back(std::move(d));
    }
}

void addOwnAudio(PlayerDecoderList& list, const AudioCodecInventory& audio, const std::string& key,
                 int bits) {
    for (int i = 0; i < audio.count(); ++i) {
        const AudioCodecRecord& rec = audio.record(i);
        if (rec.source == kSourceNone) break;
        if (streamCodecKeyText(StreamKind::audio, rec.formatTag()) != key) continue;
        PlayerDecoder d;
        const AcmDriverDetails& details = rec.driverDetails;
        d.name = boundedText(details.szLongName, sizeof details.szLongName);
        if (d.name.empty())
            d.name = boundedText(rec.formatTagDetails.szFormatTag,
                                 sizeof rec.formatTagDetails.szFormatTag);
        d.type = sourceType(rec.source);
        d.key = key;
        d.clsid = boundedText(rec.clsidText, sizeof rec.clsidText);
        d.bits = bits;
        d.works = audioRecordStatusText(audio, i) == kCodecInstalledText;
        d.record = i;
        list.decoders.push_back(std::move(d));
    }
}

void addOtherArch(PlayerDecoderList& list, const std::vector<OtherArchCodec>& codecs, bool video,
                  const std::string& key) {
    std::vector<PlayerDecoder> found;
    std::vector<int> ranks;
    for (size_t i = 0; i < codecs.size(); ++i) {
        const OtherArchCodec& c = codecs[i];
        if (c.video != video || c.key.empty() || !equalsNoCase(c.key, key)) continue;
        PlayerDecoder d;
        d.name = c.name;
        d.type = sourceType(c.source);
        d.key = key;
        d.bits = c.bits;
        d.record = static_cast<int>(i);
        found.push_back(std::move(d));
        ranks.push_back(sourceRank(c.source));
    }
    std::vector<size_t> order(found.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return ranks[a] < ranks[b]; });
    for (size_t i : order)
        list.decoders.push_back(std::move(found[i]));
}

// Media Foundation names a FourCC or a wave format tag as the base GUID with
// the code in its first field; FourCCs match ignoring case as elsewhere.
bool subtypeMatchesKey(const Guid& subtype, StreamKind kind, uint32_t key) {
    if (!hasFourccTail(subtype)) return false;
    if (kind == StreamKind::audio) return subtype.Data1 == key;
    if (key < 6) return false; // the bitmap header's built-in codes are not FourCCs
    return equalsNoCase(streamCodecKeyText(kind, subtype.Data1), streamCodecKeyText(kind, key));
}

void addTransforms(PlayerDecoderList& list, const MftInventory& mft, StreamKind kind,
                   const std::vector<uint32_t>& keys) {
    const Guid& category =
        kind == StreamKind::video ? kMftCategoryVideoDecoder : kMftCategoryAudioDecoder;
    const auto& records = mft.records();
    for (size_t i = 0; i < records.size(); ++i) {
        const MftRecord& r = records[i];
        if (r.entry.category != category) continue;
        const MediaTypePair* accepted = nullptr;
        uint32_t acceptedKey = 0;
        for (uint32_t key : keys) {
            for (const MediaTypePair& in : r.entry.inputs)
                if (subtypeMatchesKey(in.subtype, kind, key)) {
                    accepted = &in;
                    acceptedKey = key;
                    break;
                }
            if (accepted) break;
        }
        if (!accepted) continue;
        PlayerDecoder d;
        d.name = r.entry.name.empty() ? clsidOf(r.entry.clsid) : r.entry.name;
        d.type = "MFT";
        d.key = streamCodecKeyText(kind, acceptedKey);
        d.clsid = clsidOf(r.entry.clsid);
        d.bits = r.bits;
        d.hasMerit = r.entry.hasMerit;
        d.merit = r.entry.merit;
        d.record = static_cast<int>(i);
        list.decoders.push_back(std::move(d));
    }
    // Highest merit first; a transform without one ranks last, in enumeration order.
    std::stable_sort(list.decoders.begin(), list.decoders.end(),
                     [](const PlayerDecoder& a, const PlayerDecoder& b) {
                         if (a.hasMerit != b.hasMerit) return a.hasMerit;
                         return a.merit > b.merit;
                     });
}

} // namespace

bool PlayerDecoderList::installed() const {
    for (const PlayerDecoder& d : decoders)
        if (d.works) return true;
    return false;
}

const char* playerKindText(PlayerKind kind) {
    switch (kind) {
    case PlayerKind::DirectShow32:
        return "DirectShow 32-bit";
    case PlayerKind::DirectShow64:
        return "DirectShow 64-bit";
    default:
        return "Media Foundation";
    }
}

const char* playerKindKey(PlayerKind kind) {
    switch (kind) {
    case PlayerKind::DirectShow32:
        return "directShow32";
    case PlayerKind::DirectShow64:
        return "directShow64";
    default:
        return "mediaFoundation";
    }
}

PlayerKind ownPlayerKind(int ownBits) {
    return ownBits == 64 ? PlayerKind::DirectShow64 : PlayerKind::DirectShow32;
}

PlayerDecoders findPlayerDecoders(StreamKind kind, const std::vector<uint32_t>& keys,
                                  const CodecInventories& inventories) {
    PlayerDecoders out;
    if (kind != StreamKind::video && kind != StreamKind::audio) return out;
    const bool video = kind == StreamKind::video;
    std::vector<std::string> texts;
    for (uint32_t key : keys)
        texts.push_back(streamCodecKeyText(kind, key));

    const int ownBits = inventories.ownBits == 64 ? 64 : 32;
    PlayerDecoderList& own = out.kinds[static_cast<int>(ownPlayerKind(inventories.ownBits))];
    if (video ? inventories.video != nullptr : inventories.audio != nullptr) {
        own.known = true;
        for (const std::string& text : texts) {
            if (text.empty()) continue;
            if (video)
                addOwnVideo(own, *inventories.video, text, ownBits);
            else
                addOwnAudio(own, *inventories.audio, text, ownBits);
        }
    }

    const int otherBits = inventories.otherBits;
    if (inventories.otherArch && (otherBits == 32 || otherBits == 64) && otherBits != ownBits) {
        PlayerDecoderList& other = out.kinds[static_cast<int>(ownPlayerKind(otherBits))];
        other.known = true;
        for (const std::string& text : texts)
            if (!text.empty()) addOtherArch(other, *inventories.otherArch, video, text);
    }

    if (inventories.mft && inventories.mft->consulted()) {
        PlayerDecoderList& mf = out.kinds[static_cast<int>(PlayerKind::MediaFoundation)];
        mf.known = true;
        addTransforms(mf, *inventories.mft, kind, keys);
    }
    return out;
}

std::string playerStatusSuffix(const PlayerDecoders& decoders, int ownBits) {
    const PlayerKind own = ownPlayerKind(ownBits);
    const bool ownWorks = decoders.of(own).installed();
    std::vector<PlayerKind> having, missing;
    for (int k = 0; k < kPlayerKinds; ++k) {
        const PlayerKind kind = static_cast<PlayerKind>(k);
        if (kind == own || !decoders.kinds[k].known) continue;
        (decoders.kinds[k].installed() ? having : missing).push_back(kind);
    }
    std::string text;
    if (ownWorks && !missing.empty()) {
        text = "Not installed for ";
        for (size_t i = 0; i < missing.size(); ++i) {
            if (i) text += " or ";
            text += missing[i] == PlayerKind::DirectShow32   ? "32-bit"
                    : missing[i] == PlayerKind::DirectShow64 ? "64-bit"
                                                             : "Media Foundation";
        }
        text += " players";
    } else if (!ownWorks && !having.empty()) {
        text = "Installed (";
        for (size_t i = 0; i < having.size(); ++i)
            text += std::string(i ? ", " : "") + playerKindText(having[i]);
        text += ")";
    }
    return text;
}

} // namespace tavro
