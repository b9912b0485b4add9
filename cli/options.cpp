#include "cli/options.h"

#include <cstdlib>

namespace tavro {
namespace {

bool once(bool& flag, const char* name, std::string& error) {
    if (flag) {
        error = std::string(name) + " given twice";
        return false;
    }
    flag = true;
    return true;
}

bool parseJobs(CliOptions& o, const std::string& value, std::string& error) {
    char* end = nullptr;
    long n = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || n < 1 || n > 256) {
        error = "--jobs wants a number from 1 to 256, not \"" + value + "\"";
        return false;
    }
    o.jobs = static_cast<int>(n);
    return true;
}

// A picture's target, given once and not empty.
bool pictureTarget(std::string& target, const char* name, const std::string& value,
                   std::string& error) {
    if (!target.empty()) {
        error = std::string(name) + " given twice";
        return false;
    }
    if (value.empty()) {
        error = std::string(name) + " wants a file or folder name";
        return false;
    }
    target = value;
    return true;
}

} // namespace

const std::vector<OptionSpec>& optionTable() {
    static const std::vector<OptionSpec> table = {
        {"--json", nullptr, nullptr, "one JSON array of the reports, written as files finish",
         [](CliOptions& o, const std::string&, std::string& e) {
             return once(o.json, "--json", e);
         }},
        {"--jsonl", nullptr, nullptr, "one JSON object per line, written as each file finishes",
         [](CliOptions& o, const std::string&, std::string& e) {
             return once(o.jsonl, "--jsonl", e);
         }},
        {"--recursive", "-r", nullptr, "descend into the subfolders of folder arguments",
         [](CliOptions& o, const std::string&, std::string&) { return o.recursive = true; }},
        {"--jobs", "-j", "N", "analyse N files at a time (default: one per processor)", parseJobs},
        {"--files-from", nullptr, "LIST",
         "read paths from LIST, one a line (\"-\" reads standard input)",
         [](CliOptions& o, const std::string& v, std::string&) {
             o.filesFrom.push_back(v);
             return true;
         }},
        {"--codecs", nullptr, nullptr,
         "list the installed video and audio codecs and Media Foundation transforms",
         [](CliOptions& o, const std::string&, std::string& e) {
             return once(o.codecs, "--codecs", e);
         }},
        {"--formats", nullptr, nullptr, "list the codec data base's known video and audio formats",
         [](CliOptions& o, const std::string&, std::string& e) {
             return once(o.formats, "--formats", e);
         }},
        {"--render", nullptr, nullptr,
         "run the DirectShow render test on every file (Windows; else as the settings say)",
         [](CliOptions& o, const std::string&, std::string& e) {
             return once(o.render, "--render", e);
         }},
        {"--template", nullptr, "TEXT",
         "print each file's export record: TEXT expanded (%@, %A..%X, \\n, \\r, \\t), then CR LF",
         [](CliOptions& o, const std::string& v, std::string& e) {
             if (!once(o.hasTemplate, "--template", e)) return false;
             o.templateText = v;
             return true;
         }},
        {"--map", nullptr, "PATH",
         "draw each file's map (header, index, streams by offset and time) as SVG: PATH is "
         "the file for one input, or a folder for one picture per file",
         [](CliOptions& o, const std::string& v, std::string& e) {
             return pictureTarget(o.mapTarget, "--map", v, e);
         }},
        {"--graph-svg", nullptr, "PATH", "draw the render test's graph as SVG (file or folder)",
         [](CliOptions& o, const std::string& v, std::string& e) {
             return pictureTarget(o.graphSvgTarget, "--graph-svg", v, e);
         }},
        {"--graph-dot", nullptr, "PATH",
         "write the render test's graph as Graphviz DOT (file or folder)",
         [](CliOptions& o, const std::string& v, std::string& e) {
             return pictureTarget(o.graphDotTarget, "--graph-dot", v, e);
         }},
        {"--help", "-h", nullptr, "show this help",
         [](CliOptions& o, const std::string&, std::string&) { return o.help = true; }},
        {"--version", nullptr, nullptr, "print the release number",
         [](CliOptions& o, const std::string&, std::string&) { return o.version = true; }},
    };
    return table;
}

bool parseCommandLine(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error) {
    bool optionsDone = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsDone || arg.size() < 2 || arg[0] != '-') {
            options.paths.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsDone = true;
            continue;
        }
        // "--name=value" gives the value in the same argument.
        size_t eq = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        std::string name = eq == std::string::npos ? arg : arg.substr(0, eq);
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& s : optionTable())
            if (name == s.name || (s.alias && name == s.alias)) spec = &s;
        if (!spec) {
            error = "unknown option " + name;
            return false;
        }
        std::string value;
        if (spec->valueName) {
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = name + " wants a value " + spec->valueName;
                return false;
            }
        } else if (eq != std::string::npos) {
            error = name + " takes no value";
            return false;
        }
        if (!spec->apply(options, value, error)) return false;
    }
    if (options.help || options.version) return true;
    const bool inputs = !options.paths.empty() || !options.filesFrom.empty();
    if (options.json && options.jsonl) {
        error = "--json and --jsonl do not go together";
        return false;
    }
    if (options.codecs && options.formats) {
        error = "--codecs and --formats do not go together";
        return false;
    }
    const bool listing = options.codecs || options.formats;
    if (listing == inputs) {
        error = listing ? std::string(options.codecs ? "--codecs" : "--formats") + " takes no files"
                        : "no file given";
        return false;
    }
    if (options.hasTemplate && (options.json || options.jsonl)) {
        error = "--template writes records, not reports: it goes alone";
        return false;
    }
    return true;
}

std::string usageText() {
    std::string text = "usage: tavro-cli [OPTION]... PATH...\n"
                       "       tavro-cli --codecs [--json]\n"
                       "       tavro-cli --formats [--json]\n"
                       "       tavro-cli --set ID=TEXT [--set ID=TEXT]... [--output COPY] FILE\n"
                       "       tavro-cli --restore FILE\n"
                       "Reports what is inside media files; a folder stands for the files in it,\n"
                       "in name order. Options may come anywhere before \"--\".\n\n";
    for (const OptionSpec& s : optionTable()) {
        std::string left = "  ";
        if (s.alias) left += std::string(s.alias) + ", ";
        left += s.name;
        if (s.valueName) left += std::string(" ") + s.valueName;
        if (left.size() < 24)
            left.resize(24, ' ');
        else
            left += "  ";
        text += left + s.help + "\n";
    }
    text += "\nExit status: 0 when every file was analysed, 1 when a file could not be\n"
            "opened or read, 2 for bad usage.\n";
    return text;
}

} // namespace tavro
