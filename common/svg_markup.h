// The little the pictures need to write SVG by hand: escaped text and attribute
// values, and numbers in a short fixed form so a picture is the same on every run.
#pragma once
#include <cstdio>
#include <string>

namespace tavro::svg {

// Length of the UTF-8 sequence at p (n bytes left), 0 when it is not one.
inline size_t utf8Length(const unsigned char* p, size_t n) {
    const unsigned char c = p[0];
    const size_t len = c < 0x80         ? 1
                       : (c >> 5) == 6  ? 2
                       : (c >> 4) == 14 ? 3
                       : (c >> 3) == 30 ? 4
                                        : 0;
    if (len == 0 || len > n) return 0;
    for (size_t k = 1; k < len; ++k)
        if ((p[k] & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates, past U+10FFFF, and U+FFFE/U+FFFF, which XML refuses.
    if (len == 2 && c < 0xC2) return 0;
    if (len == 3 && ((c == 0xE0 && p[1] < 0xA0) || (c == 0xED && p[1] >= 0xA0) ||
                     (c == 0xEF && p[1] == 0xBF && p[2] >= 0xBE)))
        return 0;
    if (len == 4 && (c > 0xF4 || (c == 0xF0 && p[1] < 0x90) || (c == 0xF4 && p[1] >= 0x90)))
        return 0;
    return len;
}

// Text for element content or a quoted attribute. Control characters, which XML 1.0
// refuses, and bytes that are not UTF-8 (a file name in a legacy code page) become
// U+FFFD.
inline std::string escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        const size_t len = utf8Length(p + i, text.size() - i);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (len > 1) {
            out.append(text, i, len);
            i += len;
            continue;
        }
        const char c = text[i++];
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
                out += "\xEF\xBF\xBD";
            else
                out.push_back(c);
        }
    }
    return out;
}

// Two decimals, trailing zeros dropped: "12.5", "3".
inline std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

} // namespace tavro::svg
