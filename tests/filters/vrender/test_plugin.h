// What the test plug-in DLLs record, read back through their pluginLog export.
#pragma once
#include <windows.h>

struct PluginLog {
    int inits, deinits, processed, calls;
    int width, height, stride, code;
    void* lastFrame;
};

// The log of a loaded plug-in module; null when the module is not loaded.
inline PluginLog* pluginLogOf(const char* path) {
    HMODULE m = GetModuleHandleA(path);
    if (!m) return nullptr;
    auto fn =
        reinterpret_cast<PluginLog* (*)()>(reinterpret_cast<void*>(GetProcAddress(m, "pluginLog")));
    return fn ? fn() : nullptr;
}
