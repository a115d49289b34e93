#include "editor/ui/formatbarwidget.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include "components/ui/messenger_support.h"
#include "components/ui/richeredit.h"
#include "editor/defaulttextstyles.h"
#include "editor/topiceditor.h"
#include "editor/ui/richedittexteditor.h"
#include "editor/ui/textstylecombo.h"
#include "helpproject/editingsession.h"

using components::ui::TRicherEdit;
using editor::ui::TFormatBarWidget;

namespace {

class TRichView : public editor::ITopicEditorView {
public:
    editor::ITextEditor& TextEditor() override { return *text; }
    std::unique_ptr<editor::ui::TRichEditTextEditor> text;
};

// "plain " regular, "bold" bold, " " and "red" red, " " and "odd" in a font
// no machine has, in a rich edit the bar
// follows; both in one active window, as the bar gives the editor the focus
// back.
class FormatBarWidget : public ::testing::Test {
protected:
    FormatBarWidget() {
        session = std::make_unique<helpproject::TEditingSession>();
        editor::AddDefaultTextStyles(styles, true);
        edit = new TRicherEdit(&window);
        view.text = std::make_unique<editor::ui::TRichEditTextEditor>(*edit);
        topicEditor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
        edit->LoadFromStrings(
            {"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fswiss Nowhere Sans;}}"
             "{\\colortbl;\\red255\\green0\\blue0;}"
             "\\f0\\fs20 plain \\b bold\\b0  \\cf1 red\\cf0  \\f1 odd\\f0\\par}"});
        edit->SetModified(false);
        bar = new TFormatBarWidget(*topicEditor, &window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(bar);
        layout->addWidget(edit);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        bar->Follow(edit);
    }

    // Selects as a person does: caret to the start, then Right and
    // Shift+Right.
    void Select(int start, int length) {
        QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < start; ++i)
            QTest::keyClick(edit, Qt::Key_Right);
        for (int i = 0; i < length; ++i)
            QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    }
    void Press(QAction* action) { QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton); }
    rtf::CharFormat CharAt(int position) {
        Select(position, 1);
        return edit->GetSelAttributes();
    }

    std::unique_ptr<helpproject::TEditingSession> session;
    helpproject::TTextStyleList styles;
    editor::TEditorSettings settings;
    TRichView view;
    QWidget window;
    std::unique_ptr<editor::TTopicEditor> topicEditor;
    TRicherEdit* edit;
    TFormatBarWidget* bar;
};

constexpr std::uint32_t kRed = 0x0000FF;
constexpr std::uint32_t kGreen = 0x008000;

} // namespace

// The bar shows the selection's format and the caret's, and moving the
// caret never marks the text modified.
TEST_F(FormatBarWidget, MirrorsTheCaretWithoutModifying) {
    struct Case {
        int start, length;
        bool bold;
        int color;
        bool hasSelection;
        const char* font;
    };
    const Case cases[] = {
        {2, 0, false, 0, false, "Arial"},         // in "plain"
        {8, 0, true, 0, false, "Arial"},          // in "bold"
        {7, 2, true, 0, true, "Arial"},           // "bo"
        {4, 4, false, 0, true, "Arial"},          // "in b": mixed, not bold
        {11, 3, false, 10, true, "Arial"},        // "red"
        {10, 4, false, 0, true, "Arial"},         // " red": mixed colours show entry 0
        {16, 0, false, 0, false, "Nowhere Sans"}, // in "odd"
        {13, 4, false, 0, true, ""},              // "d od": mixed fonts show none
    };
    for (const Case& c : cases) {
        Select(c.start, c.length);
        EXPECT_EQ(bar->ActionTextBold()->isChecked(), c.bold) << c.start;
        EXPECT_EQ(bar->ComboColor()->currentIndex(), c.color) << c.start;
        EXPECT_EQ(bar->State().HasSelection, c.hasSelection);
        EXPECT_EQ(bar->SpinFontSize()->value(), 10);
        EXPECT_EQ(bar->ComboFont()->currentText(), c.font) << c.start;
        EXPECT_FALSE(edit->GetModified()) << "caret moves are no change";
    }
}

