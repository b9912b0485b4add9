// CBaseInputPin: an input pin with IMemInputPin. Receive here only checks that the
// pin may take a sample now; derived pins do the work after calling it.
#pragma once
#include "filters/base/base_pin.h"

class CBaseInputPin : public CBasePin, public IMemInputPin {
  public:
    CBaseInputPin(const wchar_t* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* hr,
                  const wchar_t* pinName);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IMemInputPin
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
    STDMETHODIMP ReceiveCanBlock() override;

    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

    // S_OK when a sample may be taken: VFW_E_NOT_CONNECTED, VFW_E_WRONG_STATE when
    // stopped, S_FALSE while flushing, VFW_E_RUNTIME_ERROR after a stream error.
    virtual HRESULT CheckStreaming();
    BOOL IsFlushing() const { return m_bFlushing; }
    BOOL IsReadOnly() const { return m_bReadOnly; }
    IMemAllocator* PeekAllocator() const { return m_pAllocator; }

  protected:
    IMemAllocator* m_pAllocator = nullptr;
    BOOL m_bReadOnly = FALSE;
    volatile BOOL m_bFlushing = FALSE;
    BOOL m_bRunTimeError = FALSE;
};
