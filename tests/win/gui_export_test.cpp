// The text export in the real window: switched on in the Export Setup dialog,
// records appended over the "All Files (non-stop)" run, and the error path.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "export_ids.h"
#include "gui_export_support.h"
#include "gui_harness.h"
#include "gui_steps.h"
#include "resource.h"

namespace {

using namespace exporttest;

// Export is off at start: the Export Setup dialog switches it on.
void enableExport(guitest::Program& program, HWND window, const std::string& exportFile) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_EXPORT, 0), 0);
    HWND dialog = program.waitForWindow("Export Setup", 10000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(checked(dialog, IDC_EXP_ENABLE));
    EXPECT_TRUE(checked(dialog, IDC_EXP_MODE_FILE));
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_PATH), exportFile);
    EXPECT_FALSE(enabled(dialog, IDC_EXP_MODE_SAME));
    EXPECT_FALSE(enabled(dialog, IDC_EXP_MODIFY));
    EXPECT_FALSE(enabled(dialog, IDC_EXP_BROWSE));
    SendDlgItemMessageA(dialog, IDC_EXP_ENABLE, BM_CLICK, 0, 0);
    EXPECT_TRUE(enabled(dialog, IDC_EXP_MODE_SAME));
    EXPECT_TRUE(enabled(dialog, IDC_EXP_MODIFY));
    EXPECT_TRUE(enabled(dialog, IDC_EXP_BROWSE));
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_MODIFY), "Modify...");
    guitest::settle(dialog);
    guitest::saveWindowBitmap(dialog, std::string(TAVRO_ARTIFACT_DIR) + "/export_setup.bmp");
    SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000));
}

void prepare(const std::string& exportFile) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    setDword("RunMode", 3); // information only: no codec search to wait for
    setDword("ExportMode", 3);
    setString("ExportFile", exportFile);
    setString("ExportFormat", "%@|%b\\t%D");
}

TEST(Export, NonStopRunAppendsOneRecordPerFile) {
    const std::string target = tempPath("tavro_export_all.txt");
    DeleteFileA(target.c_str());
    prepare(target);
    std::vector<std::string> files;
    for (unsigned i = 0; i < 5; ++i)
        files.push_back(writeWave("tavro_exp" + std::to_string(i) + ".wav", 100 + i));
    guitest::Program program(TAVRO_EXE, quoted(files));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_COUNTER) == "  1/5  "; }, 10000));
    enableExport(program, window, target);

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_ALL, 0), 0);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_COUNTER) == "  5/5  "; }, 20000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);

    // The first file was analysed before export was on; the other four follow in order.
    std::string want;
    for (unsigned i = 1; i < 5; ++i)
        want += "tavro_exp" + std::to_string(i) + ".wav|" + std::to_string(144 + i) +
                " bytes\tWAV: 8000 Hz, 64 kb/s (64/ch x 1 ch)\r\n";
    EXPECT_EQ(readFile(target), want);
    DeleteFileA(target.c_str());
}

TEST(Export, UnwritableTargetShowsBothMessagesAndStopsExporting) {
    const std::string target = tempPath("tavro no such folder\\all.txt");
    prepare(target);
    std::vector<std::string> files;
    for (unsigned i = 0; i < 3; ++i)
        files.push_back(writeWave("tavro_expfail" + std::to_string(i) + ".wav", 50));
    guitest::Program program(TAVRO_EXE, quoted(files));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_COUNTER) == "  1/3  "; }, 10000));
    enableExport(program, window, target);

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_ALL, 0), 0);
    HWND error = program.waitForWindow("Export Error", 20000);
    ASSERT_NE(error, nullptr);
    const std::string text = messageBoxText(error);
    const std::string prefix = "Error writing to export file " + target + ":\n\n";
    EXPECT_EQ(text.rfind(prefix, 0), 0u) << text;
    EXPECT_GT(text.size(), prefix.size()) << "the system's reason follows";
    EXPECT_EQ(text.find("completed successfully"), std::string::npos) << text;
    PostMessageA(error, WM_COMMAND, IDOK, 0);
    HWND fyi = program.waitForWindow("FYI", 10000);
    ASSERT_NE(fyi, nullptr);
    EXPECT_EQ(messageBoxText(fyi), "Export mode is now set back to \"Disabled\".");
    PostMessageA(fyi, WM_COMMAND, IDOK, 0);

    // The batch goes on to its end without another export attempt.
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_COUNTER) == "  3/3  "; }, 20000));
    EXPECT_EQ(FindWindowA(nullptr, "Export Error"), nullptr);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

std::string storedText(const char* name) {
    char value[512] = {};
    DWORD size = sizeof value - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    const LONG result =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? value : "<none>";
}

TEST(Export, DefaultAndApplyStoreTheTemplateAtOnce) {
    prepare(tempPath("tavro_export_unused.txt"));
    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_EXPORT, 0), 0);
    HWND dialog = program.waitForWindow("Export Setup", 10000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_TEMPLATE), "%@|%b\\t%D");
    SendDlgItemMessageA(dialog, IDC_EXP_ENABLE, BM_CLICK, 0, 0);
    SendDlgItemMessageA(dialog, IDC_EXP_DEFAULT, BM_CLICK, 0, 0);
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_MODIFY), "Apply");
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_TEMPLATE),
              "Title: %@\\r\\nDuration: %K\\r\\nVideo Codec: %F\\r\\n\\r\\n");
    SendDlgItemMessageA(dialog, IDC_EXP_MODIFY, BM_CLICK, 0, 0);
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_MODIFY), "Modify...");
    EXPECT_EQ(storedText("ExportFormat"),
              "Title: %@\\r\\nDuration: %K\\r\\nVideo Codec: %F\\r\\n\\r\\n");
    // The folder mode shows the (empty) folder; Cancel keeps what Apply stored.
    SendDlgItemMessageA(dialog, IDC_EXP_MODE_FOLDER, BM_CLICK, 0, 0);
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_PATH), "");
    SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

