// INFO editing in the real tavro.exe under Wine: the field editor driven in the
// window, the Delete key and Save with the file checked afterwards, a new field, and
// Save As into a copy, the question about unsaved edits on exit, and the offer to put
// back the head of a save that was cut short.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "gui_steps.h"
#include "info_shell_resource.h"
#include "infoedit/save_journal.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";

std::string tempPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

std::vector<char> readAll(const std::string& path) {
    std::vector<char> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            bytes.insert(bytes.end(), buf, buf + n);
        std::fclose(f);
    }
    return bytes;
}

size_t findBytes(const std::vector<char>& b, const std::string& s) {
    auto it = std::search(b.begin(), b.end(), s.begin(), s.end());
    return it == b.end() ? std::string::npos : size_t(it - b.begin());
}

// The list view lives in another process: its items are read and set through memory
// allocated there.
class RemoteList {
  public:
    explicit RemoteList(HWND list) : list_(list) {
        DWORD pid = 0;
        GetWindowThreadProcessId(list, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            memory_ = static_cast<char*>(
                VirtualAllocEx(process_, nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteList() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    int count() const { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::string text(int row, int column) {
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = memory_ + 1024;
        item.cchTextMax = 1024;
        WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
        SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(memory_));
        char text[1025] = {};
        ReadProcessMemory(process_, memory_ + 1024, text, 1024, nullptr);
        return text;
    }
    void select(int row) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        WriteProcessMemory(process_, memory_, &item, sizeof item, nullptr);
        SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(memory_));
    }
    int find(const std::string& code) {
        for (int i = 0; i < count(); ++i)
            if (text(i, 0) == code) return i;
        return -1;
    }
    std::string rowText(const std::string& code) {
        int row = find(code);
        return row < 0 ? std::string("<none>") : text(row, 2);
    }
    bool ready() const { return memory_ != nullptr; }

  private:
    HWND list_;
    HANDLE process_ = nullptr;
    char* memory_ = nullptr;
};

struct ChildFinder {
    DWORD pid;
    int child;
    HWND found;
};
BOOL CALLBACK matchDialogWithChild(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<ChildFinder*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid && IsWindowVisible(hwnd) && GetDlgItem(hwnd, f->child)) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
// The field editor has no caption: it is the program's window holding the text box.
// The window shows at once and fills in as the steps end; the editing commands
// wait for the render test, the last step, to finish.
bool waitForRenderTest(HWND window) {
    return guitest::waitForPlayTests(window, 60000);
}

HWND waitForEditor(HWND mainWindow) {
    ChildFinder f = {0, IDC_FE_TEXT, nullptr};
    GetWindowThreadProcessId(mainWindow, &f.pid);
    guitest::waitUntil(
        [&] {
            EnumWindows(matchDialogWithChild, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        10000);
    return f.found;
}

TEST(InfoEditGui, EditDeleteAndSaveInTheWindow) {
    const std::string source = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    const std::string path = tempPath("tavro_info_edit.avi");
    ASSERT_TRUE(CopyFileA(source.c_str(), path.c_str(), FALSE));
    const std::vector<char> before = readAll(path);
    ASSERT_GT(before.size(), 1000u);

    guitest::Program program(TAVRO_EXE, "\"" + path + "\"");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    HWND listWindow = GetDlgItem(window, IDC_COMMENTS);
    RemoteList list(listWindow);
    ASSERT_TRUE(list.ready());
    ASSERT_TRUE(guitest::waitUntil([&] { return list.find("INAM") >= 0; }, 15000));
    ASSERT_TRUE(waitForRenderTest(window)) << guitest::controlText(window, IDC_RENDER_STATUS);
    EXPECT_EQ(list.text(list.find("INAM"), 1), "Name");
    EXPECT_EQ(list.text(list.find("ISFT"), 1), "Software");
    // Rows and columns fill the list: several rows show, the Name column holds the
    // longest name whole, and the three columns span the list.
    EXPECT_GE(SendMessageA(listWindow, LVM_GETCOUNTPERPAGE, 0, 0), 5);
    HDC dc = GetDC(listWindow);
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0,
                             0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE junk = {};
    GetTextExtentPoint32A(dc, "(ASCII in junk chunk)", 21, &junk);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(listWindow, dc);
    EXPECT_GE(SendMessageA(listWindow, LVM_GETCOLUMNWIDTH, 1, 0), junk.cx + 12);
    RECT client;
    GetClientRect(listWindow, &client);
    int total = 0;
    for (int c = 0; c < 3; ++c)
        total += static_cast<int>(SendMessageA(listWindow, LVM_GETCOLUMNWIDTH, c, 0));
    EXPECT_GE(total, client.right - GetSystemMetrics(SM_CXVSCROLL) - 2);
    EXPECT_LE(total, client.right);
    guitest::settle(window);
    guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) + "/comments_list.bmp");

    // Edit through the field editor.
    list.select(list.find("INAM"));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_EDIT_EDIT, 0), 0);
    HWND editor = waitForEditor(window);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(guitest::controlText(editor, IDC_FE_NAME), "INAM: Name");
    EXPECT_EQ(guitest::controlText(editor, IDC_FE_TEXT), "Tavro test");
    // The current text is shown selected while the name box has the focus.
    HWND textBox = GetDlgItem(editor, IDC_FE_TEXT);
    const DWORD selection = static_cast<DWORD>(SendMessageA(textBox, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), 10);
    EXPECT_TRUE(GetWindowLongA(textBox, GWL_STYLE) & ES_NOHIDESEL);
    SendMessageA(GetDlgItem(editor, IDC_FE_TEXT), WM_SETTEXT, 0, (LPARAM) "Edited in Wine");
    guitest::settle(editor);
    EXPECT_TRUE(guitest::saveWindowBitmap(editor, std::string(TAVRO_ARTIFACT_DIR) +
                                                      "/info_field_editor.bmp"));
    guitest::press(editor, IDOK);
    ASSERT_TRUE(guitest::waitUntil([&] { return list.rowText("INAM") == "Edited in Wine"; }, 10000))
        << list.rowText("INAM");

