// The real codec systems of a Windows machine behind the portable source
// interfaces. COM must be initialised on the calling thread.
#pragma once
#include "codecs/codec_sources.h"

namespace tavro {

class WinDirectShowSource : public DirectShowSource {
  public:
    void enumCategory(const Guid& category, const MonikerVisitor& visit) override;
    void enumMatchingFilters(const MediaTypePair& input, const MediaTypePair& output,
                             uint32_t minimumMerit, const MonikerVisitor& visit) override;
};

class WinVfwSource : public VfwSource {
  public:
    bool queryVideoDriver(uint32_t handler, VfwDriverInfo* out) override;
};

class WinAcmSource : public AcmSource {
  public:
    void enumDrivers(const std::function<void(const AcmDriver&)>& visit) override;
    bool driverFileOfAlias(const std::string& alias, std::string* path) override;
};

class WinDmoSource : public DmoSource {
  public:
    void enumDmos(const Guid& category, const std::function<void(const DmoEntry&)>& visit) override;
};

class WinRegistrySource : public RegistrySource {
  public:
    bool readValue(RegistryRoot root, const std::string& key, const std::string& name,
                   RegistryValue* out) override;
    std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) override;
    std::vector<RegistryValue> values(RegistryRoot root, const std::string& key) override;
};

class WinDriverFileSource : public DriverFileSource {
  public:
    bool readVersionStrings(const std::string& path, VersionStrings* out) override;
    bool fileExists(const std::string& path) override;
};

// Reads the version texts of a file (GetFileVersionInfo/VerQueryValue).
bool readVersionStrings(const std::string& path, VersionStrings* out);

// All six together, as the program wires them in.
struct WinCodecSystem {
    WinDirectShowSource directShow;
    WinVfwSource vfw;
    WinAcmSource acm;
    WinDmoSource dmo;
    WinRegistrySource registry;
    WinDriverFileSource files;
    CodecSources sources() {
        return CodecSources{&directShow, &vfw, &acm, &dmo, &registry, &files};
    }
};

} // namespace tavro
