#include <gtest/gtest.h>

#include <map>

#include "editor/dialogs/macroeditormodel.h"
#include "editor/dialogs/macrotable.h"

using namespace editor;

namespace {

std::size_t IndexOf(std::string_view name) {
    for (std::size_t i = 0; i < kMacroTable.size(); ++i)
        if (kMacroTable[i].Name == name)
            return i;
    ADD_FAILURE() << name;
    return 0;
}

std::vector<std::string_view> Declarations(std::string_view name) {
    std::vector<std::string_view> out;
    for (const auto& p : kMacroTable[IndexOf(name)].Parameters)
        if (!p.Declaration.empty())
            out.push_back(p.Declaration);
    return out;
}

} // namespace

TEST(MacroTable, NamesInOrder) {
    const std::vector<std::string_view> names = {"About",
                                                 "AddAccelerator",
                                                 "ALink",
                                                 "Annotate",
                                                 "AppendItem",
                                                 "Back",
                                                 "BookmarkDefine",
                                                 "BookmarkMore",
                                                 "BrowseButtons",
                                                 "ChangeButtonBinding",
                                                 "ChangeEnable",
                                                 "ChangeItemBinding",
                                                 "CheckItem",
                                                 "CloseSecondarys",
                                                 "CloseWindow",
                                                 "Contents",
                                                 "ControlPanel",
                                                 "CopyDialog",
                                                 "CopyTopic",
                                                 "CreateButton",
                                                 "DeleteItem",
                                                 "DeleteMark",
                                                 "DestroyButton",
                                                 "DisableButton",
                                                 "DisableItem",
                                                 "EnableButton",
                                                 "EnableItem",
                                                 "ExecFile",
                                                 "ExecProgram",
                                                 "Exit",
                                                 "ExtAbleItem",
                                                 "ExtInsertItem",
                                                 "ExtInsertMenu",
                                                 "FileExist",
                                                 "FileOpen",
                                                 "Find",
                                                 "Finder",
                                                 "FloatingMenu",
                                                 "FocusWindow",
                                                 "Generate",
                                                 "GoToMark",
                                                 "HelpOn",
                                                 "HelpOnTop",
                                                 "History",
                                                 "IfThen",
                                                 "IfThenElse",
                                                 "InsertItem",
                                                 "InsertMenu",
                                                 "IsBook",
                                                 "IsMark",
                                                 "IsNotMark",
                                                 "JumpContents",
                                                 "JumpContext",
                                                 "JumpHelpOn",
                                                 "JumpID",
                                                 "JumpKeyword",
                                                 "KLink",
                                                 "Next",
                                                 "Not",
                                                 "PopupContext",
                                                 "PopupID",
                                                 "PositionWindow",
                                                 "Prev",
                                                 "Print",
                                                 "PrinterSetup",
                                                 "RegisterRoutine",
                                                 "RemoveAccelerator",
                                                 "ResetMenu",
                                                 "SaveMark",
                                                 "Search",
                                                 "SetContents",
                                                 "SetHelpOnFile",
                                                 "ShellExecute",
                                                 "TCard",
                                                 "UnCheckItem"};
    ASSERT_EQ(names.size(), kMacroTable.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(kMacroTable[i].Name, names[i]) << i;
}

TEST(MacroTable, ThirtyTwoBitMarks) {
    const std::vector<std::string_view> marked = {
        "ALink",     "ChangeEnable", "CloseSecondarys", "ControlPanel",  "CopyTopic",
        "ExecFile",  "ExtAbleItem",  "ExtInsertItem",   "ExtInsertMenu", "FileExist",
        "Find",      "Finder",       "FloatingMenu",    "Generate",      "IsBook",
        "IsNotMark", "KLink",        "ShellExecute",    "TCard"};
    std::vector<std::string_view> found;
    for (const auto& record : kMacroTable)
        if (record.Win32Only())
            found.push_back(record.Name);
    EXPECT_EQ(found, marked);
}

// Counts by parameter number and by type, and every slot well formed:
// parameters fill the first slots, each "TYP name" with a known type and a
// hint; every macro has a description.
TEST(MacroTable, ParametersAreWellFormed) {
    std::map<std::size_t, int> byCount;
    std::map<TMacroParamType, int> byType;
    for (const auto& record : kMacroTable) {
        EXPECT_FALSE(record.DescriptionText().empty()) << record.Name;
        ++byCount[record.ParameterCount()];
        bool ended = false;
        for (const auto& p : record.Parameters) {
            if (p.Declaration.empty()) {
                ended = true;
                EXPECT_TRUE(p.Hint.empty()) << record.Name;
                continue;
            }
            EXPECT_FALSE(ended) << record.Name << ": a gap before " << p.Declaration;
            const std::string_view type = p.Declaration.substr(0, 4);
            EXPECT_TRUE(type == "INT " || type == "STR " || type == "HLP " || type == "MAC ")
                << record.Name << ": " << p.Declaration;
            EXPECT_FALSE(ParameterName(p.Declaration).empty());
            EXPECT_FALSE(p.Hint.empty()) << record.Name << ": " << p.Declaration;
            ++byType[ParameterType(p.Declaration)];
        }
    }
    EXPECT_EQ(byCount, (std::map<std::size_t, int>{
                           {0, 26}, {1, 20}, {2, 13}, {3, 8}, {4, 3}, {5, 2}, {6, 3}}));
    EXPECT_EQ(byType[TMacroParamType::Str], 58);
    EXPECT_EQ(byType[TMacroParamType::Int], 30);
    EXPECT_EQ(byType[TMacroParamType::Mac], 14);
    EXPECT_EQ(byType[TMacroParamType::Hlp], 8);
    EXPECT_EQ(MacroTableStrings().size(), 1050u);
    EXPECT_EQ(MacroTableStrings()[14 * IndexOf("ExecFile") + 6], "INT display-state");
}

TEST(MacroTable, TellingRows) {
    EXPECT_EQ(Declarations("IfThenElse"),
              (std::vector<std::string_view>{"MAC IsMark", "MAC macro1", "MAC macro2"}));
    EXPECT_EQ(Declarations("ExecFile"),
              (std::vector<std::string_view>{"STR program", "STR arguments", "INT display-state"}));
    EXPECT_EQ(Declarations("JumpID"),
              (std::vector<std::string_view>{"HLP filename", "STR context-string"}));
}

TEST(MacroEditor, SlotsOfTheSelectedMacro) {
    TMacroEditorModel editor;
    EXPECT_EQ(editor.Macro().Name, "About");
    EXPECT_FALSE(editor.Slot(0).Visible);
    editor.SelectMacro(IndexOf("ExecFile"));
    EXPECT_TRUE(editor.Win32Only());
    EXPECT_NE(editor.Description().front(), '*');
    const TMacroSlot program = editor.Slot(0);
    EXPECT_TRUE(program.Visible);
    EXPECT_EQ(program.Label, "program");
    EXPECT_FALSE(program.HasButton);
    EXPECT_EQ(editor.Slot(2).Type, TMacroParamType::Int);
    EXPECT_FALSE(editor.Slot(3).Visible);
    editor.SelectMacro(IndexOf("JumpID"));
    EXPECT_FALSE(editor.Win32Only());
    EXPECT_TRUE(editor.Slot(0).HasButton);
    editor.SelectMacro(999);
    EXPECT_EQ(editor.Macro().Name, "JumpID");
}

TEST(MacroEditor, CallsAreComposedAndJoined) {
    TMacroEditorModel editor;
    EXPECT_EQ(editor.Call(), "About()");
    editor.SelectMacro(IndexOf("JumpID"));
    editor.HelpFileChosen(0, "/help/files/a.hlp");
    EXPECT_EQ(editor.HelpFolder(), "/help/files");
    editor.Values[1] = "x";
    editor.Add();
    EXPECT_EQ(editor.Memo, "JumpID(\"a.hlp\",\"x\")");
    editor.SelectMacro(IndexOf("Back"));
    editor.Add();
    EXPECT_EQ(editor.Memo, "JumpID(\"a.hlp\",\"x\");Back()");

    editor.SelectMacro(IndexOf("ExecFile"));
    editor.Values = {"notepad", "", "1"};
    EXPECT_EQ(editor.Call(), "ExecFile(\"notepad\",\"\",1)");
}

// A JumpID call handed into a macro parameter arrives with its quotes as
// ` and ', inside the outer call's double quotes; an IsMark test passes
// unquoted.
TEST(MacroEditor, NestedMacroParameters) {
    TMacroEditorModel nested;
    nested.SelectMacro(IndexOf("JumpID"));
    nested.Values = {"a.hlp", "x"};
    nested.Ok();
    EXPECT_EQ(nested.MacroText, "JumpID(\"a.hlp\",\"x\")");

    TMacroEditorModel test;
    test.SelectMacro(IndexOf("IsMark"));
    test.Values = {"seen"};
    test.Ok();

    TMacroEditorModel outer;
    outer.SelectMacro(IndexOf("IfThen"));
    outer.NestedMacroAccepted(0, test.MacroText);
    outer.NestedMacroAccepted(1, nested.MacroText);
    EXPECT_EQ(outer.Values[1], "JumpID(`a.hlp',`x')");
    EXPECT_EQ(outer.Call(), "IfThen(IsMark(`seen'),\"JumpID(`a.hlp',`x')\")");
}

TEST(MacroEditor, OkWithAnEmptyResultAddsTheSelectedCall) {
    TMacroEditorModel editor;
    editor.MacroText = "Old()";
    editor.Show();
    EXPECT_EQ(editor.Memo, "Old()");
    editor.Clear();
    editor.SelectMacro(IndexOf("Contents"));
    editor.Ok();
    EXPECT_EQ(editor.MacroText, "Contents()");

    editor.Memo = "Back();\r\nNext()";
    editor.Ok();
    EXPECT_EQ(editor.MacroText, "Back();Next()");
}
