// Shared by the export and header snapshot GUI tests: registry settings, small
// generated WAVE files in the temporary folder, and control state.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui_harness.h"

namespace exporttest {

inline const char kTitle[] = "Tavro v2.1 - Vistrel";
inline const char kSettingsKey[] = "Software\\Orlent\\Tavro\\Settings";

inline void setValue(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}
inline void setDword(const char* name, DWORD value) {
    setValue(name, REG_DWORD, &value, sizeof value);
}
inline void setString(const char* name, const std::string& value) {
    setValue(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

inline std::string tempPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// A tiny 8-bit mono PCM WAVE file with `samples` samples.
inline std::string writeWave(const std::string& name, unsigned samples) {
    const std::string path = tempPath(name);
    const unsigned riff = 36 + samples;
    const unsigned char header[44] = {'R',
                                      'I',
                                      'F',
                                      'F',
                                      static_cast<unsigned char>(riff),
                                      static_cast<unsigned char>(riff >> 8),
                                      0,
                                      0,
                                      'W',
                                      'A',
                                      'V',
                                      'E',
                                      'f',
                                      'm',
                                      't',
                                      ' ',
                                      16,
                                      0,
                                      0,
                                      0,
                                      1,
                                      0,
                                      1,
                                      0,
                                      0x40,
                                      0x1F,
                                      0,
                                      0,
                                      0x40,
                                      0x1F,
                                      0,
                                      0,
                                      1,
                                      0,
                                      8,
                                      0,
                                      'd',
                                      'a',
                                      't',
                                      'a',
                                      static_cast<unsigned char>(samples),
                                      static_cast<unsigned char>(samples >> 8),
                                      0,
                                      0};
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return std::string();
    std::fwrite(header, 1, sizeof header, out);
    const std::vector<unsigned char> silence(samples, 0x80);
    std::fwrite(silence.data(), 1, silence.size(), out);
    std::fclose(out);
    return path;
}

inline std::string quoted(const std::vector<std::string>& paths) {
    std::string line;
    for (const auto& p : paths)
        line += (line.empty() ? "\"" : " \"") + p + "\"";
    return line;
}

inline std::string readFile(const std::string& path) {
    std::string bytes;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (!in) return bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        bytes.append(buffer, n);
    std::fclose(in);
    return bytes;
}

inline std::string messageBoxText(HWND box) {
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

inline bool checked(HWND dialog, int id) {
    return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
inline bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

} // namespace exporttest
