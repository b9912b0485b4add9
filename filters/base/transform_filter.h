// CTransformFilter: one input and one output pin; each input sample becomes one
// output sample from the output pin's allocator. CTransformInputPin and
// CTransformOutputPin hand every decision to the filter.
//
// Locks: m_csFilter for state and connection, m_csReceive for the streaming
// path; Stop deactivates the pins first so a Receive blocked in GetBuffer returns,
// then takes m_csReceive before StopStreaming.
#pragma once
#include "filters/base/base_filter.h"
#include "filters/base/base_input_pin.h"
#include "filters/base/base_output_pin.h"
#include "filters/base/pos_passthru.h"

class CTransformFilter;

class CTransformInputPin : public CBaseInputPin {
  public:
    CTransformInputPin(const wchar_t* objectName, CTransformFilter* filter, HRESULT* hr,
                       const wchar_t* pinName);

    STDMETHODIMP Receive(IMediaSample* sample) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;

  protected:
    CTransformFilter* m_pTransformFilter;
};

class CTransformOutputPin : public CBaseOutputPin {
  public:
    CTransformOutputPin(const wchar_t* objectName, CTransformFilter* filter, HRESULT* hr,
                        const wchar_t* pinName);
    ~CTransformOutputPin() override;

    // IMediaSeeking and IMediaPosition pass through to the pin upstream of the input.
    STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** object) override;

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT CheckMediaType(const CMediaType* type) override;
    HRESULT SetMediaType(const CMediaType* type) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    STDMETHODIMP Notify(IBaseFilter* sender, Quality q) override;

  protected:
    CTransformFilter* m_pTransformFilter;
    CPosPassThru* m_pPosition = nullptr;
};

class CTransformFilter : public CBaseFilter {
  public:
    CTransformFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid);
    ~CTransformFilter() override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;

    // What a transform decides.
    virtual HRESULT Transform(IMediaSample* in, IMediaSample* out);
    virtual HRESULT CheckInputType(const CMediaType* in) = 0;
    virtual HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) = 0;
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    virtual HRESULT GetMediaType(int position, CMediaType* type) = 0;

    virtual HRESULT StartStreaming() { return S_OK; }
    virtual HRESULT StopStreaming() { return S_OK; }
    virtual HRESULT CheckConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    virtual HRESULT BreakConnect(PIN_DIRECTION) { return S_OK; }
    virtual HRESULT CompleteConnect(PIN_DIRECTION, IPin*) { return S_OK; }
    virtual HRESULT SetMediaType(PIN_DIRECTION, const CMediaType*) { return S_OK; }
    virtual HRESULT AlterQuality(Quality) { return S_FALSE; }

    // The streaming path, called by the input pin after its checks.
    virtual HRESULT Receive(IMediaSample* sample);
    virtual HRESULT EndOfStream();
    virtual HRESULT BeginFlush();
    virtual HRESULT EndFlush();
    virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

    CCritSec* FilterLock() { return &m_csFilter; }
    CCritSec* ReceiveLock() { return &m_csReceive; }
    CTransformInputPin* InputPin() const { return m_pInput; }
    CTransformOutputPin* OutputPin() const { return m_pOutput; }

  protected:
    // An output sample carrying the input's times and flags.
    virtual HRESULT InitializeOutputSample(IMediaSample* in, IMediaSample** out);
    // Creates both pins (on first GetPin) under the names below.
    HRESULT CreatePins();
    // The kinds of pin CreatePins makes; a derived filter may make its own.
    virtual CTransformInputPin* NewInputPin(HRESULT* hr);
    virtual CTransformOutputPin* NewOutputPin(HRESULT* hr);
    // Delivers a transformed sample (S_OK), or takes a sample the transform
    // dropped (S_FALSE) so that the next one is marked as following a skip.
    HRESULT DeliverTransformed(HRESULT transformed, IMediaSample* out);

    // Pin names; a derived filter may set others in its constructor.
    const wchar_t* m_pInputPinName = L"XForm In";
    const wchar_t* m_pOutputPinName = L"XForm Out";
    CCritSec m_csFilter;
    CCritSec m_csReceive;
    CTransformInputPin* m_pInput = nullptr;
    CTransformOutputPin* m_pOutput = nullptr;
    BOOL m_bEOSDelivered = FALSE;
    BOOL m_bSampleSkipped = FALSE;
    BOOL m_bQualityChanged = FALSE;
};
