// The Media Foundation test off the window's thread, as the render test runs: a
// media source or decoder can take long or hang, and the window must stay painted
// and answer ESC meanwhile. The player is made, used and released on the worker.
#pragma once
#include <functional>
#include <memory>

#include "app/win/background_render.h"
#include "render/mf_play.h"

namespace tavro {

class BackgroundMfPlayer : public MfPlayer, public BackgroundWorker {
  public:
    using Factory = std::function<std::unique_ptr<MfPlayer>()>;
    explicit BackgroundMfPlayer(Factory make) : make_(std::move(make)) {}

    // A cancelled test answers kRenderCancelled at the Cancelled stage, with no
    // streams; its worker releases what it opened whenever Media Foundation returns.
    int32_t describeFile(const std::string& path, size_t maxStreams,
                         MfPlayDescription* out) override;

  private:
    Factory make_;
};

} // namespace tavro
