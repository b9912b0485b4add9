// The per-file output forms: escaped control characters, and the path bytes of a
// name that is not UTF-8.
#include <gtest/gtest.h>

#include "analysis/media_info.h"
#include "app/report_model.h"
#include "cli/report_output.h"

namespace tavro {
namespace {

TEST(ReportOutput, EscapesControlCharacters) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"plain\ttab", "plain\ttab"},
        {"a\nFile Status: File Length Correct", "a\\nFile Status: File Length Correct"},
        {"\x1b]0;title\x07\x1b[31m", "\\x1b]0;title\\x07\\x1b[31m"},
        {"cr\rdel\x7f", "cr\\rdel\\x7f"},
        {"caf\xc3\xa9 \xff", "caf\xc3\xa9 \xff"}, // bytes from 0x80 pass as they are
    };
    for (const auto& c : cases)
        EXPECT_EQ(escapeControls(c.in), c.out);
}

TEST(ReportOutput, TextFormEscapesFieldsAndComments) {
    ReportModel report;
    report.setText(field::Path, "evil\nname.avi");
    report.addComment({"INAM", "", "\x1b[2J", kNoChunk});
    std::string text = reportText(report);
    EXPECT_NE(text.find("Path: evil\\nname.avi\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Comment INAM: \\x1b[2J\n"), std::string::npos) << text;
    EXPECT_EQ(text.find('\x1b'), std::string::npos);
}

TEST(ReportOutput, Utf8Validity) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"plain", true},         {"\xe6\x97\xa5\xe6\x9c\xac.avi", true},
        {"caf\xe9.avi", false},  {"\xc0\xaf", false},         // overlong
        {"\xed\xa0\x80", false}, {"\xf4\x90\x80\x80", false}, // surrogate, past U+10FFFF
        {"\xe6\x97", false},     {"\xf0\x9f\x8e\xac", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isValidUtf8(c.text), c.valid) << c.text;
}

TEST(ReportOutput, PathHexOnlyForNamesThatAreNotUtf8) {
    ReportModel report;
    auto info = MediaInfo::create();
    ASSERT_TRUE(info);
    nlohmann::json good = reportJson("caf\xc3\xa9.avi", report, *info);
    EXPECT_FALSE(good.contains("path_hex"));
    nlohmann::json bad = reportJson("a/caf\xe9.avi", report, *info);
    EXPECT_EQ(bad["path_hex"], "612f636166e92e617669");
    // The writer still gives valid JSON, with U+FFFD for the bad byte.
    std::string line = fileOutput(OutputForm::JsonLines, "caf\xe9.avi", report, *info);
    EXPECT_NE(line.find("caf\xef\xbf\xbd.avi"), std::string::npos);
    EXPECT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1);
}

} // namespace
} // namespace tavro
