#include "analysis/size_text.h"

#include <cstdio>

namespace tavro {
namespace {

std::string format(const char* fmt, uint64_t a, uint64_t b) {
    char text[64];
    std::snprintf(text, sizeof text, fmt, static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return text;
}

// Shared by the KB and MB texts; decimals are truncated, not rounded.
std::string unitText(uint64_t n, uint64_t unit, const char* suffix) {
    if (n < unit) return "";
    if (n < 10 * unit) return format("%llu.%02llu", n / unit, (n * 100 / unit) % 100) + suffix;
    if (n < 100 * unit) return format("%llu.%1llu", n / unit, (n * 10 / unit) % 10) + suffix;
    return groupDigits(n / unit) + suffix;
}

} // namespace

std::string groupDigits(uint64_t n) {
    if (n == 0) return "0";
    std::string text;
    while (n != 0) {
        char group[8];
        std::snprintf(group, sizeof group, n >= 1000 ? "%03u" : "%u",
                      static_cast<unsigned>(n % 1000));
        text = std::string(",") + group + text;
        n /= 1000;
    }
    return text.substr(1);
}

std::string mbText(uint64_t n) {
    return unitText(n, 1048576, " MB");
}

std::string kbText(uint64_t n) {
    return unitText(n, 1024, " KB");
}

std::string sizeText(uint64_t n, bool compact) {
    if (n < 1024) return groupDigits(n) + " bytes";
    if (n < 1048576) return compact ? kbText(n) : kbText(n) + "   (" + groupDigits(n) + " bytes)";
    if (compact) return mbText(n);
    return mbText(n) + "   (" + kbText(n) + "    " + groupDigits(n) + " bytes)";
}

} // namespace tavro
