// The main and Settings dialog templates: every report control with its label and
// group, tooltips under the control ids, and a tidy layout (nothing clipped, nothing
// overlapping, everything inside the window).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_harness.h"
#include "resource.h"

namespace {

struct Control {
    HWND hwnd;
    int id;
    std::string cls, text;
    RECT rect; // in dialog client coordinates
};

std::vector<Control> childrenOf(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control c = {child, GetDlgCtrlID(child), {}, {}, {}};
        char buffer[256] = {};
        GetClassNameA(child, buffer, sizeof buffer);
        c.cls = buffer;
        GetWindowTextA(child, buffer, sizeof buffer);
        c.text = buffer;
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        controls.push_back(c);
    }
    return controls;
}

bool isGroupBox(const Control& c) {
    return lstrcmpiA(c.cls.c_str(), "Button") == 0 &&
           (GetWindowLongA(c.hwnd, GWL_STYLE) & 0x0F) == BS_GROUPBOX;
}

int textWidth(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
}

// The static nearest to the left of a control on the same row.
const Control* labelOf(const std::vector<Control>& all, const Control& control) {
    const Control* best = nullptr;
    const int middle = (control.rect.top + control.rect.bottom) / 2;
    for (const auto& c : all) {
        if (lstrcmpiA(c.cls.c_str(), "Static") != 0) continue;
        if (c.rect.right > control.rect.left || middle < c.rect.top || middle > c.rect.bottom)
            continue;
        if (!best || c.rect.right > best->rect.right) best = &c;
    }
    return best;
}

const Control* groupOf(const std::vector<Control>& all, const Control& control) {
    for (const auto& c : all) {
        if (!isGroupBox(c)) continue;
        if (control.rect.left >= c.rect.left && control.rect.right <= c.rect.right &&
            control.rect.top >= c.rect.top && control.rect.bottom <= c.rect.bottom)
            return &c;
    }
    return nullptr;
}

const Control* byId(const std::vector<Control>& all, int id) {
    for (const auto& c : all)
        if (c.id == id) return &c;
    return nullptr;
}

void expectTidy(HWND dialog, const std::vector<Control>& all) {
    RECT client;
    GetClientRect(dialog, &client);
    for (const auto& c : all) {
        EXPECT_TRUE(c.rect.left >= 0 && c.rect.top >= 0 && c.rect.right <= client.right &&
                    c.rect.bottom <= client.bottom)
            << "outside the window: " << c.id << " " << c.text;
        // Labels, buttons and check boxes show their whole text (boxes need room for
        // the mark, about a text height).
        const bool isStatic = lstrcmpiA(c.cls.c_str(), "Static") == 0;
        const bool isButton = lstrcmpiA(c.cls.c_str(), "Button") == 0 && !c.text.empty();
        if (isStatic || isButton) {
            const LONG style = GetWindowLongA(c.hwnd, GWL_STYLE) & 0x0F;
            const bool hasMark = isButton && (style == BS_AUTORADIOBUTTON ||
                                              style == BS_AUTOCHECKBOX || style == BS_RADIOBUTTON);
            const int need =
                textWidth(c.hwnd, c.text) + (hasMark ? 18 : 0) + (isGroupBox(c) ? 12 : 0);
            EXPECT_LE(need, c.rect.right - c.rect.left) << "clipped: \"" << c.text << "\"";
        }
        if (isGroupBox(c)) continue;
        for (const auto& other : all) {
            if (&other == &c || isGroupBox(other)) continue;
            RECT overlap;
            EXPECT_FALSE(IntersectRect(&overlap, &c.rect, &other.rect))
                << "overlap: " << c.id << " \"" << c.text << "\" and " << other.id << " \""
                << other.text << "\"";
        }
    }
}

