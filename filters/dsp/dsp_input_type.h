// The input type both DSP hosts take: 8- or 16-bit integer PCM in a WAVEFORMATEX.
#pragma once
#include "filters/base/media_type.h"
#include "filters/dsp/pcm_format.h"

// S_OK or VFW_E_TYPE_NOT_ACCEPTED; fills 'format' (may be null) when it accepts.
HRESULT CheckDspInputType(const CMediaType* type, dsp::PcmFormat* format);
