// Critical section and scoped lock used by every filter, pin and allocator.
#pragma once
#include <windows.h>

class CCritSec {
  public:
    CCritSec() { InitializeCriticalSection(&cs_); }
    ~CCritSec() { DeleteCriticalSection(&cs_); }
    CCritSec(const CCritSec&) = delete;
    CCritSec& operator=(const CCritSec&) = delete;
    void Lock() { EnterCriticalSection(&cs_); }
    void Unlock() { LeaveCriticalSection(&cs_); }

  private:
    CRITICAL_SECTION cs_;
};

class CAutoLock {
  public:
    explicit CAutoLock(CCritSec* lock) : lock_(lock) { lock_->Lock(); }
    ~CAutoLock() { lock_->Unlock(); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

  private:
    CCritSec* lock_;
};
