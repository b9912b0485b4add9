#include "codecs/audio_codec_inventory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "codecs/media_guids.h"
#include "codecs/text_field.h"
#include "codecs/video_codec_inventory.h"
#include "common/fourcc_text.h"
#include "common/settings.h"

namespace tavro {
namespace {

constexpr uint32_t kMinimumMerit = 0x600000;
constexpr size_t kAudioFilterDataLimit = 4096;
constexpr size_t kPriorityValueLimit = 1024;
constexpr size_t kTagCacheLimit = 80;
constexpr uint32_t kMaxCachedTags = 10;
constexpr int kDmoScratchCapacity = 50;
constexpr uint32_t kPcmTag = 1;

const char kDriverCacheKey[] = "SOFTWARE\\Microsoft\\AudioCompressionManager\\DriverCache";
const char kPriorityKey[] =
    "Software\\Microsoft\\Multimedia\\Audio Compression Manager\\Priority v4.00";

std::string bagText(PropertyBag& bag, const char* name) {
    BagProperty p = bag.read(name);
    return p.kind == BagProperty::Kind::Text ? p.text : std::string();
}

uint32_t readLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// DirectShow and DMO records show their file's version texts in the ACM fields.
void fillAcmTexts(AudioCodecRecord& rec, const VersionStrings& v) {
    copyText(rec.driverDetails.szLongName, v.get(kFileDescription));
    copyText(rec.driverDetails.szCopyright, v.get(kLegalCopyright));
    copyText(rec.driverDetails.szShortName, v.get(kProductName));
    copyText(rec.driverDetails.szFeatures, v.get(kComments));
    copyText(rec.driverDetails.szLicensing, v.get(kLegalTrademarks));
}

} // namespace

AcmPriority acmPriorityOf(const std::vector<RegistryValue>& values, const std::string& alias) {
    AcmPriority result;
    for (const RegistryValue& value : values) {
        if (value.type != kRegSz) continue;
        std::string data = registryText(value);
        if (data.size() >= kPriorityValueLimit) data.resize(kPriorityValueLimit - 1);
        // "1, msacm.imaadpcm": state digit, separator, then the alias. Shorter data names no alias.
        if (data.size() < 3 || !equalsNoCase(data.c_str() + 3, alias.c_str())) continue;
        result.disabled = data[0] == '0';
        // "Priority12": the number follows the first eight characters, when there are more.
        if (value.name.size() > 8) result.priority = std::atoi(value.name.c_str() + 8);
        return result;
    }
    return result;
}

std::vector<uint32_t> acmCachedTags(const std::vector<uint8_t>& cache, uint32_t count) {
    const size_t held = (cache.size() < kTagCacheLimit ? cache.size() : kTagCacheLimit) / 8;
    size_t n = count < held ? count : held;
    if (n > kMaxCachedTags) n = kMaxCachedTags;
    std::vector<uint32_t> tags;
    for (size_t i = 0; i < n; ++i)
        tags.push_back(readLe32(cache.data() + 8 * i));
    return tags;
}

namespace {

// The manufacturers the multimedia registry numbers most ACM drivers under.
const char* acmManufacturerName(uint16_t mid) {
    switch (mid) {
    case 1:
        return "Microsoft Corporation";
    case 2:
        return "Creative Labs, Inc.";
    case 172:
        return "Fraunhofer IIS";
    default:
        return "";
    }
}

} // namespace

std::unique_ptr<AudioCodecInventory> AudioCodecInventory::create(int capacity) {
    if (capacity < 1) return nullptr;
    std::unique_ptr<AudioCodecRecord[]> records(new (std::nothrow) AudioCodecRecord[capacity]());
    if (!records) return nullptr;
    return std::unique_ptr<AudioCodecInventory>(
        new (std::nothrow) AudioCodecInventory(capacity, std::move(records)));
}

AudioCodecInventory::AudioCodecInventory(int capacity, std::unique_ptr<AudioCodecRecord[]> records)
    : capacity_(capacity), records_(std::move(records)) {}

bool AudioCodecInventory::build(const CodecSources& sources, uint32_t enableBits) {
    sources_ = &sources;
    bits_ = enableBits;
    mpegLink_ = -1;
    if (bits_ & kEnableAcm) {
        currentSource_ = kSourceAcm;
        addAcmDrivers();
        if (bits_ & kEnableRegistry) applyDriverCache();
    }
    if (bits_ & kEnableDirectShow) addDirectShow();
    if (bits_ & kEnableDmo) addDmos();
    sources_ = nullptr;
    return true;
}

AudioCodecRecord* AudioCodecInventory::newRecord() {
    if (count_ >= capacity_) return nullptr;
    AudioCodecRecord& rec = records_[count_];
    std::memset(&rec, 0, sizeof rec);
    rec.link = -1;
    return &rec;
}

void AudioCodecInventory::addAcmDrivers() {
    if (!sources_->acm) return;
    sources_->acm->enumDrivers([this](const AcmDriver& driver) {
        // The file's version block gives the Vendor column, read once per driver; a file
        // without one is vouched for by the manufacturer id the driver reports.
        std::vector<VersionStrings> version;
        if ((bits_ & kEnableRegistry) && (bits_ & kEnableDriverFiles) && sources_->files &&
            !driver.file.empty()) {
            version.resize(1);
            if (!sources_->files->readVersionStrings(driver.file, &version[0])) version[0].clear();
            if (!version[0].get(kCompanyName)[0])
                copyText(version[0].text[kCompanyName], acmManufacturerName(driver.details.wMid));
        }
        for (const AcmFormatTagDetails& tag : driver.tags) {
            if (tag.dwFormatTag == kPcmTag) continue; // PCM needs no codec
            AudioCodecRecord* rec = newRecord();
            if (!rec) return;
            rec->formatTagDetails = tag;
            rec->driverDetails = driver.details;
            rec->source = currentSource_;
            if (bits_ & kEnableRegistry) copyText(rec->driverFile, driver.file);
            if (!version.empty()) rec->version = version.front();
            ++count_;
        }
    });
}

void AudioCodecInventory::applyDriverCache() {
    // Without driver files no alias can count, so there is nothing to open.
    if (!sources_->registry || !sources_->acm || !sources_->files || !(bits_ & kEnableDriverFiles))
        return;
    for (const std::string& alias :
         sources_->registry->subkeyNames(RegistryRoot::LocalMachine, kDriverCacheKey))
        applyAlias(alias);
}

void AudioCodecInventory::applyAlias(const std::string& alias) {
    const AcmPriority state =
        acmPriorityOf(sources_->registry->values(RegistryRoot::CurrentUser, kPriorityKey), alias);
    std::string path;
    if (!sources_->acm->driverFileOfAlias(alias, &path)) return;
    if (path.size() > 259) path.resize(259);
    VersionStrings version;
    version.clear();
    if (!sources_->files->readVersionStrings(path, &version)) return;

    const std::string key = std::string(kDriverCacheKey) + "\\" + alias;
    RegistryValue countValue, cacheValue;
    if (!sources_->registry->readValue(RegistryRoot::LocalMachine, key, "cFormatTags",
                                       &countValue) ||
        !sources_->registry->readValue(RegistryRoot::LocalMachine, key, "aFormatTagCache",
                                       &cacheValue) ||
        countValue.data.size() < 4)
        return;
    const uint32_t declared = readLe32(countValue.data.data());
    if (declared == 0) return;
    // The count is not trusted past what the cache value really holds.
    for (uint32_t tag : acmCachedTags(cacheValue.data, declared)) {
        if (tag == kPcmTag) continue;
        // Matched by tag alone: when drivers share a tag, the last alias wins.
        for (int i = 0; i < count_; ++i) {
            AudioCodecRecord& rec = records_[i];
            if (rec.formatTag() != tag) continue;
            rec.version = version;
            copyText(rec.driverFile, path);
            rec.disabled = state.disabled ? 1 : 0;
            rec.priority = state.priority;
        }
    }
}

void AudioCodecInventory::addDirectShow() {
    DirectShowSource* ds = sources_->directShow;
    if (!ds) return;
    ds->enumCategory(kAudioCompressorCategory, [this](PropertyBag* bag) { addMoniker(bag, -1); });
    const MediaTypePair input{kMediaTypeAudio, kNullGuid};
    ds->enumMatchingFilters(input, {kMediaTypeAudio, kMediaSubtypePcm}, kMinimumMerit,
                            [this](PropertyBag* bag) { addMoniker(bag, -1); });
    // Decoders of MPEG streams are tied to the filter whose registration lists them.
    if (mpegLink_ >= 0) {
        const int32_t link = mpegLink_;
        ds->enumMatchingFilters(input, {kMediaTypeMpeg2Pes, kNullGuid}, kMinimumMerit,
                                [this, link](PropertyBag* bag) { addMoniker(bag, link); });
    }
    if (mpegLink_ >= 0) {
        const int32_t link = mpegLink_;
        ds->enumMatchingFilters(input, {kMediaSubtypeMpeg1Audio, kNullGuid}, kMinimumMerit,
                                [this, link](PropertyBag* bag) { addMoniker(bag, link); });
    }
}

void AudioCodecInventory::addMoniker(PropertyBag* bag, int32_t link) {
    if (!bag) return;
    const std::string name = bagText(*bag, "FriendlyName");
    const std::string clsid = bagText(*bag, "CLSID");
    if (clsid.empty() || name == "PCM") return;
    const int existing = findByName(name.c_str());
    if (existing >= 0) {
        // DirectShow's view of a codec already listed (usually through ACM).
        AudioCodecRecord& rec = records_[existing];
        copyText(rec.clsidText, clsid);
        copyText(rec.dshowDriverFile, installedProcServerFile(sources_->registry, clsid, 259));
        rec.link = link;
        return;
    }
    AudioCodecRecord* rec = newRecord();
    if (!rec) return;
    rec->source = kSourceDirectShow;
    copyText(rec->clsidText, clsid);
    copyText(rec->formatTagDetails.szFormatTag, name);
    rec->link = link;
    copyText(rec->driverFile, installedProcServerFile(sources_->registry, clsid, 259));
    if ((bits_ & kEnableDriverFiles) && sources_->files) {
        VersionStrings version;
        version.clear();
        if (rec->driverFile[0] && sources_->files->readVersionStrings(rec->driverFile, &version))
            fillAcmTexts(*rec, version);
        else if (!rec->driverFile[0] || !sources_->files->fileExists(rec->driverFile))
            rec->missing = 1;
    }
    if ((bits_ & kEnableDriverFiles) && (bits_ & kEnableRegistry)) scanFilterData(count_);
    ++count_;
}

void AudioCodecInventory::scanFilterData(int index) {
    AudioCodecRecord& rec = records_[index];
    RegistryValue value;
    if (!sources_->registry ||
        !sources_->registry->readValue(RegistryRoot::ClassesRoot,
                                       std::string(kFilterInstanceKey) + rec.clsidText,
                                       "FilterData", &value))
        return;
    const size_t size =
        value.data.size() < kAudioFilterDataLimit ? value.data.size() : kAudioFilterDataLimit;
    bool audioSeen = false;
    for (size_t offset = 0; offset + 16 < size; offset += 16) {
        const Guid window = guidFromBytes(value.data.data() + offset);
        if (audioSeen) {
            if (window == kMediaTypeMpeg2Pes || window == kMediaSubtypeMpeg1Audio)
                mpegLink_ = index;
            else if (hasFourccTail(window) && rec.formatTag() == 0)
                rec.formatTagDetails.dwFormatTag = window.Data1 & 0xFFFF;
        }
        if (window == kMediaTypeAudio) audioSeen = true;
    }
}

void AudioCodecInventory::addDmos() {
    auto scratch = VideoCodecInventory::create(kDmoScratchCapacity);
    if (!scratch) return;
    scratch->addDmoDecoders(*sources_, bits_, kDmoCategoryAudioDecoder);
    for (int i = 0; i < scratch->count(); ++i) {
        const VideoCodecRecord& dmo = scratch->record(i);
        AudioCodecRecord* rec = newRecord();
        if (!rec) return;
        rec->source = dmo.source;
        copyText(rec->formatTagDetails.szFormatTag, dmo.name);
        copyText(rec->clsidText, dmo.clsidText);
        copyText(rec->driverFile, dmo.associatedFile);
        fillAcmTexts(*rec, dmo.version);
        ++count_;
    }
}

int AudioCodecInventory::find(const char* tagText) const {
    if (!tagText) return -1;
    for (int i = 0; i < count_ && i < kCapacity && records_[i].source != kSourceNone; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04x", static_cast<unsigned>(records_[i].formatTag()));
        if (equalsNoCase(text, tagText)) return i;
    }
    return -1;
}

int AudioCodecInventory::findByName(const char* name) const {
    if (!name) return -1;
    for (int i = 0; i < count_ && i < kCapacity && records_[i].source != kSourceNone; ++i)
        if (std::strcmp(records_[i].formatName(), name) == 0) return i;
    return -1;
}

int findInstalledAudioCodec(const AudioCodecInventory* inventory, const char* tagText) {
    return inventory ? inventory->find(tagText) : -1;
}

int findAudioRecordByName(const AudioCodecInventory* inventory, const char* name) {
    return inventory ? inventory->findByName(name) : -1;
}

} // namespace tavro
