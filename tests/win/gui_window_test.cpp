// tavro.exe driven from outside: command-line batch and counter, Next and All Files,
// Escape, the Settings dialog per stored run mode, and the settings written on exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";
const char kSettingsKey[] = "Software\\Orlent\\Tavro\\Settings";

void clearSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

void setDword(const char* name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

void setString(const char* name, const std::string& value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

// The stored value's type and bytes; type 0 when it is missing.
struct Stored {
    DWORD type = 0;
    std::vector<char> data;
    DWORD dword() const {
        return data.size() == 4 ? *reinterpret_cast<const DWORD*>(data.data()) : ~0u;
    }
    std::string text() const { return data.empty() ? std::string() : std::string(data.data()); }
};

Stored stored(const char* name) {
    Stored s;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return s;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &s.type, nullptr, &size) == ERROR_SUCCESS) {
        s.data.resize(size);
        RegQueryValueExA(key, name, nullptr, &s.type, reinterpret_cast<BYTE*>(s.data.data()),
                         &size);
    } else {
        s.type = 0;
    }
    RegCloseKey(key);
    return s;
}

// A tiny PCM WAVE file: 16-bit stereo at 44.1 kHz, a few silent samples.
std::string writeWave(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    const unsigned char header[44] = {'R', 'I', 'F',  'F',  36 + 64, 0,   0,    0,    'W', 'A', 'V',
                                      'E', 'f', 'm',  't',  ' ',     16,  0,    0,    0,   1,   0,
                                      2,   0,   0x44, 0xAC, 0,       0,   0x10, 0xB1, 2,   0,   4,
                                      0,   16,  0,    'd',  'a',     't', 'a',  64,   0,   0,   0};
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return std::string();
    std::fwrite(header, 1, sizeof header, out);
    const std::vector<unsigned char> silence(64, 0);
    std::fwrite(silence.data(), 1, silence.size(), out);
    std::fclose(out);
    return path;
}

std::string quoted(const std::vector<std::string>& paths) {
    std::string line;
    for (const auto& p : paths)
        line += (line.empty() ? "\"" : " \"") + p + "\"";
    return line;
}

const char kWavSummary[] = "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)";

bool counterIs(HWND window, const char* text) {
    return guitest::controlText(window, IDC_COUNTER) == text;
}

