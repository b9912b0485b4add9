#include "app/win/model_window_driver.h"

#include <commctrl.h>

#include <cstdlib>
#include <vector>

#include "app/recovery_offer.h"
#include "app/report_fields.h"
#include "app/stream_view.h"
#include "app/win/header_save_dialog.h"
#include "app/win/link_button.h"
#include "app/win/main_window.h"
#include "app/win/report_field.h"
#include "app/win/shell_commands.h"
#include "app/win/table_dialog.h"
#include "app/win/window_messages.h"
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

ModelWindowDriver::ModelWindowDriver(ReportView& view, Settings& settings)
    : view_(view), settings_(settings), export_(settings, prompter_, platformOutputFiles()),
      infoEdit_(view, report_, prompter_,
                {[this] { mirror(); },
                 [this](std::vector<std::string> paths) { openList(std::move(paths)); }}) {
    sources_ = system_.sources();
    services_.sources = &sources_;
    services_.refresh = [this] {
        mirror();
        UpdateWindow(static_cast<HWND>(view_.windowHandle()));
    };
    prompter_.setBeforeAsk(services_.refresh);
    render_.offerGraph = true; // the render popup's "Show graph" opens the graph window
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
    driver_->setExporter(&export_);
    driver_->setBeforeOpen(
        [this](const std::string& path) { offerRecovery(platformFileSystem(), prompter_, path); });
    // The tests run on a worker while the window stays painted and answers ESC; a
    // cancel also stops a running batch.
    auto cancelled = [this] {
        PostMessageW(static_cast<HWND>(view_.windowHandle()), kMsgRenderCancelled, 0, 0);
    };
    graphs_.setOnCancel(cancelled);
    mfPlayers_.setOnCancel(cancelled);
    if (const char* delay = std::getenv("TAVRO_TEST_RENDER_DELAY_MS"))
        graphs_.setDelayForTests(static_cast<DWORD>(std::strtoul(delay, nullptr, 10)));
    if (const char* delay = std::getenv("TAVRO_TEST_MF_DELAY_MS"))
        mfPlayers_.setDelayForTests(static_cast<DWORD>(std::strtoul(delay, nullptr, 10)));
    driver_->renderStep().setGraphBuilder(&graphs_);
    driver_->renderStep().setCancellable(true);
    mfPlay_.setPlayer(&mfPlayers_);
    mfPlay_.setCancellable(true);
    mfPlay_.showIn(&report_, services_.refresh);
    driver_->setMfPlayStep(&mfPlay_);
    driver_->info().spans = &map_;
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
    map_.reset(); // a file that cannot be read leaves no map of the one before
    driver_->analyseCurrentFile();
    analysed();
}

bool ModelWindowDriver::hasNext() const {
    return driver_ && driver_->fileList().hasNext();
}

void ModelWindowDriver::next() {
    if (!infoEdit_.leave("File Open")) return;
    WaitCursor wait;
    map_.reset();
    driver_->nextFile();
    analysed();
}

void ModelWindowDriver::setBatchRunning(bool running) {
    driver_->batchRunning = running;
}

void ModelWindowDriver::selectAudioStream(int stream) {
    WaitCursor wait;
    driver_->selectAudioStream(stream);
    analysed();
}

void ModelWindowDriver::analysed() {
    noteRenderTest(render_, driver_->renderStep());
    mapWindow_.refresh(driver_->info().fileName);
    if (graphWindow_.isOpen()) showRenderGraph(); // it follows the file the fields show
    mirror();
    infoEdit_.fileAnalysed();
}

Explanation ModelWindowDriver::explanation(int kind) {
    return explanationOf(kind, kind == 3 ? IDC_FILE_STATUS : 0);
}

Explanation ModelWindowDriver::explanationOf(int kind, int linkId) {
    ExplanationText e;
    // The codec explanations read the inventories, which the Settings dialog may
    // have discarded since the file was analysed.
    if (kind == 1 || kind == 2)
        ensureCodecInventories(services_.inventories, {sources_, db_, settings_, prompter_});
    if (kind == 1)
        e = videoExplanation(*driver_, &services_.inventories, render_);
    else if (kind == 2)
        e = audioExplanation(*driver_, &services_.inventories, render_);
    else if (linkId == IDC_RENDER_STATUS)
        e = renderExplanation(*driver_, render_);
    else if (linkId == IDC_MF_PLAY_STATUS)
        e.text = mfPlay_.explanation();
    else
        e = fileExplanation(*driver_, render_);
    return {e.text, e.targets};
}

void ModelWindowDriver::saveHeader() {
    const FileList& list = driver_->fileList();
    const std::string path = list.hasCurrent() ? list.at(list.current) : std::string();
    const MediaInfo& info = driver_->info();
    const uint8_t* head = info.headBuffer();
    uint32_t held = path.empty() ? 0 : info.headLength;
    // A wrapped payload was moved over the head: the file's own beginning is read
    // again, since the snapshot is meant to show how the file starts.
    std::vector<uint8_t> start;
    if (held && info.wrap.waveDepth > 0) {
        start.resize(kHeadCapacity);
        size_t got = 0;
        std::unique_ptr<InputFile> file = platformFileSystem().openRead(path, nullptr);
        if (!file || !file->read(start.data(), start.size(), &got, nullptr)) got = 0;
        head = start.data();
        held = static_cast<uint32_t>(got);
    }
    HeaderSaveDialog dialog(head, held, path, prompter_);
    dialog.run(static_cast<HWND>(view_.windowHandle()), GetModuleHandleA(nullptr));
}