bool coversButton(HWND popup, HWND dialog, int id) {
    RECT p, b, both;
    GetWindowRect(popup, &p);
    GetWindowRect(GetDlgItem(dialog, id), &b);
    return IntersectRect(&both, &p, &b) != 0;
}

// A first run has no template stored: the box starts with the default, so ticking
// "Enable Exporting" alone exports full records.
TEST(Export, FirstRunStartsWithTheDefaultTemplate) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    setDword("RunMode", 3);
    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_EXPORT, 0), 0);
    HWND dialog = program.waitForWindow("Export Setup", 10000);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(guitest::controlText(dialog, IDC_EXP_TEMPLATE),
              "Title: %@\\r\\nDuration: %K\\r\\nVideo Codec: %F\\r\\n\\r\\n");
    SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

// The texts of the open explanation popup's pieces, joined; empty when none is open.
// Whether the popup's pieces hold `phrase`, wherever its lines wrap.
bool popupHas(const std::string& pieces, const std::string& phrase) {
    auto squeeze = [](const std::string& t) {
        std::string out;
        for (char c : t)
            if (c != ' ' && c != '|') out += c;
        return out;
    };
    return squeeze(pieces).find(squeeze(phrase)) != std::string::npos;
}

// Wine has no Motion JPEG codec of the searched kinds: the status popup says what to
// install instead of "No Details Available".
TEST(Explanations, MissingCodecPopupSaysWhatIsNeeded) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    const std::string avi = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    guitest::Program program(TAVRO_EXE, quoted({avi}));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] {
            return guitest::controlText(window, IDC_VIDEO_STATUS) ==
                   "Codec NOT Installed!  [more info...]";
        },
        30000))
        << guitest::controlText(window, IDC_VIDEO_STATUS);
    // Wait for the play tests too, so the popup is not closed by their end.
    ASSERT_TRUE(guitest::waitForPlayTests(window, 30000));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDC_VIDEO_STATUS, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_VIDEO_STATUS)));
    std::string text;
    ASSERT_TRUE(guitest::waitUntil([&] { return !(text = guitest::popupText()).empty(); }, 5000));
    EXPECT_TRUE(popupHas(text, " Format: Motion JPEG,  4CC: MJPG")) << text;
    EXPECT_TRUE(popupHas(text, "What is needed: a video decoder for the 4CC MJPG")) << text;
    EXPECT_TRUE(popupHas(text, "Look for a Video for Windows codec or a DirectShow decoder filter"))
        << text;
    guitest::settle(window);
    guitest::saveWindowBitmap(FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr),
                              std::string(TAVRO_ARTIFACT_DIR) + "/explanation_missing_codec.bmp");
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

TEST(Explanations, StatusLinksShowTheirTexts) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    setDword("RunMode", 3);
    const std::string avi = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    guitest::Program program(TAVRO_EXE, quoted({avi}));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_FILE_STATUS) == "File Length Correct"; },
        10000));
    auto click = [&](int id) {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
    };
    click(IDC_FILE_STATUS);
    std::string text;
    ASSERT_TRUE(guitest::waitUntil([&] { return !(text = guitest::popupText()).empty(); }, 5000));
    EXPECT_EQ(text.rfind("This is a valid AVI file.", 0), 0u) << text;
    guitest::settle(window);
    guitest::saveWindowBitmap(FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr),
                              std::string(TAVRO_ARTIFACT_DIR) + "/explanation_file.bmp");
    EXPECT_NE(text.find("(354,910 bytes)"), std::string::npos) << text;
    // The render link shares the file link's kind: this click only closes the popup.
    click(IDC_RENDER_STATUS);
    ASSERT_TRUE(guitest::waitUntil([&] { return guitest::popupText().empty(); }, 5000));
    click(IDC_RENDER_STATUS);
    ASSERT_TRUE(guitest::waitUntil([&] { return !(text = guitest::popupText()).empty(); }, 5000));
    EXPECT_EQ(text.rfind("This section simulates 'playing' the file", 0), 0u) << text;
    click(IDC_RENDER_STATUS);
    ASSERT_TRUE(guitest::waitUntil([&] { return guitest::popupText().empty(); }, 5000));

    // The Export Setup dialog's help links open their texts in the same kind of window.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS_EXPORT, 0), 0);
    HWND dialog = program.waitForWindow("Export Setup", 10000);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_EXP_LINK_KEY, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_EXP_LINK_KEY)));
    ASSERT_TRUE(guitest::waitUntil([&] { return !(text = guitest::popupText()).empty(); }, 5000));
    EXPECT_EQ(text.rfind("%@ File Name (without path)|%A File Name (full path)|", 0), 0u) << text;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_EXP_LINK_SAMPLE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_EXP_LINK_SAMPLE)));
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return (text = guitest::popupText()).find("%@\\t%K\\t%F") != std::string::npos; },
        5000))
        << text;
    // The help leaves the dialog's buttons uncovered.
    HWND popup = FindWindowExA(nullptr, nullptr, "TavroExplanationPopup", nullptr);
    EXPECT_FALSE(coversButton(popup, dialog, IDOK));
    EXPECT_FALSE(coversButton(popup, dialog, IDCANCEL));
    guitest::settle(dialog);
    guitest::saveWindowBitmap(popup, std::string(TAVRO_ARTIFACT_DIR) + "/export_help.bmp");
    SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return !IsWindow(dialog) && guitest::popupText().empty(); }, 5000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
