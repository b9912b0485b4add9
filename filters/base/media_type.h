// CMediaType: an AM_MEDIA_TYPE that owns its format block, plus the task-memory
// helpers for types handed across COM.
#pragma once
#include <objbase.h>
#include <strmif.h>
#include <windows.h>

class CMediaType : public AM_MEDIA_TYPE {
  public:
    CMediaType();
    explicit CMediaType(const GUID* majortype);
    CMediaType(const AM_MEDIA_TYPE& other);
    CMediaType(const CMediaType& other);
    ~CMediaType();

    CMediaType& operator=(const AM_MEDIA_TYPE& other);
    CMediaType& operator=(const CMediaType& other);
    bool operator==(const CMediaType& other) const;
    bool operator!=(const CMediaType& other) const { return !(*this == other); }

    // Copies another type in; E_OUTOFMEMORY leaves this type empty.
    HRESULT Set(const AM_MEDIA_TYPE& other);
    BOOL IsValid() const { return !IsEqualGUID(majortype, GUID_NULL); }

    const GUID* Type() const { return &majortype; }
    const GUID* Subtype() const { return &subtype; }
    const GUID* FormatType() const { return &formattype; }
    BYTE* Format() const { return pbFormat; }
    ULONG FormatLength() const { return cbFormat; }

    void SetType(const GUID* type) { majortype = *type; }
    void SetSubtype(const GUID* type) { subtype = *type; }
    void SetFormatType(const GUID* type) { formattype = *type; }
    void SetSampleSize(ULONG size);
    void SetVariableSize() { bFixedSizeSamples = FALSE; }
    void SetTemporalCompression(BOOL compressed) { bTemporalCompression = compressed; }
    // A zero-filled format block of the given length; null when out of memory.
    BYTE* AllocFormatBuffer(ULONG length);
    BOOL SetFormat(const BYTE* format, ULONG length);
    void ResetFormatBuffer();
    // Does this type satisfy a partly specified one (GUID_NULL fields match anything)?
    BOOL MatchesPartial(const CMediaType* partial) const;
    BOOL IsPartiallySpecified() const;

  private:
    void InitEmpty();
};

void FreeMediaType(AM_MEDIA_TYPE& type);
void DeleteMediaType(AM_MEDIA_TYPE* type);
HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source);
// A CoTaskMemAlloc'ed copy, as IEnumMediaTypes and IMediaSample hand out.
AM_MEDIA_TYPE* CreateMediaType(const AM_MEDIA_TYPE* source);
