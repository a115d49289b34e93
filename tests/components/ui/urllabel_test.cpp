// The hyperlink label: a click opens its address through the opener, the
// colours follow the pointer and the button.
#include <QCursor>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/urllabel.h"

namespace {

using components::ui::TURLLabel;

class URLLabel : public ::testing::Test {
protected:
    void SetUp() override {
        label.SetOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        plain = label.FontColor();
        // Away from the pointer, so that showing it does not light it up.
        QCursor::setPos(0, 0);
        label.setGeometry(300, 300, 120, 20);
        label.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&label));
    }

    TURLLabel label;
    std::vector<QUrl> opened;
    QColor plain;
};

TEST_F(URLLabel, ClickOpensTheAddressOrTheCaption) {
    EXPECT_EQ(label.text(), "Click me!");
    QTest::mouseClick(&label, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(TURLLabel::kDefaultUrl));

    label.SetURL("");
    label.setText("www.example.org/help");
    QTest::mouseClick(&label, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], QUrl("http://www.example.org/help"));
}

TEST_F(URLLabel, ColoursFollowThePointerAndTheButton) {
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), label.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&label, &enter);
    EXPECT_EQ(label.FontColor(), QColor(Qt::blue));
    QTest::mousePress(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), QColor(Qt::red));
    QTest::mouseRelease(&label, Qt::LeftButton);
    EXPECT_EQ(label.FontColor(), QColor(Qt::blue));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    EXPECT_EQ(label.FontColor(), plain);
}

TEST_F(URLLabel, ReleasedOutsideItOpensNothing) {
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(label.width() + 1, 5));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(label.FontColor(), plain);
    // The edge itself still counts as inside.
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(label.width(), label.height()));
    EXPECT_EQ(opened.size(), 1u);
    // A release without a press on the label opens nothing.
    QTest::mouseRelease(&label, Qt::LeftButton);
    EXPECT_EQ(opened.size(), 1u);
}

} // namespace
