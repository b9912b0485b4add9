// File names beyond the ANSI code page and beyond MAX_PATH through the window: from
// its command line and from its Open dialog, the Path field showing each one whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";
// A report field answers it with the length of its full text when that does not fit.
const UINT kMsgTitleTipQuery = WM_APP + 0x40;
const int kFileNameCombo = 0x47c; // the Open dialog's file name box

int utf8Length(const std::wstring& text) {
    return WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                               nullptr, nullptr);
}

// The long-path form the file API needs for the deep folders of this test.
std::wstring extended(std::wstring path) {
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return L"\\\\?\\" + path;
}

// Copies a generated AVI to `path`, making the folders on the way.
bool place(const std::wstring& path) {
    for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
         at = path.find(L'\\', at + 1))
        CreateDirectoryW(extended(path.substr(0, at)).c_str(), nullptr);
    const std::wstring source = guitest::widen(std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi");
    return CopyFileW(extended(source).c_str(), extended(path).c_str(), FALSE) != FALSE;
}

std::wstring tempFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path;
}

struct Paths {
    std::wstring japanese, latin1, deep;
};

Paths makeFiles() {
    const std::wstring base = tempFolder() + L"tavro_paths\\";
    Paths p;
    p.japanese = base + L"\u30c6\u30b9\u30c8\u52d5\u753b_\u30d5\u30a1\u30a4\u30eb.avi";
    p.latin1 = base + L"canci\u00f3n_\u00d1and\u00fa.avi";
    p.deep = base;
    while (p.deep.size() < 290)
        p.deep += L"a_folder_with_a_rather_long_name\\";
    p.deep += L"deep_file.avi";
    return p;
}

bool pathShows(HWND window, const std::wstring& path) {
    return guitest::controlTextW(window, IDC_PATH) == path &&
           guitest::controlText(window, IDC_FILE_STATUS) == "File Length Correct";
}

TEST(WindowPaths, CommandLineNamesInAnyScriptAndPastMaxPath) {
    const Paths p = makeFiles();
    ASSERT_GT(p.deep.size(), 300u);
    for (const auto* path : {&p.japanese, &p.latin1, &p.deep})
        ASSERT_TRUE(place(*path)) << GetLastError();

    const std::wstring args = L"\"" + p.japanese + L"\" \"" + p.latin1 + L"\" \"" + p.deep + L"\"";
    guitest::Program program(guitest::widen(TAVRO_EXE), args);
    ASSERT_TRUE(program.started());
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    const std::wstring* order[] = {&p.japanese, &p.latin1, &p.deep};
    for (int i = 0; i < 3; ++i) {
        if (i > 0) PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 0), 0);
        EXPECT_TRUE(guitest::waitUntil([&] { return pathShows(window, *order[i]); }, 20000))
            << "file " << i << ": " << guitest::controlText(window, IDC_FILE_STATUS);
    }
    // The deep path cannot fit: its title tip holds all of it, not a cut copy.
    const LRESULT full = SendMessageW(GetDlgItem(window, IDC_PATH), kMsgTitleTipQuery, 0, 0);
    EXPECT_EQ(full, utf8Length(p.deep));
    EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/main_window_deep_path.bmp"));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

TEST(WindowPaths, OpenDialogTakesAJapaneseName) {
    const Paths p = makeFiles();
    ASSERT_TRUE(place(p.japanese));
    guitest::Program program(TAVRO_EXE, "");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_OPEN, 0), 0);
    HWND dialog = program.waitForWindow("Select file(s) to be checked..", 20000);
    ASSERT_NE(dialog, nullptr);
    HWND name = GetDlgItem(dialog, kFileNameCombo);
    ASSERT_NE(name, nullptr);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(p.japanese.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(guitest::waitUntil([&] { return pathShows(window, p.japanese); }, 20000))
        << guitest::controlText(window, IDC_FILE_STATUS);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

} // namespace
