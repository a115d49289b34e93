#include "editor/formatbarwidget.h"

#include <QAction>
#include <QComboBox>
#include <QFontComboBox>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "components/ui/richeredit.h"
#include "editor/defaulttextstyles.h"
#include "editor/richedittexteditor.h"
#include "editor/textstylecombo.h"
#include "editor/topiceditor.h"
#include "helpproject/editingsession.h"

using components::ui::TRicherEdit;
using editor::ui::TFormatBarWidget;

namespace {

class TRichView : public editor::ITopicEditorView {
public:
    explicit TRichView(TRicherEdit& edit) : text(edit) {}
    editor::ITextEditor& TextEditor() override { return text; }
    editor::TRichEditTextEditor text;
};

// "plain " regular, "bold" bold, " " and "red" red, in a rich edit the bar
// follows.
class FormatBarWidget : public ::testing::Test {
protected:
    FormatBarWidget() {
        auto project = std::make_unique<helpproject::TBrindlewovenProject>();
        session = std::make_unique<helpproject::TEditingSession>(std::move(project));
        editor::AddDefaultTextStyles(styles, true);
        topicEditor = std::make_unique<editor::TTopicEditor>(*session, view, styles, settings);
        edit.LoadFromStrings({"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}"
                              "{\\colortbl;\\red255\\green0\\blue0;}"
                              "\\f0\\fs20 plain \\b bold\\b0  \\cf1 red\\cf0\\par}"});
        edit.SetModified(false);
        bar = std::make_unique<TFormatBarWidget>(*topicEditor);
        bar->Follow(&edit);
        edit.show();
        bar->show();
    }

    // Selects as a person does: caret to the start, then Right and
    // Shift+Right.
    void Select(int start, int length) {
        QTest::keyClick(&edit, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < start; ++i)
            QTest::keyClick(&edit, Qt::Key_Right);
        for (int i = 0; i < length; ++i)
            QTest::keyClick(&edit, Qt::Key_Right, Qt::ShiftModifier);
    }
    void Press(QAction* action) {
        QTest::mouseClick(bar->widgetForAction(action), Qt::LeftButton);
    }
    rtf::CharFormat CharAt(int position) {
        Select(position, 1);
        return edit.GetSelAttributes();
    }

    TRicherEdit edit;
    TRichView view{edit};
    std::unique_ptr<helpproject::TEditingSession> session;
    helpproject::TTextStyleList styles;
    editor::TEditorSettings settings;
    std::unique_ptr<editor::TTopicEditor> topicEditor;
    std::unique_ptr<TFormatBarWidget> bar;
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
    };
    const Case cases[] = {
        {2, 0, false, 0, false}, // in "plain"
        {8, 0, true, 0, false},  // in "bold"
        {7, 2, true, 0, true},   // "bo"
        {4, 4, false, 0, true},  // "in b": mixed, not bold
        {12, 3, false, 10, true}, // "red"
        {10, 4, false, 0, true},  // " red": mixed colours show entry 0
    };
    for (const Case& c : cases) {
        Select(c.start, c.length);
        EXPECT_EQ(bar->ActionTextBold()->isChecked(), c.bold) << c.start;
        EXPECT_EQ(bar->ComboColor()->currentIndex(), c.color) << c.start;
        EXPECT_EQ(bar->State().HasSelection, c.hasSelection);
        EXPECT_EQ(bar->SpinFontSize()->value(), 10);
        EXPECT_EQ(bar->ComboFont()->currentFont().family(), "Arial");
        EXPECT_FALSE(edit.GetModified()) << "caret moves are no change";
    }
}

TEST_F(FormatBarWidget, BoldColourAndSizeChangeTheSelection) {
    Select(0, 5); // "plain"
    Press(bar->ActionTextBold());
    EXPECT_TRUE(bar->ActionTextBold()->isChecked());
    EXPECT_TRUE(edit.GetModified());

    // Green is the colour box's fourth entry.
    bar->ComboColor()->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(bar->ComboColor(), Qt::Key_Down);
    EXPECT_TRUE(edit.hasFocus()) << "the colour box gives the editor the focus back";

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

// With nothing selected a format goes to what is typed next: no change yet.
TEST_F(FormatBarWidget, FormatAtTheCaretIsNoModification) {
    Select(3, 0);
    Press(bar->ActionTextItalic());
    EXPECT_FALSE(edit.GetModified());
    EXPECT_TRUE(bar->ActionTextItalic()->isChecked());
    QTest::keyClicks(&edit, "x");
    EXPECT_TRUE(edit.GetModified());
    EXPECT_TRUE(CharAt(3).italic);
    EXPECT_FALSE(CharAt(4).italic);
}

TEST_F(FormatBarWidget, CenteringAndBullets) {
    Select(2, 0);
    Press(bar->ActionTextJustCenter());
    EXPECT_TRUE(bar->ActionTextJustCenter()->isChecked());
    EXPECT_FALSE(bar->ActionTextJustLeft()->isChecked());
    EXPECT_EQ(edit.GetParagraph().alignment, rtf::Alignment::Center);
    Press(bar->ActionTextBullet());
    EXPECT_TRUE(edit.GetParagraph().bullet);
    EXPECT_TRUE(bar->ActionTextBullet()->isChecked());
    Press(bar->ActionTextBullet());
    EXPECT_FALSE(edit.GetParagraph().bullet);
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
