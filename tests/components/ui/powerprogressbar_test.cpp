// The progress bar widget: it repaints only when its model asks, and draws
// the bar, the speed colours and the texts the model describes.
#include <QImage>
#include <gtest/gtest.h>

#include "components/ui/powerprogressbar.h"

namespace {

using components::ui::TPowerProgressBar;

TEST(PowerProgressBar, AMillionUpdatesAskForAtMostAHundredAndOneRepaints) {
    TPowerProgressBar bar;
    bar.resize(300, 25);
    bar.SetMaxValue(1000000);
    int before = bar.RepaintRequests();
    for (int i = 0; i <= 1000000; ++i)
        bar.SetProgress(i);
    EXPECT_LE(bar.RepaintRequests() - before, 101);
    EXPECT_GE(bar.RepaintRequests() - before, 100);
}

TEST(PowerProgressBar, DrawsBarAndBackInTheirColours) {
    TPowerProgressBar bar;
    bar.resize(200, 25);
    bar.SetProgress(50);
    QImage picture = bar.grab().toImage();
    // Sample a row below the texts: the bar on the left, the back on the right.
    EXPECT_EQ(picture.pixelColor(60, 23), QColor(0xFF, 0xFF, 0x80));
    EXPECT_EQ(picture.pixelColor(180, 23), QColor(0x7F, 0x7F, 0x40));

    bar.SetColorFront(Qt::blue);
    bar.SetColorBack(Qt::white);
    picture = bar.grab().toImage();
    EXPECT_EQ(picture.pixelColor(60, 23), QColor(Qt::blue));
    EXPECT_EQ(picture.pixelColor(180, 23), QColor(Qt::white));
    EXPECT_EQ(bar.ColorBack(), QColor(Qt::white));
    bar.SetColorBack(QColor());
    EXPECT_FALSE(bar.ColorBack().isValid());
}

TEST(PowerProgressBar, CaptionRoundTripsThroughWindows1252) {
    TPowerProgressBar bar;
    bar.SetCaption(QString::fromUtf8("C:\\Hilfe\\\xC3\x9C"
                                     "bersicht.rtf"));
    EXPECT_EQ(bar.Model().Caption(), "C:\\Hilfe\\\xDC"
                                     "bersicht.rtf");
    EXPECT_EQ(bar.Caption(), QString::fromUtf8("C:\\Hilfe\\\xC3\x9C"
                                               "bersicht.rtf"));
}

} // namespace
