// The render test off the window's thread: DirectShow can take long or hang in a
// broken filter, and the window must stay painted and answer ESC meanwhile. Each
// test runs on a thread of its own, in its own COM apartment, where its graph is
// built and released; the window's thread waits for it pumping messages, with
// input held back (so no command can start another step mid-way) except ESC,
// which cancels the test.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "render/graph_description.h"
#include "render/render_test.h"

namespace tavro {

// What the window's background tests share: a test runs on a worker of its own
// while the window's thread waits; ESC cancels the wait.
class BackgroundWorker {
  public:
    // Called on the window's thread after ESC cancelled a test.
    void setOnCancel(std::function<void()> onCancel) { onCancel_ = std::move(onCancel); }
    // Waits this long on the worker before the test: a slow machine's stand-in for
    // tests of the waiting window. 0 by default.
    void setDelayForTests(DWORD ms) { delayMs_ = ms; }

  protected:
    // Runs `work` on a new thread inside its own COM apartment and waits for it.
    // Returns 0 when it finished, kRenderCancelled when ESC came first (the worker
    // then ends on its own, keeping `work` and what it holds until it does), or
    // the error that kept the thread from starting.
    int32_t runOnWorker(std::function<void()> work);

  private:
    std::function<void()> onCancel_;
    DWORD delayMs_ = 0;
};

class BackgroundGraphBuilder : public GraphBuilder, public BackgroundWorker {
  public:
    // `make` builds the platform's builder on the worker thread, inside its apartment.
    using Factory = std::function<std::unique_ptr<GraphBuilder>()>;
    explicit BackgroundGraphBuilder(Factory make) : make_(std::move(make)) {}

    // Runs the test on a worker and waits for it; a cancelled test answers
    // kRenderCancelled with nothing described, and its worker releases its own
    // graph whenever DirectShow returns.
    int32_t renderFile(const std::string& path, size_t maxFilters, GraphDescription* graph,
                       bool* managerCreated) override;

  private:
    Factory make_;
};

// Waits for `done` while dispatching the thread's messages; input is dropped
// except ESC. False when ESC was pressed (or the program is quitting) first.
bool waitPumpingMessages(HANDLE done);

} // namespace tavro
