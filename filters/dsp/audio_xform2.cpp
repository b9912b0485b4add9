#include "filters/dsp/audio_xform2.h"

#include <string.h>
#include <vfwmsgs.h>

#include <new>

#include "filters/dsp/dsp_input_type.h"

CUnknown* AudioXform2Filter::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) AudioXform2Filter(outer, hr);
}

AudioXform2Filter::AudioXform2Filter(IUnknown* outer, HRESULT*)
    : CTransformFilter(L"Nerro Audio xform2", outer, CLSID_NerroAudioXform2) {}

AudioXform2Filter::~AudioXform2Filter() {
    m_plugin.Unload();
}

STDMETHODIMP AudioXform2Filter::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IDspHostControl))
        return GetInterface(static_cast<IDspHostControl*>(this), object);
    return CTransformFilter::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP AudioXform2Filter::SetVisCallback(IDspVisCallback*) {
    return S_OK; // no visualisation here
}

STDMETHODIMP AudioXform2Filter::GetVersion(DWORD* version) {
    CheckPointer(version, E_POINTER);
    *version = 0x10055;
    return S_OK;
}

STDMETHODIMP AudioXform2Filter::SetMode(int mode) {
    CAutoLock lock(&m_csReceive);
    InterlockedExchange(&m_mode, mode);
    return S_OK;
}

STDMETHODIMP AudioXform2Filter::PluginCommand(int command, char* text, int moduleIndex,
                                              HWND parent) {
    CAutoLock lock(&m_csReceive);
    return m_plugin.Command(command, text, moduleIndex, parent, &m_mode);
}

HRESULT AudioXform2Filter::CheckInputType(const CMediaType* type) {
    return CheckDspInputType(type, nullptr);
}

HRESULT AudioXform2Filter::CheckTransform(const CMediaType* in, const CMediaType*) {
    return CheckDspInputType(in, nullptr);
}

HRESULT AudioXform2Filter::GetMediaType(int position, CMediaType* type) {
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    return type->Set(m_pInput->CurrentMediaType());
}

HRESULT AudioXform2Filter::DecideBufferSize(IMemAllocator* allocator,
                                            ALLOCATOR_PROPERTIES* request) {
    if (!m_pInput || !m_pInput->IsConnected()) return E_UNEXPECTED;
    IMemAllocator* upstream = m_pInput->PeekAllocator();
    if (!upstream) return E_UNEXPECTED;
    ALLOCATOR_PROPERTIES input;
    HRESULT hr = upstream->GetProperties(&input);
    if (FAILED(hr)) return hr;
    if (input.cbBuffer <= 0 || input.cbBuffer > 0x3fffffff) return E_FAIL;
    request->cBuffers = 1;
    request->cbAlign = 1;
    request->cbBuffer = 2 * input.cbBuffer;
    ALLOCATOR_PROPERTIES actual;
    hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    if (actual.cBuffers < request->cBuffers || actual.cbBuffer < request->cbBuffer) return E_FAIL;
    return S_OK;
}

HRESULT AudioXform2Filter::SetMediaType(PIN_DIRECTION direction, const CMediaType* type) {
    // The format is recorded once a type is set, never while one is only probed.
    if (direction == PINDIR_INPUT) {
        dsp::PcmFormat format;
        if (CheckDspInputType(type, &format) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
        m_format = format;
    }
    return S_OK;
}

HRESULT AudioXform2Filter::Transform(IMediaSample* in, IMediaSample* out) {
    BYTE* from = nullptr;
    BYTE* to = nullptr;
    if (FAILED(in->GetPointer(&from)) || FAILED(out->GetPointer(&to)) || !from || !to)
        return E_UNEXPECTED;
    LONG length = in->GetActualDataLength();
    LONG capacity = out->GetSize();
    if (length < 0) length = 0;
    if (length > in->GetSize()) length = in->GetSize();
    // Outside the module mode the audio passes through unchanged.
    if (length > capacity) length = capacity;
    memcpy(to, from, static_cast<size_t>(length));
    AM_MEDIA_TYPE* type = nullptr;
    if (in->GetMediaType(&type) == S_OK && type) {
        out->SetMediaType(type);
        DeleteMediaType(type);
    }
    LONG result = length;
    if (m_mode == kDspModeModule && in->IsPreroll() != S_OK && in->IsDiscontinuity() != S_OK)
        result = static_cast<LONG>(m_plugin.Process(to, static_cast<size_t>(length),
                                                    static_cast<size_t>(capacity), m_format));
    out->SetActualDataLength(result);
    return S_OK;
}
