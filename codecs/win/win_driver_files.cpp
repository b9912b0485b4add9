// Driver files: their version resource, and whether they exist at all.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "codecs/text_field.h"
#include "codecs/win/win_codec_sources.h"

namespace tavro {

bool readVersionStrings(const std::string& path, VersionStrings* out) {
    out->clear();
    if (path.empty()) return false;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<char> block;
    try {
        block.resize(size);
    } catch (...) {
        return false;
    }
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return false;

    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && value &&
        length == sizeof out->fixedInfo) {
        std::memcpy(out->fixedInfo, value, sizeof out->fixedInfo);
        out->hasFixedInfo = true;
    }
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) || !value ||
        length < 4)
        return true; // no translation table: no texts
    std::vector<uint32_t> entries(length / 4);
    std::memcpy(entries.data(), value, entries.size() * 4);
    const int chosen =
        chooseVersionTranslation(entries.data(), entries.size(), GetUserDefaultLangID());
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "\\StringFileInfo\\%04X%04X\\",
                  static_cast<unsigned>(entries[chosen] & 0xFFFF),
                  static_cast<unsigned>(entries[chosen] >> 16));
    for (int key = 0; key < kVersionKeyCount; ++key) {
        const std::string query = std::string(prefix) + kVersionKeyNames[key];
        char* text = nullptr;
        UINT textLength = 0;
        if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&text),
                            &textLength) ||
            !text)
            continue;
        // The length counts characters, terminator included; never read past it.
        copyText(out->text[key], sizeof out->text[key], text, textLength);
    }
    return true;
}

bool WinDriverFileSource::readVersionStrings(const std::string& path, VersionStrings* out) {
    return tavro::readVersionStrings(path, out);
}

bool WinDriverFileSource::fileExists(const std::string& path) {
    if (path.empty()) return false;
    // Drivers often register a bare file name ("iccvid.dll"), which the loader finds
    // in the system folders; looking for it in the current folder only would call
    // every such driver missing.
    if (path.find_first_of("\\/:") == std::string::npos) {
        char found[MAX_PATH];
        const DWORD n = SearchPathA(nullptr, path.c_str(), nullptr, MAX_PATH, found, nullptr);
        return n > 0 && n < MAX_PATH;
    }
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
}

} // namespace tavro

namespace tavro {

std::string systemFolder() {
    char path[MAX_PATH + 1] = "";
    const UINT n = GetSystemDirectoryA(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

std::string otherSystemFolder() {
    if (otherArchitectureView() == 0) return {};
    char path[MAX_PATH + 1] = "";
    if (ownArchitectureBits() == 64) {
        // Looked up at run time, as the call is missing from 32-bit XP.
        using Wow64DirFn = UINT(WINAPI*)(LPSTR, UINT);
        auto wow64Dir = reinterpret_cast<Wow64DirFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA")));
        const UINT n = wow64Dir ? wow64Dir(path, MAX_PATH) : 0;
        return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
    }
    // A 32-bit process reaches the 64-bit System32 only through this alias.
    const UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(path, n) + "\\Sysnative" : std::string();
}

} // namespace tavro
