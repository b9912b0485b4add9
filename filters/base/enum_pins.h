// CEnumPins: IEnumPins over a filter's GetPin; out of sync once the pins change.
#pragma once
#include <strmif.h>

class CBaseFilter;

class CEnumPins : public IEnumPins {
  public:
    CEnumPins(CBaseFilter* filter, CEnumPins* from);
    virtual ~CEnumPins();
    CEnumPins(const CEnumPins&) = delete;
    CEnumPins& operator=(const CEnumPins&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Next(ULONG count, IPin** pins, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumPins** clone) override;

  private:
    bool OutOfSync() const;
    CBaseFilter* m_pFilter;
    int m_Position;
    int m_Version;
    volatile LONG m_cRef = 1;
};
