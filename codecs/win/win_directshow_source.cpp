// DirectShow filters through the system device enumerator and the filter mapper.
#include <windows.h>

#include <dshow.h>

#include <cstring>
#include <string>

#include "codecs/win/win_codec_sources.h"
#include "codecs/win/win_handles.h"

namespace tavro {
namespace {

// Enumerations are finite, but a broken one must not keep us here.
constexpr int kMaxMonikers = 4096;

GUID toGuid(const Guid& g) {
    static_assert(sizeof(GUID) == sizeof(Guid), "same layout");
    GUID out;
    std::memcpy(&out, &g, sizeof out);
    return out;
}

class WinPropertyBag : public PropertyBag {
  public:
    explicit WinPropertyBag(IPropertyBag* bag) : bag_(bag) {}
    BagProperty read(const char* name) override {
        ScopedVariant value;
        const std::wstring wide = widenText(name);
        if (FAILED(bag_->Read(wide.c_str(), value.get(), nullptr))) return {};
        // Only strings are used; anything else is reported, never reinterpreted.
        if (value.get()->vt != VT_BSTR || !value.get()->bstrVal)
            return {BagProperty::Kind::OtherType, {}};
        BSTR text = value.get()->bstrVal;
        return {BagProperty::Kind::Text, narrowText(text, SysStringLen(text))};
    }

  private:
    IPropertyBag* bag_;
};

void visitMonikers(IEnumMoniker* monikers, const MonikerVisitor& visit) {
    IMoniker* raw = nullptr;
    for (int n = 0; n < kMaxMonikers && monikers->Next(1, &raw, nullptr) == S_OK; ++n) {
        ComPtr<IMoniker> moniker(raw);
        ComPtr<IPropertyBag> bag;
        if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.outVoid())) ||
            !bag) {
            visit(nullptr);
            continue;
        }
        WinPropertyBag wrapped(bag.get());
        visit(&wrapped);
    }
}

} // namespace

void WinDirectShowSource::enumCategory(const Guid& category, const MonikerVisitor& visit) {
    ComPtr<ICreateDevEnum> devices;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, devices.outVoid())))
        return;
    ComPtr<IEnumMoniker> monikers;
    // S_FALSE: the category exists but is empty, and no enumerator is returned.
    if (devices->CreateClassEnumerator(toGuid(category), monikers.out(), 0) != S_OK || !monikers)
        return;
    visitMonikers(monikers.get(), visit);
}

void WinDirectShowSource::enumMatchingFilters(const MediaTypePair& input,
                                              const MediaTypePair& output, uint32_t minimumMerit,
                                              const MonikerVisitor& visit) {
    ComPtr<IFilterMapper2> mapper;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFilterMapper2, mapper.outVoid())))
        return;
    const GUID in[2] = {toGuid(input.major), toGuid(input.subtype)};
    const GUID out[2] = {toGuid(output.major), toGuid(output.subtype)};
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(mapper->EnumMatchingFilters(monikers.out(), 0, TRUE, minimumMerit, TRUE, 1, in,
                                           nullptr, nullptr, FALSE, TRUE, 1, out, nullptr,
                                           nullptr)) ||
        !monikers)
        return;
    visitMonikers(monikers.get(), visit);
}

std::string narrowText(const wchar_t* text, size_t length) {
    if (!text || length == 0) return {};
    const int wideLength = static_cast<int>(length);
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, wideLength, &out[0], bytes, nullptr, nullptr);
    // A BSTR may hold a terminator inside; the text ends there.
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::wstring widenText(const std::string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int chars = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    if (chars <= 0) return {};
    std::wstring out(static_cast<size_t>(chars), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &out[0], chars);
    return out;
}

} // namespace tavro
