// CEnumMediaTypes: IEnumMediaTypes over a pin's GetMediaType positions.
#pragma once
#include <strmif.h>

class CBasePin;

class CEnumMediaTypes : public IEnumMediaTypes {
  public:
    CEnumMediaTypes(CBasePin* pin, CEnumMediaTypes* from);
    virtual ~CEnumMediaTypes();
    CEnumMediaTypes(const CEnumMediaTypes&) = delete;
    CEnumMediaTypes& operator=(const CEnumMediaTypes&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumMediaTypes** clone) override;

  private:
    bool OutOfSync() const;
    CBasePin* m_pPin;
    int m_Position;
    int m_Version;
    volatile LONG m_cRef = 1;
};
