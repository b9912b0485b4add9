#include "app/win/main_tooltips.h"

#include <commctrl.h>

#include "app/ui/tooltip_rule.h"
#include "app/win/window_messages.h"
#include "common/win/wide_text.h"

#include <vector>

namespace tavro {
namespace {

std::string stringResource(HINSTANCE instance, int id) {
    char text[512] = {};
    const int length = LoadStringA(instance, static_cast<UINT>(id), text, sizeof text);
    return length > 0 ? std::string(text, length) : std::string();
}

} // namespace

bool MainTooltips::create(HWND dialog, HINSTANCE instance) {
    instance_ = instance;
    tooltip_ =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, instance, nullptr);
    if (!tooltip_) return false;
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 480);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        if (id <= 0 || id == 0xFFFF || stringResource(instance, id).empty()) continue;
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    return true;
}

bool MainTooltips::onNotify(const NMHDR& header) {
    // The tooltip asks in the charset its parent prefers: wide for the Unicode dialog.
    const bool wide = header.code == TTN_GETDISPINFOW;
    if (header.hwndFrom != tooltip_ || (!wide && header.code != TTN_GETDISPINFOA)) return false;
    HWND control = reinterpret_cast<HWND>(header.idFrom);
    // Only our report fields answer the query; other controls return 0. The whole
    // text, however long (a deep path).
    std::string full;
    const LRESULT length = SendMessageA(control, kMsgTitleTipQuery, 0, 0);
    if (length > 0 && length < 0x10000) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        SendMessageA(control, kMsgTitleTipQuery, buffer.size(),
                     reinterpret_cast<LPARAM>(buffer.data()));
        full = buffer.data();
    }
    const Tooltip tip = chooseTooltip(full, stringResource(instance_, GetDlgCtrlID(control)));
    SendMessageA(tooltip_, TTM_SETTIPBKCOLOR, tip.background, 0);
    SendMessageA(tooltip_, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
    shown_ = tip.text;
    if (wide) {
        shownWide_ = wideFromUtf8(shown_);
        auto& info = const_cast<NMTTDISPINFOW&>(reinterpret_cast<const NMTTDISPINFOW&>(header));
        info.lpszText = const_cast<wchar_t*>(shownWide_.c_str());
    } else {
        auto& info = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
        info.lpszText = const_cast<char*>(shown_.c_str());
    }
    return true;
}

} // namespace tavro
