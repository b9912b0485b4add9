#include "app/win/background_render.h"

#include <objbase.h>

#include <process.h>

#include <string>

namespace tavro {
namespace {

// What the worker and the window share; the worker keeps it alive when abandoned.
struct WorkerJob {
    std::function<void()> work;
    DWORD delayMs = 0;
    HANDLE done = nullptr;
    ~WorkerJob() {
        if (done) CloseHandle(done);
    }
};

unsigned __stdcall workerMain(void* argument) {
    // The worker's own reference: the job outlives a window that stopped waiting.
    std::unique_ptr<std::shared_ptr<WorkerJob>> held(
        static_cast<std::shared_ptr<WorkerJob>*>(argument));
    WorkerJob& job = **held;
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (job.delayMs) Sleep(job.delayMs);
    // What the work makes there is used and released on this thread, in its apartment.
    job.work();
    if (SUCCEEDED(com)) CoUninitialize();
    SetEvent(job.done);
    return 0;
}

bool isInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) ||
           message == WM_MOUSEWHEEL || message == WM_DROPFILES;
}

} // namespace

bool waitPumpingMessages(HANDLE done) {
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) return true;
        if (woke != WAIT_OBJECT_0 + 1) return WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop outside
                return false;
            }
            if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) return false;
            // The step under way must finish before another may start: no clicks,
            // keys, drops or batch ticks meanwhile. Painting and the rest go on.
            if (isInput(msg.message) || msg.message == WM_TIMER) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (WaitForSingleObject(done, 0) == WAIT_OBJECT_0) return true;
    }
}

int32_t BackgroundWorker::runOnWorker(std::function<void()> work) {
    auto job = std::make_shared<WorkerJob>();
    job->work = std::move(work);
    job->delayMs = delayMs_;
    job->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!job->done) return HRESULT_FROM_WIN32(GetLastError());
    auto* handOver = new std::shared_ptr<WorkerJob>(job);
    const uintptr_t thread = _beginthreadex(nullptr, 0, &workerMain, handOver, 0, nullptr);
    if (!thread) {
        delete handOver;
        return E_OUTOFMEMORY;
    }
    const bool finished = waitPumpingMessages(job->done);
    CloseHandle(reinterpret_cast<HANDLE>(thread)); // the worker ends by itself
    if (finished) return 0;
    if (onCancel_) onCancel_();
    return kRenderCancelled;
}

int32_t BackgroundGraphBuilder::renderFile(const std::string& path, size_t maxFilters,
                                           GraphDescription* graph, bool* managerCreated) {
    graph->filters.clear();
    *managerCreated = false;
    struct Result {
        GraphDescription graph;
        bool managerCreated = false;
        int32_t hr = E_NOTIMPL;
    };
    auto result = std::make_shared<Result>();
    const int32_t ran = runOnWorker([make = make_, result, path, maxFilters] {
        std::unique_ptr<GraphBuilder> builder = make ? make() : nullptr;
        if (builder)
            result->hr =
                builder->renderFile(path, maxFilters, &result->graph, &result->managerCreated);
    });
    if (ran != 0) return ran;
    *graph = std::move(result->graph);
    *managerCreated = result->managerCreated;
    return result->hr;
}

} // namespace tavro
