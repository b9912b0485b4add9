// The report controls and the explanation popup, driven in this process under Wine.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/ui/open_selection.h"
#include "app/ui/settings_io.h"
#include "app/win/explanation_popup.h"
#include "app/win/link_button.h"
#include "app/win/registry_settings_store.h"
#include "app/win/report_field.h"
#include "app/win/wide_file_names.h"
#include "app/win/window_messages.h"

namespace tavro {
namespace {

// A plain top-level window at a known place to host the controls.
class Host {
  public:
    Host(int x, int y, int width, int height) {
        hwnd_ = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, x, y, width, height,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~Host() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }
    HWND child(const char* cls, DWORD style, int width) {
        return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, width, 20, hwnd_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(1003)),
                               GetModuleHandleA(nullptr), nullptr);
    }

  private:
    HWND hwnd_;
};

TEST(ReportField, KnowsWhenItsTextDoesNotFit) {
    Host host(0, 0, 400, 100);
    ReportField field;
    ASSERT_TRUE(field.attach(host.child("EDIT", ES_READONLY | ES_AUTOHSCROLL, 100)));

    const struct {
        std::string text;
        bool truncated;
    } cases[] = {{"short", false},
                 {"C:\\a rather long folder name\\and a long file name.avi", true},
                 {"", false}};
    for (const auto& c : cases) {
        field.setText(c.text);
        EXPECT_EQ(field.truncated(), c.truncated) << c.text;
        char buffer[256] = {};
        const LRESULT answered = SendMessageA(field.hwnd(), kMsgTitleTipQuery, sizeof buffer,
                                              reinterpret_cast<LPARAM>(buffer));
        EXPECT_EQ(answered, c.truncated ? static_cast<LRESULT>(c.text.size()) : 0) << c.text;
        EXPECT_EQ(std::string(buffer), c.truncated ? c.text : std::string()) << c.text;
    }
    // Text set from outside through the window is measured as well.
    SetWindowTextA(field.hwnd(), std::string(80, 'W').c_str());
    EXPECT_TRUE(field.truncated());
    // The copy keeps a deep path whole (the title tip shows all of it); a small
    // buffer gets what fits.
    field.setText(std::string(300, 'x'));
    EXPECT_EQ(field.text().size(), 300u);
    char small[8] = {};
    EXPECT_EQ(SendMessageA(field.hwnd(), kMsgTitleTipQuery, sizeof small,
                           reinterpret_cast<LPARAM>(small)),
              300);
    EXPECT_STREQ(small, "xxxxxxx");
}

// In a Unicode window (the main dialog is one) any script shows: UTF-8 in, the same
// text back, measured in its wide form.
TEST(ReportField, ShowsUtf8TextInAUnicodeWindow) {
    Host host(0, 0, 400, 100);
    ReportField field;
    ASSERT_TRUE(field.attach(CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_READONLY,
                                             0, 0, 100, 20, host.hwnd(), nullptr,
                                             GetModuleHandleW(nullptr), nullptr)));
    const std::string japanese = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.avi";
    field.setText(japanese);
    EXPECT_EQ(field.text(), japanese);
    EXPECT_FALSE(field.truncated());
    wchar_t shown[16] = {};
    GetWindowTextW(field.hwnd(), shown, 16);
    EXPECT_STREQ(shown, L"\u30c6\u30b9\u30c8.avi");
}

TEST(ReportField, KeepsOrDropsItsLinkByOperation) {
    Host host(0, 0, 400, 100);
    ReportField field;
    ASSERT_TRUE(field.attach(host.child("EDIT", ES_READONLY, 200)));
    field.setTextAndLink("Xvid", "tavro://3.video.codec");
    field.setSecondaryText("Xvid MPEG-4 Codec");
    field.setText("Xvid (again)");
    EXPECT_EQ(field.linkTarget(), "tavro://3.video.codec");
    EXPECT_EQ(field.secondaryText(), "Xvid MPEG-4 Codec");
    field.setPlainText("plain");
    EXPECT_EQ(field.linkTarget(), "");
    EXPECT_EQ(field.secondaryText(), "");
    field.setTextAndLink("x", "tavro://1.audio.codec");
    field.clear();
    EXPECT_EQ(field.text(), "");
    EXPECT_EQ(field.linkTarget(), "");
}

