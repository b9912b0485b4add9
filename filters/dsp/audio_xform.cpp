#include "filters/dsp/audio_xform.h"

#include <vfwmsgs.h>

#include <new>

#include "filters/dsp/dsp_input_type.h"

CUnknown* AudioXformFilter::CreateInstance(IUnknown* outer, HRESULT* hr) {
    return new (std::nothrow) AudioXformFilter(outer, hr);
}

AudioXformFilter::AudioXformFilter(IUnknown* outer, HRESULT* hr)
    : CTransInPlaceFilter(L"Nerro Audio xform", outer, CLSID_NerroAudioXform, hr) {
    m_pInputPinName = L"Input";
    m_pOutputPinName = L"Output";
}

AudioXformFilter::~AudioXformFilter() {
    // The worker goes first: it runs our code and calls the client.
    StopWorker();
    m_plugin.Unload();
}

STDMETHODIMP AudioXformFilter::NonDelegatingQueryInterface(REFIID riid, void** object) {
    if (IsEqualIID(riid, IID_IDspHostControl))
        return GetInterface(static_cast<IDspHostControl*>(this), object);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, object);
}

STDMETHODIMP AudioXformFilter::SetVisCallback(IDspVisCallback* callback) {
    CAutoLock lock(&m_csVis);
    m_pCallback = callback;
    return S_OK;
}

STDMETHODIMP AudioXformFilter::GetVersion(DWORD* version) {
    CheckPointer(version, E_POINTER);
    *version = 0x10055;
    return S_OK;
}

STDMETHODIMP AudioXformFilter::SetMode(int mode) {
    CAutoLock lock(&m_csReceive);
    if (mode == kDspModeVisualise) {
        // The client sets its callback after this call.
        {
            CAutoLock visLock(&m_csVis);
            m_pCallback = nullptr;
        }
        if (!StartWorker()) return E_OUTOFMEMORY;
    }
    InterlockedExchange(&m_mode, mode);
    return S_OK;
}

STDMETHODIMP AudioXformFilter::PluginCommand(int command, char* text, int moduleIndex,
                                             HWND parent) {
    CAutoLock lock(&m_csReceive);
    return m_plugin.Command(command, text, moduleIndex, parent, &m_mode);
}

HRESULT AudioXformFilter::CheckInputType(const CMediaType* type) {
    // Only checked here: a probe must not change the recorded format.
    return CheckDspInputType(type, nullptr);
}

HRESULT AudioXformFilter::SetMediaType(PIN_DIRECTION direction, const CMediaType* type) {
    if (direction != PINDIR_INPUT) return S_OK;
    dsp::PcmFormat format;
    if (CheckDspInputType(type, &format) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
    m_format = format;
    CAutoLock lock(&m_csVis);
    m_vis.reset(format);
    return S_OK;
}

HRESULT AudioXformFilter::CompleteConnect(PIN_DIRECTION direction, IPin*) {
    if (direction == PINDIR_INPUT) {
        CAutoLock lock(&m_csVis);
        m_vis.reset(m_format);
    }
    return S_OK;
}

HRESULT AudioXformFilter::Transform(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return S_OK;
    LONG length = sample->GetActualDataLength();
    LONG size = sample->GetSize();
    if (length <= 0) return S_OK;
    if (length > size) length = size;
    switch (m_mode) {
    case kDspModeModule:
        if (sample->IsPreroll() == S_OK || sample->IsDiscontinuity() == S_OK) break;
        // The length stays: nothing longer than the upstream sample goes on.
        m_plugin.Process(data, static_cast<size_t>(length), static_cast<size_t>(size), m_format);
        break;
    case kDspModeVisualise: {
        {
            CAutoLock lock(&m_csVis);
            m_vis.copy(data, static_cast<size_t>(length));
        }
        if (m_hWake) SetEvent(m_hWake);
        break;
    }
    default:
        break;
    }
    return S_OK;
}

bool AudioXformFilter::StartWorker() {
    if (m_hWorker) return true; // one worker per instance
    // Unnamed: a named event would be shared with every other instance and process.
    m_hWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!m_hWake) return false;
    InterlockedExchange(&m_bRunning, TRUE);
    m_hWorker = CreateThread(nullptr, 0, WorkerMain, this, 0, nullptr);
    if (!m_hWorker) {
        InterlockedExchange(&m_bRunning, FALSE);
        CloseHandle(m_hWake);
        m_hWake = nullptr;
        return false;
    }
    return true;
}

void AudioXformFilter::StopWorker() {
    if (!m_hWorker) return;
    InterlockedExchange(&m_bRunning, FALSE);
    SetEvent(m_hWake);
    WaitForSingleObject(m_hWorker, INFINITE);
    CloseHandle(m_hWorker);
    CloseHandle(m_hWake);
    m_hWorker = nullptr;
    m_hWake = nullptr;
}

DWORD WINAPI AudioXformFilter::WorkerMain(void* self) {
    static_cast<AudioXformFilter*>(self)->RunWorker();
    return 0;
}

void AudioXformFilter::RunWorker() {
    for (;;) {
        WaitForSingleObject(m_hWake, INFINITE);
        if (!m_bRunning) return;
        CAutoLock lock(&m_csVis);
        if (m_pCallback)
            m_pCallback->OnBlock(const_cast<signed char*>(m_vis.leftBlock()),
                                 const_cast<signed char*>(m_vis.rightBlock()));
    }
}
