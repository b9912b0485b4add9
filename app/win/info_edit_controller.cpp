#include "app/win/info_edit_controller.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "app/win/field_editor_dialog.h"
#include "app/win/link_button.h"
#include "common/win/wide_text.h"
#include "info_shell_resource.h"
#include "infoedit/copy_save.h"
#include "infoedit/head_writer.h"
#include "infoedit/info_commands.h"
#include "infoedit/info_fields.h"
#include "resource.h"

namespace tavro {
namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string listText(HWND list, int index, int column, size_t limit) {
    std::vector<char> buffer(limit + 1);
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    SendMessageA(list, LVM_GETITEMTEXTA, index, reinterpret_cast<LPARAM>(&item));
    return buffer.data();
}

} // namespace

void InfoEditController::fileAnalysed() {
    dirty_ = false;
    stamped_ = false;
    original_.clear();
    if (!driver_) return;
    const MediaInfo& info = driver_->info();
    const FileList& list = driver_->fileList();
    path_ = list.hasCurrent() ? list.at(list.current) : std::string();
    if (infoCommandsAllowed(info)) {
        original_.assign(info.headBuffer(), info.headBuffer() + info.headLength);
        // Taken now: a file changed after this is refused at Save.
        stamped_ =
            platformFileSystem().stamp(path_, &stamp_, nullptr) && stamp_.size == info.fileSize;
    }
    updateMenus();
}

bool InfoEditController::allowed() const {
    return driver_ && infoCommandsAllowed(driver_->info()) && !original_.empty();
}

bool InfoEditController::selectedRow(Row* row) const {
    HWND list = GetDlgItem(window(), IDC_COMMENTS);
    if (!list) return false;
    const int index = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    if (index < 0) return false;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    row->index = index;
    row->code = listText(list, index, 0, 4);
    row->name = listText(list, index, 1, 66);
    row->text = listText(list, index, 2, 1024);
    row->chunk = static_cast<uint32_t>(item.lParam);
    return true;
}

bool InfoEditController::rowEditable(const Row& row) const {
    return !row.code.empty() && row.code[0] != ' ' && lower(row.code) != "junk";
}

