// The report fields in the order the main window shows them, with the labels the
// CLI prints (qualified where two fields share a label) and their JSON keys.
#pragma once
#include <vector>

namespace tavro {

struct ReportFieldInfo {
    int id;
    const char* label;
    const char* key;
};

const std::vector<ReportFieldInfo>& reportFields();

} // namespace tavro
