#include "filters/dsp/dsp_plugin.h"

#include <string.h>

#include "filters/interfaces/dsp_host_control.h"

int DspPlugin::Command(int command, char* text, int moduleIndex, HWND parent, volatile LONG* mode) {
    switch (command) {
    case kDspLoad:
        return Load(text);
    case kDspOpenModule:
        if (Open(moduleIndex, text, parent) != 0) return 1;
        InterlockedExchange(mode, kDspModeModule);
        return 0;
    case kDspConfigure:
        return Configure();
    case kDspCloseUnload:
        InterlockedExchange(mode, kDspModeClosed);
        return Unload();
    case kDspCloseKeepLoaded:
        InterlockedExchange(mode, kDspModeClosed);
        return Close();
    default:
        return 0;
    }
}

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
    if (!ModuleActive() || !m_module->ModifySamples) return bytes;
    WinampDspModule* module = m_module;
    return dsp::runModule(
        data, bytes, capacity, format, m_scratch, [&](uint8_t* samples, size_t frames) -> long {
            return module->ModifySamples(
                module, reinterpret_cast<short*>(samples), static_cast<int>(frames),
                static_cast<int>(format.bitsPerSample), static_cast<int>(format.channels),
                static_cast<int>(format.samplesPerSec));
        });
}
