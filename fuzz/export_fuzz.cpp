// Random templates, field texts and paths through the export template and target
// rules, and random names through the render explanation: the expansion stays
// within what its pieces can add, targets never pass the path limit, and inserted
// names never add or remove a link.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "report/explanations.h"
#include "report/export_template.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Cuts the input at 0x00 bytes into pieces; missing pieces are empty.
std::vector<std::string> pieces(const uint8_t* data, size_t size, size_t want) {
    std::vector<std::string> out(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0 && out.size() < want)
            out.emplace_back();
        else
            out.back() += static_cast<char>(data[i]);
    }
    out.resize(want);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int mode = static_cast<int8_t>(data[0]) % 5;
    // template, media path, folder, file, then the 24 fields
    const std::vector<std::string> p = pieces(data + 1, size - 1, 4 + tavro::kExportLetters);

    tavro::ExportFields fields;
    fields.mediaPath = p[1];
    size_t longest = tavro::nameAndExtension(p[1]).size();
    for (int i = 0; i < tavro::kExportLetters; ++i) {
        fields.field[static_cast<size_t>(i)] = p[static_cast<size_t>(4 + i)];
        longest = std::max(longest, fields.field[static_cast<size_t>(i)].size());
    }
    const std::string out = tavro::expandTemplate(p[0], fields);
    // Every template character gives itself or at most one piece (a pair gives one).
    check(out.size() <= p[0].size() * std::max<size_t>(longest, 1));
    if (p[0].find_first_of("%\\") == std::string::npos) check(out == p[0]);

    const tavro::ExportTarget target = tavro::exportFilePath(p[1], mode, p[2], p[3]);
    if (mode < 1 || mode > 3) {
        check(target.kind == tavro::ExportTarget::NoExport && target.path.empty());
    } else {
        check(target.kind != tavro::ExportTarget::NoExport);
        check((target.kind == tavro::ExportTarget::TooLong) ==
              (target.path.size() > tavro::kMaxExportPath));
        if (mode == 3) check(target.path == p[3]);
        if (mode != 3)
            check(target.path.size() >= 4 && target.path.substr(target.path.size() - 4) == ".txt");
    }

    tavro::RenderExplainInput render;
    render.result = tavro::kRenderSucceeded;
    render.splitter = {p[4], 0};
    render.video = {p[5], 1};
    render.audio = {p[6], 2};
    const tavro::ExplanationText e = tavro::explainRender(render);
    size_t open = 0;
    for (char c : e.text)
        open += c == '{';
    check(open == e.targets.size());
    return 0;
}
