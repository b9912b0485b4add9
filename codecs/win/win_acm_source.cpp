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

// What the driver-details message of an ACM driver carries; the headers leave the
// driver side out.
constexpr UINT kAcmDriverDetailsMessage = ACMDM_BASE + 10;
struct AcmOpenDesc {
    DWORD cbStruct;
    FOURCC fccType;
    FOURCC fccComp;
    DWORD dwVersion;
    DWORD dwFlags;
    DWORD dwError;
    LPCWSTR pszSectionName;
    LPCWSTR pszAliasName;
    DWORD dnDevNode;
};

constexpr DWORD kMaxAliases = 256;

// A driver as its registration names it: its own details and its module's file.
struct RegisteredDriver {
    std::wstring shortName;
    WORD mid = 0, pid = 0;
    std::string file; // UTF-8
};

std::string utf8Of(const wchar_t* text, int length) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], n, nullptr, nullptr);
    return out;
}

// Opens the driver registered under `alias` and asks it who it is.
bool askRegisteredDriver(const std::wstring& alias, RegisteredDriver* out) {
    AcmOpenDesc desc = {};
    desc.cbStruct = sizeof desc;
    desc.fccType = ACMDRIVERDETAILS_FCCTYPE_AUDIOCODEC;
    desc.dwVersion = acmGetVersion();
    desc.pszSectionName = L"Drivers32";
    desc.pszAliasName = alias.c_str();
    ScopedDriver driver(OpenDriver(alias.c_str(), nullptr, reinterpret_cast<LPARAM>(&desc)));
    if (!driver.get()) return false;
    HMODULE module = GetDriverModuleHandle(driver.get());
    wchar_t file[MAX_PATH];
    const DWORD n = module ? GetModuleFileNameW(module, file, MAX_PATH) : 0;
    if (n == 0 || n >= MAX_PATH) return false;
    ACMDRIVERDETAILSW details{};
    details.cbStruct = sizeof details;
    if (SendDriverMessage(driver.get(), kAcmDriverDetailsMessage,
                          reinterpret_cast<LPARAM>(&details), 0) != MMSYSERR_NOERROR)
        return false;
    details.szShortName[ACMDRIVERDETAILS_SHORTNAME_CHARS - 1] = L'\0';
    out->shortName = details.szShortName;
    out->mid = details.wMid;
    out->pid = details.wPid;
    out->file = utf8Of(file, static_cast<int>(n));
    return true;
}

bool isAcmAlias(const std::wstring& name) {
    return name.size() > 6 && _wcsnicmp(name.c_str(), L"msacm.", 6) == 0;
}

void addAlias(std::vector<std::wstring>& aliases, const std::wstring& name) {
    if (!isAcmAlias(name) || aliases.size() >= kMaxAliases) return;
    for (const std::wstring& known : aliases)
        if (_wcsicmp(known.c_str(), name.c_str()) == 0) return;
    aliases.push_back(name);
}

// The "msacm.*" aliases ACM drivers are registered under: the Drivers32 key's values,
// the [drivers32] section of system.ini (where Wine keeps them), and the aliases the
// system's driver cache lists.
std::vector<std::wstring> acmAliases() {
    std::vector<std::wstring> aliases;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", 0, KEY_READ,
                      &key) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < kMaxAliases; ++i) {
            wchar_t name[256];
            DWORD length = 256;
            const LONG status =
                RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status == ERROR_SUCCESS) addAlias(aliases, name);
        }
        RegCloseKey(key);
    }
    std::vector<wchar_t> section(32768);
    const DWORD got = GetPrivateProfileSectionW(L"drivers32", section.data(),
                                                static_cast<DWORD>(section.size()), L"system.ini");
    // "name=value\0name=value\0\0"; a full buffer may end in a cut entry, still terminated.
    for (DWORD at = 0; at < got && section[at];) {
        const std::wstring entry(&section[at]);
        at += static_cast<DWORD>(entry.size()) + 1;
        addAlias(aliases, entry.substr(0, entry.find(L'=')));
    }
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\AudioCompressionManager\\DriverCache", 0, KEY_READ,
                      &key) == ERROR_SUCCESS) {
        for (DWORD i = 0; i < kMaxAliases; ++i) {
            wchar_t name[256];
            DWORD length = 256;
            const LONG status =
                RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status == ERROR_SUCCESS) addAlias(aliases, name);
        }
        RegCloseKey(key);
    }
    return aliases;
}

// Every registered ACM alias, asked who it is.
std::vector<RegisteredDriver> registeredDrivers() {
    std::vector<RegisteredDriver> out;
    for (const std::wstring& alias : acmAliases()) {
        RegisteredDriver driver;
        if (askRegisteredDriver(alias, &driver)) out.push_back(driver);
    }
    return out;
}

// The registered file of an enumerated driver: matched by short name and, when both
// give one, manufacturer and product ids.
std::string fileOf(const ACMDRIVERDETAILSA& details, const std::vector<RegisteredDriver>& all) {
    wchar_t shortName[ACMDRIVERDETAILS_SHORTNAME_CHARS] = {};
    MultiByteToWideChar(CP_ACP, 0, details.szShortName, -1, shortName,
                        ACMDRIVERDETAILS_SHORTNAME_CHARS - 1);
    for (const RegisteredDriver& r : all) {
        if (r.shortName.empty() || r.shortName != shortName) continue;
        if (r.mid && details.wMid && (r.mid != details.wMid || r.pid != details.wPid)) continue;
        return r.file;
    }
    return std::string();
}

} // namespace

void WinAcmSource::enumDrivers(const std::function<void(const AcmDriver&)>& visit) {
    std::vector<HACMDRIVERID> ids;
    // No flags: drivers the user disabled are not listed.
    if (acmDriverEnum(collectDriver, reinterpret_cast<DWORD_PTR>(&ids), 0) != MMSYSERR_NOERROR &&
        ids.empty())
        return;
    const std::vector<RegisteredDriver> registered = registeredDrivers();
    for (HACMDRIVERID id : ids) {
        ACMDRIVERDETAILSA details{};
        details.cbStruct = sizeof details;
        if (acmDriverDetailsA(id, &details, 0) != MMSYSERR_NOERROR) continue;
        ScopedAcmDriver driver;
        if (!driver.open(id)) continue;
        AcmDriver out{};
        copyDriverDetails(details, &out.details);
        out.file = fileOf(details, registered);
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
