#include "app/explanation_facts.h"

#include <cstdlib>
#include <cstring>

#include "analysis/modern/modern_fields.h"
#include "app/ui/link_target.h"
#include "codecs/codec_claims.h"
#include "codecs/stream_codec_status.h"
#include "common/fourcc_text.h"
#include "report/explain_players.h"

namespace tavro {
namespace {

const char* textOr(const char* text, const char* fallback) {
    return text ? text : fallback;
}

// The filter index of a "tavro://N.filtergraph.info" target; -1 for anything else.
int filterIndexOf(const std::string& target) {
    const char kScheme[] = "tavro://";
    const size_t n = sizeof kScheme - 1;
    if (target.size() <= n || target.compare(0, n, kScheme) != 0) return -1;
    const size_t dot = target.find('.', n);
    if (dot == std::string::npos || target.compare(dot, 13, ".filtergraph.") != 0) return -1;
    int index = 0;
    for (size_t i = n; i < dot; ++i) {
        if (target[i] < '0' || target[i] > '9' || index > 100000) return -1;
        index = index * 10 + (target[i] - '0');
    }
    return index;
}

// The FOURCC-style subtypes (the base GUID with a FourCC in its first field) a codec
// record declares, up to the first empty one.
std::vector<std::string> subtypeFourccs(const VideoCodecRecord& rec) {
    static const uint8_t kTail[8] = {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    std::vector<std::string> out;
    for (const Guid& g : rec.subtypes) {
        const Guid empty{};
        if (g == empty) break;
        if (g.Data2 == 0 && g.Data3 == 0x0010 && std::memcmp(g.Data4, kTail, 8) == 0)
            out.push_back(fourccText(g.Data1));
    }
    return out;
}

// "Xvid Decoder (DSH)", "vidc.xvid (VFW, 32-bit)", "H264 MFT (MFT, merit 8)".
std::string decoderText(const PlayerDecoder& d, int ownBits) {
    std::string notes = d.type;
    if (d.bits != 0 && d.bits != ownBits && d.type == "MFT")
        notes += ", " + std::to_string(d.bits) + "-bit";
    if (d.hasMerit) notes += ", merit " + std::to_string(d.merit);
    if (!d.works) notes += ", not working";
    return d.name + " (" + notes + ")";
}

// The per-player paragraph, in the order 32-bit, 64-bit, Media Foundation; none
// when only the own player's codecs were read, which the status already tells.
std::string playersParagraph(const PlayerDecoders& players, int ownBits) {
    bool others = false;
    for (int k = 0; k < kPlayerKinds; ++k)
        others =
            others || (k != static_cast<int>(ownPlayerKind(ownBits)) && players.kinds[k].known);
    if (!others) return "";
    std::vector<PlayerLine> lines;
    for (int k = 0; k < kPlayerKinds; ++k) {
        PlayerLine line;
        line.kind = playerKindText(static_cast<PlayerKind>(k));
        line.known = players.kinds[k].known;
        for (const PlayerDecoder& d : players.kinds[k].decoders)
            line.decoders.push_back(decoderText(d, ownBits == 64 ? 64 : 32));
        lines.push_back(std::move(line));
    }
    return explainPlayers(lines);
}

// The paragraph follows the explanation's own, whose closing breaks it replaces.
void appendParagraph(std::string& text, const std::string& paragraph) {
    if (paragraph.empty()) return;
    while (!text.empty() && (text.back() == ' ' || text.back() == '~'))
        text.pop_back();
    text += paragraph;
}

int ownBitsOf(const CodecInventories* inventories) {
    return inventories ? inventories->ownBits : 0;
}

std::string keyText(bool video, uint32_t key) {
    return streamCodecKeyText(video ? StreamKind::video : StreamKind::audio, key);
}

// What the "not installed" texts say about a format: its keys, the data base's
// name and vendor, and the decoders of other kinds that claim it.
MissingCodecFacts missingFacts(bool video, const std::vector<uint32_t>& keys, int entrySlot,
                               const CodecDatabaseEntry* entry,
                               const CodecInventories* inventories) {
    MissingCodecFacts f;
    f.video = video;
    for (uint32_t key : keys)
        f.keys.push_back(keyText(video, key));
    if (entry && entrySlot != 0) {
        f.formatName = textOr(entry->name, "");
        f.vendor = textOr(entry->detail, "");
    }
    if (!inventories || !(video ? inventories->video != nullptr : inventories->audio != nullptr))
        return f;
    f.searched = true;
    f.ownBits = inventories->ownBits;
    std::vector<CodecClaim> claims;
    if (video) {
        claims = videoCodecClaims(*inventories, keys);
    } else {
        std::vector<uint16_t> tags;
        for (uint32_t key : keys)
            if (key <= 0xFFFF) tags.push_back(static_cast<uint16_t>(key));
        claims = audioCodecClaims(*inventories, tags);
    }
    for (const CodecClaim& c : claims)
        f.claims.push_back({c.kind, c.name, c.file, c.bits, c.loadableHere});
    return f;
}

} // namespace

ExplanationText fileExplanation(const AnalysisDriver& driver, const RenderFacts& render) {
    const MediaInfo& info = driver.info();
    FileExplainInput in;
    in.typeCode = info.typeCode;
    in.container = info.container;
    in.isEmpty = info.isEmpty != 0;
    in.isCooked = info.isCooked != 0;
    in.wrapperKind = info.wrap.wrapperKind;
    in.sizeFull = info.sizeFull;
    in.renderResult = render.result;
    if (info.streams.present) {
        in.streamsRead = true;
        for (const StreamFacts& s : info.streams.streams)
            in.streamLines.push_back(streamSummaryText(s));
        for (const FileFinding& f : info.streams.findings)
            in.findings.emplace_back(f.status, f.detail);
    }
    return explainFile(in);
}

ExplanationText videoExplanation(AnalysisDriver& driver, const CodecInventories* inventories,
                                 const RenderFacts& render) {
    const ReportModel& report = driver.report();
    // The codec status keeps the last resolution, which may be another file's: it
    // counts only while the name field still shows what it wrote.
    const VideoCodecStatus& status = driver.codecStatus().video();
    const bool aviVideo = driver.info().avi.videoStreams > 0;
    const bool hasVideo = (aviVideo || driver.info().streams.first(StreamKind::video)) &&
                          report.text(field::VideoName) == status.name.text;
    VideoExplainInput in;
    in.hasFormatRecord = hasVideo && status.entry != nullptr;
    if (in.hasFormatRecord) {
        in.recordFourcc = textOr(status.entry->key, "");
        in.recordName = textOr(status.entry->name, "");
    }
    if (aviVideo)
        in.fileFourcc = fourccText(driver.info().avi.videoFormat.compression());
    else if (!status.searchKeys.empty())
        in.fileFourcc = keyText(true, status.searchKeys[0]);
    in.fourccField = report.text(field::FourCC);
    in.status = hasVideo ? status.installedIndex : kNoCodecInstalled;
    in.codecName = report.secondaryText(field::VideoName);
    in.nameLink = report.linkTarget(field::VideoName);
    in.renderResult = render.result;
    in.decoder = render.decoder;
    const VideoCodecInventory* video = inventories ? inventories->video.get() : nullptr;
    if (const VideoCodecRecord* rec = video ? video->at(in.decoder.codecIndex) : nullptr) {
        in.decoder.codecFourcc = rec->fourcc;
        in.decoder.subtypeFourccs = subtypeFourccs(*rec);
    }
    in.videoCodecField = report.text(field::VideoCodec);
    in.videoCodecLink = report.linkTarget(field::VideoCodec);
    if (hasVideo && in.status == kNoCodecInstalled)
        in.missingCodec =
            missingFacts(true, status.searchKeys, status.entrySlot, status.entry, inventories);
    ExplanationText out = explainVideo(in);
    const bool shown =
        report.text(field::VideoName) == status.name.text &&
        (driver.info().avi.videoStreams > 0 ||
         (driver.info().streams.present && driver.info().streams.first(StreamKind::video)));
    if (shown)
        appendParagraph(out.text, playersParagraph(driver.codecStatus().videoPlayers(),
                                                   ownBitsOf(inventories)));
    return out;
}

ExplanationText audioExplanation(AnalysisDriver& driver, const CodecInventories* inventories,
                                 const RenderFacts& render) {
    const ReportModel& report = driver.report();
    const AudioCodecStatus& status = driver.codecStatus().audio();
    const bool hasAudio =
        (driver.info().avi.audioStreams > 0 || driver.info().streams.first(StreamKind::audio)) &&
        report.text(field::AudioName) == status.name.text;
    AudioExplainInput in;
    in.code = "<unknown>";
    if (hasAudio && status.entry && status.entrySlot != 0) {
        in.code = textOr(status.entry->key, "");
        in.name = textOr(status.entry->name, "");
        in.vendor = textOr(status.entry->detail, "");
    }
    in.nameField = report.text(field::AudioName);
    in.nameLink = report.linkTarget(field::AudioName);
    in.status = hasAudio ? status.installedIndex : kNoCodecInstalled;
    const AudioCodecInventory* audio = inventories ? inventories->audio.get() : nullptr;
    if (in.status >= 0) {
        // A discarded or rebuilt inventory no longer holds the record: say none was found.
        const AudioCodecRecord* rec = audio ? audio->at(in.status) : nullptr;
        if (!rec) {
            in.status = kNoCodecInstalled;
        } else {
            in.codecLongName = rec->driverDetails.szLongName;
            in.codecFormatName = rec->formatName();
            in.driverFile = rec->driverFile;
            in.missing = rec->missing != 0;
            in.disabled = rec->disabled != 0;
            if (const AudioCodecRecord* companion = audio->at(rec->link)) {
                in.hasCompanion = true;
                in.companionFormatName = companion->formatName();
                in.companionIndex = rec->link;
            }
        }
    }
    if (hasAudio && in.status == kNoCodecInstalled)
        in.missingCodec =
            missingFacts(false, status.searchKeys, status.entrySlot, status.entry, inventories);
    in.renderResult = render.result;
    in.audioCodecField = report.text(field::AudioCodec);
    ExplanationText out = explainAudio(in);
    const bool shown =
        report.text(field::AudioName) == status.name.text &&
        (driver.info().avi.audioStreams > 0 ||
         (driver.info().streams.present && driver.info().streams.first(StreamKind::audio)));
    if (shown)
        appendParagraph(out.text, playersParagraph(driver.codecStatus().audioPlayers(),
                                                   ownBitsOf(inventories)));
    return out;
}

ExplanationText renderExplanation(AnalysisDriver& driver, const RenderFacts& render) {
    const ReportModel& report = driver.report();
    RenderExplainInput in;
    in.result = render.result;
    in.errorMatched = render.errorMatched;
    in.errorCode = render.errorCode;
    in.errorName = render.errorName;
    in.errorText = render.errorText;
    in.splitter = {report.text(field::SplitterOther),
                   filterIndexOf(report.linkTarget(field::SplitterOther))};
    in.video = {report.text(field::VideoCodec),
                filterIndexOf(report.linkTarget(field::VideoCodec))};
    in.audio = {report.text(field::AudioCodec),
                filterIndexOf(report.linkTarget(field::AudioCodec))};
    if (render.hasGraph && render.offerGraph) in.graphLink = renderGraphLink();
    return explainRender(in);
}

void noteRenderTest(RenderFacts& facts, const RenderStep& step) {
    const RenderOutcome& outcome = step.outcome();
    facts.result = step.result();
    facts.errorMatched = outcome.matchedError != nullptr;
    facts.errorCode = facts.errorName = facts.errorText = std::string();
    if (const CodecDatabaseEntry* entry = outcome.matchedError) {
        facts.errorCode = textOr(entry->key, "");
        facts.errorName = textOr(entry->name, "");
        facts.errorText = textOr(entry->detail, "");
    }
    facts.hasGraph = !outcome.graph.filters.empty();
    if (facts.result == 0) return;
    if (const FilterRecord* decoder = step.videoDecoder()) {
        facts.decoder = VideoDecoderFacts();
        facts.decoder.found = true;
        facts.decoder.codecIndex = decoder->videoCodecIndex;
        facts.decoder.filterFourcc =
            std::string(decoder->primaryFourcc, strnlen(decoder->primaryFourcc, 4));
    }
}

ReportExplanations explainReport(AnalysisDriver& driver, const CodecInventories* inventories,
                                 const RenderFacts& render) {
    return {fileExplanation(driver, render), videoExplanation(driver, inventories, render),
            audioExplanation(driver, inventories, render), renderExplanation(driver, render)};
}

} // namespace tavro
