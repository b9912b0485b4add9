/* A post-processing plug-in for the renderer's tests: it counts its calls, keeps
   the arguments, and marks the first byte of every frame it is handed.
   Built twice: once complete, once (NO_PROCESS_DATA) without processData. */
#include <windows.h>

struct PluginLog {
    int inits, deinits, processed, calls;
    int width, height, stride, code;
    void* lastFrame;
};

static struct PluginLog log_;

__declspec(dllexport) struct PluginLog* pluginLog(void) {
    return &log_;
}

__declspec(dllexport) void Init(int width, int height, int stride, int code) {
    ++log_.inits;
    log_.width = width;
    log_.height = height;
    log_.stride = stride;
    log_.code = code;
}

__declspec(dllexport) void Deinit(void) {
    ++log_.deinits;
}

#ifndef NO_PROCESS_DATA
__declspec(dllexport) void processData(unsigned char* frame) {
    ++log_.processed;
    log_.lastFrame = frame;
    frame[0] = 0x5a;
}
#endif

__declspec(dllexport) int pgCall(int a, int b) {
    ++log_.calls;
    return a * 100 + b;
}
