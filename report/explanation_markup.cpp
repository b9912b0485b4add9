#include "report/explanation_markup.h"

#include "report/explanations.h"

namespace tavro {

std::string fillPattern(const char* pattern, std::initializer_list<std::string> values) {
    std::string out;
    auto next = values.begin();
    for (const char* p = pattern; *p; ++p) {
        if (p[0] == '%' && (p[1] == 's' || p[1] == 'd')) {
            if (next != values.end()) out += *next++;
            ++p;
            continue;
        }
        out += *p;
    }
    return out;
}

std::string markupSafe(const std::string& name) {
    std::string out = name;
    for (char& c : out) {
        if (c == '{')
            c = '(';
        else if (c == '}')
            c = ')';
        else if (c == '~')
            c = '-';
    }
    return out;
}

std::string filterLinkTarget(int index) {
    return index < 0 ? std::string() : "tavro://" + std::to_string(index) + ".filtergraph.info";
}

} // namespace tavro
