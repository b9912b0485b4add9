// The Export Setup help shows examples: each must be what the template expander really
// gives, letter for letter, and each file-mode example what the target rule picks.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "report/export_template.h"

namespace tavro {
namespace {

// A string resource as the program loads it: the quoted text, with the resource
// compiler's "" and \\ undone.
std::string resourceString(const std::string& id) {
    std::ifstream in(std::string(TAVRO_SOURCE_DIR) + "/resources/export_dialogs.rc");
    std::string line;
    while (std::getline(in, line)) {
        const size_t at = line.find(id + " \"");
        if (at == std::string::npos) continue;
        const size_t open = line.find('"', at), close = line.rfind('"');
        const std::string quoted = line.substr(open + 1, close - open - 1);
        std::string out;
        for (size_t i = 0; i < quoted.size(); ++i) {
            if ((quoted[i] == '"' || quoted[i] == '\\') && i + 1 < quoted.size() &&
                quoted[i + 1] == quoted[i])
                ++i;
            out += quoted[i];
        }
        return out;
    }
    return {};
}

std::string between(const std::string& text, const std::string& from, const std::string& to,
                    size_t* at) {
    const size_t start = text.find(from, *at);
    if (start == std::string::npos) return {};
    const size_t begin = start + from.size();
    const size_t end = text.find(to, begin);
    *at = end == std::string::npos ? text.size() : end;
    return text.substr(begin, *at - begin);
}

TEST(ExportHelp, SampleFormatsGiveWhatTheyShow) {
    const std::string help = resourceString("IDS_EXP_HELP_SAMPLE");
    ASSERT_FALSE(help.empty());
    ExportFields fields;
    fields.mediaPath = "c:\\movies\\memento.avi";
    fields.field['K' - 'A'] = "01h 53m 00s";
    fields.field['F' - 'A'] = "DivX 4 / 5 / 6 (MPEG-4 Part 2)";
    fields.field['A' - 'A'] = fields.mediaPath;
    size_t at = 0;
    int examples = 0;
    for (;;) {
        const std::string spec = between(help, "Format spec:~", "~~", &at);
        if (spec.empty()) break;
        std::string shown = between(help, ":~~", "~~Example", &at);
        // The popup shows a line break as "~" and the tab as spaces.
        std::string got;
        for (char c : expandTemplate(spec, fields)) {
            if (c == '\t')
                got += "   ";
            else if (c == '\n')
                got += '~';
            else if (c != '\r')
                got += c;
        }
        while (!got.empty() && got.back() == '~')
            got.pop_back();
        EXPECT_EQ(got, shown) << spec;
        ++examples;
    }
    EXPECT_EQ(examples, 2);
    // The example called the default is the default.
    EXPECT_NE(help.find(std::string("this is the default):~~Format spec:~") +
                        kDefaultExportTemplate + "~~"),
              std::string::npos);
}

TEST(ExportHelp, FileModeExamplesAreWhereRecordsGo) {
    const std::string help = resourceString("IDS_EXP_HELP_MODES");
    ASSERT_FALSE(help.empty());
    const std::string media = "c:\\movies\\memento.avi";
    struct Case {
        int mode;
        std::string folder, file, shownTarget;
    } cases[] = {
        {kExportSameFolder, "", "", "c:\\movies\\memento.txt"},
        {kExportChosenFolder, "c:\\textfiles", "", "c:\\textfiles\\memento.txt"},
        {kExportOneFile, "", "c:\\spreadsheet\\movies.csv", "c:\\spreadsheet\\movies.csv"}};
    size_t at = 0;
    for (const Case& c : cases) {
        at = help.find("When the file " + media + " is examined, ", at);
        ASSERT_NE(at, std::string::npos) << c.mode;
        at = help.find(c.shownTarget, at);
        ASSERT_NE(at, std::string::npos) << c.shownTarget;
        EXPECT_EQ(exportFilePath(media, c.mode, c.folder, c.file).path, c.shownTarget);
    }
    // The popup shows text as it is: "&&" would show doubled.
    EXPECT_EQ(help.find("&&"), std::string::npos);
}

} // namespace
} // namespace tavro
