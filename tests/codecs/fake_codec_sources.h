// Scriptable stand-ins for the machine's codec systems: every source keeps plain
// tables that a test fills, and counts how often it was asked.
#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "codecs/codec_sources.h"
#include "codecs/media_guids.h"

namespace tavro {

struct FakeMoniker {
    std::map<std::string, BagProperty> properties;
    bool bindFails = false;
};

inline BagProperty textProperty(const std::string& text) {
    return {BagProperty::Kind::Text, text};
}

inline FakeMoniker moniker(const std::string& name, const std::string& clsid,
                           const std::string& fcc = "") {
    FakeMoniker m;
    m.properties["FriendlyName"] = textProperty(name);
    if (!clsid.empty()) m.properties["CLSID"] = textProperty(clsid);
    if (!fcc.empty()) m.properties["FccHandler"] = textProperty(fcc);
    return m;
}

class FakeBag : public PropertyBag {
  public:
    explicit FakeBag(const FakeMoniker& m) : m_(m) {}
    BagProperty read(const char* name) override {
        auto it = m_.properties.find(name);
        return it == m_.properties.end() ? BagProperty{} : it->second;
    }

  private:
    const FakeMoniker& m_;
};

struct FakeQuery {
    MediaTypePair input, output;
    std::vector<FakeMoniker> result;
};

class FakeDirectShow : public DirectShowSource {
  public:
    std::vector<std::pair<Guid, std::vector<FakeMoniker>>> categories;
    std::vector<FakeQuery> queries; // answered when input and output pairs match
    std::vector<std::pair<MediaTypePair, MediaTypePair>> asked;
    int calls = 0;

    void enumCategory(const Guid& category, const MonikerVisitor& visit) override {
        ++calls;
        for (auto& c : categories)
            if (c.first == category) run(c.second, visit);
    }
    void enumMatchingFilters(const MediaTypePair& in, const MediaTypePair& out, uint32_t,
                             const MonikerVisitor& visit) override {
        ++calls;
        asked.push_back({in, out});
        for (auto& q : queries)
            if (q.input.major == in.major && q.input.subtype == in.subtype &&
                q.output.major == out.major && q.output.subtype == out.subtype)
                run(q.result, visit);
    }

  private:
    static void run(const std::vector<FakeMoniker>& list, const MonikerVisitor& visit) {
        for (const FakeMoniker& m : list) {
            if (m.bindFails) {
                visit(nullptr);
                continue;
            }
            FakeBag bag(m);
            visit(&bag);
        }
    }
};

class FakeVfw : public VfwSource {
  public:
    std::map<uint32_t, VfwDriverInfo> drivers;
    int calls = 0;
    bool queryVideoDriver(uint32_t handler, VfwDriverInfo* out) override {
        ++calls;
        auto it = drivers.find(handler);
        if (it == drivers.end()) return false;
        *out = it->second;
        return true;
    }
};

inline AcmFormatTagDetails acmTag(uint32_t tag, const char* name) {
    AcmFormatTagDetails d{};
    d.cbStruct = sizeof d;
    d.dwFormatTag = tag;
    std::snprintf(d.szFormatTag, sizeof d.szFormatTag, "%s", name);
    return d;
}

inline AcmDriver acmDriver(const char* longName, std::vector<AcmFormatTagDetails> tags) {
    AcmDriver d{};
    d.details.cbStruct = sizeof d.details;
    std::snprintf(d.details.szLongName, sizeof d.details.szLongName, "%s", longName);
    d.details.cFormatTags = static_cast<uint32_t>(tags.size());
    d.tags = std::move(tags);
    return d;
}

class FakeAcm : public AcmSource {
  public:
    std::vector<AcmDriver> drivers;
    std::map<std::string, std::string> aliasFiles;
    int calls = 0;
    void enumDrivers(const std::function<void(const AcmDriver&)>& visit) override {
        ++calls;
        for (const AcmDriver& d : drivers)
            visit(d);
    }
    bool driverFileOfAlias(const std::string& alias, std::string* path) override {
        ++calls;
        auto it = aliasFiles.find(alias);
        if (it == aliasFiles.end()) return false;
        *path = it->second;
        return true;
    }
};

class FakeDmo : public DmoSource {
  public:
    std::vector<std::pair<Guid, DmoEntry>> dmos; // category, entry
    int calls = 0;
    void enumDmos(const Guid& category,
                  const std::function<void(const DmoEntry&)>& visit) override {
        ++calls;
        for (auto& d : dmos)
            if (d.first == category) visit(d.second);
    }
};

inline RegistryValue textValue(const std::string& name, const std::string& text,
                               uint32_t type = kRegSz) {
    RegistryValue v;
    v.name = name;
    v.type = type;
    v.data.assign(text.begin(), text.end());
    v.data.push_back(0);
    return v;
}

inline RegistryValue dwordValue(const std::string& name, uint32_t x) {
    RegistryValue v;
    v.name = name;
    v.type = kRegDword;
    for (int i = 0; i < 4; ++i)
        v.data.push_back(static_cast<uint8_t>(x >> (8 * i)));
    return v;
}

inline RegistryValue binaryValue(const std::string& name, std::vector<uint8_t> data) {
    RegistryValue v;
    v.name = name;
    v.type = kRegBinary;
    v.data = std::move(data);
    return v;
}

// FilterData-style blob: the GUIDs' bytes one after another, plus `tail` extra bytes.
inline std::vector<uint8_t> guidBlob(const std::vector<Guid>& guids, size_t tail = 16) {
    std::vector<uint8_t> out;
    for (const Guid& g : guids) {
        uint8_t b[16];
        guidToBytes(g, b);
        out.insert(out.end(), b, b + 16);
    }
    out.resize(out.size() + tail, 0);
    return out;
}

class FakeRegistry : public RegistrySource {
  public:
    // root, key, values in enumeration order
    std::map<std::pair<int, std::string>, std::vector<RegistryValue>> keys;
    std::map<std::pair<int, std::string>, std::vector<std::string>> subkeys;
    int calls = 0;