TEST(LinkButton, PushAndPopRestoreTextAndState) {
    Host host(0, 0, 400, 100);
    LinkButton link;
    ASSERT_TRUE(link.attach(host.child("BUTTON", BS_OWNERDRAW, 200), LinkButton::Menu::Details));
    link.setText("File is OK");
    link.enable();
    link.pushText("processing...");
    EXPECT_EQ(link.text(), "processing...");
    link.disable(false);
    link.pushText("ESC to cancel...");
    link.popText();
    EXPECT_EQ(link.text(), "processing...");
    EXPECT_FALSE(IsWindowEnabled(link.hwnd()));
    link.popText();
    EXPECT_EQ(link.text(), "File is OK");
    EXPECT_TRUE(IsWindowEnabled(link.hwnd()));
    link.popText(); // nothing saved: unchanged
    EXPECT_EQ(link.text(), "File is OK");
    link.disable(true);
    EXPECT_EQ(link.text(), "");
    EXPECT_NE(LinkButton::handCursor(), nullptr);
}

TEST(LinkButton, ContextMenusCarryTheirCodes) {
    const auto details = LinkButton::menuItems(LinkButton::Menu::Details);
    ASSERT_EQ(details.size(), 1u);
    EXPECT_STREQ(details[0].first, "Details...");
    EXPECT_EQ(details[0].second, 0x8025);
    const auto batch = LinkButton::menuItems(LinkButton::Menu::Batch);
    ASSERT_EQ(batch.size(), 2u);
    EXPECT_STREQ(batch[0].first, "Next File");
    EXPECT_EQ(batch[0].second, 0x8027);
    EXPECT_STREQ(batch[1].first, "All Files (non-stop)");
    EXPECT_EQ(batch[1].second, 0x8026);
    EXPECT_TRUE(LinkButton::menuItems(LinkButton::Menu::None).empty());
}

TEST(ExplanationPopup, OpensAtTheMouseAndAvoidsTheEdges) {
    Host owner(100, 100, 600, 400); // right edge 700, bottom edge 500
    const Explanation text = {"The file is {complete}.~It plays with {this codec}.",
                              {"tavro://local.a", "tavro://2.video.codec"}};
    const struct {
        POINT mouse;
        bool movedLeft, movedUp;
    } cases[] = {{{200, 150}, false, false},
                 {{650, 150}, true, false},
                 {{200, 480}, false, true},
                 {{650, 480}, true, true}};
    for (const auto& c : cases) {
        ExplanationPopup popup;
        ASSERT_TRUE(popup.open(owner.hwnd(), 3, text, c.mouse));
        RECT rect;
        GetWindowRect(popup.hwnd(), &rect);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        EXPECT_EQ(width, 349);
        EXPECT_GT(height, 24);
        EXPECT_EQ(rect.left, c.movedLeft ? c.mouse.x - width : c.mouse.x) << c.mouse.x;
        EXPECT_EQ(rect.top, c.movedUp ? c.mouse.y - height : c.mouse.y) << c.mouse.y;
        EXPECT_EQ(popup.kind(), 3);
        int links = 0, texts = 0;
        for (HWND child = GetWindow(popup.hwnd(), GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof cls);
            (lstrcmpiA(cls, "Button") == 0 ? links : texts) += 1;
        }
        EXPECT_EQ(links, 2);
        EXPECT_EQ(texts, 4); // "The file is ", ".", "It plays with ", "."
    }
}

