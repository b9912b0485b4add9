#include "codecs/video_codec_inventory.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "codecs/guid_display_name.h"
#include "codecs/media_guids.h"
#include "codecs/text_field.h"
#include "common/fourcc_text.h"
#include "common/settings.h"

namespace tavro {
namespace {

constexpr uint32_t kMinimumMerit = 0x600000;
constexpr size_t kVideoFilterDataLimit = 2048;

std::string bagText(PropertyBag& bag, const char* name) {
    BagProperty p = bag.read(name);
    return p.kind == BagProperty::Kind::Text ? p.text : std::string();
}

uint32_t fourccCode(const char* text) {
    uint32_t code = 0;
    for (int i = 0; i < 4 && text[i]; ++i)
        code |= static_cast<uint32_t>(static_cast<unsigned char>(text[i])) << (8 * i);
    return code;
}

} // namespace

std::unique_ptr<VideoCodecInventory> VideoCodecInventory::create(int capacity) {
    if (capacity < 1) return nullptr;
    std::unique_ptr<VideoCodecRecord[]> records(new (std::nothrow) VideoCodecRecord[capacity]());
    if (!records) return nullptr;
    return std::unique_ptr<VideoCodecInventory>(
        new (std::nothrow) VideoCodecInventory(capacity, std::move(records)));
}

VideoCodecInventory::VideoCodecInventory(int capacity, std::unique_ptr<VideoCodecRecord[]> records)
    : capacity_(capacity), records_(std::move(records)) {}

bool VideoCodecInventory::build(const CodecSources& sources, uint32_t enableBits,
                                const CodecDatabase& db) {
    sources_ = &sources;
    db_ = &db;
    bits_ = enableBits;
    if ((bits_ & kEnableDirectShow) && sources.directShow) {
        auto add = [this](PropertyBag* bag) { addMoniker(bag, kSourceDirectShow); };
        sources.directShow->enumCategory(kVideoCompressorCategory, add);
        // Filters in both lists are recorded twice; the search takes the first.
        sources.directShow->enumMatchingFilters({kMediaTypeVideo, kNullGuid},
                                                {kMediaTypeVideo, kNullGuid}, kMinimumMerit, add);
    }
    if (bits_ & kEnableDmo) addDmos(kDmoCategoryVideoDecoder);
    completeFourccs();
    sources_ = nullptr;
    db_ = nullptr;
    return true;
}

void VideoCodecInventory::addDmoDecoders(const CodecSources& sources, uint32_t enableBits,
                                         const Guid& category) {
    sources_ = &sources;
    bits_ = enableBits;
    if (bits_ & kEnableDmo) addDmos(category);
    sources_ = nullptr;
}

void VideoCodecInventory::addMoniker(PropertyBag* bag, int32_t source) {
    if (!bag || count_ >= capacity_ - 1) return;
    VideoCodecRecord& rec = records_[count_];
    std::memset(&rec, 0, sizeof rec);
    rec.source = source;
    const std::string friendly = bagText(*bag, "FriendlyName");
    copyText(rec.friendlyName, friendly);
    copyText(rec.name, friendly);
    copyText(rec.clsidText, bagText(*bag, "CLSID"));
    copyText(rec.fourcc, bagText(*bag, "FccHandler"));
    for (char* c = rec.fourcc; *c; ++c)
        *c = asciiUpper(*c);

    if (rec.fourcc[0] && (bits_ & kEnableVfw) && sources_->vfw) {
        VfwDriverInfo info;
        if (sources_->vfw->queryVideoDriver(fourccCode(rec.fourcc), &info)) {
            copyText(rec.vfwName, info.name);
            copyText(rec.vfwDescription, info.description);
            copyText(rec.vfwDriver, info.driver);
            if (rec.vfwName[0]) rec.source = kSourceVfw;
        }
    }
    if (!rec.clsidText[0]) {
        // Without a class the entry names nothing usable; its slot is reused.
        std::memset(&rec, 0, sizeof rec);
        return;
    }
    copyText(rec.associatedFile, installedProcServerFile(sources_->registry, rec.clsidText,
                                                         sizeof rec.associatedFile - 1));
    readDriverVersion(rec, rec.vfwDriver[0] ? rec.vfwDriver : rec.associatedFile, true);
    if (bits_ & kEnableRegistry) scanFilterData(rec);
    ++count_;
}

void VideoCodecInventory::readDriverVersion(VideoCodecRecord& rec, const char* path,
                                            bool missingTest) {
    if (!(bits_ & kEnableDriverFiles) || !sources_->files) return;
    if (path[0] && sources_->files->readVersionStrings(path, &rec.version)) return;
    rec.version.clear();
    if (missingTest && (!path[0] || !sources_->files->fileExists(path))) rec.missing = 1;
}

void VideoCodecInventory::scanFilterData(VideoCodecRecord& rec) {
    if (!sources_->registry) return;
    RegistryValue value;
    if (!sources_->registry->readValue(RegistryRoot::ClassesRoot,
                                       std::string(kFilterInstanceKey) + rec.clsidText,
                                       "FilterData", &value))
        return;
    // A value larger than we read is cut, not trusted.
    const size_t size =
        value.data.size() < kVideoFilterDataLimit ? value.data.size() : kVideoFilterDataLimit;
    bool videoSeen = false;
    int stored = 0;
    for (size_t offset = 0; offset + 16 < size; offset += 16) {
        const Guid window = guidFromBytes(value.data.data() + offset);
        // The first video major type only opens the list; a later one has the FourCC form.
        if (videoSeen && hasFourccTail(window) && stored < 16) rec.subtypes[stored++] = window;
        if (window == kMediaTypeVideo) videoSeen = true;
    }
}

void VideoCodecInventory::addDmos(const Guid& category) {
    if (!sources_->dmo) return;
    char wrapperText[39];
    formatRegistryGuid(kDmoWrapperFilter, wrapperText);
    const std::string wrapperFile = installedProcServerFile(sources_->registry, wrapperText, 259);
    sources_->dmo->enumDmos(category, [&](const DmoEntry& dmo) {
        if (count_ >= capacity_ - 1) return;
        VideoCodecRecord& rec = records_[count_];
        std::memset(&rec, 0, sizeof rec);
        copyText(rec.name, dmo.name);
        copyText(rec.friendlyName, dmo.name);
        char clsid[39];
        formatRegistryGuid(dmo.clsid, clsid);
        copyText(rec.clsidText, clsid);
        copyText(rec.vfwDriver, installedProcServerFile(sources_->registry, clsid, 259));
        for (size_t i = 0; i < dmo.inputSubtypes.size() && i < 16; ++i)
            rec.subtypes[i] = dmo.inputSubtypes[i];
        copyText(rec.associatedFile, wrapperFile);
        if (rec.vfwDriver[0]) readDriverVersion(rec, rec.vfwDriver, false);
        rec.source = kSourceDmo;
        ++count_;
    });
}

void VideoCodecInventory::completeFourccs() {
    const GuidNameOptions options{false, true};
    for (int i = 0; i < count_ && records_[i].source != kSourceNone; ++i) {
        VideoCodecRecord& rec = records_[i];
        if (rec.fourcc[0]) continue;
        char shown[128];
        char derived[5] = {};
        guidDisplayName(*db_, rec.clsidText, shown, sizeof shown, options, derived);
        for (int s = 0; s < 16 && !derived[0] && rec.subtypes[s] != Guid{}; ++s)
            guidDisplayName(*db_, rec.subtypes[s], shown, sizeof shown, options, derived);
        copyText(rec.fourcc, derived);
    }
}

std::vector<int> VideoCodecInventory::findAll(const char* fourcc) const {
    std::vector<int> found;
    if (!fourcc) return found;
    auto subtypeMatches = [fourcc](const VideoCodecRecord& rec) {
        for (int s = 0; s < 16 && rec.subtypes[s] != Guid{}; ++s) {
            if (!hasFourccTail(rec.subtypes[s])) continue;
            char text[5];
            fourccText(rec.subtypes[s].Data1, text);
            if (equalsNoCase(text, fourcc)) return true;
        }
        return false;
    };
    enum Pass { Dmo, DirectShow, Vfw, DirectShowSubtype, Any };
    for (int pass = Dmo; pass <= Any; ++pass) {
        for (int i = 0; i < count_ && i < kCapacity && records_[i].source != kSourceNone; ++i) {
            const VideoCodecRecord& rec = records_[i];
            bool match = false;
            switch (pass) {
            case Dmo:
                match = rec.source == kSourceDmo && equalsNoCase(rec.fourcc, fourcc);
                break;
            case DirectShow:
                match = rec.source == kSourceDirectShow && equalsNoCase(rec.fourcc, fourcc);
                break;
            case Vfw:
                match = rec.source == kSourceVfw && equalsNoCase(rec.fourcc, fourcc);
                break;
            case DirectShowSubtype:
                match = rec.source == kSourceDirectShow &&
                        (equalsNoCase(rec.fourcc, fourcc) || subtypeMatches(rec));
                break;
            default:
                match = equalsNoCase(rec.fourcc, fourcc);
                break;
            }
            // A record matched by an earlier pass keeps its earlier place.
            if (match && std::find(found.begin(), found.end(), i) == found.end())
                found.push_back(i);
        }
    }
    return found;
}

int VideoCodecInventory::find(const char* fourcc) const {
    const std::vector<int> found = findAll(fourcc);
    return found.empty() ? -1 : found.front();
}

int findInstalledVideoCodec(const VideoCodecInventory* inventory, const char* fourcc) {
    return inventory ? inventory->find(fourcc) : -1;
}

} // namespace tavro
