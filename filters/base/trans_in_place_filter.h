// CTransInPlaceFilter: a transform that changes samples where they lie. Input and
// output types are the same; when both sides can share one allocator the input
// sample itself goes downstream, otherwise (a read-only input, or allocators that
// differ) it is copied into an output sample first.
#pragma once
#include "filters/base/transform_filter.h"

class CTransInPlaceFilter;

class CTransInPlaceInputPin : public CTransformInputPin {
  public:
    CTransInPlaceInputPin(const wchar_t* objectName, CTransInPlaceFilter* filter, HRESULT* hr,
                          const wchar_t* pinName);

    // Offers the downstream allocator when the output is connected.
    STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
    STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT CheckMediaType(const CMediaType* type) override;

  protected:
    CTransInPlaceFilter* m_pInPlaceFilter;
};

class CTransInPlaceOutputPin : public CTransformOutputPin {
  public:
    CTransInPlaceOutputPin(const wchar_t* objectName, CTransInPlaceFilter* filter, HRESULT* hr,
                           const wchar_t* pinName);

    HRESULT DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator) override;
    // Delivers from this allocator from now on (the one shared with upstream).
    void UseAllocator(IMemAllocator* allocator);
    HRESULT GetMediaType(int position, CMediaType* type) override;
    HRESULT CheckMediaType(const CMediaType* type) override;

  protected:
    CTransInPlaceFilter* m_pInPlaceFilter;
};

class CTransInPlaceFilter : public CTransformFilter {
  public:
    CTransInPlaceFilter(const wchar_t* name, IUnknown* outer, REFCLSID clsid, HRESULT* hr,
                        bool modifiesData = true);

    // The in-place work on one sample.
    virtual HRESULT Transform(IMediaSample* sample) = 0;

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
    HRESULT GetMediaType(int, CMediaType*) override { return E_UNEXPECTED; }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

    // Is this sample delivered as it is, or must it be copied first?
    BOOL UsingDifferentAllocators() const;
    BOOL ModifiesData() const { return m_bModifiesData; }

  protected:
    CTransformInputPin* NewInputPin(HRESULT* hr) override;
    CTransformOutputPin* NewOutputPin(HRESULT* hr) override;
    // A new output sample holding a copy of the input's data and properties.
    IMediaSample* Copy(IMediaSample* source);

  private:
    using CTransformFilter::Transform;
    bool m_bModifiesData;
};
