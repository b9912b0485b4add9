// Where the main window's file lists come from: the command line, the Open dialog
// and files dropped on the window.
#include "app/win/main_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include "app/ui/open_selection.h"

namespace tavro {
namespace {

const char kOpenFilters[] =
    "Supported Media (*.avi, *.ogm, *.ogg)\0*.avi;*.ogm;*.ogg\0"
    "Video Media Files (*.avi, *.mov, *.mpg, etc.)\0"
    "*.avi;*.ogm;*.ogg;*.mpg;*.mpeg;*.m1v;*.mp2;*.mp3;*.mpa;*.mpe;*.mpv2;*.rm;*.ra;*.ram;*.rmx;"
    "*.asf;*.wm;*.wma;*.wmv;*.asx;*.wax;*.wvx;*.mov;*.qt;*.mpg;*.mpeg;*.mpe;*.mpv;*.m1v;*.mp2;"
    "*.mpa;*.swf;*.viv;*.vob;*.avs\0"
    "ALL Files (*.*)\0*.*\0";

// LastMediaFile may name a file (a one-file selection): the dialog starts in its folder.
std::string initialFolder(const std::string& lastMediaFile) {
    if (lastMediaFile.empty()) return lastMediaFile;
    const DWORD attributes = GetFileAttributesA(lastMediaFile.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return lastMediaFile;
    return programFolderOf(lastMediaFile);
}

} // namespace

void MainWindow::openFiles() {
    stopBatch(); // the list is about to be replaced
    if (!driver_->leaveCurrentFile("File Open")) return;
    std::vector<std::string> paths;
    if (!commandLineFiles_.empty()) {
        paths.swap(commandLineFiles_);
    } else if (!askForFiles(paths)) {
        return;
    }
    startList(std::move(paths));
}

bool MainWindow::askForFiles(std::vector<std::string>& paths) {
    const std::string folder = initialFolder(settings_.lastMediaFile);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = kOpenFilters;
    dialog.nFilterIndex = static_cast<DWORD>(settings_.fileMaskIndex);
    dialog.lpstrFile = openFileBuffer_.get();
    dialog.nMaxFile = static_cast<DWORD>(kOpenBufferSize);
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = "Select file(s) to be checked..";
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&dialog)) return false;
    settings_.fileMaskIndex = static_cast<int32_t>(dialog.nFilterIndex);
    settings_.lastMediaFile = firstSelectionString(openFileBuffer_.get(), kOpenBufferSize);
    paths = parseOpenSelection(openFileBuffer_.get(), kOpenBufferSize, dialog.nFileOffset);
    return true;
}

void MainWindow::onDropFiles(HDROP drop) {
    stopBatch();
    std::vector<std::string> paths;
    // Unsaved comment edits are asked about here too, as for the Open command.
    if (driver_->leaveCurrentFile("File Open")) {
        const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count && paths.size() < kMaxBatchFiles; ++i) {
            const UINT length = DragQueryFileA(drop, i, nullptr, 0);
            if (length == 0) break;
            std::string name(length + 1, '\0');
            DragQueryFileA(drop, i, &name[0], length + 1);
            name.resize(length);
            paths.push_back(name);
        }
    }
    DragFinish(drop);
    if (!paths.empty()) startList(std::move(paths));
}

void MainWindow::startList(std::vector<std::string> paths) {
    driver_->openList(std::move(paths));
    updateBatchCommands();
}

} // namespace tavro
