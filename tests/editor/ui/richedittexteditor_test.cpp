#include "editor/ui/richedittexteditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "components/ui/messenger_support.h"
#include "components/ui/richeredit.h"
#include "dialogs_support.h"
#include "editor/dialogs/linkdialogmodel.h"
#include "editor/ui/dialogs/linkform.h"

using components::ui::TRicherEdit;
using editor::ui::TRichEditTextEditor;

namespace {

constexpr std::uint32_t kGreen = 0x008000;
constexpr std::uint32_t kMaroon = 0x000080;

// "see here now" and a second paragraph "two", unmodified.
void LoadSample(TRicherEdit& edit) {
    edit.LoadFromStrings({"{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}"
                          "\\f0\\fs20 see here now\\par two\\par}"});
    edit.SetModified(false);
}

rtf::CharFormat FormatAt(TRichEditTextEditor& text, std::size_t pos) {
    text.SetSelection(pos, 1);
    return text.SelFormat().Format;
}

} // namespace

TEST(RichEditTextEditor, TextAndSelectionInDocumentPositions) {
    TRicherEdit edit;
    LoadSample(edit);
    TRichEditTextEditor text(edit);
    EXPECT_EQ(text.TextLength(), 17u);
    EXPECT_EQ(text.TextRange(0, text.TextLength()), "see here now\rtwo\r");
    EXPECT_EQ(text.TextRange(9, 6), "now\rtw");
    text.SetSelection(13, 100);
    EXPECT_EQ(text.SelStart(), 13u);
    EXPECT_EQ(text.SelLength(), 3u) << "up to the final paragraph end";
    EXPECT_FALSE(text.Modified());

    text.SetSelection(4, 4);
    text.ReplaceSelection("there\r\nand");
    EXPECT_EQ(text.TextRange(0, text.TextLength()), "see there\rand now\rtwo\r");
    EXPECT_EQ(text.SelStart(), 13u);
    text.ReplaceRange(0, 3, "Look at");
    EXPECT_EQ(text.TextRange(0, 13), "Look at there");
    EXPECT_EQ(text.SelStart(), 17u) << "the caret moves with the text";
    EXPECT_TRUE(text.Modified());
}

// Mixed formats over a selection are reported as not uniform.
TEST(RichEditTextEditor, SelectionFormatTellsWhatVaries) {
    TRicherEdit edit;
    LoadSample(edit);
    TRichEditTextEditor text(edit);
    rtf::CharFormat bold;
    bold.bold = true;
    text.SetRangeFormat(4, 4, bold, rtf::kCharBold);
    EXPECT_EQ(text.SelStart(), 0u) << "the selection stays";
    text.SetSelection(2, 4);
    const editor::TSelectionFormat mixed = text.SelFormat();
    EXPECT_FALSE(mixed.IsUniform(rtf::kCharBold));
    EXPECT_TRUE(mixed.IsUniform(rtf::kCharFace | rtf::kCharSize));
    text.SetSelection(4, 4);
    EXPECT_TRUE(text.SelFormat().IsUniform(rtf::kCharBold));
    EXPECT_TRUE(text.SelFormat().Format.bold);
}

// A link chosen in the dialog goes into the rich edit: the selection becomes
// the hotspot (green and struck out, or underlined for a popup), the code
// follows it in maroon, the rest of the text keeps its format.
TEST(RichEditTextEditor, LinkFromTheDialogGoesIntoTheText) {
    struct Case {
        bool popup;
        int textKind;
        const char* code;
        bool green, underline, strike;
    };
    const Case cases[] = {
        {false, 0, "{linkID=20}", true, false, true},
        {true, 2, "{linkID=*20}", false, true, false},
    };
    for (const Case& c : cases) {
        TRicherEdit edit;
        LoadSample(edit);
        TRichEditTextEditor text(edit);
        text.SetSelection(4, 4); // "here"
        auto project = DialogProject();
        editor::TLinkDialogModel model(*project);
        editor::ui::TLinkForm form;
        AnswerNext<editor::ui::TLinkForm>([&c](editor::ui::TLinkForm& f) {
            Click(f.RadioGroupText()->button(c.textKind));
            f.ComboTopic()->setFocus();
            QTest::keyClick(f.ComboTopic(), Qt::Key_Down);
            QTest::keyClick(f.ComboTopic(), Qt::Key_Down); // "Details (20)"
            if (c.popup)
                Click(f.CheckPopup());
            Click(f.OkBtn());
        });
        ASSERT_TRUE(form.Execute(model));
        model.Insert(text);

        const std::string code = c.code;
        EXPECT_EQ(text.TextRange(0, text.TextLength()), "see here" + code + " now\rtwo\r");
        const rtf::CharFormat hotspot = FormatAt(text, 5);
        EXPECT_EQ(!hotspot.color.isAuto && hotspot.color.ToTColor() == kGreen, c.green);
        EXPECT_EQ(hotspot.underline != rtf::UnderlineKind::None, c.underline);
        EXPECT_EQ(hotspot.strike, c.strike);
        const rtf::CharFormat codeFormat = FormatAt(text, 9);
        EXPECT_EQ(codeFormat.color.ToTColor(), kMaroon);
        EXPECT_FALSE(codeFormat.strike);
        EXPECT_EQ(codeFormat.underline, rtf::UnderlineKind::None);
        const rtf::CharFormat after = FormatAt(text, 9 + code.size());
        EXPECT_TRUE(after.color.isAuto);
        EXPECT_FALSE(after.strike);
        EXPECT_TRUE(edit.GetModified());
    }
}
