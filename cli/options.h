// tavro-cli's command line: one table of options, recognised anywhere before "--",
// so that new options are one row and one field each.
#pragma once
#include <string>
#include <vector>

namespace tavro {

struct CliOptions {
    bool json = false;  // one JSON array, each object written as its file is done
    bool jsonl = false; // one JSON object per line
    bool recursive = false;
    bool codecs = false;
    bool formats = false; // the data base's known formats instead of files
    bool render = false;  // the render test for every file, whatever the settings say
    bool help = false;
    bool version = false;     // the release number alone
    bool hasTemplate = false; // print each file's export record instead of its report
    std::string templateText;
    // Pictures: a file for one input, or a folder for one picture per input file.
    std::string mapTarget;              // --map: the file map as SVG
    std::string graphSvgTarget;         // --graph-svg: the render graph as SVG
    std::string graphDotTarget;         // --graph-dot: the render graph as Graphviz DOT
    int jobs = 0;                       // 0: one per processor
    std::vector<std::string> filesFrom; // list files ("-" is standard input)
    std::vector<std::string> paths;     // files and folders, in command-line order
};

struct OptionSpec {
    const char* name;      // "--json"; a short alias goes in `alias`
    const char* alias;     // "-r", or null
    const char* valueName; // null for a flag, else the value's placeholder ("N")
    const char* help;
    // Takes the option (and its value); false with `error` set when the value is bad.
    bool (*apply)(CliOptions& options, const std::string& value, std::string& error);
};

const std::vector<OptionSpec>& optionTable();

// False with `error` set for bad usage (unknown option, missing or bad value, or
// options that do not go together).
bool parseCommandLine(const std::vector<std::string>& args, CliOptions& options,
                      std::string& error);

// The usage text, every option of the table with its help.
std::string usageText();

} // namespace tavro
