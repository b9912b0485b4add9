// The last steps of a file's analysis in the window: the render test, then the
// Media Foundation test beside it. A command posted before both end would be
// handled while a step waits for its worker.
#pragma once
#include <windows.h>

#include <string>

#include "gui_harness.h"
#include "resource.h"

namespace guitest {

inline bool playTestsEnded(HWND window) {
    const std::string render = controlText(window, IDC_RENDER_STATUS);
    const std::string mf = controlText(window, IDC_MF_PLAY_STATUS);
    return !render.empty() && render != "processing..." && render != "Rendering..." &&
           !mf.empty() && mf != "Opening through Media Foundation...";
}

inline bool waitForPlayTests(HWND window, DWORD timeoutMs) {
    return waitUntil([&] { return playTestsEnded(window); }, timeoutMs);
}

} // namespace guitest
