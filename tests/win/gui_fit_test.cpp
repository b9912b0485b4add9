// Every report text fits its control: the window is run over the generated media, each
// field's text is measured in the control's own font against the room the control
// gives it, and so are the longest texts real files are known to produce.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/win/main_field_ids.h"
#include "app/win/report_field.h"
#include "gui_harness.h"
#include "resource.h"

namespace {

const char kTitle[] = "Tavro v2.1 - Vistrel";
const char kSettingsKey[] = "Software\\Orlent\\Tavro\\Settings";
// A report field answers it with the length of its full text when that does not fit.
const UINT kMsgTitleTipQuery = WM_APP + 0x40;

// The fields a report fills; the path field is not one of them.
const auto& kFieldIds = tavro::kReportFieldIds;
const int kLinkIds[] = {IDC_FILE_STATUS,   IDC_VIDEO_STATUS,   IDC_AUDIO_STATUS,
                        IDC_RENDER_STATUS, IDC_MF_PLAY_STATUS, IDC_COUNTER};

bool isLink(int id) {
    for (int link : kLinkIds)
        if (link == id) return true;
    return false;
}

// The main dialog made in this process from the program's template, its fields given
// the report fields' own font: texts are measured here exactly as the program lays
// them out (fonts do not cross processes).
class Measure {
  public:
    Measure() : dialog_(resources_.createDialog(IDD_MAIN)) {
        for (int id : kFieldIds) {
            auto field = std::make_unique<tavro::ReportField>();
            if (field->attach(GetDlgItem(dialog_, id))) fields_.push_back(std::move(field));
        }
    }
    bool ready() const { return dialog_ != nullptr && fields_.size() == std::size(kFieldIds); }

    // Pixels the text needs and the control has, in the control's font.
    struct Fit {
        int need = 0, room = 0;
    };
    Fit fit(int id, const std::wstring& text) const {
        HWND control = GetDlgItem(dialog_, id);
        RECT client = {};
        GetClientRect(control, &client);
        Fit f;
        if (isLink(id)) {
            f.room = client.right - client.left - 4; // the link draws 2 pixels in from each side
        } else {
            const DWORD margins = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
            f.room = client.right - client.left - LOWORD(margins) - HIWORD(margins);
        }
        HDC dc = GetDC(control);
        HGDIOBJ old =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE size = {};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        f.need = size.cx;
        return f;
    }

