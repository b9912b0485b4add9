#include "app/win/main_tooltips.h"

#include <commctrl.h>

#include "app/ui/tooltip_rule.h"
#include "app/win/window_messages.h"

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
    if (header.hwndFrom != tooltip_ || header.code != TTN_GETDISPINFOA) return false;
    auto& info = const_cast<NMTTDISPINFOA&>(reinterpret_cast<const NMTTDISPINFOA&>(header));
    HWND control = reinterpret_cast<HWND>(header.idFrom);
    // Only our report fields answer the query; other controls return 0.
    char full[256] = {};
    const LRESULT length =
        SendMessageA(control, kMsgTitleTipQuery, sizeof full, reinterpret_cast<LPARAM>(full));
    const Tooltip tip = chooseTooltip(length > 0 ? std::string(full) : std::string(),
                                      stringResource(instance_, GetDlgCtrlID(control)));
    SendMessageA(tooltip_, TTM_SETTIPBKCOLOR, tip.background, 0);
    SendMessageA(tooltip_, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
    shown_ = tip.text;
    info.lpszText = const_cast<char*>(shown_.c_str());
    return true;
}

} // namespace tavro
