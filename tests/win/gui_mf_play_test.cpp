// The Media Foundation test in the real window: it shows beside the render test
// the result tavro-cli's "mediaFoundationPlay" gives for the same file (whatever
// this prefix's Media Foundation makes of it), its popup says the same, and ESC
// cancels a test that takes long.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "gui_harness.h"
#include "gui_steps.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";
const char kSettingsKey[] = "Software\\Orlent\\Tavro\\Settings";
const char kRunning[] = "Opening through Media Foundation...";

// What a program writes to its standard output, run to its end.
std::string runCapturing(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::string line = commandLine;
    const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string out;
    if (started) {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            out.append(buffer, got);
        WaitForSingleObject(process.hProcess, 60000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return out;
}

// The string member `key` of the first object after `from`, JSON escapes undone
// (the texts compared here are ASCII).
std::string jsonString(const std::string& json, size_t from, const std::string& key) {
    const std::string quoted = "\"" + key + "\":";
    size_t at = json.find(quoted, from);
    if (at == std::string::npos) return "<no " + key + ">";
    at += quoted.size();
    while (at < json.size() && json[at] == ' ')
        ++at;
    if (at >= json.size() || json[at] != '"') return "<" + key + " not a string>";
    std::string text;
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        char c = json[at];
        if (c == '\\' && at + 1 < json.size()) {
            c = json[++at];
            if (c == 'n') c = '\n';
            if (c == 't') c = '\t';
            if (c == 'u' && at + 4 < json.size()) {
                c = static_cast<char>(std::stoi(json.substr(at + 1, 4), nullptr, 16));
                at += 4;
            }
        }
        text += c;
    }
    return text;
}

// The words alone: the popup wraps lines and turns the markup's breaks into pieces.
std::string words(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '|' && c != '~' && c != '\n') out += c;
    return out;
}

TEST(MfPlayWindow, ShowsWhatTheCliFindsForTheSameFile) {
    const struct {
        const char* file;
        const char* screenshot;
    } cases[] = {
        {"h264_aac.mp4", "main_window_mf_play_mp4.bmp"},
        {"pcm16_stereo.wav", "main_window_mf_play_wav.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
        const std::string path = std::string(TAVRO_MEDIA_DIR) + "/" + c.file;
        const std::string json =
            runCapturing("\"" + std::string(TAVRO_CLI) + "\" --jsonl \"" + path + "\"");
        const size_t mf = json.find("\"mediaFoundationPlay\"");
        ASSERT_NE(mf, std::string::npos) << json.substr(0, 400);
        const std::string cliStatus = jsonString(json, mf, "status");
        const std::string cliExplanation = jsonString(json, mf, "explanation");

        guitest::Program program(TAVRO_EXE, "\"" + path + "\"");
        ASSERT_TRUE(program.started());
        HWND window = program.waitForWindow(kTitle, 20000);
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(guitest::waitForPlayTests(window, 60000))
            << guitest::controlText(window, IDC_MF_PLAY_STATUS);
        EXPECT_EQ(guitest::controlText(window, IDC_MF_PLAY_STATUS), cliStatus);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, IDC_MF_PLAY_STATUS)));
        // The progress texts went back; the render test beside it has its own result.
        for (int id : {IDC_FILE_STATUS, IDC_VIDEO_STATUS, IDC_AUDIO_STATUS})
            EXPECT_NE(guitest::controlText(window, id), "processing...") << id;
        EXPECT_NE(guitest::controlText(window, IDC_FILE_STATUS), "ESC to cancel...");
        guitest::settle(window);
        EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) + "/" +
                                                          c.screenshot));

        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MF_PLAY_STATUS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_MF_PLAY_STATUS)));
        std::string text;
        ASSERT_TRUE(
            guitest::waitUntil([&] { return !(text = guitest::popupText()).empty(); }, 5000));
        EXPECT_EQ(words(text), words(cliExplanation)) << text;
        if (c.file == cases[0].file) {
            guitest::settle(window);
            guitest::saveWindowBitmap(
                FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr),
                std::string(TAVRO_ARTIFACT_DIR) + "/explanation_mf_play.bmp");
        }
        EXPECT_EQ(program.closeAndWait(window, 10000), 0);
    }
}

// A Media Foundation test that takes long (delayed by the test hook) leaves the
// window painted and answering, says "ESC to cancel...", and ESC cancels it.
TEST(MfPlayWindow, EscapeCancelsASlowTest) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    const std::string path = std::string(TAVRO_MEDIA_DIR) + "/h264_aac.mp4";
    SetEnvironmentVariableA("TAVRO_TEST_MF_DELAY_MS", "120000");
    guitest::Program program(TAVRO_EXE, "\"" + path + "\"");
    SetEnvironmentVariableA("TAVRO_TEST_MF_DELAY_MS", nullptr);
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_MF_PLAY_STATUS) == kRunning; }, 60000))
        << guitest::controlText(window, IDC_MF_PLAY_STATUS);
    EXPECT_EQ(guitest::controlText(window, IDC_FILE_STATUS), "ESC to cancel...");
    EXPECT_NE(guitest::controlText(window, IDC_RENDER_STATUS), "Rendering...");
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);

    ASSERT_TRUE(guitest::escapeCancels(window, IDC_MF_PLAY_STATUS))
        << guitest::controlText(window, IDC_MF_PLAY_STATUS);
    EXPECT_NE(guitest::controlText(window, IDC_FILE_STATUS), "ESC to cancel...");
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_MF_PLAY_STATUS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_MF_PLAY_STATUS)));
    std::string text;
    ASSERT_TRUE(guitest::waitUntil([&] { return !(text = guitest::popupText()).empty(); }, 5000));
    EXPECT_NE(words(text).find(words("cancelled before Media Foundation answered")),
              std::string::npos)
        << text;
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
