// The render test and the View menu lists in the real window: a rendered AVI fills
// the DirectShow Render group, and each list opens, fills and copies its rows.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "gui_harness.h"
#include "gui_steps.h"
#include "resource.h"
#include "table_dialog_ids.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

size_t lineCount(const std::string& text) {
    size_t n = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++n;
    return n;
}

TEST(RenderWindow, RendersTheFileAndOpensEachList) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orlent\\Tavro\\Settings");
    const std::string avi = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    guitest::Program program(TAVRO_EXE, "\"" + avi + "\"");
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    const char kRendered[] = "File rendered successfully; no errors reported   (details...)";
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_RENDER_STATUS) == kRendered; }, 30000))
        << guitest::controlText(window, IDC_RENDER_STATUS);
    ASSERT_TRUE(guitest::waitForPlayTests(window, 30000));
    EXPECT_EQ(guitest::controlText(window, IDC_RENDER_SOURCE_MEDIA), "AVI file");
    EXPECT_NE(guitest::controlText(window, IDC_RENDER_VIDEO_CODEC), "");
    EXPECT_EQ(guitest::controlText(window, IDC_FILE_STATUS), "File Length Correct");
    guitest::settle(window);
    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_rendered.bmp"));

    const struct {
        int command;
        const char* title;
        size_t minimumRows;
        const char* someText;
    } lists[] = {
        {IDM_VIEW_DB_VIDEO, "VIDEO: Known Compression Formats", 100, "Motion JPEG"},
        {IDM_VIEW_DB_AUDIO, "AUDIO: Known Compression Formats", 50, "WAVE_FORMAT_PCM"},
        {IDM_VIEW_INSTALLED_VIDEO, "VIDEO: Installed codecs", 1, "Cinepak"},
        {IDM_VIEW_INSTALLED_AUDIO, "AUDIO: Installed codecs", 1, "IMA ADPCM"},
        {IDM_VIEW_INSTALLED_MF, "MEDIA FOUNDATION: Installed transforms", 1, "Video Decoder"},
    };
    for (const auto& l : lists) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(l.command, 0), 0);
        HWND dialog = program.waitForWindow(l.title, 20000);
        ASSERT_NE(dialog, nullptr) << l.title;
        HWND list = GetDlgItem(dialog, IDC_TABLE_LIST);
        const size_t rows = static_cast<size_t>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_GE(rows, l.minimumRows) << l.title;
        SendMessageA(dialog, WM_COMMAND, IDM_TABLE_COPY_ALL, 0);
        const std::string copied = guitest::clipboardText();
        EXPECT_EQ(lineCount(copied), rows) << l.title;
        EXPECT_NE(copied.find(l.someText), std::string::npos) << l.title;
        if (l.command == IDM_VIEW_INSTALLED_AUDIO)
            guitest::saveWindowBitmap(dialog, std::string(TAVRO_ARTIFACT_DIR) + "/codec_list.bmp");
        if (l.command == IDM_VIEW_INSTALLED_MF)
            guitest::saveWindowBitmap(dialog, std::string(TAVRO_ARTIFACT_DIR) + "/mf_list.bmp");
        SendMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000)) << l.title;
    }
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

TEST(RenderWindow, SeveralFilesGreyTheRenderFieldsWithTheReason) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orlent\\Tavro\\Settings");
    const std::string media = TAVRO_MEDIA_DIR;
    guitest::Program program(TAVRO_EXE,
                             "\"" + media + "/mjpeg_pcm.avi\" \"" + media + "/pcm16_stereo.wav\"");
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    const char kReason[] = "Disabled by default when processing multiple files (see prefs)";
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_RENDER_STATUS) == kReason; }, 30000))
        << guitest::controlText(window, IDC_RENDER_STATUS);
    for (int id : {IDC_RENDER_SOURCE_MEDIA, IDC_RENDER_VIDEO_MEDIA, IDC_RENDER_AUDIO_MEDIA,
                   IDC_RENDER_SPLITTER, IDC_RENDER_VIDEO_CODEC, IDC_RENDER_AUDIO_CODEC}) {
        EXPECT_EQ(guitest::controlText(window, id), "<disabled>") << id;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, id))) << id;
    }
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace

