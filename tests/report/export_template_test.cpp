// Template expansion and the export target by file mode.
#include <gtest/gtest.h>

#include "report/export_template.h"

namespace tavro {
namespace {

ExportFields memento() {
    ExportFields f;
    f.mediaPath = "c:\\movies\\memento.avi";
    for (int i = 0; i < kExportLetters; ++i)
        f.field[static_cast<size_t>(i)] = std::string(1, static_cast<char>('a' + i)) + "!";
    f.field[0] = f.mediaPath;
    f.field['F' - 'A'] = "DivX";
    f.field['K' - 'A'] = "1:53:00";
    return f;
}

TEST(ExpandTemplate, Table) {
    const struct {
        const char* templ;
        const char* out;
    } cases[] = {
        {kDefaultExportTemplate,
         "Title: memento.avi\r\nDuration: 1:53:00\r\nVideo Codec: DivX\r\n\r\n"},
        {"%a\\t%k\\t%f", "c:\\movies\\memento.avi\t1:53:00\tDivX"},
        {"%A|%a", "c:\\movies\\memento.avi|c:\\movies\\memento.avi"},
        {"%B%C%D%E%G%H%I%J%L%M%N%O%P%Q%R%S%T%U%V%W%X",
         "b!c!d!e!g!h!i!j!l!m!n!o!p!q!r!s!t!u!v!w!x!"},
        {"x\\Ny\\Rz\\Tw", "x\ny\rz\tw"},
        {"%Z%y\\x\\q", ""},           // unknown letters and escapes give nothing
        {"50%% \\\\ off", "50  off"}, // no literal percent sign or backslash
        {"end%", "end"},
        {"end\\", "end"},
        {"%", ""},
        {"%@%@", "memento.avimemento.avi"},
        {"plain text", "plain text"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(expandTemplate(c.templ, memento()), c.out) << c.templ;
}

TEST(ExpandTemplate, NoFixedLimitOnTheExpansion) {
    ExportFields f = memento();
    f.field[0] = std::string(259, 'p');
    const std::string out = expandTemplate(std::string(200, '%').replace(1, 1, "A") + "%A%A%A", f);
    EXPECT_EQ(out.size(), 4u * 259u);
}

TEST(NameAndExtension, KeepsTheOddEnds) {
    EXPECT_EQ(nameAndExtension("c:\\movies\\memento.avi"), "memento.avi");
    EXPECT_EQ(nameAndExtension("/films/a.b.ogm"), "a.b.ogm");
    EXPECT_EQ(nameAndExtension("c:\\movies\\memento"), "memento."); // kept as it always was
    EXPECT_EQ(nameAndExtension("d:clip.mpg"), "clip.mpg");
    EXPECT_EQ(baseName("c:\\movies.old\\memento"), "memento");
}

TEST(ExportFilePath, ByMode) {
    const std::string avi = "c:\\movies\\memento.avi";
    const struct {
        const char* media;
        int mode;
        const char* folder;
        const char* file;
        ExportTarget::Kind kind;
        const char* path;
    } cases[] = {
        {"c:\\movies\\memento.avi", 1, "", "", ExportTarget::Path, "c:\\movies\\memento.txt"},
        {"c:\\movies\\memento", 1, "", "", ExportTarget::Path, "c:\\movies\\memento.txt"},
        {"c:\\movies\\notes.txt", 1, "", "", ExportTarget::Path, "c:\\movies\\notes.txt"},
        {"/films/clip.ogm", 1, "", "", ExportTarget::Path, "/films/clip.txt"},
        {"c:\\movies\\memento.avi", 2, "c:\\textfiles", "", ExportTarget::Path,
         "c:\\textfiles\\memento.txt"},
        {"c:\\movies\\memento.avi", 2, "c:\\textfiles\\", "", ExportTarget::Path,
         "c:\\textfiles\\memento.txt"},
        {"c:\\movies\\memento.avi", 2, "c:", "", ExportTarget::Path, "c:\\memento.txt"},
        {"c:\\movies\\memento.avi", 2, "", "", ExportTarget::Path, "memento.txt"},
        {"/films/clip.ogm", 2, "/tmp/out", "", ExportTarget::Path, "/tmp/out/clip.txt"},
        {"c:\\movies\\memento.avi", 3, "c:\\x", "c:\\spreadsheet\\movies.csv", ExportTarget::Path,
         "c:\\spreadsheet\\movies.csv"},
        {"c:\\movies\\memento.avi", 0, "c:\\x", "c:\\y.csv", ExportTarget::NoExport, ""},
        {"c:\\movies\\memento.avi", 4, "c:\\x", "c:\\y.csv", ExportTarget::NoExport, ""},
    };
    for (const auto& c : cases) {
        const ExportTarget t = exportFilePath(c.media, c.mode, c.folder, c.file);
        EXPECT_EQ(t.kind, c.kind) << c.media << " mode " << c.mode;
        EXPECT_EQ(t.path, c.path) << c.media << " mode " << c.mode;
    }
}

TEST(ExportFilePath, OverlongTargetsAreRefusedNotCut) {
    const std::string longFile = "c:\\" + std::string(252, 'f') + ".csv"; // 259 characters
    EXPECT_EQ(exportFilePath("a.avi", 3, "", longFile).kind, ExportTarget::Path);
    EXPECT_EQ(exportFilePath("a.avi", 3, "", longFile + "x").kind, ExportTarget::TooLong);
    const std::string folder = "c:\\" + std::string(249, 'd');
    EXPECT_EQ(exportFilePath("c:\\m\\ab.avi", 2, folder, "").kind, ExportTarget::Path);
    EXPECT_EQ(exportFilePath("c:\\m\\abc.avi", 2, folder, "").kind, ExportTarget::TooLong);
    EXPECT_EQ(exportFilePath("c:\\m\\abc.avi", 2, folder, "").path.size(), 260u);
}

} // namespace
} // namespace tavro