TEST(ExplanationPopup, AClickInsideClosesIt) {
    Host owner(0, 0, 600, 400);
    ExplanationPopup popup;
    ASSERT_TRUE(popup.open(owner.hwnd(), 1, {"Some text", {}}, {10, 10}));
    ASSERT_TRUE(popup.isOpen());
    SendMessageA(popup.hwnd(), WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(popup.isOpen());
    EXPECT_EQ(popup.kind(), 0);
}

TEST(RegistrySettingsStore, RoundTripsAndTreatsMistypedValuesAsMissing) {
    RegistrySettingsStore store;
    deleteRegistryEntries(store);
    Settings s;
    s.runMode = 2;
    s.lastMediaFile = "C:\\clips\\a.avi";
    ASSERT_TRUE(saveDefaults(store, s));
    ASSERT_TRUE(saveWorkingSettings(store, s));
    Settings back = loadSettings(store);
    EXPECT_EQ(back.runMode, 2);
    EXPECT_EQ(back.enableBits, 0xFFFFFFFFu);
    EXPECT_EQ(back.lastMediaFile, "C:\\clips\\a.avi");

    EXPECT_TRUE(store.writeText("RunMode", "3"));
    int32_t number = 0;
    EXPECT_FALSE(store.readInt("RunMode", number));
    EXPECT_EQ(loadSettings(store).runMode, 1);
    std::string text;
    EXPECT_FALSE(store.readText("FileMaskIndex", text));

    // A path in any script comes back as it went in.
    const std::string japanese = "C:\\\xE3\x82\xAF\xE3\x83\xAA\xE3\x83\x83\xE3\x83\x97\\a.avi";
    EXPECT_TRUE(store.writeText("LastMediaFile", japanese));
    EXPECT_TRUE(store.readText("LastMediaFile", text));
    EXPECT_EQ(text, japanese);

    EXPECT_TRUE(deleteRegistryEntries(store));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Orlent", 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_FALSE(store.readInt("RunMode", number));
}

// A drop as the shell makes it (wide names after a DROPFILES header).
HDROP makeDrop(const std::wstring& names) {
    const SIZE_T bytes = sizeof(DROPFILES) + (names.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(header + 1, names.c_str(), (names.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

TEST(WideFileNames, DropsGiveUtf8PathsUpToTheLimit) {
    const wchar_t names[] = L"C:\\clips\\\u30c6\u30b9\u30c8.avi\0C:\\clips\\canci\u00f3n.avi";
    HDROP drop = makeDrop(std::wstring(names, std::size(names)));
    const std::vector<std::string> both = droppedFiles(drop, 1000);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0], "C:\\clips\\\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.avi");
    EXPECT_EQ(both[1], "C:\\clips\\canci\xC3\xB3n.avi");
    EXPECT_EQ(droppedFiles(drop, 1).size(), 1u);
    GlobalFree(drop);
}

TEST(WideFileNames, OpenDialogSelectionsBecomeUtf8Paths) {
    // Several files: the folder, then the names.
    const wchar_t several[] = L"C:\\\u30c6\0a.avi\0\u00f3.avi\0\0stale.avi\0";
    std::size_t offset = 4; // past the folder's three characters and its NUL
    std::vector<char> buffer = utf8Selection(several, std::size(several), offset);
    std::vector<std::string> paths = parseOpenSelection(buffer.data(), buffer.size(), offset);
    ASSERT_EQ(paths.size(), 2u);
    EXPECT_EQ(paths[0], "C:\\\xE3\x83\x86\\a.avi");
    EXPECT_EQ(paths[1], "C:\\\xE3\x83\x86\\\xC3\xB3.avi");
    // One file: the name offset points inside the first string.
    const wchar_t one[] = L"C:\\clips\\\u30c6.avi\0\0";
    offset = 9;
    buffer = utf8Selection(one, std::size(one), offset);
    paths = parseOpenSelection(buffer.data(), buffer.size(), offset);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], "C:\\clips\\\xE3\x83\x86.avi");
    EXPECT_EQ(firstSelectionString(buffer.data(), buffer.size()), paths[0]);
}

} // namespace
} // namespace tavro