    void set(RegistryRoot root, const std::string& key, RegistryValue value) {
        keys[{static_cast<int>(root), key}].push_back(std::move(value));
    }
    void setServer(const std::string& clsid, const std::string& file) {
        set(RegistryRoot::LocalMachine, "Software\\Classes\\CLSID\\" + clsid + "\\InprocServer32",
            textValue("", file));
    }
    void setFilterData(const std::string& clsid, std::vector<uint8_t> blob) {
        set(RegistryRoot::ClassesRoot, std::string(kFilterInstanceKey) + clsid,
            binaryValue("FilterData", std::move(blob)));
    }

    bool readValue(RegistryRoot root, const std::string& key, const std::string& name,
                   RegistryValue* out) override {
        ++calls;
        auto it = keys.find({static_cast<int>(root), key});
        if (it == keys.end()) return false;
        for (const RegistryValue& v : it->second)
            if (v.name == name) {
                *out = v;
                return true;
            }
        return false;
    }
    std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) override {
        ++calls;
        auto it = subkeys.find({static_cast<int>(root), key});
        return it == subkeys.end() ? std::vector<std::string>{} : it->second;
    }
    std::vector<RegistryValue> values(RegistryRoot root, const std::string& key) override {
        ++calls;
        auto it = keys.find({static_cast<int>(root), key});
        return it == keys.end() ? std::vector<RegistryValue>{} : it->second;
    }
};

class FakeDriverFiles : public DriverFileSource {
  public:
    std::map<std::string, std::string> companies; // files with a version resource
    std::vector<std::string> plainFiles;          // files without one
    int calls = 0;
    bool readVersionStrings(const std::string& path, VersionStrings* out) override {
        ++calls;
        out->clear();
        auto it = companies.find(path);
        if (it == companies.end()) return false;
        std::snprintf(out->text[kCompanyName], 128, "%s", it->second.c_str());
        std::snprintf(out->text[kFileDescription], 128, "%s description", path.c_str());
        return true;
    }
    bool fileExists(const std::string& path) override {
        ++calls;
        if (path.empty()) return false;
        if (companies.count(path)) return true;
        for (const auto& f : plainFiles)
            if (f == path) return true;
        return false;
    }
};

// Media Foundation with transforms per category, or none at all.
class FakeMft : public MftSource {
  public:
    bool present = true;
    std::vector<MftEntry> transforms; // listed under their own category
    int calls = 0;
    bool available() override { return present; }
    void enumTransforms(const Guid& category,
                        const std::function<void(const MftEntry&)>& visit) override {
        ++calls;
        for (const MftEntry& t : transforms)
            if (t.category == category) visit(t);
    }
};

// All six fakes, wired as one set of sources.
struct FakeMachine {
    FakeDirectShow directShow;
    FakeVfw vfw;
    FakeAcm acm;
    FakeDmo dmo;
    FakeRegistry registry;
    FakeDriverFiles files;
    FakeMft mft; // wired in by the tests that want it
    CodecSources sources() {
        CodecSources s;
        s.directShow = &directShow;
        s.vfw = &vfw;
        s.acm = &acm;
        s.dmo = &dmo;
        s.registry = &registry;
        s.files = &files;
        return s;
    }
};

// "{xxxxxxxx-0000-0010-8000-00AA00389B71}" for a FourCC or a wave format tag.
inline Guid fourccGuid(const char* fcc) {
    Guid g = kMediaTypeVideo;
    g.Data1 = static_cast<uint32_t>(static_cast<unsigned char>(fcc[0])) |
              static_cast<uint32_t>(static_cast<unsigned char>(fcc[1])) << 8 |
              static_cast<uint32_t>(static_cast<unsigned char>(fcc[2])) << 16 |
              static_cast<uint32_t>(static_cast<unsigned char>(fcc[3])) << 24;
    return g;
}
inline Guid tagGuid(uint32_t tag) {
    Guid g = kMediaTypeVideo;
    g.Data1 = tag;
    return g;
}

} // namespace tavro