TEST(MainWindow, CommandLineFilesMakeABatchWithACounter) {
    clearSettings();
    const std::vector<std::string> files = {writeWave("tavro_a.wav"), writeWave("tavro_b.wav"),
                                            writeWave("tavro_c.wav")};
    guitest::Program program(TAVRO_EXE, quoted(files));
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    HWND counter = GetDlgItem(window, IDC_COUNTER);

    ASSERT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  1/3  "); }, 10000))
        << guitest::controlText(window, IDC_COUNTER);
    EXPECT_EQ(guitest::controlText(window, IDC_PATH), files[0]);
    EXPECT_TRUE(IsWindowEnabled(counter));

    // The counter button is Next File.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_COUNTER, BN_CLICKED), (LPARAM)counter);
    EXPECT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  2/3  "); }, 10000));
    EXPECT_EQ(guitest::controlText(window, IDC_PATH), files[1]);

    // All Files runs to the end; the last file disables the counter but keeps its text.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_ALL, 0), 0);
    EXPECT_TRUE(guitest::waitUntil(
        [&] { return counterIs(window, "  3/3  ") && !IsWindowEnabled(counter); }, 10000));
    EXPECT_EQ(guitest::controlText(window, IDC_PATH), files[2]);

    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_batch.bmp"));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

// A real AVI through the whole program: the report fields, the codec status from
// Wine's own codecs, no "processing..." left behind, and a screenshot to look at.
TEST(MainWindow, ReportsARealAviWithCodecStatus) {
    clearSettings();
    const std::string avi = std::string(TAVRO_MEDIA_DIR) + "/cinepak_msadpcm.avi";
    const std::string wave = writeWave("tavro_pcm.wav");
    guitest::Program program(TAVRO_EXE, quoted({avi, wave}));
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  1/2  "); }, 20000));
    // The own player's status comes first; what other kinds of player find
    // (which depends on the prefix) may follow it.
    const std::string installed = "Codec IS Installed  (details...)";
    EXPECT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_VIDEO_STATUS).rfind(installed, 0) == 0; },
        20000))
        << guitest::controlText(window, IDC_VIDEO_STATUS);
    const struct {
        int id;
        const char* text;
    } expected[] = {
        {IDC_FILE_STATUS, "File Length Correct"},
        {IDC_TYPE, "AVI"},
        {IDC_VIDEO_FOURCC, "cvid"},
        {IDC_ASPECT, "160 x 120  (1.333 : 1)"},
        {IDC_FRAMERATE, "25.000 FPS"},
        {IDC_FS, "22050 Hz"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(guitest::controlText(window, e.id), e.text) << e.id;
    EXPECT_EQ(guitest::controlText(window, IDC_AUDIO_STATUS).rfind(installed, 0), 0u)
        << guitest::controlText(window, IDC_AUDIO_STATUS);
    for (int id : {IDC_FILE_STATUS, IDC_VIDEO_STATUS, IDC_AUDIO_STATUS, IDC_RENDER_STATUS,
                   IDC_MF_PLAY_STATUS})
        EXPECT_NE(guitest::controlText(window, id), "processing...") << id;
    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_avi.bmp"));

    // Next File: the PCM WAVE summary.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 0), 0);
    EXPECT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  2/2  "); }, 10000));
    EXPECT_EQ(guitest::controlText(window, IDC_TYPE), kWavSummary);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

// A file that cannot be opened: the system error box names it, and after it the
// program goes on with the next file.
TEST(MainWindow, MissingFileShowsTheOpenFailureAndGoesOn) {
    clearSettings();
    const std::string missing = std::string(TAVRO_MEDIA_DIR) + "/no_such_file.avi";
    const std::string wave = writeWave("tavro_after_missing.wav");
    guitest::Program program(TAVRO_EXE, quoted({missing, wave}));
    ASSERT_TRUE(program.started());
    HWND box = program.waitForWindow("File Open Failure", 20000);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(guitest::messageBoxText(box).find("Unable to open file"), std::string::npos)
        << guitest::messageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  1/2  "); }, 10000));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 0), 0);
    EXPECT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_TYPE) == kWavSummary; }, 10000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

// Stepping onto a link file asks its question over that file's own report.
TEST(MainWindow, UrlQuestionIsAskedOverTheLinkFilesReport) {
    clearSettings();
    const std::string wave = writeWave("tavro_before_link.wav");
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string link = std::string(folder) + "tavro_link.url";
    FILE* out = std::fopen(link.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("HTTP://example.invalid/clip.avi\r\n", out);
    std::fclose(out);
    guitest::Program program(TAVRO_EXE, quoted({wave, link}));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  1/2  "); }, 10000));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 0), 0);
    HWND box = program.waitForWindow("File Type Information", 20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(guitest::controlText(window, IDC_PATH), link);
    // Upper-case "HTTP://" is no signature: the link's own unknown-type report.
    EXPECT_EQ(guitest::controlText(window, IDC_FILE_STATUS), "Not a valid AVI File");
    EXPECT_EQ(guitest::controlText(window, IDC_TYPE), "Non-AVI File - Type Unknown.");
    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_url_question.bmp"));
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  2/2  "); }, 10000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

// Without its codec data base the program says so twice and ends: a copy of the
// program in a folder of its own, started where no Tavro21.dat lies either.
TEST(MainWindow, MissingCodecDataBaseIsFatal) {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "tavro_no_dat";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string exe = folder + "\\tavro.exe";
    ASSERT_TRUE(CopyFileA(TAVRO_EXE, exe.c_str(), FALSE)) << GetLastError();
    DeleteFileA((folder + "\\Tavro21.dat").c_str());

    guitest::Program program(exe, "");
    ASSERT_TRUE(program.started());
    HWND box = program.waitForWindow("Load Data", 20000);
    ASSERT_NE(box, nullptr);
    const std::string text = guitest::messageBoxText(box);
    EXPECT_EQ(text.rfind("Error opening Data file " + folder + "\\Tavro21.dat:", 0), 0u) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND fatal = program.waitForWindow("Fatal Error", 20000);
    ASSERT_NE(fatal, nullptr);
    EXPECT_EQ(guitest::messageBoxText(fatal),
              "Error processing codec data base file Tavro21.dat.\n");
    EXPECT_EQ(program.closeAndWait(fatal, 10000), 1);
    DeleteFileA(exe.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(MainWindow, EscapeStopsAllFilesAndKeepsTheWindow) {
    clearSettings();
    const std::string wave = writeWave("tavro_esc.wav");
    guitest::Program program(TAVRO_EXE, quoted(std::vector<std::string>(200, wave)));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  1/200"); }, 10000));

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_ALL, 0), 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return counterIs(window, "  4/200"); }, 10000));
    SetForegroundWindow(window);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(2, keys, sizeof keys[0]), 2u);

    // Stopped: the counter stays where it is, well before the end, and the window lives.
    std::string last;
    EXPECT_TRUE(guitest::waitUntil(
        [&] {
            const std::string now = guitest::controlText(window, IDC_COUNTER);
            Sleep(400);
            const bool still = guitest::controlText(window, IDC_COUNTER) == now;
            last = now;
            return still;
        },
        10000));
    EXPECT_NE(last, "200/200");
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

TEST(MainWindow, SettingsDialogFollowsTheStoredRunMode) {
    const int boxes[] = {IDC_SET_DIRECTSHOW_ENUM, IDC_SET_DMO_ENUM,       IDC_SET_VFW_ENUM,
                         IDC_SET_ACM_ENUM,        IDC_SET_RENDERING,      IDC_SET_REGISTRY,
                         IDC_SET_DRIVER_FILES,    IDC_SET_RENDER_IN_BATCH};
    const int modes[] = {IDC_SET_MODE_NORMAL, IDC_SET_MODE_NO_RENDER, IDC_SET_MODE_INFO_ONLY};
    const struct {
        const char* stored; // "" none, "sz" a text value
        DWORD value;
        int shown;
    } cases[] = {{"", 0, 1}, {"dword", 2, 2}, {"dword", 3, 3}, {"dword", 7, 1}, {"sz", 3, 1}};
    for (const auto& c : cases) {
        clearSettings();
        if (std::string(c.stored) == "dword") setDword("RunMode", c.value);
        if (std::string(c.stored) == "sz") setString("RunMode", "3");
        guitest::Program program(TAVRO_EXE, "");
        HWND window = program.waitForWindow(kTitle, 20000);
        ASSERT_NE(window, nullptr);
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_GENERAL, 0), 0);
        HWND dialog = program.waitForWindow("Settings", 10000);
        ASSERT_NE(dialog, nullptr);
        const std::string what = std::string(c.stored) + " " + std::to_string(c.value);

        auto expectMode = [&](int mode) {
            for (int m = 1; m <= 3; ++m)
                EXPECT_EQ(SendDlgItemMessageA(dialog, modes[m - 1], BM_GETCHECK, 0, 0) ==
                              BST_CHECKED,
                          m == mode)
                    << what << " mode " << m;
            for (int box = 0; box < 8; ++box) {
                const bool enabled = box == 7 || (mode == 1) || (mode == 2 && box != 4);
                EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog, boxes[box])) != FALSE, enabled)
                    << what << " mode " << mode << " box " << box;
            }
        };
        expectMode(c.shown);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_SET_SAVE_DEFAULT)));
        // First run: every source ticked, batch rendering not.
        if (!*c.stored) {
            for (int box = 0; box < 7; ++box)
                EXPECT_EQ(SendDlgItemMessageA(dialog, boxes[box], BM_GETCHECK, 0, 0), BST_CHECKED);
            EXPECT_EQ(SendDlgItemMessageA(dialog, boxes[7], BM_GETCHECK, 0, 0), BST_UNCHECKED);
        }
        // A radio click applies the rule at once.
        const int clicked = c.shown == 3 ? 2 : 3;
        SendDlgItemMessageA(dialog, modes[clicked - 1], BM_CLICK, 0, 0);
        expectMode(clicked);

        SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
        ASSERT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000));
        EXPECT_EQ(program.closeAndWait(window, 10000), 0);
        // Cancel wrote nothing: the stored mode is as it was.
        if (std::string(c.stored) == "dword") {
            EXPECT_EQ(stored("RunMode").dword(), c.value);
        }
    }
}