    // Delete key on IART asks first.
    list.select(list.find("IART"));
    PostMessageA(listWindow, WM_KEYDOWN, VK_DELETE, 0);
    HWND confirm = program.waitForWindow("Confirm", 10000);
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(guitest::messageBoxText(confirm), "Delete info node IART (Artist)?");
    PostMessageA(confirm, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return list.find("IART") < 0; }, 10000));
    EXPECT_EQ(readAll(path), before) << "nothing is written before Save";

    // Save asks, then writes the head only.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_SAVE, 0), 0);
    HWND question = program.waitForWindow("File Modification Confirmation", 10000);
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(guitest::messageBoxText(question), "Overwrite the input file with updated version?");
    PostMessageA(question, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(guitest::waitUntil(
        [&] { return guitest::controlText(window, IDC_FILE_STATUS) == "Update successful"; },
        10000))
        << guitest::controlText(window, IDC_FILE_STATUS);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0); // saved: no question on exit

    const std::vector<char> after = readAll(path);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_NE(findBytes(after, std::string("Edited in Wine\0", 15)), std::string::npos);
    EXPECT_EQ(findBytes(after, "IART"), std::string::npos);
    const size_t movi = findBytes(before, "movi") - 8;
    EXPECT_TRUE(std::equal(before.begin() + movi, before.end(), after.begin() + movi));
    DeleteFileA(path.c_str());
}

