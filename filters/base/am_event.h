// A Win32 event owned by an object: manual or auto reset, waited on with a timeout.
#pragma once
#include <windows.h>

class CAMEvent {
  public:
    explicit CAMEvent(BOOL manualReset = FALSE)
        : event_(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}
    ~CAMEvent() {
        if (event_) CloseHandle(event_);
    }
    CAMEvent(const CAMEvent&) = delete;
    CAMEvent& operator=(const CAMEvent&) = delete;

    operator HANDLE() const { return event_; }
    void Set() { SetEvent(event_); }
    void Reset() { ResetEvent(event_); }
    // TRUE when the event was signalled within the timeout.
    BOOL Wait(DWORD timeout = INFINITE) {
        return WaitForSingleObject(event_, timeout) == WAIT_OBJECT_0;
    }
    BOOL Check() { return Wait(0); }

  private:
    HANDLE event_;
};
