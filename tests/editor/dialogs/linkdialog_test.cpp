#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "editor/defaulttextstyles.h"
#include "editor/dialogs/linkdialogmodel.h"
#include "editor/documenttexteditor.h"

using namespace editor;

namespace {

std::unique_ptr<helpproject::TBrindlewovenProject> Project() {
    auto p = std::make_unique<helpproject::TBrindlewovenProject>();
    p->ClearTopics();
    p->AddTopic(10, "Intro");
    p->AddTopic(20, "Details")->SetText({"here\\{target=Anchor\\} and \\{target=zeta\\}"});
    p->Windows = {"main=\"Main\",(0,0,1023,1023)", "Popup=\"Extra\""};
    return p;
}

} // namespace

TEST(LinkDialog, ShowFillsWindowsAndTargets) {
    auto project = Project();
    TLinkDialogModel dialog(*project);
    dialog.Show();
    EXPECT_EQ(dialog.Windows(), (std::vector<std::string>{"", "main", "Popup"}));
    EXPECT_EQ(dialog.Targets(), (std::vector<std::string>{"Anchor", "zeta"}));
    EXPECT_EQ(dialog.Topic().Items().size(), 2u);
}

TEST(LinkDialog, ControlsOfEachKind) {
    auto project = Project();
    TLinkDialogModel dialog(*project);
    using TFocus = TLinkDialogControls::TFocus;
    struct Case {
        TLinkKind kind;
        bool popup;
        bool topicCombo, file, spin, editTopic, macro, target, window, popupBox;
        TFocus focus;
    };
    const Case cases[] = {
        {TLinkKind::ThisHelpFile, false, true, false, false, false, false, false, true, true,
         TFocus::TopicCombo},
        {TLinkKind::ThisHelpFile, true, true, false, false, false, false, false, false, true,
         TFocus::TopicCombo},
        {TLinkKind::OtherOwnHelpFile, false, false, true, true, false, false, false, true, true,
         TFocus::SpinTopic},
        {TLinkKind::OtherHelpFile, false, false, true, false, true, false, false, true, true,
         TFocus::EditTopic},
        {TLinkKind::Macro, false, false, false, false, false, true, false, false, false,
         TFocus::None},
        {TLinkKind::Target, false, false, false, false, false, false, true, true, true,
         TFocus::None},
    };
    for (const Case& c : cases) {
        dialog.LinkKind = c.kind;
        dialog.Popup = c.popup;
        const TLinkDialogControls got = dialog.Controls();
        EXPECT_EQ(got.TopicCombo, c.topicCombo);
        EXPECT_EQ(got.File, c.file);
        EXPECT_EQ(got.SpinTopic, c.spin);
        EXPECT_EQ(got.EditTopic, c.editTopic);
        EXPECT_EQ(got.Macro, c.macro);
        EXPECT_EQ(got.Target, c.target);
        EXPECT_EQ(got.Window, c.window) << int(c.kind);
        EXPECT_EQ(got.Popup, c.popupBox);
        EXPECT_EQ(got.LabelFocus, c.focus);
    }
}

TEST(LinkDialog, Codes) {
    auto project = Project();
    struct Case {
        TLinkKind kind;
        TLinkTextKind text;
        bool popup;
        bool numberStyle;
        const char* topic; // the topic box
        const char* window;
        const char* code;
    };
    const Case cases[] = {
        {TLinkKind::ThisHelpFile, TLinkTextKind::GreenUnderline, false, false, "Details (20)", "",
         "{linkID=20}"},
        {TLinkKind::ThisHelpFile, TLinkTextKind::GreenUnderline, false, true, "20: Details", "main",
         "{linkID=20>main}"},
        {TLinkKind::ThisHelpFile, TLinkTextKind::UnderlineOnly, true, false, "Details (20)", "main",
         "{linkID=*20>main}"}, // the number form names the window even for a popup
        {TLinkKind::ThisHelpFile, TLinkTextKind::NoGreenOrUnderline, false, false, "my_topic",
         "main", "{link=%my_topic>main}"},
        {TLinkKind::ThisHelpFile, TLinkTextKind::UnderlineOnly, true, false, "my_topic", "main",
         "{link=*my_topic}"},
        {TLinkKind::OtherOwnHelpFile, TLinkTextKind::GreenUnderline, false, false, "", "main",
         "{link=Vellumar42@other.hlp>main}"},
        {TLinkKind::OtherHelpFile, TLinkTextKind::GreenUnderline, true, false, "", "main",
         "{link=IDH_start@other.hlp}"},
        {TLinkKind::Macro, TLinkTextKind::UnderlineOnly, false, false, "", "main",
         "{link=*! Back()}"},
        {TLinkKind::Target, TLinkTextKind::GreenUnderline, false, false, "", "main",
         "{linkTarget=Anchor>main}"},
    };
    for (const Case& c : cases) {
        TLinkDialogModel dialog(*project);
        dialog.Show();
        dialog.SetSortByNumber(c.numberStyle);
        dialog.LinkKind = c.kind;
        dialog.TextKind = c.text;
        dialog.Popup = c.popup;
        dialog.Topic().SetText(c.topic);
        dialog.Window = c.window;
        dialog.FileChosen("/help/other.hlp");
        dialog.SpinTopic = 42;
        dialog.EditTopic = "IDH_start";
        dialog.Macro = "Back()";
        dialog.Target = "Anchor";
        EXPECT_EQ(dialog.Code(), c.code);
    }
}

