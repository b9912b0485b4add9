// DirectX Media Objects of one category, with the subtypes of their input types.
#include <windows.h>

#include <dmo.h>

#include <cstring>

#include "codecs/win/win_codec_sources.h"
#include "codecs/win/win_handles.h"

namespace tavro {
namespace {

constexpr int kMaxDmos = 1024;
constexpr ULONG kMaxTypes = 16;

Guid fromGuid(const GUID& g) {
    Guid out;
    std::memcpy(&out, &g, sizeof out);
    return out;
}

class CoTaskText {
  public:
    CoTaskText() = default;
    CoTaskText(const CoTaskText&) = delete;
    CoTaskText& operator=(const CoTaskText&) = delete;
    ~CoTaskText() { CoTaskMemFree(text_); }
    WCHAR** out() {
        CoTaskMemFree(text_);
        text_ = nullptr;
        return &text_;
    }
    const WCHAR* get() const { return text_; }

  private:
    WCHAR* text_ = nullptr;
};

} // namespace

void WinDmoSource::enumDmos(const Guid& category,
                            const std::function<void(const DmoEntry&)>& visit) {
    GUID cat;
    std::memcpy(&cat, &category, sizeof cat);
    ComPtr<IEnumDMO> dmos;
    if (FAILED(DMOEnum(cat, DMO_ENUMF_INCLUDE_KEYED, 0, nullptr, 0, nullptr, dmos.out())) || !dmos)
        return;
    for (int n = 0; n < kMaxDmos; ++n) {
        CLSID clsid;
        CoTaskText name;
        if (dmos->Next(1, &clsid, name.out(), nullptr) != S_OK) break;
        DmoEntry entry;
        entry.clsid = fromGuid(clsid);
        if (name.get()) entry.name = narrowText(name.get(), wcslen(name.get()));
        DMO_PARTIAL_MEDIATYPE in[kMaxTypes] = {};
        DMO_PARTIAL_MEDIATYPE out[kMaxTypes] = {};
        ULONG inCount = 0, outCount = 0;
        if (SUCCEEDED(DMOGetTypes(clsid, kMaxTypes, &inCount, in, kMaxTypes, &outCount, out))) {
            for (ULONG i = 0; i < inCount && i < kMaxTypes; ++i)
                entry.inputSubtypes.push_back(fromGuid(in[i].subtype));
        }
        visit(entry);
    }
}

} // namespace tavro
