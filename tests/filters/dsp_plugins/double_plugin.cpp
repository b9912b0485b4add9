// A DSP plug-in with one module that plays every frame twice, returning twice the
// frames it was given: the most the plug-in contract allows.
#include <string.h>

#include "filters/dsp/winamp_dsp.h"

namespace {

void __cdecl config(WinampDspModule*) {}
int __cdecl init(WinampDspModule*) {
    return 0;
}
void __cdecl quit(WinampDspModule*) {}

int __cdecl modify(WinampDspModule*, short* samples, int count, int bits, int channels, int) {
    int frame = channels * (bits / 8);
    auto* bytes = reinterpret_cast<unsigned char*>(samples);
    // From the end backwards, so no frame is overwritten before it is copied.
    for (int i = count - 1; i >= 0; --i) {
        memmove(bytes + (2 * i + 1) * frame, bytes + i * frame, frame);
        memmove(bytes + 2 * i * frame, bytes + i * frame, frame);
    }
    return 2 * count;
}

char g_name[] = "Double length";
WinampDspModule g_module = {g_name, nullptr, nullptr, config, init, modify, quit, nullptr};

WinampDspModule* __cdecl getModule(int index) {
    return index == 0 ? &g_module : nullptr;
}

char g_title[] = "Tavro test: double";
WinampDspHeader g_header = {0x20, g_title, getModule};

} // namespace

extern "C" __declspec(dllexport) WinampDspHeader* __cdecl winampDSPGetHeader2() {
    return &g_header;
}
