// The Media Foundation play test's platform half: mfplat.dll, loaded at run
// time so systems without Media Foundation still run, opens a file through its
// source resolver and searches a decoder for each stream. Every object is
// released before describeFile returns.
#pragma once
#include <memory>

#include "render/mf_play.h"

namespace tavro {

class WinMfPlayer : public MfPlayer {
  public:
    WinMfPlayer();
    ~WinMfPlayer() override;
    WinMfPlayer(const WinMfPlayer&) = delete;
    WinMfPlayer& operator=(const WinMfPlayer&) = delete;

    int32_t describeFile(const std::string& path, size_t maxStreams,
                         MfPlayDescription* out) override;

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// COM references the adapter holds right now: zero between tests.
long heldMfReferences();
// What the media source's last Release returned: 0 when nothing else kept it.
unsigned long lastMfSourceFinalCount();

} // namespace tavro
