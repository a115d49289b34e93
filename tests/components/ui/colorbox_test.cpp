// The colour combo box as a person uses it: what it lists and shows, the
// custom item and its colour dialog, and the custom colours boxes share.
#include <QAbstractItemView>
#include <QColorDialog>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/colorbox.h"
#include "components/ui/colorqt.h"
#include "messenger_support.h"

namespace {

using namespace components;
using components::ui::TVXColorBox;

void ChooseInColorDialog(const QColor& color, std::function<void(QColorDialog&)> also = {}) {
    AnswerNext<QColorDialog>([color, also](QColorDialog& dialog) {
        if (also)
            also(dialog);
        dialog.setCurrentColor(color);
        dialog.accept();
    });
}

void CancelColorDialog() {
    AnswerNext<QColorDialog>([](QColorDialog& dialog) { dialog.reject(); });
}

// Opens the drop-down list and clicks an item, as a person picks with the mouse.
void PickWithMouse(TVXColorBox& box, int index) {
    box.showPopup();
    QAbstractItemView* view = box.view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QRect item = view->visualRect(view->model()->index(index, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
}

TEST(ColorBox, StyleWithoutAColourGroupDisablesTheBox) {
    TVXColorBox box;
    EXPECT_TRUE(box.isEnabled());
    box.SetStyle(cbIncludeNone | cbIncludeDefault | cbPrettyNames);
    EXPECT_FALSE(box.isEnabled());
    EXPECT_EQ(box.count(), 2);
    box.SetStyle(cbSystemColors);
    EXPECT_TRUE(box.isEnabled());
}

TEST(ColorBox, StartsOnBlackAndKeepsTheColourWhenTheListIsRebuilt) {
    TVXColorBox box;
    EXPECT_EQ(box.Selected(), 0u);
    EXPECT_EQ(box.currentText(), "clBlack");
    box.SetSelected(0x808000);
    box.SetStyle(cbStandardColors | cbPrettyNames);
    EXPECT_EQ(box.Selected(), 0x808000u);
    EXPECT_EQ(box.currentText(), "Teal");
}

TEST(ColorBox, AColourNotListedBecomesTheCustomItem) {
    TVXColorBox box;
    box.SetSelected(0x123456);
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(box.currentText(), "Custom...");
    EXPECT_EQ(box.Selected(), 0x123456u);
    EXPECT_EQ(box.ItemPaintColor(0), QColor(0x56, 0x34, 0x12));

    // Nothing chosen reads as the no-colour value, which never becomes custom.
    box.SetSelected(kNoColorChosen);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.Selected(), kNoColorChosen);
    EXPECT_EQ(box.ItemColor(0), 0x123456u);

    box.SetStyle(cbStandardColors);
    box.SetSelected(0x123456);
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.Selected(), kNoColorChosen);
}

TEST(ColorBox, SystemColoursShowTheirNamesAndPaletteColours) {
    TVXColorBox box;
    box.SetStyle(cbSystemColors | cbPrettyNames | cbIncludeDefault);
    const int face = box.findData(QVariant::fromValue<std::uint32_t>(0xFF00000F));
    ASSERT_GE(face, 0);
    EXPECT_EQ(box.itemText(face), "Btn Face");
    EXPECT_EQ(box.ItemPaintColor(face), box.palette().color(QPalette::Button));
    box.SetSelected(0xFF000008);
    EXPECT_EQ(box.currentText(), "Window Text");

    // "Default" paints with the colour the owner gives it.
    box.SetDefaultColorColor(0x0000FF);
    const int byDefault = box.findText("Default");
    ASSERT_GE(byDefault, 0);
    EXPECT_EQ(box.ItemPaintColor(byDefault), QColor(Qt::red));
}

TEST(ColorBox, ItemsAreDrawnAsASquareAndAName) {
    TVXColorBox box;
    box.SetStyle(cbStandardColors | cbPrettyNames);
    box.resize(160, box.sizeHint().height());
    QImage picture(160, 20, QImage::Format_RGB32);
    QPainter painter(&picture);
    const int red = box.findText("Red");
    box.PaintItem(painter, QRect(0, 0, 160, 20), red, false);
    painter.end();
    EXPECT_EQ(picture.pixelColor(10, 10), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(1, 10), QColor(Qt::black)); // light: black frame
    EXPECT_EQ(picture.pixelColor(0, 10), box.palette().color(QPalette::Base));
    EXPECT_GE(box.sizeHint().width(), box.fontMetrics().horizontalAdvance("Fuchsia") + 25);
}

TEST(ColorBox, MousePickOfTheCustomItemAsksForAColourBeforeReportingIt) {
    TVXColorBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    QSignalSpy reported(&box, &TVXColorBox::ColorSelected);

    CancelColorDialog();
    PickWithMouse(box, 0);
    EXPECT_EQ(reported.count(), 0);
    EXPECT_EQ(box.ItemColor(0), kDefaultCustomColor);

    ChooseInColorDialog(QColor(0x12, 0x34, 0x56));
    PickWithMouse(box, 0);
    ASSERT_EQ(reported.count(), 1);
    EXPECT_EQ(reported.at(0).at(0).value<std::uint32_t>(), 0x563412u);
    EXPECT_EQ(box.Selected(), 0x563412u);

    // Another item is reported without a dialog.
    PickWithMouse(box, 3);
    ASSERT_EQ(reported.count(), 2);
    EXPECT_EQ(reported.at(1).at(0).value<std::uint32_t>(), 0x008000u);
}

TEST(ColorBox, KeysMoveOntoTheCustomItemWithoutTheDialogAndEnterOpensIt) {
    TVXColorBox box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.setFocus();
    QSignalSpy reported(&box, &TVXColorBox::ColorSelected);
    QTest::keyClick(&box, Qt::Key_Up); // from Black onto Custom...
    EXPECT_EQ(box.currentIndex(), 0);
    EXPECT_EQ(reported.count(), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    ChooseInColorDialog(QColor(Qt::yellow));
    QTest::keyClick(&box, Qt::Key_Return);
    ASSERT_EQ(reported.count(), 2);
    EXPECT_EQ(box.Selected(), 0x00FFFFu);
}

TEST(ColorBox, CustomColoursChosenInOneBoxAreOfferedByTheNext) {
    TVXColorBox first;
    ChooseInColorDialog(QColor(Qt::green),
                        [](QColorDialog&) { QColorDialog::setCustomColor(2, QColor(Qt::red)); });
    ASSERT_TRUE(first.PickCustomColor());
    EXPECT_EQ(SharedCustomColors()[2], "ColorC=0000FF");

    // Whatever the dialog was left with, the next box offers the shared list.
    QColorDialog::setCustomColor(2, QColor(Qt::white));
    TVXColorBox second;
    QColor offered;
    QColor startedWith;
    ChooseInColorDialog(QColor(Qt::blue), [&](QColorDialog& dialog) {
        offered = QColorDialog::customColor(2);
        startedWith = dialog.currentColor();
    });
    ASSERT_TRUE(second.PickCustomColor());
    EXPECT_EQ(offered, QColor(Qt::red));
    EXPECT_EQ(startedWith, QColor(0xFF, 0xA0, 0x00)); // the custom item's first colour
    SharedCustomColors()[2] = CustomColorEntry(2, 0xFFFFFF);
}

} // namespace
