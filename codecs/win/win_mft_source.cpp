// Media Foundation transforms through MFTEnumEx. mfplat.dll is loaded at run
// time: systems without Media Foundation (XP, editions without media) still run
// the program, and then have no transforms to list.
#include <windows.h>

#include <mfobjects.h>

#include <cstring>

#include "codecs/mft_inventory.h"
#include "codecs/win/win_codec_sources.h"
#include "codecs/win/win_handles.h"

namespace tavro {
namespace {

// Attribute keys of the activation objects MFTEnumEx returns.
const GUID kFriendlyName = {
    0x314ffbae, 0x5b41, 0x4c95, {0x9c, 0x19, 0x4e, 0x7d, 0x58, 0x6f, 0xac, 0xe3}};
const GUID kTransformClsid = {
    0x6821c42b, 0x65a4, 0x4e82, {0x99, 0xbc, 0x9a, 0x88, 0x20, 0x5e, 0xcd, 0x0c}};
const GUID kTransformCategory = {
    0xceabba49, 0x506d, 0x4757, {0xa6, 0xff, 0x66, 0xc1, 0x84, 0x98, 0x7e, 0x4e}};
const GUID kTransformFlags = {
    0x9359bb7e, 0x6275, 0x46c4, {0xa0, 0x25, 0x1c, 0x01, 0xe4, 0x5f, 0x1a, 0x86}};
const GUID kInputTypes = {
    0x4276c9b1, 0x759d, 0x4bf3, {0x9c, 0xd0, 0x0d, 0x72, 0x3d, 0x13, 0x8f, 0x96}};
const GUID kOutputTypes = {
    0x8eae8cf3, 0xa44f, 0x4306, {0xba, 0x5c, 0xbf, 0x5d, 0xda, 0x24, 0x28, 0x18}};
const GUID kProcessLocal = {
    0x543186e4, 0x4649, 0x4e65, {0xb5, 0x88, 0x4a, 0xa3, 0x52, 0xaf, 0xf3, 0x79}};
const GUID kCodecMerit = {
    0x88a7cb15, 0x7b07, 0x4a34, {0x91, 0x28, 0xe6, 0x4c, 0x67, 0x03, 0xc4, 0xd3}};

constexpr ULONG kMfVersion = 0x00020070; // the Windows 7 SDK's MF_VERSION
constexpr DWORD kStartupLite = 1;        // MFSTARTUP_LITE: no sockets
constexpr UINT32 kEnumAll = 0x3F;        // MFT_ENUM_FLAG_ALL
constexpr UINT32 kMaxActivates = 4096;
constexpr UINT32 kMaxNameChars = 1024;
constexpr UINT32 kMaxBlobBytes = 1 << 20;

using StartupFn = HRESULT(WINAPI*)(ULONG, DWORD);
using ShutdownFn = HRESULT(WINAPI*)();
using EnumExFn = HRESULT(WINAPI*)(GUID, UINT32, const void*, const void*, IMFActivate***, UINT32*);
// MFT_REGISTER_TYPE_INFO: a major type and a subtype.
struct TypeInfo {
    GUID major;
    GUID subtype;
};
using GetInfoFn = HRESULT(WINAPI*)(CLSID, LPWSTR*, TypeInfo**, UINT32*, TypeInfo**, UINT32*,
                                   IMFAttributes**);

Guid fromGuid(const GUID& g) {
    Guid out;
    std::memcpy(&out, &g, sizeof out);
    return out;
}

std::vector<MediaTypePair> typePairs(IMFActivate* a, const GUID& key) {
    UINT32 size = 0;
    // A list far beyond any real one is not read at all.
    if (FAILED(a->GetBlobSize(key, &size)) || size == 0 || size > kMaxBlobBytes) return {};
    // Larger than the pairs we keep: only the first ones are read.
    const UINT32 cap = static_cast<UINT32>(MftInventory::kMaxTypes * 32);
    std::vector<uint8_t> blob(size < cap ? size : cap);
    UINT32 got = 0;
    if (size > cap) {
        std::vector<uint8_t> whole(size);
        if (FAILED(a->GetBlob(key, whole.data(), size, &got))) return {};
        blob.assign(whole.begin(), whole.begin() + (got < cap ? got : cap));
    } else if (FAILED(a->GetBlob(key, blob.data(), size, &got))) {
        return {};
    } else if (got < blob.size()) {
        blob.resize(got);
    }
    return parseMftTypePairs(blob, MftInventory::kMaxTypes);
}

MftEntry entryOf(IMFActivate* a) {
    MftEntry e;
    GUID g;
    if (SUCCEEDED(a->GetGUID(kTransformClsid, &g))) e.clsid = fromGuid(g);
    if (SUCCEEDED(a->GetGUID(kTransformCategory, &g))) e.category = fromGuid(g);
    UINT32 length = 0;
    if (SUCCEEDED(a->GetStringLength(kFriendlyName, &length)) && length < kMaxNameChars) {
        std::vector<WCHAR> name(length + 1);
        if (SUCCEEDED(a->GetString(kFriendlyName, name.data(), length + 1, &length)))
            e.name = narrowText(name.data(), length < name.size() ? length : name.size() - 1);
    }
    UINT32 value = 0;
    if (SUCCEEDED(a->GetUINT32(kTransformFlags, &value))) e.flags = value;
    if (SUCCEEDED(a->GetUINT32(kCodecMerit, &value))) {
        e.hasMerit = true;
        e.merit = value;
    }
    if (SUCCEEDED(a->GetUINT32(kProcessLocal, &value))) e.local = value != 0;
    e.inputs = typePairs(a, kInputTypes);
    e.outputs = typePairs(a, kOutputTypes);
    return e;
}

std::vector<MediaTypePair> pairsOf(const TypeInfo* types, UINT32 count) {
    std::vector<MediaTypePair> pairs;
    for (UINT32 i = 0; types && i < count && pairs.size() < MftInventory::kMaxTypes; ++i)
        pairs.push_back({fromGuid(types[i].major), fromGuid(types[i].subtype)});
    return pairs;
}

// Some Media Foundations (Wine's) give a registered transform's activation
// object only its class, category and flags; the name and types then come from
// the registration itself.
void completeFromRegistration(GetInfoFn getInfo, MftEntry& e) {
    if (!getInfo || (!e.name.empty() && !e.inputs.empty() && !e.outputs.empty())) return;
    CLSID clsid;
    std::memcpy(&clsid, &e.clsid, sizeof clsid);
    LPWSTR name = nullptr;
    TypeInfo* inputs = nullptr;
    TypeInfo* outputs = nullptr;
    UINT32 inputCount = 0, outputCount = 0;
    IMFAttributes* attributes = nullptr;
    if (SUCCEEDED(
            getInfo(clsid, &name, &inputs, &inputCount, &outputs, &outputCount, &attributes))) {
        if (e.name.empty() && name) e.name = narrowText(name, wcsnlen(name, kMaxNameChars));
        if (e.inputs.empty()) e.inputs = pairsOf(inputs, inputCount);
        if (e.outputs.empty()) e.outputs = pairsOf(outputs, outputCount);
        UINT32 merit = 0;
        if (!e.hasMerit && attributes && SUCCEEDED(attributes->GetUINT32(kCodecMerit, &merit))) {
            e.hasMerit = true;
            e.merit = merit;
        }
    }
    CoTaskMemFree(name);
    CoTaskMemFree(inputs);
    CoTaskMemFree(outputs);
    if (attributes) attributes->Release();
}

} // namespace

struct WinMftSource::State {
    HMODULE module = nullptr;
    ShutdownFn shutdown = nullptr;
    EnumExFn enumEx = nullptr;
    GetInfoFn getInfo = nullptr; // optional
    bool started = false;
};

WinMftSource::WinMftSource() = default;

WinMftSource::~WinMftSource() {
    if (!state_) return;
    if (state_->started && state_->shutdown) state_->shutdown();
    if (state_->module) FreeLibrary(state_->module);
}

bool WinMftSource::available() {
    if (state_) return state_->started;
    state_ = std::make_unique<State>();
    state_->module = LoadLibraryA("mfplat.dll");
    if (!state_->module) return false;
    auto startup = reinterpret_cast<StartupFn>(
        reinterpret_cast<void*>(GetProcAddress(state_->module, "MFStartup")));
    state_->shutdown = reinterpret_cast<ShutdownFn>(
        reinterpret_cast<void*>(GetProcAddress(state_->module, "MFShutdown")));
    state_->enumEx = reinterpret_cast<EnumExFn>(
        reinterpret_cast<void*>(GetProcAddress(state_->module, "MFTEnumEx")));
    state_->getInfo = reinterpret_cast<GetInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(state_->module, "MFTGetInfo")));
    if (!startup || !state_->shutdown || !state_->enumEx) return false;
    state_->started = SUCCEEDED(startup(kMfVersion, kStartupLite));
    return state_->started;
}

void WinMftSource::enumTransforms(const Guid& category,
                                  const std::function<void(const MftEntry&)>& visit) {
    if (!available()) return;
    GUID cat;
    std::memcpy(&cat, &category, sizeof cat);
    IMFActivate** activates = nullptr;
    UINT32 count = 0;
    if (FAILED(state_->enumEx(cat, kEnumAll, nullptr, nullptr, &activates, &count)) || !activates)
        return;
    std::vector<MftEntry> entries;
    for (UINT32 i = 0; i < count; ++i) {
        ComPtr<IMFActivate> activate(activates[i]); // every one released, even past the cap
        if (i < kMaxActivates && activate) entries.push_back(entryOf(activate.get()));
    }
    CoTaskMemFree(activates);
    for (MftEntry& e : entries) {
        if (!e.local) completeFromRegistration(state_->getInfo, e);
        visit(e);
    }
}

} // namespace tavro
