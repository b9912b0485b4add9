// Which tooltip a main-window control gets: the full text of a field that does not
// fit, on pale green, before the control's own tooltip text on pale yellow.
#pragma once
#include <cstdint>
#include <string>

namespace tavro {

constexpr uint32_t kFieldBackground = 0xE7FFFF;    // BGR, pale yellow
constexpr uint32_t kFieldText = 0x800000;          // BGR, navy
constexpr uint32_t kTitleTipBackground = 0xE0FFE0; // BGR, pale green

struct Tooltip {
    std::string text;
    uint32_t background = kFieldBackground;
};

inline Tooltip chooseTooltip(const std::string& titleTip, const std::string& ownText) {
    if (!titleTip.empty()) return {titleTip, kTitleTipBackground};
    return {ownText, kFieldBackground};
}

} // namespace tavro
