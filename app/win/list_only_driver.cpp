#include "app/win/list_only_driver.h"

#include "app/ui/open_selection.h"
#include "app/win/link_button.h"
#include "app/win/report_field.h"
#include "resource.h"

namespace tavro {

void ListOnlyDriver::openList(std::vector<std::string> paths) {
    if (paths.size() > kMaxBatchFiles) paths.resize(kMaxBatchFiles);
    paths_ = std::move(paths);
    current_ = 0;
    showCurrent();
}

void ListOnlyDriver::next() {
    if (!hasNext()) return;
    ++current_;
    showCurrent();
}

void ListOnlyDriver::showCurrent() {
    if (paths_.empty()) return;
    if (ReportField* path = view_.field(IDC_PATH)) path->setPlainText(paths_[current_]);
    LinkButton* counter = view_.link(IDC_COUNTER);
    if (!counter) return;
    const int count = static_cast<int>(paths_.size());
    counter->setText(counterText(current_ + 1, count));
    // At the last file the counter keeps its text but can no longer be clicked.
    if (current_ == count - 1)
        counter->disable(false);
    else
        counter->enable();
}

Explanation ListOnlyDriver::explanation(int) {
    return {"No analysis has been run for this file.", {}};
}

} // namespace tavro