TEST(InfoEditGui, NewFieldSaveAsAndTheQuestionOnExit) {
    const std::string source = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    const std::string path = tempPath("tavro_info_new.avi");
    ASSERT_TRUE(CopyFileA(source.c_str(), path.c_str(), FALSE));
    const std::vector<char> before = readAll(path);

    guitest::Program program(TAVRO_EXE, "\"" + path + "\"");
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    RemoteList list(GetDlgItem(window, IDC_COMMENTS));
    ASSERT_TRUE(guitest::waitUntil([&] { return list.find("INAM") >= 0; }, 15000));
    ASSERT_TRUE(waitForRenderTest(window)) << guitest::controlText(window, IDC_RENDER_STATUS);

    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_EDIT_NEW, 0), 0);
    HWND editor = waitForEditor(window);
    ASSERT_NE(editor, nullptr);
    HWND names = GetDlgItem(editor, IDC_FE_LIST);
    EXPECT_TRUE(IsWindowVisible(names));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDOK)));
    EXPECT_EQ(SendMessageA(names, CB_GETCOUNT, 0, 0), 26);
    // Choose "ICMT: Comments" as a user would: select it, the list tells its owner.
    const LRESULT at = SendMessageA(names, CB_FINDSTRINGEXACT, -1, (LPARAM) "ICMT: Comments");
    ASSERT_GE(at, 0);
    SendMessageA(names, CB_SETCURSEL, at, 0);
    SendMessageA(editor, WM_COMMAND, MAKEWPARAM(IDC_FE_LIST, CBN_SELCHANGE), (LPARAM)names);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, IDOK)));
    SendMessageA(GetDlgItem(editor, IDC_FE_TEXT), WM_SETTEXT, 0, (LPARAM) "Added");
    guitest::press(editor, IDOK);
    ASSERT_TRUE(guitest::waitUntil([&] { return list.rowText("ICMT") == "Added"; }, 10000));
    EXPECT_EQ(list.text(list.find("ICMT"), 1), "Comments");

    // Save As: the copy gets the edit and is opened anew; the source stays as it was.
    const std::string copy = tempPath("tavro_info_copy.avi");
    DeleteFileA(copy.c_str());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_SAVE_AS, 0), 0);
    HWND save = program.waitForWindow("Save modified copy of AVI file to...", 15000);
    ASSERT_NE(save, nullptr);
    HWND nameBox = GetDlgItem(save, 0x47c); // the file name box of the explorer dialog
    if (!nameBox) nameBox = GetDlgItem(save, 0x480);
    ASSERT_NE(nameBox, nullptr);
    SendMessageA(nameBox, WM_SETTEXT, 0, (LPARAM)copy.c_str());
    guitest::press(save, IDOK);
    EXPECT_TRUE(guitest::waitUntil(
        [&] {
            return guitest::controlText(window, IDC_FILE_STATUS) ==
                   "Copying and modification successful";
        },
        15000))
        << guitest::controlText(window, IDC_FILE_STATUS);
    EXPECT_EQ(guitest::controlText(window, IDC_PATH), copy);
    EXPECT_EQ(readAll(path), before);
    const std::vector<char> copied = readAll(copy);
    ASSERT_EQ(copied.size(), before.size());
    EXPECT_NE(findBytes(copied, std::string("ICMT\6\0\0\0Added\0", 14)), std::string::npos);
    ASSERT_TRUE(guitest::waitUntil([&] { return list.rowText("ICMT") == "Added"; }, 10000));

    // A pending edit on exit: Cancel keeps the window, No leaves the file alone.
    list.select(list.find("ICMT"));
    PostMessageA(GetDlgItem(window, IDC_COMMENTS), WM_KEYDOWN, VK_DELETE, 0);
    HWND confirm = program.waitForWindow("Confirm", 10000);
    ASSERT_NE(confirm, nullptr);
    PostMessageA(confirm, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(guitest::waitUntil([&] { return list.find("ICMT") < 0; }, 10000));
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND ask = program.waitForWindow("Exiting...", 10000);
    ASSERT_NE(ask, nullptr);
    EXPECT_EQ(guitest::messageBoxText(ask), "Save changes to " + copy + "?");
    PostMessageA(ask, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(guitest::waitUntil([&] { return !IsWindow(ask); }, 10000));
    EXPECT_TRUE(IsWindow(window));
    PostMessageA(window, WM_CLOSE, 0, 0);
    ask = program.waitForWindow("Exiting...", 10000);
    ASSERT_NE(ask, nullptr);
    PostMessageA(ask, WM_COMMAND, IDNO, 0);
    EXPECT_TRUE(guitest::waitUntil([&] { return !IsWindow(window); }, 10000));
    EXPECT_EQ(readAll(copy), copied);
    DeleteFileA(copy.c_str());
    DeleteFileA(path.c_str());
}

TEST(InfoEditGui, AnInterruptedSaveIsOfferedBackOnOpen) {
    const std::string source = std::string(TAVRO_MEDIA_DIR) + "/mjpeg_pcm.avi";
    const std::string path = tempPath("tavro_info_torn.avi");
    const std::string journal = tavro::journalPathBeside(path);
    ASSERT_TRUE(CopyFileA(source.c_str(), path.c_str(), FALSE));
    DeleteFileA(journal.c_str());
    const std::vector<char> before = readAll(path);
    ASSERT_GT(before.size(), 9000u);
    // What a save cut short in its head write leaves: the recovery file, and a head
    // that is neither the old one nor the new one.
    const auto* bytes = reinterpret_cast<const uint8_t*>(before.data());
    tavro::SaveJournal j;
    j.fileSize = before.size();
    j.oldBytes.assign(bytes, bytes + 4096);
    j.oldSum = tavro::journalSum(bytes, 4096);
    j.newSum = j.oldSum ^ 1;
    j.tailLength = 4096;
    j.tailSum = tavro::journalSum(bytes + 4096, 4096);
    const std::vector<uint8_t> encoded = tavro::encodeJournal(j);
    std::vector<char> torn = before;
    std::fill(torn.begin(), torn.begin() + 2000, '\xEE');
    for (const auto& [name, content] :
         {std::make_pair(journal, std::vector<char>(encoded.begin(), encoded.end())),
          std::make_pair(path, torn)}) {
        FILE* f = std::fopen(name.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }

    guitest::Program program(TAVRO_EXE, "\"" + path + "\"");
    HWND offer = program.waitForWindow("Interrupted Save", 20000);
    ASSERT_NE(offer, nullptr);
    EXPECT_EQ(guitest::messageBoxText(offer).rfind("Saving the header of " + path, 0), 0u)
        << guitest::messageBoxText(offer);
    PostMessageA(offer, WM_COMMAND, IDOK, 0);
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    RemoteList list(GetDlgItem(window, IDC_COMMENTS));
    ASSERT_TRUE(list.ready());
    EXPECT_TRUE(guitest::waitUntil([&] { return list.find("INAM") >= 0; }, 15000))
        << "the restored file is analysed as the old one";
    EXPECT_EQ(readAll(path), before);
    EXPECT_EQ(GetFileAttributesA(journal.c_str()), INVALID_FILE_ATTRIBUTES);
    PostMessageA(window, WM_CLOSE, 0, 0);
    DeleteFileA(path.c_str());
}

} // namespace
