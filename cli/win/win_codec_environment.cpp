#include <objbase.h>
#include <windows.h>

#include "app/ui/settings_io.h"
#include "app/win/registry_settings_store.h"
#include "cli/codec_environment.h"
#include "codecs/win/win_codec_sources.h"
#include "render/win/dshow_graph_builder.h"
#include "render/win/mf_player.h"

namespace tavro {
namespace {

// COM stays initialised for as long as the sources may be asked.
class WinCodecEnvironment : public CodecEnvironment {
  public:
    WinCodecEnvironment() : comReady_(SUCCEEDED(CoInitialize(nullptr))) {
        RegistrySettingsStore store;
        settings = loadSettings(store);
        sources_ = system_.sources();
        if (comReady_) {
            services.sources = &sources_;
            graphBuilder = &graphs_;
            mfPlayer_ = std::make_unique<WinMfPlayer>();
            mfPlayer = mfPlayer_.get();
        }
    }
    ~WinCodecEnvironment() override {
        services.inventories.discard(); // release COM-backed data before COM goes
        mfPlayer = nullptr;
        mfPlayer_.reset(); // Media Foundation shuts down before COM goes too
        if (comReady_) CoUninitialize();
    }

  private:
    bool comReady_;
    WinCodecSystem system_;
    CodecSources sources_;
    DirectShowGraphBuilder graphs_;
    std::unique_ptr<WinMfPlayer> mfPlayer_;
};

} // namespace

std::unique_ptr<CodecEnvironment> makeCodecEnvironment() {
    return std::make_unique<WinCodecEnvironment>();
}

} // namespace tavro