TEST(MainDialogLayout, EveryReportControlHasItsLabelAndGroup) {
    guitest::ProgramResources resources(TAVRO_EXE);
    HWND dialog = resources.createDialog(IDD_MAIN);
    ASSERT_NE(dialog, nullptr);
    const auto all = childrenOf(dialog);

    const char* kFile = "File";
    const char* kStream = "Stream Type and A/V Interleave";
    const char* kVideo = "Video Format";
    const char* kAudio = "Audio Format";
    const char* kRender = "DirectShow Render";
    const struct {
        int id;
        const char* label; // null: not checked (a button with its own text, or a neighbour)
        const char* group;
    } table[] = {
        {IDC_PATH, "Path", kFile},
        {IDC_FILE_SIZE, "Size", kFile},
        {IDC_FILE_STATUS, "Status", kFile},
        {IDC_COUNTER, nullptr, kFile},
        {IDC_OPEN, nullptr, kFile},
        {IDC_TYPE, "Type", kStream},
        {IDC_INTERLEAVE, "I/L", kStream},
        {IDC_IMRR, "IMRR", kStream},
        {IDC_VIDEO_FOURCC, "4CC", kVideo},
        {IDC_VIDEO_NAME, "Name", kVideo},
        {IDC_VIDEO_STATUS, "Status", kVideo},
        {IDC_ASPECT, "Aspect Ratio", kVideo},
        {IDC_VIDEO_BITRATE, "Bitrate", kVideo},
        {IDC_FRAMERATE, "Framerate", kVideo},
        {IDC_DURATION, "Duration", kVideo},
        {IDC_STREAM1, "Stream", kAudio},
        {IDC_STREAM2, nullptr, kAudio},
        {IDC_STREAM3, nullptr, kAudio},
        {IDC_AUDIO_NAME, "Name", kAudio},
        {IDC_AUDIO_STATUS, "Status", kAudio},
        {IDC_AUDIO_BITRATE, "Bitrate", kAudio},
        {IDC_FS, "Fs", kAudio},
        {IDC_RENDER_SOURCE_MEDIA, "Source Media", kRender},
        {IDC_RENDER_VIDEO_MEDIA, "Video Media", kRender},
        {IDC_RENDER_AUDIO_MEDIA, "Audio Media", kRender},
        {IDC_RENDER_SPLITTER, "Splitter/Other", kRender},
        {IDC_RENDER_VIDEO_CODEC, "Video Codec", kRender},
        {IDC_RENDER_AUDIO_CODEC, "Audio Codec", kRender},
        {IDC_RENDER_STATUS, "Status", kRender},
        {IDC_MF_PLAY_STATUS, "Status", "Media Foundation Play"},
        {IDC_COMMENTS, nullptr, "Comments / Metadata"},
    };
    for (const auto& row : table) {
        const Control* control = byId(all, row.id);
        ASSERT_NE(control, nullptr) << row.id;
        if (row.label) {
            const Control* label = labelOf(all, *control);
            ASSERT_NE(label, nullptr) << row.id;
            EXPECT_EQ(label->text, row.label) << row.id;
        }
        const Control* group = groupOf(all, *control);
        ASSERT_NE(group, nullptr) << row.id;
        EXPECT_EQ(group->text, row.group) << row.id;
    }
    EXPECT_EQ(byId(all, IDC_OPEN)->text, "...");
    EXPECT_EQ(byId(all, IDC_STREAM1)->text, "1");
    expectTidy(dialog, all);
}

TEST(MainDialogLayout, TooltipsSitUnderTheControlIds) {
    guitest::ProgramResources resources(TAVRO_EXE);
    // The ones whose quotes must survive the resource compiler, and a plain one.
    EXPECT_EQ(resources.string(IDC_COUNTER),
              "\"Next File\" (when multiple files have been loaded)");
    EXPECT_EQ(resources.string(IDC_INTERLEAVE),
              "audio/video interleave period;  \"p\" = initial audio \"preload\"");
    EXPECT_EQ(resources.string(IDC_DURATION),
              "Duration if the video in hrs, mins, and seconds {%A}");
    EXPECT_EQ(resources.string(IDC_STREAM3), "Selects audio stream #3 for display, if applicable");
    const int withTooltip[] = {1000, 1001, 1002, 1003, 1005, 1006, 1007, 1008, 1009, 1010,
                               1011, 1012, 1013, 1014, 1015, 1017, 1018, 1019, 1020, 1021,
                               1022, 1023, 1024, 1025, 1026, 1028, 1029, 1131, 1132, 1133};
    for (int id : withTooltip)
        EXPECT_FALSE(resources.string(id).empty()) << id;
    EXPECT_TRUE(resources.string(IDC_COMMENTS).empty());
}

TEST(SettingsDialogLayout, HasTheBoxesAndModesWithTheirLabels) {
    guitest::ProgramResources resources(TAVRO_EXE);
    HWND dialog = resources.createDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    char title[64] = {};
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Settings");
    const auto all = childrenOf(dialog);
    const struct {
        int id;
        const char* text;
    } table[] = {
        {IDC_SET_DIRECTSHOW_ENUM, "Enable DirectShow codec enumeration"},
        {IDC_SET_DMO_ENUM, "Enable DMO codec enumeration"},
        {IDC_SET_VFW_ENUM, "Enable VFW codec enumeration"},
        {IDC_SET_ACM_ENUM, "Enable ACM codec enumeration"},
        {IDC_SET_RENDERING, "Enable DirectShow Rendering"},
        {IDC_SET_REGISTRY, "Enable registry inquiries"},
        {IDC_SET_DRIVER_FILES, "Enable direct driver file inquiries"},
        {IDC_SET_RENDER_IN_BATCH, "Render in batch mode also (slow)"},
        {IDC_SET_MODE_NORMAL, "Normal mode (full status)"},
        {IDC_SET_MODE_NO_RENDER, "Normal, but no \"rendering\" ( fast )"},
        {IDC_SET_MODE_INFO_ONLY,
         "Media file information only (no rendering or installation status)"},
        {IDC_SET_SAVE_DEFAULT, "Save as default"},
        {IDOK, "OK"},
        {IDCANCEL, "Cancel"},
    };
    for (const auto& row : table) {
        const Control* control = byId(all, row.id);
        ASSERT_NE(control, nullptr) << row.text;
        EXPECT_EQ(control->text, row.text);
    }
    expectTidy(dialog, all);
}

} // namespace
