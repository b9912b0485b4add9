#include "filters/vrender/processing_plugin.h"

namespace nerrorend {

namespace {

template <class F> F resolve(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

} // namespace

HRESULT ProcessingPlugin::load(const char* path) {
    unload();
    if (!path) return E_POINTER;
    HMODULE module = LoadLibraryA(path);
    if (!module) return E_FAIL;
    InitFn init = resolve<InitFn>(module, "Init");
    DeinitFn deinit = resolve<DeinitFn>(module, "Deinit");
    ProcessFn process = resolve<ProcessFn>(module, "processData");
    if (!init || !deinit || !process) {
        FreeLibrary(module);
        return E_FAIL;
    }
    module_ = module;
    init_ = init;
    deinit_ = deinit;
    process_ = process;
    call_ = resolve<CallFn>(module, "pgCall");
    return S_OK;
}

void ProcessingPlugin::unload() {
    if (!module_) return;
    deinit();
    FreeLibrary(module_);
    module_ = nullptr;
    init_ = nullptr;
    deinit_ = nullptr;
    process_ = nullptr;
    call_ = nullptr;
}

void ProcessingPlugin::init(int width, int height, int stride, int formatCode) {
    if (!module_) return;
    deinit();
    init_(width, height, stride, formatCode);
    initialised_ = true;
}

void ProcessingPlugin::deinit() {
    if (!initialised_) return;
    initialised_ = false;
    deinit_();
}

void ProcessingPlugin::process(void* frame) {
    if (initialised_ && frame) process_(frame);
}

int ProcessingPlugin::call(int a, int b) {
    return module_ && call_ ? call_(a, b) : 0;
}

} // namespace nerrorend
