// File > Diagnostic Header Save in the real window: the size buttons, the Save As
// dialog, and the snapshot file written.
#include <gtest/gtest.h>

#include "export_ids.h"
#include "gui_export_support.h"
#include "resource.h"

namespace {

using namespace exporttest;

// Runs File > Diagnostic Header Save on `media`: `size` is the button to press (0 for
// none); the Save As dialog is given `target`, unless `expectSaveDialog` is false.
void saveHeader(const std::string& media, int size, const std::string& target,
                bool expectSaveDialog) {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    setDword("RunMode", 3);
    guitest::Program program(TAVRO_EXE, quoted({media}));
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_COUNTER) == "  1/1  "; }, 10000));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_HEADER_SAVE, 0), 0);
    HWND dialog = program.waitForWindow("Diagnostic Header Save", 10000);
    ASSERT_NE(dialog, nullptr);
    // The size labelled default starts chosen.
    EXPECT_FALSE(checked(dialog, IDC_HDR_5K));
    EXPECT_TRUE(checked(dialog, IDC_HDR_50K));
    EXPECT_FALSE(checked(dialog, IDC_HDR_500K));
    if (size) SendDlgItemMessageA(dialog, size, BM_CLICK, 0, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    if (expectSaveDialog) {
        HWND save = program.waitForWindow("Save File Header as...", 10000);
        ASSERT_NE(save, nullptr);
        // The file name box: a combo box (cmb13) in the explorer style, else an edit (edt1).
        HWND name = GetDlgItem(save, 0x47c);
        if (!name) name = GetDlgItem(save, 0x480);
        ASSERT_NE(name, nullptr);
        SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(target.c_str()));
        PostMessageA(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(save, IDOK)));
        // A saved header is confirmed.
        HWND saved = program.waitForWindow("Header Saved", 10000);
        ASSERT_NE(saved, nullptr);
        EXPECT_NE(guitest::messageBoxText(saved).find(" bytes of the file were saved to "),
                  std::string::npos)
            << guitest::messageBoxText(saved);
        PostMessageA(saved, WM_COMMAND, IDOK, 0);
    }
    ASSERT_TRUE(guitest::waitUntil([&] { return !IsWindow(dialog); }, 10000));
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
}

TEST(HeaderSnapshot, SavesTheChosenSizeCutToTheFile) {
    const std::string small = writeWave("tavro_head_small.wav", 2956); // 3000 bytes
    const std::string big = writeWave("tavro_head_big.wav", 60000);
    const std::string target = tempPath("tavro_head.bin");
    DeleteFileA(target.c_str());
    saveHeader(small, IDC_HDR_500K, target, true);
    EXPECT_TRUE(readFile(target) == readFile(small)) << readFile(target).size();
    DeleteFileA(target.c_str()); // else the Save As dialog asks before replacing it
    // No button touched: 50K, chosen from the start.
    saveHeader(big, 0, target, true);
    EXPECT_TRUE(readFile(target) == readFile(big).substr(0, 51200)) << readFile(target).size();
    DeleteFileA(target.c_str());
    // An empty file has no head: nothing is asked or written.
    const std::string empty = tempPath("tavro_head_empty.avi");
    FILE* out = std::fopen(empty.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fclose(out);
    saveHeader(empty, IDC_HDR_5K, target, false);
    EXPECT_EQ(GetFileAttributesA(target.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
