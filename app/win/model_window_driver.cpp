#include "app/win/model_window_driver.h"

#include <commctrl.h>

#include "app/report_fields.h"
#include "app/win/link_button.h"
#include "app/win/report_field.h"
#include "app/win/shell_commands.h"
#include "common/file_system.h"
#include "resource.h"

namespace tavro {
namespace {

// Long work runs inside message handlers: the wait cursor shows it.
class WaitCursor {
  public:
    WaitCursor() : previous_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
    ~WaitCursor() { SetCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

  private:
    HCURSOR previous_;
};

} // namespace

ModelWindowDriver::ModelWindowDriver(ReportView& view, const Settings& settings)
    : view_(view), settings_(settings),
      infoEdit_(view, report_, prompter_,
                {[this] { mirror(); },
                 [this](std::vector<std::string> paths) { openList(std::move(paths)); }}) {
    sources_ = system_.sources();
    services_.sources = &sources_;
    services_.refresh = [this] {
        mirror();
        UpdateWindow(static_cast<HWND>(view_.windowHandle()));
    };
}

bool ModelWindowDriver::start() {
    prompter_.setOwner(static_cast<HWND>(view_.windowHandle()));
    driver_ =
        AnalysisDriver::create(report_, prompter_, platformFileSystem(), settings_, &services_);
    if (!driver_) {
        prompter_.tell("Out of Memory - Cannot Process File", "System Error", Icon::Stop);
        prompter_.tell("Error: Insufficient memory to run the application.\n", "Fatal Error",
                       Icon::Stop);
        return false;
    }
    if (!loadCodecDatabaseAtStartup(db_, platformFileSystem(), prompter_)) return false;
    services_.db = &db_;
    infoEdit_.setDriver(driver_.get());
    mirror();
    return true;
}

void ModelWindowDriver::openList(std::vector<std::string> paths) {
    FileList& list = driver_->fileList();
    list.clear();
    for (const std::string& path : paths)
        if (!list.add(path)) break;
    list.current = 0;
    WaitCursor wait;
    driver_->analyseCurrentFile();
    mirror();
    infoEdit_.fileAnalysed();
}

bool ModelWindowDriver::hasNext() const {
    return driver_ && driver_->fileList().hasNext();
}

void ModelWindowDriver::next() {
    if (!infoEdit_.leave("File Open")) return;
    WaitCursor wait;
    driver_->nextFile();
    mirror();
    infoEdit_.fileAnalysed();
}

bool ModelWindowDriver::command(int id) {
    return infoEdit_.command(id) || runShellCommand(static_cast<HWND>(view_.windowHandle()), id);
}

void ModelWindowDriver::setBatchRunning(bool running) {
    driver_->batchRunning = running;
}

void ModelWindowDriver::selectAudioStream(int stream) {
    WaitCursor wait;
    driver_->selectAudioStream(stream);
    mirror();
}

// Until the prose explanations are written, the popup repeats what the fields
// say, with a link to the installed codec's details where there is one.
Explanation ModelWindowDriver::explanation(int kind) {
    Explanation e;
    if (kind == 1) {
        e.text = "Video format " + report_.text(IDC_VIDEO_FOURCC) + ": " +
                 report_.text(IDC_VIDEO_NAME) + "~" + report_.text(IDC_VIDEO_STATUS);
        if (!report_.linkTarget(IDC_VIDEO_NAME).empty()) {
            e.text += " {details}";
            e.targets.push_back(report_.linkTarget(IDC_VIDEO_NAME));
        }
    } else if (kind == 2) {
        e.text =
            "Audio format: " + report_.text(IDC_AUDIO_NAME) + "~" + report_.text(IDC_AUDIO_STATUS);
        if (!report_.linkTarget(IDC_AUDIO_NAME).empty()) {
            e.text += " {details}";
            e.targets.push_back(report_.linkTarget(IDC_AUDIO_NAME));
        }
    } else {
        e.text = report_.text(IDC_FILE_STATUS) + "~Type: " + report_.text(IDC_TYPE);
    }
    return e;
}

void ModelWindowDriver::mirror() {
    HWND window = static_cast<HWND>(view_.windowHandle());
    for (const ReportFieldInfo& f : reportFields()) {
        const std::string text = report_.text(f.id);
        if (LinkButton* button = view_.link(f.id)) {
            button->setText(text);
            button->setTarget(report_.linkTarget(f.id));
            if (report_.enabled(f.id))
                button->enable();
            else
                button->disable(false);
        } else if (ReportField* field = view_.field(f.id)) {
            field->setTextAndLink(text, report_.linkTarget(f.id));
            field->setSecondaryText(report_.secondaryText(f.id));
        } else if (HWND control = GetDlgItem(window, f.id)) {
            SetWindowTextA(control, text.c_str());
            EnableWindow(control, report_.enabled(f.id));
        }
    }
    if (HWND list = GetDlgItem(window, IDC_COMMENTS)) mirrorComments(list);
}

void ModelWindowDriver::mirrorComments(HWND list) {
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int row = 0;
    for (const CommentRow& comment : report_.comments()) {
        const std::string* columns[] = {&comment.code, &comment.name, &comment.text};
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = row;
        item.pszText = const_cast<char*>(columns[0]->c_str());
        item.lParam = static_cast<LPARAM>(comment.chunk);
        const int index = static_cast<int>(
            SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (index < 0) continue;
        for (int column = 1; column < 3; ++column) {
            LVITEMA sub = {};
            sub.iSubItem = column;
            sub.pszText = const_cast<char*>(columns[column]->c_str());
            SendMessageA(list, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&sub));
        }
        ++row;
    }
}

} // namespace tavro
