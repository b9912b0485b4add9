// Where the main window's file lists come from: the command line, the Open dialog
// and files dropped on the window.
#include "app/win/main_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include "app/ui/open_selection.h"
#include "app/win/wide_file_names.h"
#include "common/win/wide_text.h"

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
    const DWORD attributes = GetFileAttributesW(widePath(lastMediaFile).c_str());
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
    const std::wstring folder = wideFromUtf8(initialFolder(settings_.lastMediaFile));
    // Filters are ASCII; the NULs between them survive the widening one for one.
    const std::wstring filters(std::begin(kOpenFilters), std::end(kOpenFilters));
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = hwnd_;
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(settings_.fileMaskIndex);
    dialog.lpstrFile = openFileBuffer_.get();
    dialog.nMaxFile = static_cast<DWORD>(kOpenBufferSize);
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = L"Select file(s) to be checked..";
    dialog.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return false;
    std::size_t nameOffset = dialog.nFileOffset;
    const std::vector<char> selection =
        utf8Selection(openFileBuffer_.get(), kOpenBufferSize, nameOffset);
    settings_.fileMaskIndex = static_cast<int32_t>(dialog.nFilterIndex);
    settings_.lastMediaFile = firstSelectionString(selection.data(), selection.size());
    paths = parseOpenSelection(selection.data(), selection.size(), nameOffset);
    return true;
}

void MainWindow::onDropFiles(HDROP drop) {
    stopBatch();
    std::vector<std::string> paths;
    // Unsaved comment edits are asked about here too, as for the Open command.
    if (driver_->leaveCurrentFile("File Open")) {
        // Wide names, so that a dropped file in any script opens.
        paths = droppedFiles(drop, kMaxBatchFiles);
    }
    DragFinish(drop);
    if (!paths.empty()) startList(std::move(paths));
}

void MainWindow::startList(std::vector<std::string> paths) {
    driver_->openList(std::move(paths));
    updateBatchCommands();
}

} // namespace tavro
