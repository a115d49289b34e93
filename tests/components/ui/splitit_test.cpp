// The splitter bar, dragged with the mouse as a person drags it.
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/splitit.h"

namespace {

using components::ui::TSplitDirection;
using components::ui::TSplitIt;

class SplitIt : public testing::Test {
protected:
    SplitIt() {
        parent_.resize(400, 300);
        bar_ = new TSplitIt(&parent_);
        bar_->SetSplitDirection(TSplitDirection::sdHorizontal);
        bar_->setGeometry(200, 0, 4, 300);
        parent_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&parent_));
    }

    // Presses at the bar's middle, moves the pointer by each step and lets
    // go; returns the position the bar reported.
    int Drag(std::initializer_list<int> steps) {
        QSignalSpy split(bar_, &TSplitIt::Split);
        const QPoint press(2, 150);
        QTest::mousePress(bar_, Qt::LeftButton, {}, press);
        EXPECT_TRUE(bar_->Splitting());
        QPoint at = press;
        for (int dx : steps) {
            at = press + QPoint(dx, 0);
            QTest::mouseMove(bar_, at);
        }
        QTest::mouseRelease(bar_, Qt::LeftButton, {}, at);
        EXPECT_FALSE(bar_->Splitting());
        EXPECT_EQ(split.count(), 1);
        return split.isEmpty() ? -1 : split.first().at(0).toInt();
    }

    QWidget parent_;
    TSplitIt* bar_;
};

TEST_F(SplitIt, AClickWithoutMovementKeepsThePosition) {
    QSignalSpy start(bar_, &TSplitIt::StartSplit);
    EXPECT_EQ(Drag({}), 200);
    EXPECT_EQ(start.count(), 1);
    EXPECT_EQ(Drag({1, 0}), 200);
}

TEST_F(SplitIt, TheGhostFollowsThePointerAndTheBarStaysUntilOwnerMovesIt) {
    QTest::mousePress(bar_, Qt::LeftButton, {}, QPoint(2, 150));
    QTest::mouseMove(bar_, QPoint(-28, 150));
    ASSERT_TRUE(bar_->Ghost());
    EXPECT_TRUE(bar_->Ghost()->isVisible());
    EXPECT_EQ(bar_->Ghost()->geometry(), QRect(170, 0, 4, 300));
    EXPECT_EQ(bar_->x(), 200);
    QTest::mouseRelease(bar_, Qt::LeftButton, {}, QPoint(-28, 150));
    EXPECT_FALSE(bar_->Ghost());
}

TEST_F(SplitIt, WithMin160AndNoMaxItStaysBetween160AndTheParentsWidth) {
    bar_->SetMin(160);
    EXPECT_EQ(Drag({-30}), 170);
    EXPECT_EQ(Drag({-100}), 160);
    EXPECT_EQ(Drag({500}), 396); // the parent's width less the bar's
}

TEST_F(SplitIt, MaxAboveMinIsTheUpperLimit) {
    bar_->SetMin(100);
    bar_->SetMax(250);
    EXPECT_EQ(Drag({80}), 250);
    EXPECT_EQ(Drag({-150}), 100);
}

TEST_F(SplitIt, AVerticalBarMovesUpAndDown) {
    bar_->SetSplitDirection(TSplitDirection::sdVertical);
    bar_->setGeometry(0, 100, 400, 4);
    EXPECT_EQ(bar_->cursor().shape(), Qt::SplitVCursor);
    QSignalSpy split(bar_, &TSplitIt::Split);
    QTest::mousePress(bar_, Qt::LeftButton, {}, QPoint(200, 2));
    QTest::mouseMove(bar_, QPoint(260, 42)); // sideways movement does not count
    QTest::mouseRelease(bar_, Qt::LeftButton, {}, QPoint(260, 42));
    ASSERT_EQ(split.count(), 1);
    EXPECT_EQ(split.first().at(0).toInt(), 140);
}

TEST_F(SplitIt, PaintsItsColourOrLetsTheOwnerPaint) {
    bar_->SetColor(QColor(10, 20, 30));
    EXPECT_EQ(bar_->grab().toImage().pixelColor(1, 10), QColor(10, 20, 30));
    bar_->OnPaint = [](TSplitIt& sender, QPainter& painter) {
        painter.fillRect(sender.rect(), Qt::red);
    };
    EXPECT_EQ(bar_->grab().toImage().pixelColor(1, 10), QColor(Qt::red));
}

} // namespace
