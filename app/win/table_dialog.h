// The generic sortable list dialog: one report list with full-row selection,
// sorted by a clicked column, a row action on double-click or "Details", and
// copying the selected or all rows to the clipboard as tab-separated text.
#pragma once
#include <windows.h>

#include <vector>

#include "app/ui/table_model.h"

namespace tavro {

class TableDialog {
  public:
    explicit TableDialog(TableSpec spec) : spec_(std::move(spec)) {}

    // Modal. `smallUnits` scales the column widths to three quarters.
    INT_PTR run(HWND owner, HINSTANCE instance, bool smallUnits);

    // For tests, and for the context menu: puts the rows' text on the clipboard;
    // false (and the clipboard untouched) when there are no rows.
    static bool copyToClipboard(HWND owner, const std::string& text);

  private:
    static INT_PTR CALLBACK dialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onInit();
    void fill(const std::vector<int>& order);
    void sortBy(int column);
    int selectedRow() const;
    std::vector<int> rowsInListOrder(bool selectedOnly) const;
    void runAction();
    void onContextMenu(int x, int y);

    TableSpec spec_;
    HWND hwnd_ = nullptr;
    HWND list_ = nullptr;
    bool smallUnits_ = false;
};

} // namespace tavro