bool ModelWindowDriver::command(int id) {
    if (!driver_) return false;
    if (id == IDM_FILE_HEADER_SAVE) {
        saveHeader();
        return true;
    }
    if (id == IDM_VIEW_FILE_MAP) {
        mapWindow_.show(static_cast<HWND>(view_.windowHandle()), map_, driver_->info().fileName);
        return true;
    }
    if (infoEdit_.command(id) || runShellCommand(static_cast<HWND>(view_.windowHandle()), id))
        return true;
    CodecViews views(services_, settings_, prompter_, driver_ ? &driver_->renderStep() : nullptr);
    TableSpec spec;
    bool shown = false;
    {
        WaitCursor wait;
        switch (id) {
        case IDM_VIEW_INSTALLED_VIDEO:
            shown = views.installedVideo(&spec);
            spec.rowAction = [this](int row) { showVideoDetails(row); };
            break;
        case IDM_VIEW_INSTALLED_AUDIO:
            shown = views.installedAudio(&spec);
            spec.rowAction = [this](int row) { showAudioDetails(row); };
            break;
        case IDM_VIEW_INSTALLED_MF:
            shown = views.installedMft(&spec);
            spec.rowAction = [this](int row) { showMftDetails(row); };
            break;
        case IDM_VIEW_DB_VIDEO:
            shown = views.knownVideo(&spec);
            break;
        case IDM_VIEW_DB_AUDIO:
            shown = views.knownAudio(&spec);
            break;
        case IDM_VIEW_STREAMS:
            shown = streamTable(driver_->info().streams, &spec);
            if (!shown)
                prompter_.tell("Tavro lists the streams of MP4, MOV, Matroska, WebM, transport "
                               "stream, FLV, FLAC and ASF files. The current file is not one "
                               "of them, or no file is open.",
                               "Streams of the File", Icon::Information);
            break;
        default:
            return false;
        }
    }
    // Building the inventories may have changed the progress texts.
    mirror();
    if (shown) showTable(std::move(spec));
    return true;
}

void ModelWindowDriver::followStreamLink(const LinkTarget& link) {
    switch (link.kind) {
    case LinkKind::VideoCodec:
        showVideoDetails(link.number);
        break;
    case LinkKind::AudioCodec:
        showAudioDetails(link.number);
        break;
    case LinkKind::FilterGraph:
        showFilterDetails(link.number);
        break;
    case LinkKind::RenderGraph:
        showRenderGraph();
        break;
    default:
        break;
    }
}

void ModelWindowDriver::showRenderGraph() {
    if (!driver_) return;
    graphWindow_.show(static_cast<HWND>(view_.windowHandle()),
                      driver_->renderStep().outcome().graph, &db_, driver_->info().fileName);
}

void ModelWindowDriver::showTable(TableSpec spec) {
    // A detail table asked for from a list dialog is modal to that list; one asked for
    // from the main window (a popup link) to the main window. Owned by the main window
    // while a list is open, it would re-enable the main window as it closes.
    HWND main = static_cast<HWND>(view_.windowHandle());
    HWND owner = main;
    HWND active = GetActiveWindow();
    if (active && active != main && GetWindow(active, GW_OWNER) == main) owner = active;
    TableDialog dialog(std::move(spec));
    dialog.run(owner, GetModuleHandleA(nullptr), smallDialogUnits());
}

void ModelWindowDriver::showVideoDetails(int index) {
    CodecViews views(services_, settings_, prompter_, &driver_->renderStep());
    TableSpec spec;
    if (views.videoDetails(index, &spec)) showTable(std::move(spec));
}

void ModelWindowDriver::showAudioDetails(int index) {
    CodecViews views(services_, settings_, prompter_, &driver_->renderStep());
    TableSpec spec;
    if (views.audioDetails(index, &spec)) showTable(std::move(spec));
}

void ModelWindowDriver::showFilterDetails(int index) {
    CodecViews views(services_, settings_, prompter_, &driver_->renderStep());
    TableSpec spec;
    if (views.filterDetails(index, &spec)) showTable(std::move(spec));
}

void ModelWindowDriver::showMftDetails(int index) {
    CodecViews views(services_, settings_, prompter_, &driver_->renderStep());
    TableSpec spec;
    if (views.mftDetails(index, &spec)) showTable(std::move(spec));
}

void ModelWindowDriver::mirror() {
    HWND window = static_cast<HWND>(view_.windowHandle());
    for (const ReportFieldInfo& f : reportFields())
        mirrorField(window, f.id);
    // The window's own field: the CLI reports the test in a member of its own.
    mirrorField(window, field::MfPlayStatus);
    if (HWND list = GetDlgItem(window, IDC_COMMENTS)) mirrorComments(list);
}

void ModelWindowDriver::mirrorField(HWND window, int id) {
    const std::string text = report_.text(id);
    if (LinkButton* button = view_.link(id)) {
        button->setText(text);
        button->setTarget(report_.linkTarget(id));
        if (report_.enabled(id))
            button->enable();
        else
            button->disable(false);
    } else if (ReportField* field = view_.field(id)) {
        field->setTextAndLink(text, report_.linkTarget(id));
        field->setSecondaryText(report_.secondaryText(id));
        // Greyed where the model says so (the render fields when the test is off).
        EnableWindow(field->hwnd(), report_.enabled(id));
    } else if (HWND control = GetDlgItem(window, id)) {
        SetWindowTextA(control, text.c_str());
        EnableWindow(control, report_.enabled(id));
    }
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
