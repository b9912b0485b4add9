// What the generic list dialog shows, portably: a title, columns with widths, rows
// of texts and an optional row action; the sort order, the copied text and the
// scaled column widths are computed here and the dialog only displays them.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tavro {

struct TableColumn {
    std::string title;
    int width; // pixels
};

struct TableSpec {
    std::string title;
    std::vector<TableColumn> columns;
    std::vector<std::vector<std::string>> rows;
    // Called with a row's index in `rows`, whatever the sort order; may be empty.
    std::function<void(int)> rowAction;
    // Detail views: rows with nothing after their first two cells (a property without
    // a value) follow the others in every order.
    bool emptyRowsLast = false;
};

// The rows shown: those before the first row whose first text is empty.
size_t shownRowCount(const TableSpec& spec);

// Row indices ordered by one column, ascending, ignoring ASCII case; ties keep
// their order. With emptyRowsLast, rows without a value come after all others.
std::vector<int> sortedRows(const TableSpec& spec, int column);

// The given rows as cells joined by tabs, each ended by CR LF; "" for no rows.
std::string copiedText(const TableSpec& spec, const std::vector<int>& rows);

// A column width on a screen whose dialog units come out small: three quarters.
inline int scaledColumnWidth(int width, bool smallUnits) {
    return smallUnits ? width * 3 / 4 : width;
}

// Detail tables (titles containing "etails") open offset from their template.
inline bool isDetailTitle(const std::string& title) {
    return title.find("etails") != std::string::npos;
}

} // namespace tavro
