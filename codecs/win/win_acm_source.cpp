// ACM drivers and their format tags, and installable drivers opened by alias.
#include <windows.h>
// The multimedia types come before the headers built on them.
#include <mmsystem.h>
// ACM needs the wave format definitions.
#include <mmreg.h>
#include <msacm.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "codecs/win/win_codec_sources.h"
#include "codecs/win/win_handles.h"

namespace tavro {
namespace {

// The icon handle makes the system's driver details larger in a 64-bit build, so they
// are copied field by field; the texts come last and keep their sizes.
static_assert(sizeof(ACMDRIVERDETAILSA) - offsetof(ACMDRIVERDETAILSA, szShortName) ==
                  sizeof(AcmDriverDetails) - offsetof(AcmDriverDetails, szShortName),
              "same texts");
static_assert(sizeof(ACMFORMATTAGDETAILSA) == sizeof(AcmFormatTagDetails), "same layout");

constexpr DWORD kMaxDrivers = 1024;
constexpr DWORD kMaxTagsPerDriver = 1024;

BOOL CALLBACK collectDriver(HACMDRIVERID id, DWORD_PTR instance, DWORD) {
    auto* ids = reinterpret_cast<std::vector<HACMDRIVERID>*>(instance);
    // No exception may leave a callback of the system.
    try {
        ids->push_back(id);
    } catch (...) {
        return FALSE;
    }
    return ids->size() < kMaxDrivers;
}

void copyDriverDetails(const ACMDRIVERDETAILSA& in, AcmDriverDetails* out) {
    out->cbStruct = static_cast<uint32_t>(sizeof *out);
    out->fccType = in.fccType;
    out->fccComp = in.fccComp;
    out->wMid = in.wMid;
    out->wPid = in.wPid;
    out->vdwACM = in.vdwACM;
    out->vdwDriver = in.vdwDriver;
    out->fdwSupport = in.fdwSupport;
    out->cFormatTags = in.cFormatTags;
    out->cFilterTags = in.cFilterTags;
    // Window-manager handles carry 32 significant bits in both architectures.
    out->hicon = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(in.hicon));
    std::memcpy(out->szShortName, in.szShortName,
                sizeof(AcmDriverDetails) - offsetof(AcmDriverDetails, szShortName));
}

class ScopedAcmDriver {
  public:
    ScopedAcmDriver() = default;
    ScopedAcmDriver(const ScopedAcmDriver&) = delete;
    ScopedAcmDriver& operator=(const ScopedAcmDriver&) = delete;
    ~ScopedAcmDriver() {
        if (had_) acmDriverClose(had_, 0);
    }
    bool open(HACMDRIVERID id) { return acmDriverOpen(&had_, id, 0) == MMSYSERR_NOERROR; }
    HACMDRIVER get() const { return had_; }

  private:
    HACMDRIVER had_ = nullptr;
};

class ScopedDriver {
  public:
    explicit ScopedDriver(HDRVR h) : h_(h) {}
    ScopedDriver(const ScopedDriver&) = delete;
    ScopedDriver& operator=(const ScopedDriver&) = delete;
    ~ScopedDriver() {
        if (h_) CloseDriver(h_, 0, 0);
    }
    HDRVR get() const { return h_; }

  private:
    HDRVR h_;
};

} // namespace

void WinAcmSource::enumDrivers(const std::function<void(const AcmDriver&)>& visit) {
    std::vector<HACMDRIVERID> ids;
    // No flags: drivers the user disabled are not listed.
    if (acmDriverEnum(collectDriver, reinterpret_cast<DWORD_PTR>(&ids), 0) != MMSYSERR_NOERROR &&
        ids.empty())
        return;
    for (HACMDRIVERID id : ids) {
        ACMDRIVERDETAILSA details{};
        details.cbStruct = sizeof details;
        if (acmDriverDetailsA(id, &details, 0) != MMSYSERR_NOERROR) continue;
        ScopedAcmDriver driver;
        if (!driver.open(id)) continue;
        AcmDriver out{};
        copyDriverDetails(details, &out.details);
        // A driver may fill a text to the brim; our copies are always terminated.
        out.details.szShortName[sizeof out.details.szShortName - 1] = '\0';
        out.details.szLongName[sizeof out.details.szLongName - 1] = '\0';
        out.details.szCopyright[sizeof out.details.szCopyright - 1] = '\0';
        out.details.szLicensing[sizeof out.details.szLicensing - 1] = '\0';
        out.details.szFeatures[sizeof out.details.szFeatures - 1] = '\0';
        const DWORD tags =
            details.cFormatTags < kMaxTagsPerDriver ? details.cFormatTags : kMaxTagsPerDriver;
        for (DWORD i = 0; i < tags; ++i) {
            ACMFORMATTAGDETAILSA tag{};
            tag.cbStruct = sizeof tag;
            tag.dwFormatTagIndex = i;
            if (acmFormatTagDetailsA(driver.get(), &tag, ACM_FORMATTAGDETAILSF_INDEX) !=
                MMSYSERR_NOERROR)
                continue;
            AcmFormatTagDetails copy;
            std::memcpy(&copy, &tag, sizeof copy);
            copy.szFormatTag[sizeof copy.szFormatTag - 1] = '\0';
            out.tags.push_back(copy);
        }
        visit(out);
    }
}

bool WinAcmSource::driverFileOfAlias(const std::string& alias, std::string* path) {
    const std::wstring wide = widenText(alias);
    ScopedDriver driver(OpenDriver(wide.c_str(), nullptr, 0));
    if (!driver.get()) return false;
    HMODULE module = GetDriverModuleHandle(driver.get());
    char file[260];
    const DWORD n = module ? GetModuleFileNameA(module, file, sizeof file) : 0;
    if (n == 0 || n > sizeof file) return false;
    path->assign(file, n < sizeof file ? n : sizeof file - 1);
    return true;
}

} // namespace tavro
