// CPosPassThru: IMediaSeeking and IMediaPosition of a filter that does not seek
// itself, answered by the output pin upstream of its input pin. CRendererPosPassThru
// also remembers the time of the sample being rendered as the current position.
#pragma once
#include <control.h>
#include <new>
#include <strmif.h>

#include "filters/base/critsec.h"
#include "filters/base/unknown.h"

class CPosPassThru : public CUnknown, public IMediaSeeking, public IMediaPosition {
  public:
    CPosPassThru(const wchar_t* name, IUnknown* outer, HRESULT* hr, IPin* pin);
    ~CPosPassThru() override;

    DECLARE_IUNKNOWN
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    // IMediaSeeking
    STDMETHODIMP GetCapabilities(DWORD* caps) override;
    STDMETHODIMP CheckCapabilities(DWORD* caps) override;
    STDMETHODIMP IsFormatSupported(const GUID* format) override;
    STDMETHODIMP QueryPreferredFormat(GUID* format) override;
    STDMETHODIMP GetTimeFormat(GUID* format) override;
    STDMETHODIMP IsUsingTimeFormat(const GUID* format) override;
    STDMETHODIMP SetTimeFormat(const GUID* format) override;
    STDMETHODIMP GetDuration(LONGLONG* duration) override;
    STDMETHODIMP GetStopPosition(LONGLONG* stop) override;
    STDMETHODIMP GetCurrentPosition(LONGLONG* current) override;
    STDMETHODIMP ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                   const GUID* sourceFormat) override;
    STDMETHODIMP SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                              DWORD stopFlags) override;
    STDMETHODIMP GetPositions(LONGLONG* current, LONGLONG* stop) override;
    STDMETHODIMP GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    STDMETHODIMP SetRate(double rate) override;
    STDMETHODIMP GetRate(double* rate) override;
    STDMETHODIMP GetPreroll(LONGLONG* preroll) override;

    // IDispatch: no type library behind it.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override;
    // IMediaPosition
    STDMETHODIMP get_Duration(REFTIME* length) override;
    STDMETHODIMP put_CurrentPosition(REFTIME time) override;
    STDMETHODIMP get_CurrentPosition(REFTIME* time) override;
    STDMETHODIMP get_StopTime(REFTIME* time) override;
    STDMETHODIMP put_StopTime(REFTIME time) override;
    STDMETHODIMP get_PrerollTime(REFTIME* time) override;
    STDMETHODIMP put_PrerollTime(REFTIME time) override;
    STDMETHODIMP put_Rate(double rate) override;
    STDMETHODIMP get_Rate(double* rate) override;
    STDMETHODIMP CanSeekForward(LONG* can) override;
    STDMETHODIMP CanSeekBackward(LONG* can) override;

  protected:
    // The upstream pin's interface, with a reference; VFW_E_NOT_CONNECTED without.
    HRESULT GetPeerSeeking(IMediaSeeking** seeking);
    HRESULT GetPeerPosition(IMediaPosition** position);
    // The current position when this object knows it better than upstream.
    virtual HRESULT GetMediaTime(LONGLONG*, LONGLONG*) { return E_FAIL; }

  private:
    IPin* m_pPin;
};

class CRendererPosPassThru : public CPosPassThru {
  public:
    CRendererPosPassThru(const wchar_t* name, IUnknown* outer, HRESULT* hr, IPin* pin);

    // Called by the renderer for each sample it renders, and at end of stream.
    HRESULT RegisterMediaTime(IMediaSample* sample);
    HRESULT RegisterMediaTime(LONGLONG start, LONGLONG stop);
    HRESULT ResetMediaTime();
    HRESULT EOS();

  protected:
    HRESULT GetMediaTime(LONGLONG* start, LONGLONG* stop) override;

  private:
    CCritSec m_PositionLock;
    LONGLONG m_StartMedia = 0;
    LONGLONG m_EndMedia = 0;
    BOOL m_bReset = TRUE;
};

// Makes the pass-through behind `slot` on first use (seeking is asked for lazily, and
// most graphs never ask); the slot is left empty when the object cannot be made.
template <class PassThru>
HRESULT CreatePosPassThruOnce(PassThru*& slot, const wchar_t* name, IUnknown* outer, IPin* pin) {
    if (slot) return S_OK;
    if (!pin) return E_UNEXPECTED;
    HRESULT hr = S_OK;
    PassThru* made = new (std::nothrow) PassThru(name, outer, &hr, pin);
    if (!made) return E_OUTOFMEMORY;
    if (FAILED(hr)) {
        delete made;
        return hr;
    }
    slot = made;
    return S_OK;
}
