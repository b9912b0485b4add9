// CBaseFilter: IBaseFilter's state machine, clock and graph membership. Derived
// filters supply their pins through GetPinCount/GetPin and share one filter lock
// with them.
#pragma once
#include <strmif.h>

#include "filters/base/critsec.h"
#include "filters/base/unknown.h"

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
  public:
    CBaseFilter(const wchar_t* name, IUnknown* outer, CCritSec* lock, REFCLSID clsid);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;

    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int n) = 0;

    // Posts an event to the graph (EC_COMPLETE carries this filter as its second
    // parameter); nothing happens outside a graph.
    HRESULT NotifyEvent(long code, LONG_PTR param1, LONG_PTR param2);
    // Stream time of the running graph: the clock's time minus the start time.
    HRESULT StreamTime(REFERENCE_TIME& time);

    BOOL IsActive();
    BOOL IsStopped();
    FILTER_STATE State() const { return m_State; }
    IFilterGraph* GetFilterGraph() const { return m_pGraph; }
    int GetPinVersion() const { return m_PinVersion; }
    void IncrementPinVersion() { InterlockedIncrement(&m_PinVersion); }

  protected:
    FILTER_STATE m_State = State_Stopped;
    IReferenceClock* m_pClock = nullptr;
    REFERENCE_TIME m_tStart = 0;
    CLSID m_clsid;
    CCritSec* m_pLock;
    // Neither is reference-counted: the graph owns the filter, not the other way.
    IFilterGraph* m_pGraph = nullptr;
    IMediaEventSink* m_pSink = nullptr;
    WCHAR m_Name[MAX_FILTER_NAME] = {};
    volatile LONG m_PinVersion = 1;
};
