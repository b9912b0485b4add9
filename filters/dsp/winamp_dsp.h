// The Winamp DSP plug-in interface, as far as the hosts use it. A plug-in DLL
// exports winampDSPGetHeader2, which returns its header; the header hands out
// modules by index. Every function is cdecl. Layouts are the plug-ins' own and
// must not change.
#pragma once
#include <windows.h>

struct WinampDspModule {
    char* description;
    HWND hwndParent;        // set by the host before Init
    HINSTANCE hDllInstance; // set by the host before Init
    void(__cdecl* Config)(WinampDspModule* self);
    int(__cdecl* Init)(WinampDspModule* self); // 0 on success
    // Works on 'samples' frames of interleaved PCM where they lie and returns the
    // frames it leaves there: up to twice as many as it was given.
    int(__cdecl* ModifySamples)(WinampDspModule* self, short* samples, int samples_count, int bits,
                                int channels, int rate);
    void(__cdecl* Quit)(WinampDspModule* self);
    void* userData;
};

struct WinampDspHeader {
    int version; // 0x20
    char* description;
    WinampDspModule*(__cdecl* getModule)(int index); // null past the last module
};

using WinampDspGetHeaderFn = WinampDspHeader*(__cdecl*)();

// The export a plug-in DLL must have.
#define WINAMP_DSP_ENTRY_NAME "winampDSPGetHeader2"
