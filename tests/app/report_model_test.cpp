#include "app/report_model.h"

#include <gtest/gtest.h>

namespace tavro {
namespace {

TEST(ReportModel, FieldTextsAndLinks) {
    ReportModel m;
    m.setTextAndLink(field::VideoName, "DivX 5", "tavro://3.video.codec");
    m.setSecondaryText(field::VideoName, "DivX Decoder");
    m.setText(field::VideoName, "DivX 5.1"); // keeps link and secondary text
    EXPECT_EQ(m.linkTarget(field::VideoName), "tavro://3.video.codec");
    EXPECT_EQ(m.secondaryText(field::VideoName), "DivX Decoder");
    m.setPlainText(field::VideoName, "x");
    EXPECT_EQ(m.linkTarget(field::VideoName), "");
    EXPECT_EQ(m.secondaryText(field::VideoName), "");
    m.setTextAndLink(field::VideoName, "y", "t");
    m.clear(field::VideoName);
    EXPECT_EQ(m.text(field::VideoName), "");
    EXPECT_EQ(m.linkTarget(field::VideoName), "");
}

TEST(ReportModel, LinkButtonStateAndTextStack) {
    ReportModel m;
    m.setText(field::RenderStatus, "base");
    m.disable(field::RenderStatus, true);
    EXPECT_EQ(m.text(field::RenderStatus), "base");
    EXPECT_FALSE(m.enabled(field::RenderStatus));
    m.pushText(field::RenderStatus, "one");
    m.enable(field::RenderStatus);
    for (const char* t : {"two", "three", "four", "five"})
        m.pushText(field::RenderStatus, t);
    EXPECT_EQ(m.text(field::RenderStatus), "five");
    // Four states were saved: base, one, two, three; the fifth push saved nothing.
    const char* expected[] = {"three", "two", "one", "base"};
    for (const char* t : expected) {
        m.popText(field::RenderStatus);
        EXPECT_EQ(m.text(field::RenderStatus), t);
    }
    EXPECT_FALSE(m.enabled(field::RenderStatus)); // the state saved with "base"
    m.popText(field::RenderStatus);
    EXPECT_EQ(m.text(field::RenderStatus), "base");
    m.disable(field::RenderStatus, false);
    EXPECT_EQ(m.text(field::RenderStatus), "");
}

} // namespace
} // namespace tavro

namespace tavro {
namespace {

TEST(ReportModel, CommentRowsAreBounded) {
    ReportModel report;
    for (int round = 0; round < 2; ++round) { // clearing starts the count again
        report.clearComments();
        for (int i = 0; i < 100000; ++i)
            report.addComment({"aud", "N", std::to_string(i), kNoChunk});
        ASSERT_EQ(report.comments().size(), ReportModel::kMaxCommentRows + 1);
        EXPECT_EQ(report.comments()[1023].text, "1023");
        EXPECT_EQ(report.comments().back().text, "98976 more comments not listed");
    }
    report.clearComments();
    for (size_t i = 0; i <= ReportModel::kMaxCommentRows; ++i)
        report.addComment({"INAM", "", "x", 12});
    EXPECT_EQ(report.comments().back().text, "1 more comment not listed");
    EXPECT_EQ(report.comments().back().chunk, kNoChunk); // not an INFO chunk to edit
}

} // namespace
} // namespace tavro
