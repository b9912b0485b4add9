#include "app/win/program_folder.h"

namespace tavro {
namespace {
std::string& folder() {
    static std::string value;
    return value;
}
} // namespace

const std::string& programFolder() {
    return folder();
}
void setProgramFolder(const std::string& value) {
    folder() = value;
}

} // namespace tavro