// A file on the command line: the window shows at once and fills as the steps
// finish; a render test that takes long (delayed here by the test hook) leaves the
// window painted, says "ESC to cancel...", and ESC cancels it.
TEST(RenderWindow, ShowsAtOnceAndEscapeCancelsASlowRender) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orlent\\Tavro\\Settings");
    const std::string avi = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    SetEnvironmentVariableA("TAVRO_TEST_RENDER_DELAY_MS", "120000");
    guitest::Program program(TAVRO_EXE, "\"" + avi + "\"");
    SetEnvironmentVariableA("TAVRO_TEST_RENDER_DELAY_MS", nullptr);
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    // Visible and filled with the analysis while the render is still under way.
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_RENDER_STATUS) == "Rendering..."; }, 30000))
        << guitest::controlText(window, IDC_RENDER_STATUS);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(guitest::controlText(window, IDC_FILE_STATUS), "ESC to cancel...");
    EXPECT_EQ(guitest::controlText(window, IDC_VIDEO_STATUS), "processing...");
    EXPECT_NE(guitest::controlText(window, IDC_FILE_SIZE), "");
    EXPECT_NE(guitest::controlText(window, IDC_VIDEO_FOURCC), "");
    // The window's thread answers at once while the render test runs.
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0);
    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_rendering.bmp"));

    ASSERT_TRUE(guitest::escapeCancels(window, IDC_RENDER_STATUS))
        << guitest::controlText(window, IDC_RENDER_STATUS);
    ASSERT_TRUE(guitest::waitForPlayTests(window, 30000));
    EXPECT_EQ(guitest::controlText(window, IDC_FILE_STATUS), "File Length Correct");
    EXPECT_EQ(guitest::controlText(window, IDC_RENDER_VIDEO_CODEC), "");
    // The window is still there and closes normally, the abandoned test or not.
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

// A file named in Japanese renders in the real window, and the splitter that decodes
// by itself (Wine's) fills the audio fields as well as the video ones.
TEST(RenderWindow, JapaneseNamedFileRendersWithTheAudioFieldsFilled) {
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Orlent\\Tavro\\Settings");
    const std::wstring source = guitest::widen(std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi");
    const std::wstring copy = guitest::widen(std::string(TAVRO_MEDIA_DIR)) +
                              L"/\u52d5\u753b\u30c6\u30b9\u30c8_\u65e5\u672c\u8a9e.avi";
    ASSERT_TRUE(CopyFileW(source.c_str(), copy.c_str(), FALSE)) << GetLastError();
    guitest::Program program(guitest::widen(TAVRO_EXE), L"\"" + copy + L"\"");
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    const char kRendered[] = "File rendered successfully; no errors reported   (details...)";
    EXPECT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_RENDER_STATUS) == kRendered; }, 30000))
        << guitest::controlText(window, IDC_RENDER_STATUS);
    ASSERT_TRUE(guitest::waitForPlayTests(window, 30000));
    EXPECT_EQ(guitest::controlText(window, IDC_RENDER_SOURCE_MEDIA), "AVI file");
    const std::string video = guitest::controlText(window, IDC_RENDER_VIDEO_CODEC);
    EXPECT_NE(video, "");
    EXPECT_EQ(guitest::controlText(window, IDC_RENDER_AUDIO_CODEC), video);
    EXPECT_EQ(guitest::controlText(window, IDC_RENDER_AUDIO_MEDIA), "AVI file");
    EXPECT_EQ(guitest::controlText(window, IDC_RENDER_SPLITTER), video);
    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_japanese_render.bmp"));

    // The render popup's "Show graph" opens the graph window over the same graph.
    HWND status = GetDlgItem(window, IDC_RENDER_STATUS);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_RENDER_STATUS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(status));
    HWND popup = nullptr, showGraph = nullptr;
    EXPECT_TRUE(guitest::waitUntil(
        [&] {
            popup = FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr);
            showGraph = popup ? FindWindowExA(popup, nullptr, "BUTTON", "Show graph") : nullptr;
            return showGraph != nullptr;
        },
        5000));
    if (showGraph) {
        PostMessageA(popup, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(showGraph), BN_CLICKED),
                     reinterpret_cast<LPARAM>(showGraph));
        HWND graph = nullptr;
        EXPECT_TRUE(guitest::waitUntil(
            [&] {
                graph = FindWindowExA(nullptr, nullptr, "TavroRenderGraph", nullptr);
                return graph && IsWindowVisible(graph);
            },
            5000));
        if (graph) {
            wchar_t title[256] = {};
            GetWindowTextW(graph, title, 256);
            EXPECT_EQ(std::wstring(title).substr(0, 15), L"Render Graph - ");
            EXPECT_TRUE(guitest::saveWindowBitmap(graph, std::string(TAVRO_ARTIFACT_DIR) +
                                                             "/render_graph_window.bmp"));
            PostMessageA(graph, WM_CLOSE, 0, 0);
        }
    }
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
    DeleteFileW(copy.c_str());
}
