#include "cli/batch_run.h"

#include "cli/map_json.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "app/analysis_driver.h"
#include "app/explanation_facts.h"
#include "app/export_step.h"
#include "cli/console_output.h"
#include "cli/decoders_output.h"
#include "cli/export_output.h"
#include "cli/input_source.h"
#include "cli/map_json.h"
#include "cli/mf_play_output.h"
#include "cli/ordered_jobs.h"
#include "cli/picture_output.h"
#include "cli/render_output.h"
#include "cli/report_output.h"
#include "cli/stderr_prompter.h"
#include "render/graph_picture.h"
#include "report/map/map_svg.h"

namespace tavro {
namespace {

struct FileOutcome {
    std::string out;
    std::string err;
    bool failed = false;
    std::string path;
    // The pictures asked for, written in input order by the main thread.
    std::string mapSvg, graphSvg, graphDot;
};

// The three picture options of a run, in one place.
struct Pictures {
    PictureTarget map, graphSvg, graphDot;
    explicit Pictures(const CliOptions& o)
        : map("--map", o.mapTarget, ".map.svg"),
          graphSvg("--graph-svg", o.graphSvgTarget, ".graph.svg"),
          graphDot("--graph-dot", o.graphDotTarget, ".graph.dot") {}
};

// The counter counts the whole run, not the driver's list of one file.
std::string counterText(uint64_t index, int64_t total) {
    char text[48];
    if (total >= 0)
        std::snprintf(text, sizeof text, "%3llu/%-3lld", static_cast<unsigned long long>(index + 1),
                      static_cast<long long>(total));
    else
        std::snprintf(text, sizeof text, "%3llu", static_cast<unsigned long long>(index + 1));
    return text;
}

// One job's own analysis state: codec environment, report, prompter and driver.
// work() runs on the job's thread; what it returns is written in input order, so a
// per-file step beyond the report goes there, its messages in the prompter.
class FileWorker {
  public:
    FileWorker(const CodecEnvironment& shared, const CliOptions& options, OutputForm form,
               int64_t total)
        : env_(makeCodecEnvironment()), shared_(shared), options_(options), form_(form),
          total_(total), mfPlay_(env_->settings, &shared.db) {
        env_->services.db = &shared.db; // read only, after loading
        driver_ = AnalysisDriver::create(report_, prompter_, platformFileSystem(), env_->settings,
                                         &env_->services);
        if (driver_) {
            RenderStep& render = driver_->renderStep();
            render.setGraphBuilder(env_->graphBuilder);
            render.setForced(options.render);
            // The batch rules look at the whole run, not the one-file list of a job.
            if (total > 1) render.setRunSize(total > INT32_MAX ? INT32_MAX : int(total));
            // The map costs a few bins' worth per file; it is made only when shown.
            if (!options.mapTarget.empty() || form != OutputForm::Text)
                driver_->info().spans = &map_;
        }
    }

    FileOutcome work(const InputEntry& entry, uint64_t index) {
        FileOutcome result;
        result.failed = true;
        if (!entry.error.empty()) {
            result.err = consoleMessage(entry.error, entry.path);
            return result;
        }
        if (!driver_) {
            result.err = "tavro-cli: Error: Insufficient memory to run the application.\n";
            return result;
        }
        FileList& list = driver_->fileList();
        list.clear();
        list.add(entry.path);
        list.current = 0;
        prompter_.messages.clear();
        map_.reset();
        result.path = entry.path;
        AnalysisDriver::Outcome outcome = driver_->analyseCurrentFile();
        result.failed = outcome != AnalysisDriver::Outcome::Analysed;
        result.err.swap(prompter_.messages);
        if (outcome == AnalysisDriver::Outcome::OpenFailed) return result;
        report_.setText(field::Counter, counterText(index, total_));
        noteRenderTest(renderFacts_, driver_->renderStep());
        // Only the JSON forms have a place for the Media Foundation test.
        if (form_ != OutputForm::Text && !options_.hasTemplate) {
            mfPlay_.setPlayer(env_->mfPlayer);
            mfPlay_.setForced(options_.render);
            const int files = total_ > 1 ? (total_ > INT32_MAX ? INT32_MAX : int(total_)) : 1;
            mfPlay_.run(entry.path, driver_->info(), files);
        }
        result.out = output(entry.path);
        if (!options_.mapTarget.empty()) result.mapSvg = fileMapSvg(map_, pathBaseName(entry.path));
        const GraphDescription& graph = driver_->renderStep().outcome().graph;
        if (!options_.graphSvgTarget.empty()) result.graphSvg = graphSvg(graph, &shared_.db);
        if (!options_.graphDotTarget.empty()) result.graphDot = graphDot(graph, &shared_.db);
        return result;
    }

