// A small well-formedness check for the XML the pictures write: one root, tags
// nested and closed in order, attribute values quoted, no stray '<' or '&' in text,
// and only the five named entities or numeric references. Enough to catch a broken
// picture without an XML library in the C++ tests.
#pragma once
#include <cctype>
#include <string>
#include <vector>

namespace tavro::test {

// Empty when `xml` is well-formed, else what went wrong and where.
inline std::string xmlProblem(const std::string& xml) {
    std::vector<std::string> open;
    size_t i = 0, roots = 0;
    auto fail = [&](const std::string& what) { return what + " at byte " + std::to_string(i); };
    auto entityOk = [&](size_t at, size_t& length) {
        static const char* const kNamed[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
        for (const char* e : kNamed) {
            const std::string name(e);
            if (xml.compare(at, name.size(), name) == 0) {
                length = name.size();
                return true;
            }
        }
        if (xml.compare(at, 2, "&#") != 0) return false;
        size_t end = xml.find(';', at);
        if (end == std::string::npos || end - at > 10 || end == at + 2) return false;
        length = end - at + 1;
        return true;
    };
    if (xml.compare(0, 5, "<?xml") == 0) {
        i = xml.find("?>");
        if (i == std::string::npos) return "unclosed declaration";
        i += 2;
    }
    while (i < xml.size()) {
        const char c = xml[i];
        if (c == '&') {
            size_t n = 0;
            if (!entityOk(i, n)) return fail("bad entity");
            i += n;
            continue;
        }
        if (c != '<') {
            if (open.empty() && !std::isspace(static_cast<unsigned char>(c)))
                return fail("text outside the root");
            ++i;
            continue;
        }
        if (xml.compare(i, 2, "</") == 0) {
            size_t end = xml.find('>', i);
            if (end == std::string::npos) return fail("unclosed end tag");
            const std::string name = xml.substr(i + 2, end - i - 2);
            if (open.empty() || open.back() != name)
                return fail("end tag " + name + " out of order");
            open.pop_back();
            i = end + 1;
            continue;
        }
        // A start tag: name, then name="value" pairs, then > or />.
        size_t j = i + 1;
        while (j < xml.size() && (std::isalnum(static_cast<unsigned char>(xml[j])) ||
                                  xml[j] == '-' || xml[j] == ':' || xml[j] == '_'))
            ++j;
        const std::string name = xml.substr(i + 1, j - i - 1);
        if (name.empty()) return fail("stray <");
        for (;;) {
            while (j < xml.size() && std::isspace(static_cast<unsigned char>(xml[j])))
                ++j;
            if (j >= xml.size()) return fail("unclosed tag " + name);
            if (xml[j] == '>' || xml.compare(j, 2, "/>") == 0) break;
            const size_t eq = xml.find('=', j);
            if (eq == std::string::npos || eq + 1 >= xml.size() || xml[eq + 1] != '"')
                return fail("unquoted attribute in " + name);
            const size_t close = xml.find('"', eq + 2);
            if (close == std::string::npos) return fail("unclosed attribute in " + name);
            for (size_t k = eq + 2; k < close; ++k) {
                size_t n = 0;
                if (xml[k] == '<' || (xml[k] == '&' && !entityOk(k, n)))
                    return fail("bad character in an attribute of " + name);
            }
            j = close + 1;
        }
        if (open.empty() && ++roots > 1) return fail("second root");
        if (xml[j] == '>') {
            open.push_back(name);
            i = j + 1;
        } else {
            i = j + 2;
        }
    }
    if (!open.empty()) return "unclosed element " + open.back();
    return roots == 1 ? "" : "no root element";
}

} // namespace tavro::test
