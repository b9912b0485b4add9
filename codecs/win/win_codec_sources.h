// The real codec systems of a Windows machine behind the portable source
// interfaces. COM must be initialised on the calling thread.
#pragma once
#include <memory>

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

// Media Foundation of this process, started on first use and shut down with
// the source.
class WinMftSource : public MftSource {
  public:
    WinMftSource();
    WinMftSource(const WinMftSource&) = delete;
    WinMftSource& operator=(const WinMftSource&) = delete;
    ~WinMftSource() override;
    bool available() override;
    void enumTransforms(const Guid& category,
                        const std::function<void(const MftEntry&)>& visit) override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// `view` is ORed into every key's access: 0 for this process's own view, or
// KEY_WOW64_32KEY / KEY_WOW64_64KEY for one architecture's.
class WinRegistrySource : public RegistrySource {
  public:
    explicit WinRegistrySource(uint32_t view = 0) : view_(view) {}
    bool readValue(RegistryRoot root, const std::string& key, const std::string& name,
                   RegistryValue* out) override;
    std::vector<std::string> subkeyNames(RegistryRoot root, const std::string& key) override;
    std::vector<RegistryValue> values(RegistryRoot root, const std::string& key) override;

  private:
    uint32_t view_;
};

// This process's architecture (32 or 64) and the registry view flag of the
// other one; 0 when the system has no other (32-bit Windows).
int ownArchitectureBits();
uint32_t otherArchitectureView();
// This process's system folder, and the other architecture's as this process
// reaches it (SysWOW64 from 64-bit, Sysnative from 32-bit); "" when none.
std::string systemFolder();
std::string otherSystemFolder();

class WinDriverFileSource : public DriverFileSource {
  public:
    bool readVersionStrings(const std::string& path, VersionStrings* out) override;
    bool fileExists(const std::string& path) override;
};

// Reads the version texts of a file (GetFileVersionInfo/VerQueryValue).
bool readVersionStrings(const std::string& path, VersionStrings* out);

// All of them together, as the program wires them in.
struct WinCodecSystem {
    WinDirectShowSource directShow;
    WinVfwSource vfw;
    WinAcmSource acm;
    WinDmoSource dmo;
    WinRegistrySource registry;
    WinDriverFileSource files;
    WinMftSource mft;
    WinRegistrySource otherRegistry{otherArchitectureView()};
    CodecSources sources() {
        CodecSources s;
        s.directShow = &directShow;
        s.vfw = &vfw;
        s.acm = &acm;
        s.dmo = &dmo;
        s.registry = &registry;
        s.files = &files;
        s.mft = &mft;
        s.otherRegistry = otherArchitectureView() != 0 ? &otherRegistry : nullptr;
        s.ownBits = ownArchitectureBits();
        s.systemDir = systemFolder();
        s.otherSystemDir = otherSystemFolder();
        return s;
    }
};

} // namespace tavro
