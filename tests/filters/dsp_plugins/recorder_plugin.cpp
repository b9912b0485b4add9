// A DSP plug-in that records every call its modules get. Module 0 leaves the
// audio as it is; module 1 fails its Init; there is no module 2. Module 0's
// description is longer than any host buffer.
#include "recorder_plugin.h"

#include "filters/dsp/winamp_dsp.h"

namespace {

RecorderLog g_log;

void note(int what) {
    if (g_log.orderLength < 16) g_log.order[g_log.orderLength++] = what;
}

void __cdecl config(WinampDspModule*) {
    ++g_log.configs;
    note('C');
}
int __cdecl init(WinampDspModule* self) {
    ++g_log.inits;
    g_log.parent = self->hwndParent;
    g_log.instance = self->hDllInstance;
    note('I');
    return 0;
}
int __cdecl failInit(WinampDspModule*) {
    ++g_log.inits;
    return 1;
}
void __cdecl quit(WinampDspModule*) {
    ++g_log.quits;
    note('Q');
}
int __cdecl modify(WinampDspModule*, short* samples, int count, int bits, int channels, int rate) {
    if (g_log.calls == 0) note('M');
    ++g_log.calls;
    g_log.lastCount = count;
    g_log.lastBits = bits;
    g_log.lastChannels = channels;
    g_log.lastRate = rate;
    g_log.lastFirstByte = *reinterpret_cast<unsigned char*>(samples);
    return count;
}

char g_longName[600];
char g_failName[] = "Fails to start";
WinampDspModule g_modules[2] = {
    {g_longName, nullptr, nullptr, config, init, modify, quit, nullptr},
    {g_failName, nullptr, nullptr, config, failInit, modify, quit, nullptr},
};

WinampDspModule* __cdecl getModule(int index) {
    if (!g_longName[0]) {
        for (int i = 0; i < 599; ++i)
            g_longName[i] = static_cast<char>('a' + i % 26);
    }
    return index >= 0 && index < 2 ? &g_modules[index] : nullptr;
}

char g_title[] = "Tavro test: recorder";
WinampDspHeader g_header = {0x20, g_title, getModule};

} // namespace

extern "C" __declspec(dllexport) WinampDspHeader* __cdecl winampDSPGetHeader2() {
    return &g_header;
}

extern "C" __declspec(dllexport) RecorderLog* __cdecl recorderLog() {
    return &g_log;
}