  private:
    guitest::ProgramResources resources_{TAVRO_EXE};
    HWND dialog_;
    std::vector<std::unique_ptr<tavro::ReportField>> fields_;
};

// The longest texts real files give each field: the data base's longest names for
// formats common in the wild, and the widest numbers of common media.
const struct {
    int id;
    const char* text;
} kLongestRealistic[] = {
    {IDC_FILE_SIZE, "1023.9 MB"},
    {IDC_FILE_SIZE, "1,023 bytes"},
    {IDC_FILE_STATUS, "Not a valid AVI File  * COOKED * (info...)"},
    {IDC_TYPE, "WAV: 44100 Hz, 1411 kb/s (705/ch x 2 ch)"},
    {IDC_TYPE, "WAV: 96000 Hz, 13824 kb/s (2304/ch x 6 ch)"},
    {IDC_TYPE, "Multipart OpenDML AVI, \"rec list\" style"},
    {IDC_TYPE, "Non-AVI File - Type Unknown."},
    {IDC_INTERLEAVE, "41 ms (1.0 frames), p=26"},
    {IDC_INTERLEAVE, "1001 ms (24.0 frames), p=1000"},
    {IDC_INTERLEAVE, "25 frames (1001 ms), p=1000"},
    {IDC_IMRR, "None or Not Determined"},
    {IDC_VIDEO_FOURCC, "DIV3/div4"},
    {IDC_VIDEO_FOURCC, "DIB (_RGB)"},
    {IDC_VIDEO_NAME, "Xvid (MPEG-4 Part 2)"},
    {IDC_VIDEO_NAME, "DivX ;-) 3.11 fast motion (Microsoft MPEG-4 v3 hack)"},
    {IDC_VIDEO_STATUS, "Codec Misconfigured!  [more info...]"},
    {IDC_ASPECT, "1920 x 1080  (1.778 : 1)"},
    {IDC_ASPECT, "1080 x 1920  (1 : 1.778)"},
    {IDC_VIDEO_BITRATE, "unavailable"},
    {IDC_VIDEO_BITRATE, "38000 kb/s"},
    {IDC_FRAMERATE, "119.880 FPS"},
    {IDC_DURATION, "unavailable"},
    {IDC_DURATION, "12h 59m 59s"},
    {IDC_AUDIO_NAME, "ogg_vorbis_mode_1 (0x674f) Ogg Vorbis, mode 1 (OggDS tag)"},
    {IDC_AUDIO_NAME, "ogg_vorbis_mode_2_plus (0x6770) Ogg Vorbis, mode 2+ (OggDS tag)"},
    {IDC_AUDIO_NAME, "wmaudio2 (0x0161) Windows Media Audio v2 (WMA 7, 8, 9 standard)"},
    {IDC_AUDIO_NAME, "mpeg_heaac (0x1610) HE-AAC (AAC with spectral band replication)"},
    {IDC_AUDIO_NAME, "extensible (0xfffe) Format given by a subtype GUID (WAVEFORMATEXTENSIBLE)"},
    {IDC_AUDIO_NAME, "0x0050(MPEG) ID'd as MPEG-1 Layer 2"},
    {IDC_AUDIO_STATUS, "Codec Misconfigured!  [more info...]"},
    {IDC_AUDIO_BITRATE, "1411 kb/s (705/ch x 2 ch)"},
    {IDC_AUDIO_BITRATE, "448 kb/s (74/ch x 6 ch)"},
    {IDC_AUDIO_BITRATE, "320 kb/s (160/ch x 2 ch) VBR LAME3.100"},
    {IDC_FS, "192000 Hz"},
    {IDC_COUNTER, "999/1000"},
    {IDC_MF_PLAY_STATUS, "Opening through Media Foundation..."},
    {IDC_MF_PLAY_STATUS, "Disabled by default when processing multiple files (see prefs)"},
};

TEST(FieldsFit, TheLongestRealisticTexts) {
    Measure measure;
    ASSERT_TRUE(measure.ready());
    for (const auto& row : kLongestRealistic) {
        const Measure::Fit f = measure.fit(row.id, guitest::widen(row.text));
        EXPECT_LE(f.need, f.room) << row.id << " \"" << row.text << "\" needs " << f.need
                                  << " pixels, has " << f.room;
    }
}

// The generated media, each file once, in name order.
std::vector<std::string> mediaFiles() {
    std::string folder = TAVRO_MEDIA_DIR;
    for (char& c : folder)
        if (c == '/') c = '\\';
    std::vector<std::string> files;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return files;
    do {
        const std::string name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0) continue;
        files.push_back(folder + "\\" + name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return files;
}

TEST(FieldsFit, EveryTextOverTheGeneratedMedia) {
    Measure measure;
    ASSERT_TRUE(measure.ready());
    const std::vector<std::string> files = mediaFiles();
    ASSERT_GT(files.size(), 20u);
    // Codec status from Wine's codecs, without the render test (it is slow under Wine
    // and its fields are measured with the rest when it fills them).
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    const DWORD noRender = 2;
    RegSetValueExA(key, "RunMode", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&noRender),
                   sizeof noRender);
    RegCloseKey(key);

    std::string arguments;
    for (const auto& f : files)
        arguments += "\"" + f + "\" ";
    guitest::Program program(TAVRO_EXE, arguments);
    HWND window = program.waitForWindow(kTitle, 20000);
    ASSERT_NE(window, nullptr);
    int checked = 0;
    double fullest = 0;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_FILE_NEXT, 0), 0);
        char counter[32];
        std::snprintf(counter, sizeof counter, "%3d/%-3d", int(i + 1), int(files.size()));
        ASSERT_TRUE(guitest::waitUntil(
            [&] { return guitest::controlText(window, IDC_COUNTER) == counter; }, 20000))
            << files[i];
        double widest = 0;
        for (int id : kFieldIds) {
            const std::wstring text = guitest::controlTextW(window, id);
            const Measure::Fit f = measure.fit(id, text);
            EXPECT_LE(f.need, f.room)
                << files[i] << ": field " << id << " \"" << guitest::narrow(text) << "\" needs "
                << f.need << " pixels, has " << f.room;
            // The program's own measure agrees: no title tip for a text that fits.
            if (f.need <= f.room) {
                EXPECT_EQ(SendMessageW(GetDlgItem(window, id), kMsgTitleTipQuery, 0, 0), 0)
                    << files[i] << ": field " << id;
            }
            if (f.room > 0 && double(f.need) / f.room > widest) widest = double(f.need) / f.room;
            ++checked;
        }
        for (int id : kLinkIds) {
            const std::wstring text = guitest::controlTextW(window, id);
            const Measure::Fit f = measure.fit(id, text);
            EXPECT_LE(f.need, f.room)
                << files[i] << ": link " << id << " \"" << guitest::narrow(text) << "\" needs "
                << f.need << " pixels, has " << f.room;
            ++checked;
        }
        // The file whose texts come nearest their fields' edges is the one to look at.
        if (widest > fullest) {
            fullest = widest;
            EXPECT_TRUE(guitest::saveWindowBitmap(window, std::string(TAVRO_ARTIFACT_DIR) +
                                                              "/main_window_fullest.bmp"));
        }
    }
    EXPECT_GT(checked, 0);
    EXPECT_EQ(program.closeAndWait(window, 10000), 0);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

} // namespace