// With "Underline only" and a popup the hotspot is underlined, not struck
// out, and keeps its colour; the code goes behind it in maroon.
TEST(LinkDialog, InsertFormatsTheHotspot) {
    auto project = Project();
    TLinkDialogModel dialog(*project);
    dialog.Show();
    dialog.Topic().Select(0);
    dialog.TextKind = TLinkTextKind::UnderlineOnly;
    dialog.Popup = true;
    TDocumentTextEditor editor(rtf::RtfDocument::FromPlainText("see details"));
    editor.SetSelection(4, 7);
    dialog.Insert(editor);
    EXPECT_EQ(editor.TextRange(0, editor.TextLength()), "see details{linkID=*20}\r");
    const rtf::CharFormat hotspot = editor.Document().CharFormatAt(5);
    EXPECT_TRUE(hotspot.color.isAuto);
    EXPECT_EQ(hotspot.underline, rtf::UnderlineKind::Single);
    EXPECT_FALSE(hotspot.strike);
    const rtf::CharFormat code = editor.Document().CharFormatAt(12);
    EXPECT_EQ(code.color, rtf::Color::FromTColor(clMaroon));
    EXPECT_EQ(code.underline, rtf::UnderlineKind::None);

    dialog.TextKind = TLinkTextKind::GreenUnderline;
    dialog.Popup = false;
    editor.SetSelection(0, 3);
    dialog.Insert(editor);
    EXPECT_EQ(editor.Document().CharFormatAt(1).color, rtf::Color::FromTColor(clGreen));
    EXPECT_TRUE(editor.Document().CharFormatAt(1).strike);
}

// Text of the author's that would end the code early or open another is
// named with its box; everything the codes above took passes.
TEST(LinkDialog, CodeProblemNamesTheBoxThatWouldBreakTheCode) {
    auto project = Project();
    using TField = TLinkCodeProblem::TField;
    struct Case {
        const char* name;
        TLinkKind kind;
        std::function<void(TLinkDialogModel&)> enter;
        std::optional<TField> field; // nullopt: OK may build the code
        const char* start = "";
    };
    const Case cases[] = {
        {"typed context string", TLinkKind::ThisHelpFile,
         [](TLinkDialogModel& d) { d.Topic().SetText("a}b"); }, TField::Topic,
         "The context string cannot contain"},
        {"picked topic", TLinkKind::ThisHelpFile,
         [](TLinkDialogModel& d) { d.Topic().SetText("Details (20)"); }, std::nullopt},
        {"window of a picked topic", TLinkKind::ThisHelpFile,
         [](TLinkDialogModel& d) {
             d.Topic().SetText("Details (20)");
             d.Popup = true; // named even for a popup in the number form
             d.Window = "w{";
         },
         TField::Window, "The window name cannot contain"},
        {"other own help file", TLinkKind::OtherOwnHelpFile,
         [](TLinkDialogModel& d) { d.File = "x}.chm"; }, TField::File,
         "The help file's name cannot contain"},
        {"quoted help file", TLinkKind::OtherHelpFile,
         [](TLinkDialogModel& d) { d.File = "a\"b.chm"; }, TField::File,
         "The help file's name cannot contain a double quote"},
        {"quoted topic", TLinkKind::OtherHelpFile,
         [](TLinkDialogModel& d) { d.EditTopic = "IDH\"x"; }, TField::EditTopic,
         "The topic cannot contain a double quote"},
        {"macro with braces", TLinkKind::Macro,
         [](TLinkDialogModel& d) { d.Macro = "ExecFile(\"x}{keepn}\")"; }, TField::Macro,
         "The macro cannot contain"},
        {"macro with quotes", TLinkKind::Macro,
         [](TLinkDialogModel& d) { d.Macro = "JumpID(\"a.hlp\",\"x\")"; }, std::nullopt},
        {"macro ignores the window", TLinkKind::Macro, [](TLinkDialogModel& d) { d.Window = "}"; },
         std::nullopt},
        {"target", TLinkKind::Target, [](TLinkDialogModel& d) { d.Target = "{t"; }, TField::Target,
         "The target cannot contain"},
        {"window of a popup target is not written", TLinkKind::Target,
         [](TLinkDialogModel& d) {
             d.Popup = true;
             d.Window = "}";
         },
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLinkDialogModel dialog(*project);
        dialog.Show();
        dialog.LinkKind = c.kind;
        dialog.Topic().SetText("Intro (10)");
        dialog.File = "other.hlp";
        dialog.EditTopic = "IDH_start";
        dialog.Macro = "Back()";
        dialog.Target = "Anchor";
        c.enter(dialog);
        const std::optional<TLinkCodeProblem> problem = dialog.CodeProblem();
        ASSERT_EQ(problem.has_value(), c.field.has_value());
        if (!problem)
            continue;
        EXPECT_EQ(problem->Field, *c.field);
        EXPECT_EQ(problem->Message.rfind(c.start, 0), 0u) << problem->Message;
    }
}
