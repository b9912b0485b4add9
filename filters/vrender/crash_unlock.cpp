#include "filters/vrender/crash_unlock.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "filters/vrender/video_renderer.h"

namespace nerrorend {
namespace CrashUnlock {

namespace {

// The code a renderer's own guarded section raises to be resumed after unlocking.
constexpr DWORD kResumeCode = 1;

CRITICAL_SECTION* registryLock() {
    static CRITICAL_SECTION cs;
    static const bool ready = (InitializeCriticalSection(&cs), true);
    (void)ready;
    return &cs;
}

std::vector<VideoRendererFilter*>& renderers() {
    static std::vector<VideoRendererFilter*> list;
    return list;
}

LPTOP_LEVEL_EXCEPTION_FILTER previous = nullptr;
bool installed = false;

LONG WINAPI unlockOnCrash(EXCEPTION_POINTERS* info) {
    // No lock: the crashing thread may hold it, and the list only changes when
    // renderers come and go.
    for (VideoRendererFilter* r : renderers())
        r->CrashUnlockSurface();
    if (info && info->ExceptionRecord && info->ExceptionRecord->ExceptionCode == kResumeCode)
        return EXCEPTION_CONTINUE_EXECUTION;
    return previous ? previous(info) : EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

void add(VideoRendererFilter* renderer) {
    EnterCriticalSection(registryLock());
    renderers().push_back(renderer);
    if (!installed) {
        previous = SetUnhandledExceptionFilter(unlockOnCrash);
        installed = true;
    }
    LeaveCriticalSection(registryLock());
}

void remove(VideoRendererFilter* renderer) {
    EnterCriticalSection(registryLock());
    auto& list = renderers();
    list.erase(std::remove(list.begin(), list.end(), renderer), list.end());
    if (list.empty() && installed) {
        SetUnhandledExceptionFilter(previous);
        previous = nullptr;
        installed = false;
    }
    LeaveCriticalSection(registryLock());
}

} // namespace CrashUnlock
} // namespace nerrorend
