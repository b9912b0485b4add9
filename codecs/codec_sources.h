// The machine's codec systems as the inventories see them: small interfaces over
// DirectShow monikers, VfW drivers, ACM drivers, DMOs, the registry and driver
// files. The Windows build implements them in codecs/win; tests use fakes.
// A null source pointer means the system is not available and is skipped.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "codecs/guid.h"
#include "codecs/version_strings.h"

namespace tavro {

// One property read from a moniker's property bag. Only text values are used;
// a value of any other type counts as absent.
struct BagProperty {
    enum class Kind { Absent, Text, OtherType };
    Kind kind = Kind::Absent;
    std::string text;
};

class PropertyBag {
  public:
    virtual ~PropertyBag() = default;
    virtual BagProperty read(const char* name) = 0;
};

// Called once per moniker; `bag` is null when the moniker could not be bound.
using MonikerVisitor = std::function<void(PropertyBag* bag)>;

struct MediaTypePair {
    Guid major;
    Guid subtype;
};

class DirectShowSource {
  public:
    virtual ~DirectShowSource() = default;
    // The system device enumerator over one filter category.
    virtual void enumCategory(const Guid& category, const MonikerVisitor& visit) = 0;
    // The filter mapper: exact match, one input and one output pair, rendering not required.
    virtual void enumMatchingFilters(const MediaTypePair& input, const MediaTypePair& output,
                                     uint32_t minimumMerit, const MonikerVisitor& visit) = 0;
};

struct VfwDriverInfo {
    std::string name;        // ICINFO szName
    std::string description; // ICINFO szDescription
    std::string driver;      // ICINFO szDriver
};

class VfwSource {
  public:
    virtual ~VfwSource() = default;
    // Opens the 'vidc' driver for `handler` in query mode and reads its ICINFO.
    virtual bool queryVideoDriver(uint32_t handler, VfwDriverInfo* out) = 0;
};

// ACMDRIVERDETAILSA in the 32-bit platform layout (920 bytes), whatever the build.
struct AcmDriverDetails {
    uint32_t cbStruct;
    uint32_t fccType;
    uint32_t fccComp;
    uint16_t wMid;
    uint16_t wPid;
    uint32_t vdwACM;
    uint32_t vdwDriver;
    uint32_t fdwSupport;
    uint32_t cFormatTags;
    uint32_t cFilterTags;
    uint32_t hicon;
    char szShortName[32];
    char szLongName[128];
    char szCopyright[80];
    char szLicensing[128];
    char szFeatures[512];
};
static_assert(sizeof(AcmDriverDetails) == 920, "ACM driver details keep the platform layout");

// ACMFORMATTAGDETAILSA (72 bytes).
struct AcmFormatTagDetails {
    uint32_t cbStruct;
    uint32_t dwFormatTagIndex;
    uint32_t dwFormatTag;
    uint32_t cbFormatSize;
    uint32_t fdwSupport;
    uint32_t cStandardFormats;
    char szFormatTag[48];
};
static_assert(sizeof(AcmFormatTagDetails) == 72, "ACM format tag details keep the platform layout");

struct AcmDriver {
    AcmDriverDetails details;
    std::vector<AcmFormatTagDetails> tags; // the tags read by index, those that could be read
    // The module file of the driver as its registration (Drivers32 "msacm.*") names
    // it, with its folder; empty when no registered alias answered as this driver.
    std::string file;
};

class AcmSource {
  public:
    virtual ~AcmSource() = default;
    // Enabled drivers only, in the system's order.
    virtual void enumDrivers(const std::function<void(const AcmDriver&)>& visit) = 0;
    // The module file of the installable driver opened by its alias ("msacm.imaadpcm").
    virtual bool driverFileOfAlias(const std::string& alias, std::string* path) = 0;
};

struct DmoEntry {
    Guid clsid;
    std::string name;
    std::vector<Guid> inputSubtypes;
};

class DmoSource {
  public:
    virtual ~DmoSource() = default;
    // Keyed DMOs included, no type filter.
    virtual void enumDmos(const Guid& category,
                          const std::function<void(const DmoEntry&)>& visit) = 0;
};

// One Media Foundation transform as registered: what MFTEnumEx's activation
// objects or the MediaFoundation\Transforms key tell about it.
struct MftEntry {
    Guid clsid{};
    Guid category{};
    std::string name;
    uint32_t flags = 0; // MFT_ENUM_FLAG_* bits
    bool hasMerit = false;
    uint32_t merit = 0;
    bool local = false; // registered for this process only
    std::vector<MediaTypePair> inputs;
    std::vector<MediaTypePair> outputs;
};

class MftSource {
  public:
    virtual ~MftSource() = default;
    // False when this process has no Media Foundation to ask.
    virtual bool available() = 0;
    // Every transform of one category, asynchronous, hardware and field-of-use
    // ones included.
    virtual void enumTransforms(const Guid& category,
                                const std::function<void(const MftEntry&)>& visit) = 0;
};

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine };
enum RegistryType : uint32_t { kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4 };

struct RegistryValue {
    std::string name;
    uint32_t type = 0;
    std::vector<uint8_t> data; // the whole value, whatever its size
};

class RegistrySource {
  public:
    virtual ~RegistrySource() = default;
    // `name` empty reads the key's default value.
    virtual bool readValue(RegistryRoot root, const std::string& key, const std::string& name,
                           RegistryValue* out) = 0;
    virtual std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) = 0;
    virtual std::vector<RegistryValue> values(RegistryRoot root, const std::string& key) = 0;
};

class DriverFileSource {
  public:
    virtual ~DriverFileSource() = default;
    virtual bool readVersionStrings(const std::string& path, VersionStrings* out) = 0;
    // An exact-path search; an empty path never exists.
    virtual bool fileExists(const std::string& path) = 0;
};

struct CodecSources {
    DirectShowSource* directShow = nullptr;
    VfwSource* vfw = nullptr;
    AcmSource* acm = nullptr;
    DmoSource* dmo = nullptr;
    RegistrySource* registry = nullptr;
    DriverFileSource* files = nullptr;
    MftSource* mft = nullptr;
    // The registry as programs of the other architecture see it (its own
    // view of the redirected keys); null where there is no other architecture.
    RegistrySource* otherRegistry = nullptr;
    // The architecture of this process, 32 or 64; 0 when unknown.
    int ownBits = 0;
    // This process's system folder and, as this process must name it, the
    // other architecture's ("C:\Windows\Sysnative" from a 32-bit process).
    std::string systemDir;
    std::string otherSystemDir;
};

// Text of a string value: its bytes up to the first terminator, never past the data.
std::string registryText(const RegistryValue& value);

// The in-process server file registered for a class ("{...}" text), cut to
// `limit` characters; empty when the key or value is missing.
std::string installedProcServerFile(RegistrySource* registry, const std::string& clsidText,
                                    size_t limit);

} // namespace tavro
