#include "filters/dsp/dsp_input_type.h"

#include <mmreg.h>
#include <uuids.h>
#include <vfwmsgs.h>

HRESULT CheckDspInputType(const CMediaType* type, dsp::PcmFormat* format) {
    if (!type || !IsEqualGUID(*type->Type(), MEDIATYPE_Audio) ||
        !IsEqualGUID(*type->FormatType(), FORMAT_WaveFormatEx))
        return VFW_E_TYPE_NOT_ACCEPTED;
    // PCM needs the 16 bytes up to wBitsPerSample; cbSize is not read.
    if (!type->Format() || type->FormatLength() < 16) return VFW_E_TYPE_NOT_ACCEPTED;
    auto* wave = reinterpret_cast<const WAVEFORMATEX*>(type->Format());
    dsp::WaveFields fields;
    fields.formatTag = wave->wFormatTag;
    fields.channels = wave->nChannels;
    fields.samplesPerSec = wave->nSamplesPerSec;
    fields.blockAlign = wave->nBlockAlign;
    fields.bitsPerSample = wave->wBitsPerSample;
    if (!dsp::isHostablePcm(fields)) return VFW_E_TYPE_NOT_ACCEPTED;
    if (format) *format = dsp::toPcmFormat(fields);
    return S_OK;
}