TEST_F(FormatBarWidget, BoldColourAndSizeChangeTheSelection) {
    Select(0, 5); // "plain"
    Press(bar->ActionTextBold());
    EXPECT_TRUE(bar->ActionTextBold()->isChecked());
    EXPECT_TRUE(edit->GetModified());

    // Green is the colour box's fourth entry.
    bar->ComboColor()->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(bar->ComboColor(), Qt::Key_Down);
    EXPECT_TRUE(edit->hasFocus()) << "the colour box gives the editor the focus back";

    // 3 and 100 are refused; 99 is taken.
    for (const char* size : {"3", "100", "99"}) {
        Select(0, 5);
        bar->SpinFontSize()->setFocus();
        QTest::keyClick(bar->SpinFontSize(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(bar->SpinFontSize(), size);
        QTest::keyClick(bar->SpinFontSize(), Qt::Key_Return);
    }
    const rtf::CharFormat plain = CharAt(2);
    EXPECT_TRUE(plain.bold);
    EXPECT_EQ(plain.color.ToTColor(), kGreen);
    EXPECT_EQ(plain.size, 99 * 2);
    const rtf::CharFormat red = CharAt(13);
    EXPECT_EQ(red.color.ToTColor(), kRed) << "outside the selection";
    EXPECT_EQ(red.size, 20);

    // Bold again on the bold selection turns it off.
    Select(6, 4);
    Press(bar->ActionTextBold());
    EXPECT_FALSE(CharAt(7).bold);
}

TEST_F(FormatBarWidget, ARefusedSizeGivesWayToTheSizeInEffect) {
    // Entered with Return (back to the editor) or left with Tab.
    for (const Qt::Key leave : {Qt::Key_Return, Qt::Key_Tab}) {
        SCOPED_TRACE(leave);
        Select(0, 5); // "plain", 10 points
        bar->SpinFontSize()->setFocus();
        QTest::keyClick(bar->SpinFontSize(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(bar->SpinFontSize(), "100");
        QTest::keyClick(bar->SpinFontSize(), leave);
        EXPECT_EQ(bar->SpinFontSize()->value(), 10);
        EXPECT_EQ(CharAt(2).size, 20);
        EXPECT_FALSE(edit->GetModified());
    }
    // A step past the largest size stays on the largest (the size is read
    // only after the box, since reading it moves the selection).
    bar->SpinFontSize()->setFocus();
    QTest::keyClick(bar->SpinFontSize(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(bar->SpinFontSize(), "99");
    QTest::keyClick(bar->SpinFontSize(), Qt::Key_Tab);
    ASSERT_EQ(CharAt(2).size, 99 * 2);
    bar->SpinFontSize()->setFocus();
    QTest::keyClick(bar->SpinFontSize(), Qt::Key_Up);
    EXPECT_EQ(bar->SpinFontSize()->value(), 99);
    EXPECT_EQ(CharAt(2).size, 99 * 2);
}

// With nothing selected a format goes to what is typed next: no change yet.
TEST_F(FormatBarWidget, FormatAtTheCaretIsNoModification) {
    Select(3, 0);
    Press(bar->ActionTextItalic());
    EXPECT_FALSE(edit->GetModified());
    EXPECT_TRUE(bar->ActionTextItalic()->isChecked());
    QTest::keyClicks(edit, "x");
    EXPECT_TRUE(edit->GetModified());
    EXPECT_TRUE(CharAt(3).italic);
    EXPECT_FALSE(CharAt(4).italic);
}

TEST_F(FormatBarWidget, CenteringAndBullets) {
    Select(2, 0);
    Press(bar->ActionTextJustCenter());
    EXPECT_TRUE(bar->ActionTextJustCenter()->isChecked());
    EXPECT_FALSE(bar->ActionTextJustLeft()->isChecked());
    EXPECT_EQ(edit->GetParagraph().alignment, rtf::Alignment::Center);
    Press(bar->ActionTextBullet());
    EXPECT_TRUE(edit->GetParagraph().bullet);
    EXPECT_TRUE(bar->ActionTextBullet()->isChecked());
    Press(bar->ActionTextBullet());
    EXPECT_FALSE(edit->GetParagraph().bullet);
}

// The style box applies a style to the selection, makes one from it,
// renames and deletes it; built-in styles stay.
TEST_F(FormatBarWidget, StyleBoxAppliesAndKeepsStyles) {
    editor::ui::TTextStyleCombo box(styles, *topicEditor);
    Select(0, 5);
    box.SelectStyle("*TopicTitle");
    box.ActionMacroApply()->trigger();
    rtf::CharFormat title = CharAt(1);
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.size, 32);

    Select(7, 2);
    box.ActionMacroAdd()->trigger();
    EXPECT_EQ(box.currentText(), "<new macro>");
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&box, "Mine");
    box.ActionMacroChange()->trigger();
    EXPECT_NE(box.findText("Mine"), -1);
    EXPECT_EQ(box.findText("<new macro>"), -1);
    ASSERT_NE(styles.Find("Mine"), nullptr);
    EXPECT_TRUE(styles.Find("Mine")->Font.Bold) << "made from the bold selection";

    box.SelectStyle("*TopicText");
    box.ActionMacroDel()->trigger();
    EXPECT_NE(box.findText("*TopicText"), -1);
    box.SelectStyle("Mine");
    box.ActionMacroDel()->trigger();
    EXPECT_EQ(box.findText("Mine"), -1);
    EXPECT_EQ(box.currentText(), "");
}

// "Font..." starts on the selection's font; OK sets the selection's font,
// size and styles from the dialog.
TEST_F(FormatBarWidget, FontDialogSetsTheSelectionsFont) {
    Select(6, 4); // "bold"
    QString chosen;
    AnswerNext<QFontDialog>([&chosen](QFontDialog& d) {
        EXPECT_TRUE(d.currentFont().bold());
        EXPECT_EQ(d.currentFont().pointSize(), 10);
        // Another installed family than the one shown.
        QString other = d.currentFont().family();
        for (const QString& family : QFontDatabase::families())
            if (family != other && QFontInfo(QFont(family)).family() == family) {
                other = family;
                break;
            }
        QFont font(other, 14);
        font.setItalic(true);
        d.setCurrentFont(font);
        chosen = d.currentFont().family();
        static_cast<QDialog&>(d).accept();
    });
    bar->FontItem()->trigger();
    const rtf::CharFormat format = CharAt(7);
    EXPECT_EQ(format.face, chosen.toStdString());
    EXPECT_EQ(format.size, 28);
    EXPECT_FALSE(format.bold);
    EXPECT_TRUE(format.italic);
    EXPECT_EQ(CharAt(2).size, 20) << "outside the selection";
}

// The dialog shows a face this machine lacks as its stand-in; OK or Apply
// with the family left alone keeps the face name the text has, and only
// what was changed reaches the selection.
TEST_F(FormatBarWidget, FontDialogKeepsAFaceTheMachineLacks) {
    struct Case {
        const char* name;
        bool apply;    // Apply before closing
        bool bold;     // the person switches bold on
        bool accepted; // OK (else Cancel)
    } cases[] = {
        {"OK unchanged", false, false, true},
        {"OK with bold", false, true, true},
        {"Apply with bold, then Cancel", true, true, false},
    };
    std::vector<std::string> original;
    edit->SaveToStrings(original);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        edit->LoadFromStrings(original);
        Select(15, 3); // "odd" in "Nowhere Sans"
        AnswerNext<QFontDialog>([&c](QFontDialog& d) {
            EXPECT_NE(d.currentFont().family(), "Nowhere Sans");
            if (c.bold) {
                // A style picked by name wins over the weight: drop it.
                QFont font = d.currentFont();
                font.setStyleName(QString());
                font.setBold(true);
                d.setCurrentFont(font);
            }
            if (c.apply) {
                auto* apply = d.findChild<QPushButton*>("BtnApply");
                ASSERT_NE(apply, nullptr);
                apply->click();
            }
            if (c.accepted)
                static_cast<QDialog&>(d).accept();
            else
                static_cast<QDialog&>(d).reject();
        });
        bar->FontItem()->trigger();
        const rtf::CharFormat format = CharAt(16);
        EXPECT_EQ(format.face, "Nowhere Sans");
        EXPECT_EQ(format.size, 20);
        EXPECT_EQ(format.bold, c.bold);
        EXPECT_FALSE(format.italic);
        std::vector<std::string> lines;
        edit->SaveToStrings(lines);
        std::string rtfText;
        for (const std::string& line : lines)
            rtfText += line;
        EXPECT_NE(rtfText.find("Nowhere Sans"), std::string::npos) << rtfText;
    }
}
