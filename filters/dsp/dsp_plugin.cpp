#include "filters/dsp/dsp_plugin.h"

#include <string.h>

#include "filters/interfaces/dsp_host_control.h"

int DspPlugin::Load(const char* path) {
    if (!path) return 1;
    HMODULE library = LoadLibraryA(path);
    if (!library) return 1;
    auto entry = reinterpret_cast<WinampDspGetHeaderFn>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, WINAMP_DSP_ENTRY_NAME)));
    WinampDspHeader* header = entry ? entry() : nullptr;
    if (!header) {
        // A failed load leaves the plug-in that was there.
        FreeLibrary(library);
        return 1;
    }
    // The new one replaces the old: never leave the old DLL behind. Loading the
    // same file again keeps it mapped, as the new reference is taken first.
    Unload();
    m_library = library;
    m_header = header;
    return 0;
}

int DspPlugin::Open(int index, char* description, HWND parent) {
    if (!m_header || !m_header->getModule) return 1;
    WinampDspModule* module = m_header->getModule(index);
    if (!module) return 1;
    Close();
    if (description) {
        const char* text = module->description ? module->description : "";
        strncpy(description, text, DSP_DESCRIPTION_MAX - 1);
        description[DSP_DESCRIPTION_MAX - 1] = 0;
    }
    module->hwndParent = parent;
    module->hDllInstance = m_library;
    m_module = module;
    m_active = false;
    if (!module->Init || module->Init(module) != 0) return 1;
    m_active = true;
    return 0;
}

int DspPlugin::Configure() {
    if (!m_module || !m_module->Config) return 1;
    m_module->Config(m_module);
    return 0;
}

int DspPlugin::Close() {
    if (!m_module) return 1;
    // Quit runs once per successful Init.
    if (m_active && m_module->Quit) m_module->Quit(m_module);
    m_active = false;
    return 0;
}

int DspPlugin::Unload() {
    if (!m_library) return 1;
    Close();
    m_module = nullptr;
    m_header = nullptr;
    FreeLibrary(m_library);
    m_library = nullptr;
    return 0;
}

size_t DspPlugin::Process(BYTE* data, size_t bytes, size_t capacity, const dsp::PcmFormat& format) {
    size_t frameBytes = format.frameBytes();
    size_t frames = dsp::framesIn(bytes, format);
    if (!ModuleActive() || !m_module->ModifySamples || !data || frames == 0) return bytes;
    size_t used = frames * frameBytes;
    size_t capacityFrames = dsp::framesIn(capacity, format);
    BYTE* work = data;
    if (capacityFrames < 2 * frames) {
        if (m_scratch.size() < 2 * used) m_scratch.resize(2 * used);
        memcpy(m_scratch.data(), data, used);
        work = m_scratch.data();
    }
    int returned = m_module->ModifySamples(
        m_module, reinterpret_cast<short*>(work), static_cast<int>(frames),
        static_cast<int>(format.bitsPerSample), static_cast<int>(format.channels),
        static_cast<int>(format.samplesPerSec));
    size_t kept = dsp::clampFrames(returned, capacityFrames);
    if (work != data) memcpy(data, work, kept * frameBytes);
    return kept * frameBytes;
}
