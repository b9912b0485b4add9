// The report of one file as the main window shows it: per field its text, link
// target, secondary text, enabled state and, for link buttons, a stack of saved
// texts; and the rows of the comment list. The window mirrors it, the CLI prints it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "analysis/report_sink.h"

namespace tavro {

class ReportModel : public ReportSink {
  public:
    static constexpr size_t kTextStackDepth = 4;

    // ReportSink: setText keeps the link target and secondary text.
    void setText(int id, const std::string& text) override;
    std::string text(int id) const override;
    void setEnabled(int id, bool enabled) override;
    // A file may claim any number of comments: the first kMaxCommentRows are kept,
    // then one last row says how many more the file holds.
    static constexpr size_t kMaxCommentRows = 1024;
    void clearComments() override {
        comments_.clear();
        moreComments_ = 0;
    }
    // A row without a name is named from the INFO field table.
    void addComment(const CommentRow& row) override;

    // Report field operations.
    void setTextAndLink(int id, const std::string& text, const std::string& target);
    void setPlainText(int id, const std::string& text); // empties link and secondary text
    void clear(int id) { setPlainText(id, ""); }
    void setLinkTarget(int id, const std::string& target) { field(id).linkTarget = target; }
    void setSecondaryText(int id, const std::string& text) { field(id).secondary = text; }
    std::string linkTarget(int id) const;
    std::string secondaryText(int id) const;
    bool enabled(int id) const;

    // Link button operations.
    void enable(int id) { setEnabled(id, true); }
    void disable(int id, bool keepText);
    // Saves the shown text and enabled state (up to four deep), then shows `text`.
    void pushText(int id, const std::string& text);
    // Restores the last saved text and state; nothing when none is saved.
    void popText(int id);

    const std::vector<CommentRow>& comments() const { return comments_; }

  private:
    struct Saved {
        std::string text;
        bool enabled = true;
    };
    struct Field {
        std::string text;
        std::string linkTarget;
        std::string secondary;
        bool enabled = true;
        std::vector<Saved> saved;
    };
    Field& field(int id) { return fields_[id]; }
    const Field* find(int id) const;

    std::map<int, Field> fields_;
    std::vector<CommentRow> comments_;
    size_t moreComments_ = 0;
};

} // namespace tavro
