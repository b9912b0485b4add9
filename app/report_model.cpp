#include "app/report_model.h"

#include "infoedit/info_fields.h"

namespace tavro {

void ReportModel::setText(int id, const std::string& text) {
    field(id).text = text;
}

std::string ReportModel::text(int id) const {
    const Field* f = find(id);
    return f ? f->text : std::string();
}

void ReportModel::setEnabled(int id, bool enabled) {
    field(id).enabled = enabled;
}

void ReportModel::setTextAndLink(int id, const std::string& text, const std::string& target) {
    Field& f = field(id);
    f.linkTarget = target;
    f.text = text;
}

void ReportModel::setPlainText(int id, const std::string& text) {
    Field& f = field(id);
    f.linkTarget.clear();
    f.secondary.clear();
    f.text = text;
}

std::string ReportModel::linkTarget(int id) const {
    const Field* f = find(id);
    return f ? f->linkTarget : std::string();
}

std::string ReportModel::secondaryText(int id) const {
    const Field* f = find(id);
    return f ? f->secondary : std::string();
}

bool ReportModel::enabled(int id) const {
    const Field* f = find(id);
    return f ? f->enabled : true;
}

void ReportModel::disable(int id, bool keepText) {
    Field& f = field(id);
    f.enabled = false;
    if (!keepText) f.text.clear();
}

void ReportModel::pushText(int id, const std::string& text) {
    Field& f = field(id);
    if (f.saved.size() < kTextStackDepth) f.saved.push_back({f.text, f.enabled});
    f.text = text;
}

void ReportModel::popText(int id) {
    Field& f = field(id);
    if (f.saved.empty()) return;
    f.text = f.saved.back().text;
    f.enabled = f.saved.back().enabled;
    f.saved.pop_back();
}

const ReportModel::Field* ReportModel::find(int id) const {
    auto it = fields_.find(id);
    return it == fields_.end() ? nullptr : &it->second;
}

void ReportModel::addComment(const CommentRow& row) {
    if (comments_.size() < kMaxCommentRows) {
        comments_.push_back(row);
        // RIFF rows (INFO chunks and JUNK text) are named here; Ogg rows bring their own.
        const bool riff = row.chunk != kNoChunk || row.code == "JUNK";
        if (riff && comments_.back().name.empty()) comments_.back().name = infoFieldName(row.code);
        return;
    }
    ++moreComments_;
    if (comments_.size() == kMaxCommentRows) comments_.emplace_back();
    CommentRow& last = comments_.back();
    last.code = "...";
    last.text = std::to_string(moreComments_) +
                (moreComments_ == 1 ? " more comment" : " more comments") + " not listed";
}

} // namespace tavro
