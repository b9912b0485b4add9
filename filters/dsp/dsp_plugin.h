// One filter's Winamp DSP plug-in: the loaded DLL, its header and the module that
// is open. Each filter instance owns its own, so instances never call into a DLL
// another one has freed. The owner serialises every call (its streaming lock).
#pragma once
#include <windows.h>

#include <vector>

#include "filters/dsp/pcm_format.h"
#include "filters/dsp/winamp_dsp.h"

class DspPlugin {
  public:
    DspPlugin() = default;
    ~DspPlugin() { Unload(); }
    DspPlugin(const DspPlugin&) = delete;
    DspPlugin& operator=(const DspPlugin&) = delete;

    // One IDspHostControl::PluginCommand, setting the host's mode as it goes.
    int Command(int command, char* text, int moduleIndex, HWND parent, volatile LONG* mode);

    // Each returns 0 on success and 1 when it cannot be carried out.
    int Load(const char* path);
    // Opens module 'index' (closing one that is open), copies its description
    // into 'description' (DSP_DESCRIPTION_MAX bytes at most) and runs its Init.
    int Open(int index, char* description, HWND parent);
    int Configure();
    // Quits the open module; the DLL stays loaded.
    int Close();
    // Quits the open module and frees the DLL.
    int Unload();

    bool ModuleActive() const { return m_module != nullptr && m_active; }

    // Runs the open module over 'bytes' of audio at 'data', in a buffer of
    // 'capacity' bytes (see dsp::runModule). Returns the bytes it now holds.
    size_t Process(BYTE* data, size_t bytes, size_t capacity, const dsp::PcmFormat& format);

  private:
    HMODULE m_library = nullptr;
    WinampDspHeader* m_header = nullptr;
    WinampDspModule* m_module = nullptr;
    bool m_active = false; // Init succeeded and Quit has not run
    std::vector<uint8_t> m_scratch;
};
