// The post-processing DLL a client can hang into the renderer: it sees every frame
// before it is shown. Exports (cdecl): Init(width, height, stride, FormatCode),
// Deinit(), processData(frame) and, optionally, int pgCall(int, int).
#pragma once
#include <windows.h>

namespace nerrorend {

class ProcessingPlugin {
  public:
    ProcessingPlugin() = default;
    ~ProcessingPlugin() { unload(); }
    ProcessingPlugin(const ProcessingPlugin&) = delete;
    ProcessingPlugin& operator=(const ProcessingPlugin&) = delete;

    // Unloads any earlier plug-in first. E_FAIL when the DLL does not load or lacks
    // one of the three required exports (it is freed again then).
    HRESULT load(const char* path);
    // Deinit (when initialised) and FreeLibrary.
    void unload();
    bool loaded() const { return module_ != nullptr; }

    // Init with the geometry of the buffers processData will get; a second call
    // runs Deinit first, as after a reconnection.
    void init(int width, int height, int stride, int formatCode);
    void deinit();
    bool initialised() const { return initialised_; }
    void process(void* frame);
    // pgCall's result, or 0 without it.
    int call(int a, int b);

  private:
    using InitFn = void(__cdecl*)(int, int, int, int);
    using DeinitFn = void(__cdecl*)();
    using ProcessFn = void(__cdecl*)(void*);
    using CallFn = int(__cdecl*)(int, int);

    HMODULE module_ = nullptr;
    InitFn init_ = nullptr;
    DeinitFn deinit_ = nullptr;
    ProcessFn process_ = nullptr;
    CallFn call_ = nullptr;
    bool initialised_ = false;
};

} // namespace nerrorend