  private:
    std::string output(const std::string& path) {
        if (options_.hasTemplate) return exportRecord(options_.templateText, report_, path);
        if (form_ == OutputForm::Text) return fileOutput(form_, path, report_, driver_->info());
        nlohmann::json object = reportJson(path, report_, driver_->info());
        object["render"] = renderJson(driver_->renderStep(), report_);
        object["graph"] = graphJson(driver_->renderStep().outcome().graph, &shared_.db);
        object["explanations"] = explanationsJson(*driver_, &env_->services, renderFacts_);
        object["decoders"] = decodersJson(driver_->info(), env_->services.inventories);
        object["mediaFoundationPlay"] = mfPlayJson(mfPlay_);
        object["map"] = nullptr; // written by the splice: thousands of numbers
        return jsonOutput(form_, object,
                          JsonSplice{"map", [this](std::string& out, int indent, int at) {
                                         appendFileMapJson(out, map_, indent, at);
                                     }});
    }

    std::unique_ptr<CodecEnvironment> env_;
    const CodecEnvironment& shared_;
    const CliOptions& options_;
    RenderFacts renderFacts_; // what this job's render tests found so far
    ReportModel report_;
    BufferedPrompter prompter_;
    FileMap map_;
    std::unique_ptr<AnalysisDriver> driver_;
    OutputForm form_;
    int64_t total_;
    MfPlayStep mfPlay_;
};

const std::chrono::milliseconds kLongestHold(200);

} // namespace

int runBatch(const CliOptions& options, const CodecEnvironment& shared, PathInspector& inspector,
             std::istream& standardInput) {
    const OutputForm form = options.jsonl  ? OutputForm::JsonLines
                            : options.json ? OutputForm::Json
                                           : OutputForm::Text;
    const bool terminal = ProgressLine::stderrIsTerminal();
    int64_t total = InputSource::count(options, inspector);
    Pictures pictures(options);
    {
        std::string error;
        // A list on standard input (total -1) may hold any number of files.
        const bool oneInput = total == 1;
        for (PictureTarget* t : {&pictures.map, &pictures.graphSvg, &pictures.graphDot})
            if (!t->prepare(inspector, oneInput, error)) {
                std::fprintf(stderr, "tavro-cli: %s\n", error.c_str());
                return 2;
            }
    }
    int jobs = options.jobs;
    if (jobs <= 0) {
        // One per processor, but a job costs its own buffers: a short run takes fewer.
        jobs = static_cast<int>(std::thread::hardware_concurrency());
        const int64_t kFilesPerJob = 32;
        if (total >= 0 && total / kFilesPerJob < jobs)
            jobs = static_cast<int>(total / kFilesPerJob);
        if (jobs <= 0) jobs = 1;
    }
    ProgressLine progress(terminal && total != 1);
    const bool stdoutTerminal = ProgressLine::stdoutIsTerminal();
    const bool reportsOnTerminal = terminal && stdoutTerminal;
    InputSource source(options, inspector, standardInput);
    ConsoleOutput out;
    if (options.hasTemplate) out.keepLineEnds();

    int status = 0;
    uint64_t done = 0, written = 0;
    if (form == OutputForm::Json) out.write("[");
    OrderedJobs<InputEntry, FileOutcome, FileWorker>::run(
        jobs, [&] { return std::make_unique<FileWorker>(shared, options, form, total); },
        [&](InputEntry& entry) { return source.next(entry); },
        [&](FileOutcome& result) {
            if (result.failed) status = 1;
            const std::pair<PictureTarget*, const std::string*> drawn[] = {
                {&pictures.map, &result.mapSvg},
                {&pictures.graphSvg, &result.graphSvg},
                {&pictures.graphDot, &result.graphDot}};
            for (const auto& [target, text] : drawn) {
                std::string error;
                if (text->empty() || target->write(result.path, *text, error)) continue;
                result.err += "tavro-cli: " + error + "\n";
                status = 1;
            }
            // Reports on the terminal that shows the progress line take its place.
            if (reportsOnTerminal && !result.out.empty()) progress.clear();
            if (!result.err.empty()) {
                out.flush(); // keeps the order of reports and messages on a shared console
                progress.message(result.err);
            }
            if (!result.out.empty()) {
                if (form == OutputForm::Json) out.write(written ? ",\n" : "\n");
                out.write(result.out);
                // Reports go out in large blocks; a reader on a terminal or at the end
                // of a pipe still sees each within a moment of its file.
                if (stdoutTerminal || out.heldFor() > kLongestHold) out.flush();
                ++written;
            }
            progress.update(++done, total);
        });
    progress.clear();
    if (form == OutputForm::Json) out.write(written ? "\n]\n" : "]\n");
    out.flush();
    return status;
}

} // namespace tavro
