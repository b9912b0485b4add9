// CMemAllocator: samples carved from one block of ordinary memory.
#pragma once
#include "filters/base/base_allocator.h"

class CMemAllocator : public CBaseAllocator {
  public:
    CMemAllocator(const wchar_t* name, IUnknown* outer, HRESULT* hr);
    ~CMemAllocator() override;

    STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request,
                               ALLOCATOR_PROPERTIES* actual) override;

  protected:
    HRESULT Alloc() override;
    void Free() override;

  private:
    void ReallyFree();
    BYTE* m_pBuffer = nullptr;
};
