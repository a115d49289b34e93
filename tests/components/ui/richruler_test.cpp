// The ruler above an edit, used with the mouse.
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "components/rtf/stringlisttransfer.h"
#include "components/ui/richeredit.h"
#include "components/ui/richruler.h"

namespace {

using components::TRulerUnits;
using components::ui::TRichRuler;

class RichRuler : public testing::Test {
protected:
    RichRuler() {
        auto* layout = new QVBoxLayout(&window_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        ruler_ = new TRichRuler(&window_);
        edit_ = new QTextEdit(&window_);
        layout->addWidget(ruler_);
        layout->addWidget(edit_);
        window_.resize(640, 300);
        ruler_->SetUnits(TRulerUnits::ruInches);
        ruler_->SetPageSize(6);
        paragraph_.leftIndent = 1000;
        paragraph_.firstIndent = -500;
        paragraph_.rightIndent = 777;
        paragraph_.tabs = {{1001}, {2003}};
        ruler_->SetRichEdit(edit_, [this] {
            ++reads_;
            return paragraph_;
        });
        window_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    QPoint LeftMarker() const {
        return QPoint(ruler_->Model().LeftMarkerX() + 3, ruler_->height() - 3);
    }

    QWidget window_;
    TRichRuler* ruler_;
    QTextEdit* edit_;
    rtf::ParaFormat paragraph_;
    int reads_ = 0;
};

TEST_F(RichRuler, ReadsTheParagraphWhenTheCaretMoves) {
    EXPECT_EQ(ruler_->Paragraph(), paragraph_);
    edit_->setPlainText("one\ntwo");
    int before = reads_;
    edit_->moveCursor(QTextCursor::End);
    EXPECT_GT(reads_, before);
}

TEST_F(RichRuler, ClickingAMarkerWithoutMovingItWritesNothing) {
    QSignalSpy edited(ruler_, &TRichRuler::ParagraphEdited);
    const int b = ruler_->ButtonSize();
    const QPoint markers[] = {
        QPoint(ruler_->Model().FirstMarkerX() + 2, 2),
        LeftMarker(),
        QPoint(ruler_->Model().RightMarkerX() + 2, ruler_->height() - 3),
        QPoint(ruler_->Model().TabMarkerX(1) + 1, ruler_->height() - b - b / 2),
    };
    for (QPoint at : markers)
        QTest::mouseClick(ruler_, Qt::LeftButton, {}, at);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(ruler_->Paragraph(), paragraph_);
}

TEST_F(RichRuler, DraggingAMarkerShowsTheGuideAndWritesWhatMoved) {
    QSignalSpy edited(ruler_, &TRichRuler::ParagraphEdited);
    const QPoint start = LeftMarker();
    QTest::mousePress(ruler_, Qt::LeftButton, {}, start);
    ASSERT_TRUE(ruler_->GuideLine());
    QTest::mouseMove(ruler_, start + QPoint(40, 0));
    QWidget* guide = ruler_->GuideLine();
    ASSERT_TRUE(guide);
    EXPECT_EQ(guide->parentWidget(), edit_);
    EXPECT_EQ(guide->height(), edit_->height());
    EXPECT_EQ(guide->x(), ruler_->Model().PageOrigin() + ruler_->Model().LeftMarkerX());
    QTest::mouseRelease(ruler_, Qt::LeftButton, {}, start + QPoint(40, 0));
    EXPECT_FALSE(ruler_->GuideLine());

    ASSERT_EQ(edited.count(), 1);
    rtf::ParaFormat written = edited.first().at(0).value<rtf::ParaFormat>();
    EXPECT_EQ(edited.first().at(1).toUInt(), rtf::kParaLeftIndent | rtf::kParaFirstIndent);
    EXPECT_GT(written.leftIndent, paragraph_.leftIndent);
    EXPECT_EQ(written.leftIndent + written.firstIndent, 500); // the first line stays
    EXPECT_EQ(written.rightIndent, paragraph_.rightIndent);
    EXPECT_EQ(written.tabs, paragraph_.tabs);
}

TEST_F(RichRuler, LetsGoOfAnEditThatIsDestroyed) {
    delete edit_;
    EXPECT_EQ(ruler_->RichEdit(), nullptr);
    QSignalSpy edited(ruler_, &TRichRuler::ParagraphEdited);
    const QPoint start = LeftMarker();
    QTest::mousePress(ruler_, Qt::LeftButton, {}, start);
    QTest::mouseMove(ruler_, start + QPoint(30, 0));
    QTest::mouseRelease(ruler_, Qt::LeftButton, {}, start + QPoint(30, 0));
    EXPECT_EQ(edited.count(), 1);
    ruler_->ReadParagraph(); // the reader went with the edit
}

// The ruler over the program's own rich-edit control, wired as the topic
// editor wires it.
TEST(RichRulerOverRicherEdit, ClicksLeaveTheTextAloneAndADragChangesOnlyWhatMoved) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* ruler = new TRichRuler(&window);
    auto* edit = new components::ui::TRicherEdit(&window);
    layout->addWidget(ruler);
    layout->addWidget(edit);
    window.resize(640, 300);
    ruler->SetUnits(TRulerUnits::ruCentimeters);
    ruler->SetPageSize(15);
    edit->LoadFromStrings(
        rtf::SplitLines("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\r\n"
                        "\\pard\\fi-503\\li1013\\ri781\\tx1001\\tx2003 one\\par\r\n"
                        "\\pard two\\par\r\n}"));
    ruler->SetRichEdit(edit, [edit] { return edit->GetParagraph(); });
    QObject::connect(ruler, &TRichRuler::ParagraphEdited, edit,
                     [edit](const rtf::ParaFormat& paragraph, quint32 members) {
                         edit->SetParagraph(paragraph, members);
                     });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    edit->SetSelStart(0);
    const rtf::ParaFormat before = edit->GetParagraph();
    ASSERT_EQ(before.leftIndent, 1013);
    std::vector<std::string> text;
    edit->SaveToStrings(text);

    const auto& model = ruler->Model();
    const int h = ruler->height();
    for (QPoint at : {QPoint(model.FirstMarkerX() + 2, 2), QPoint(model.LeftMarkerX() + 2, h - 2),
                      QPoint(model.RightMarkerX() + 2, h - 2),
                      QPoint(model.TabMarkerX(0) + 2, h - ruler->ButtonSize() - 3)}) {
        QTest::mouseClick(ruler, Qt::LeftButton, {}, at);
    }
    std::vector<std::string> afterClicks;
    edit->SaveToStrings(afterClicks);
    EXPECT_EQ(afterClicks, text);

    const QPoint right(model.RightMarkerX() + 2, h - 2);
    QTest::mousePress(ruler, Qt::LeftButton, {}, right);
    QTest::mouseMove(ruler, right - QPoint(20, 0));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, right - QPoint(20, 0));
    const rtf::ParaFormat after = edit->GetParagraph();
    EXPECT_NEAR(after.rightIndent, before.rightIndent + model.PixelsToTwips(20),
                model.PixelsToTwips(1));
    EXPECT_EQ(after.leftIndent, before.leftIndent);
    EXPECT_EQ(after.firstIndent, before.firstIndent);
    EXPECT_EQ(after.tabs, before.tabs);

    // The caret in the next paragraph shows that paragraph.
    edit->SetSelStart(6);
    EXPECT_EQ(ruler->Paragraph().leftIndent, 0);
}

} // namespace
