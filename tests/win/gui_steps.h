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

// Presses ESC in the window and waits for the status link `id` to show the
// result of a cancelled test, in the data base's own words for the cancel code.
inline bool escapeCancels(HWND window, int id) {
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    const std::string cancelled = "0x800704c7: ERROR_CANCELLED - ";
    return waitUntil(
        [&] { return controlText(window, id).compare(0, cancelled.size(), cancelled) == 0; },
        10000);
}

} // namespace guitest