void InfoEditController::updateMenus() {
    HMENU menu = GetMenu(window());
    if (!menu) return;
    Row row;
    const bool ok = allowed();
    const bool rowOk = ok && selectedRow(&row) && rowEditable(row);
    auto set = [&](int id, bool on) {
        EnableMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    set(IDM_EDIT_NEW, ok);
    set(IDM_EDIT_EDIT, rowOk);
    set(IDM_EDIT_DELETE, rowOk);
    set(IDM_FILE_SAVE, ok && dirty_);
    set(IDM_FILE_SAVE_AS, ok && dirty_);
}

bool InfoEditController::command(int id) {
    switch (id) {
    case IDM_EDIT_SELECTION:
        updateMenus();
        return true;
    case IDM_EDIT_EDIT:
    case IDM_EDIT_DELETE:
        editField(id == IDM_EDIT_DELETE);
        return true;
    case IDM_EDIT_NEW:
        newField();
        return true;
    case IDM_FILE_SAVE:
        if (allowed() && dirty_) save(true);
        return true;
    case IDM_FILE_SAVE_AS:
        if (allowed() && dirty_) saveAs();
        return true;
    case IDM_FILE_CLOSE:
        if (leave("File Close")) close();
        return true;
    default:
        return false;
    }
}

void InfoEditController::editField(bool remove) {
    Row row;
    // The menu may lag behind a wrapped or changed report: checked again here.
    if (!allowed() || !selectedRow(&row) || !rowEditable(row)) return;
    if (row.chunk == 0 || row.chunk == kNoChunk) {
        prompter_.tell("Field not editable", "Internal Error", Icon::Exclamation);
        return;
    }
    const MediaInfo& info = driver_->info();
    const std::vector<uint8_t> head(info.headBuffer(), info.headBuffer() + info.headLength);
    InfoEdit edit;
    edit.anchor = row.chunk;
    if (remove) {
        char text[256];
        std::snprintf(text, sizeof text, "Delete info node %s (%s)?", row.code.c_str(),
                      row.name.c_str());
        if (prompter_.ask(text, "Confirm", Buttons::OkCancel, Icon::Question) != Answer::Ok) return;
        edit.command = InfoCommand::Delete;
    } else {
        FieldEditorValues values;
        values.id = row.code;
        values.text = row.text;
        if (!runFieldEditor(window(), FieldEditorMode::Edit, values)) return;
        edit.command = InfoCommand::Edit;
        edit.text = values.text;
        // An id the table does not know keeps its own four bytes.
        if (values.nameUnchanged && row.chunk + 4 <= head.size())
            std::memcpy(edit.id.data(), head.data() + row.chunk, 4);
        else
            edit.id = fourcc4(values.id);
    }
    finishEdit(head, edit);
}

void InfoEditController::newField() {
    if (!allowed()) return;
    const MediaInfo& info = driver_->info();
    const ByteView head(info.headBuffer(), info.headLength);
    std::vector<uint8_t> work;
    InfoEdit edit;
    edit.command = InfoCommand::New;
    if (!prepareNewField(head, &work, &edit.anchor)) {
        const InfoMessage m = noRoomToInsertMessage();
        prompter_.tell(m.text, m.caption, Icon::Exclamation);
        return;
    }
    FieldEditorValues values;
    values.id = "----";
    if (!runFieldEditor(window(), FieldEditorMode::New, values)) return;
    edit.id = fourcc4(values.id);
    edit.text = values.text;
    finishEdit(work, edit);
}

void InfoEditController::finishEdit(const std::vector<uint8_t>& from, const InfoEdit& edit) {
    RebuildResult result = rebuildHead(ByteView(from.data(), from.size()), edit);
    MediaInfo& info = driver_->info();
    if (result.status == RebuildStatus::Ok && result.head.size() == info.headLength) {
        std::memcpy(info.headBuffer(), result.head.data(), result.head.size());
        dirty_ = true;
    } else {
        // The head stays as it was: nothing of a refused edit is kept.
        const InfoMessage m = rebuildMessage(
            result.status == RebuildStatus::Ok ? RebuildStatus::Failed : result.status);
        prompter_.tell(m.text, m.caption, Icon::Exclamation);
    }
    const uint32_t infoDirty = dirty_;
    driver_->reanalyseHead();
    info.infoDirty = infoDirty;
    hooks_.mirror();
    updateMenus();
}

void InfoEditController::fileStatus(const std::string& text) {
    report_.enable(IDC_FILE_STATUS);
    report_.setText(IDC_FILE_STATUS, text);
    hooks_.mirror();
    if (LinkButton* link = view_.link(IDC_FILE_STATUS))
        SendMessageA(link->hwnd(), BM_SETCHECK, BST_CHECKED, 0); // the active look
}

bool InfoEditController::save(bool ask) {
    if (ask && prompter_.ask("Overwrite the input file with updated version?",
                             "File Modification Confirmation", Buttons::OkCancel,
                             Icon::Question) != Answer::Ok)
        return false;
    const MediaInfo& info = driver_->info();
    FileSystem& files = platformFileSystem();
    HeadWriteResult result =
        stamped_ ? writeHead(files, path_, stamp_, ByteView(original_.data(), original_.size()),
                             ByteView(info.headBuffer(), info.headLength))
                 : HeadWriteResult{HeadWriteResult::Kind::FileChanged,
                                   path_ + " could not be checked. File will not be modified",
                                   "File Write Failure"};
    if (!result.ok()) {
        prompter_.tell(result.text, result.caption, Icon::Exclamation);
        fileStatus("* Update failed *"); // the edits stay pending
        return false;
    }
    original_.assign(info.headBuffer(), info.headBuffer() + info.headLength);
    stamped_ = files.stamp(path_, &stamp_, nullptr);
    dirty_ = false;
    driver_->info().infoDirty = 0;
    fileStatus("Update successful");
    updateMenus();
    return true;
}

namespace {
// The Save As box takes long names too; the shell copy handles them.
constexpr DWORD kMaxSaveName = 32768;
} // namespace

void InfoEditController::saveAs() {
    // Names go through the wide API: a path may hold any script. The shell's lists
    // are double-NUL-terminated.
    std::vector<wchar_t> name(kMaxSaveName + 2, L'\0');
    const std::wstring current = wideFromUtf8(path_);
    if (current.size() < kMaxSaveName) std::copy(current.begin(), current.end(), name.begin());
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = window();
    ofn.lpstrFilter = L"AVI Files (*.avi)\0*.avi\0";
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = kMaxSaveName;
    ofn.lpstrTitle = L"Save modified copy of AVI file to...";
    ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    if (!GetSaveFileNameW(&ofn)) return;
    const std::string target = utf8FromWide(std::wstring(name.data()));
    FileSystem& files = platformFileSystem();
    if (lower(target) == lower(path_) || files.sameFile(path_, target)) {
        prompter_.tell("The copy cannot be the file itself. File will not be modified", "Save As",
                       Icon::Exclamation);
        return;
    }
    // The shell copies with its progress box, under a temporary name beside the
    // target: the target's name only ever shows a whole, edited copy.
    const HWND owner = window();
    const CopyStep shellCopy = [owner, &files](const std::string& source,
                                               const std::string& temporary, FileError* error) {
        std::wstring from = wideFromUtf8(source), to = wideFromUtf8(temporary);
        from.append(2, L'\0');
        to.append(2, L'\0');
        SHFILEOPSTRUCTW op = {};
        op.hwnd = owner;
        op.wFunc = FO_COPY;
        op.pFrom = from.c_str();
        op.pTo = to.c_str();
        op.fFlags = FOF_SIMPLEPROGRESS | FOF_NOCONFIRMMKDIR | FOF_NOCONFIRMATION;
        op.lpszProgressTitle = L"Copying original AVI...";
        if (SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted && files.exists(temporary))
            return true;
        *error = {};
        return false;
    };
    const MediaInfo& info = driver_->info();
    HeadWriteResult result =
        saveEditedCopy(files, path_, target, ByteView(original_.data(), original_.size()),
                       ByteView(info.headBuffer(), info.headLength), shellCopy);
    if (result.kind == HeadWriteResult::Kind::OpenFailed && result.caption == "File Copy Failure") {
        prompter_.tell("Unable to copy " + path_ + " to " + target + ". File will not be modified",
                       "Save As", Icon::Exclamation);
        return;
    }
    if (!result.ok()) {
        prompter_.tell(result.text, result.caption, Icon::Exclamation);
        fileStatus("* Update failed *");
        return;
    }
    dirty_ = false;
    hooks_.openList({target});
    fileStatus("Copying and modification successful");
}

bool InfoEditController::leave(const char* caption) {
    if (!dirty_) return true;
    char text[MAX_PATH + 64];
    std::snprintf(text, sizeof text, "Save changes to %s?", path_.c_str());
    switch (prompter_.ask(text, caption, Buttons::YesNoCancel, Icon::Question)) {
    case Answer::Yes:
        return save(true); // a cancelled or failed save keeps the file and its edits
    case Answer::No:
        dirty_ = false;
        return true;
    default:
        return false;
    }
}

void InfoEditController::close() {
    if (!driver_) return;
    MediaInfo& info = driver_->info();
    info.isAvi = 0;
    info.infoDirty = 0;
    dirty_ = false;
    original_.clear();
    driver_->resetReport(true, "");
    hooks_.mirror();
    updateMenus();
}

} // namespace tavro
