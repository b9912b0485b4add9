#include "app/ui/table_model.h"

#include <algorithm>

#include "codecs/text_field.h"
#include "common/fourcc_text.h"

namespace tavro {
namespace {

bool lessNoCase(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(asciiLower(a[i]));
        const unsigned char y = static_cast<unsigned char>(asciiLower(b[i]));
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

const std::string& cell(const TableSpec& spec, int row, int column) {
    static const std::string empty;
    const auto& cells = spec.rows[static_cast<size_t>(row)];
    return column >= 0 && static_cast<size_t>(column) < cells.size()
               ? cells[static_cast<size_t>(column)]
               : empty;
}

} // namespace

size_t shownRowCount(const TableSpec& spec) {
    size_t n = 0;
    while (n < spec.rows.size() && !spec.rows[n].empty() && !spec.rows[n][0].empty())
        ++n;
    return n;
}

std::vector<int> sortedRows(const TableSpec& spec, int column) {
    std::vector<int> order(shownRowCount(spec));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return lessNoCase(cell(spec, a, column), cell(spec, b, column));
    });
    if (spec.emptyRowsLast)
        std::stable_partition(order.begin(), order.end(), [&](int row) {
            const auto& cells = spec.rows[static_cast<size_t>(row)];
            for (size_t c = 2; c < cells.size(); ++c)
                if (!cells[c].empty()) return true;
            return false;
        });
    return order;
}

std::string copiedText(const TableSpec& spec, const std::vector<int>& rows) {
    std::string text;
    for (int row : rows) {
        if (row < 0 || static_cast<size_t>(row) >= spec.rows.size()) continue;
        const auto& cells = spec.rows[static_cast<size_t>(row)];
        for (size_t c = 0; c < cells.size(); ++c) {
            if (c) text += '\t';
            text += cells[c];
        }
        text += "\r\n";
    }
    return text;
}

} // namespace tavro
