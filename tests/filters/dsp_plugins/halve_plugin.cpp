// A DSP plug-in with one module that halves the volume of 8- and 16-bit PCM.
#include "filters/dsp/winamp_dsp.h"

namespace {

void __cdecl config(WinampDspModule*) {}
int __cdecl init(WinampDspModule*) {
    return 0;
}
void __cdecl quit(WinampDspModule*) {}

int __cdecl modify(WinampDspModule*, short* samples, int count, int bits, int channels, int) {
    int values = count * channels;
    if (bits == 16) {
        for (int i = 0; i < values; ++i)
            samples[i] = static_cast<short>(samples[i] / 2);
    } else {
        auto* bytes = reinterpret_cast<unsigned char*>(samples);
        for (int i = 0; i < values; ++i)
            bytes[i] = static_cast<unsigned char>(128 + (bytes[i] - 128) / 2);
    }
    return count;
}

char g_name[] = "Half volume";
WinampDspModule g_module = {g_name, nullptr, nullptr, config, init, modify, quit, nullptr};

WinampDspModule* __cdecl getModule(int index) {
    return index == 0 ? &g_module : nullptr;
}

char g_title[] = "Tavro test: halve";
WinampDspHeader g_header = {0x20, g_title, getModule};

} // namespace

extern "C" __declspec(dllexport) WinampDspHeader* __cdecl winampDSPGetHeader2() {
    return &g_header;
}