TEST(MainWindow, SaveAsDefaultStoresTheRunModeAtOnce) {
    clearSettings();
    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_GENERAL, 0), 0);
    HWND dialog = program.waitForWindow("Settings", 10000);
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageA(dialog, IDC_SET_MODE_NO_RENDER, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_SET_SAVE_DEFAULT, BM_CLICK, 0, 0);
    EXPECT_EQ(stored("RunMode").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(stored("RunMode").dword(), 2u);
    EXPECT_EQ(stored("EnableBits").dword(), 0xFFFFFFFFu);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_SET_SAVE_DEFAULT)));
    SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

TEST(MainWindow, WritesTheWorkingSettingsOnExit) {
    clearSettings();
    setString("LastMediaFile", "C:\\clips\\seed.avi");
    setDword("FileMaskIndex", 2);
    setDword("ExportFormat", 5); // the wrong type: read as missing, the default written back
    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);

    EXPECT_EQ(stored("ExportMode").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(stored("ExportMode").dword(), 1u);
    EXPECT_EQ(stored("FileMaskIndex").dword(), 2u);
    EXPECT_EQ(stored("LastMediaFile").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored("LastMediaFile").text(), "C:\\clips\\seed.avi");
    EXPECT_EQ(stored("ExportFormat").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored("ExportFormat").text(),
              "Title: %@\\r\\nDuration: %K\\r\\nVideo Codec: %F\\r\\n\\r\\n");
    EXPECT_EQ(stored("ExportFile").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored("ExportPath").type, static_cast<DWORD>(REG_SZ));
    // The defaults are written only by "Save as default".
    EXPECT_EQ(stored("RunMode").type, 0u);
    EXPECT_EQ(stored("EnableBits").type, 0u);
}

} // namespace
