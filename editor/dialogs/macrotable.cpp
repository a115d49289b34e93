#include "editor/dialogs/macrotable.h"

namespace editor {

std::string_view TMacroRecord::DescriptionText() const {
    return Win32Only() ? Description.substr(1) : Description;
}

std::size_t TMacroRecord::ParameterCount() const {
    std::size_t count = 0;
    for (const TMacroParameter& p : Parameters)
        if (!p.Declaration.empty())
            ++count;
    return count;
}

TMacroParamType ParameterType(std::string_view declaration) {
    if (declaration.empty())
        return TMacroParamType::None;
    switch (declaration.front()) {
    case 'I':
        return TMacroParamType::Int;
    case 'S':
        return TMacroParamType::Str;
    case 'H':
        return TMacroParamType::Hlp;
    case 'M':
        return TMacroParamType::Mac;
    default:
        return TMacroParamType::None;
    }
}

std::string_view ParameterName(std::string_view declaration) {
    constexpr std::size_t kTypeAndBlank = 4;
    return declaration.size() > kTypeAndBlank ? declaration.substr(kTypeAndBlank)
                                              : std::string_view();
}

std::vector<std::string> MacroTableStrings() {
    std::vector<std::string> strings;
    strings.reserve(kMacroTable.size() * (2 + 2 * TMacroRecord::kParameters));
    for (const TMacroRecord& record : kMacroTable) {
        strings.emplace_back(record.Name);
        strings.emplace_back(record.Description);
        for (const TMacroParameter& p : record.Parameters) {
            strings.emplace_back(p.Declaration);
            strings.emplace_back(p.Hint);
        }
    }
    return strings;
}

namespace {

// Hints shared by several macros.
constexpr std::string_view kItemId = "Name the item was given when it was added to a menu, or a "
                                     "standard item such as mnu_file";
constexpr std::string_view kButtonId = "Name the button was given by CreateButton, or a standard "
                                       "button such as btn_contents";
constexpr std::string_view kMarker = "Text of a marker set with SaveMark";
constexpr std::string_view kHelpFile = "Help file holding the topic; empty for the current one";
constexpr std::string_view kWindowName = "Name of a window defined in the help project, or main";
constexpr std::string_view kContextNumber =
    "Context number of the topic, as mapped in the help project";
constexpr std::string_view kContextString = "Context string of the topic";
constexpr std::string_view kDisplayState =
    "How the program's window is shown: 0 normal, 1 minimised, "
    "2 maximised";
constexpr std::string_view kMacro = "Macro run by the item; several macros are joined with ;";
constexpr std::string_view kLinkType = "1 jumps at once to a single topic, 2 lists the topics even "
                                       "when there is one, 4 shows the topics in a popup";

} // namespace

const std::array<TMacroRecord, kMacroCount> kMacroTable = {{
    {"About", "Shows the About box of WinHelp.", {}},
    {"AddAccelerator",
     "Assigns a macro to a key or key combination.",
     {{{"INT key", "Virtual key code of the key"},
       {"INT shift-state", "Shift keys held with it: 0 none, 1 Shift, 2 Ctrl, 4 Alt, added up"},
       {"MAC macro", "Macro run when the key is pressed"}}}},
    {"ALink",
     "*Looks up A keywords and jumps to the topic that has them, or lists the topics found.",
     {{{"STR keywords", "A keywords to look up, separated by ;"},
       {"INT type", kLinkType},
       {"STR context", "Topic shown when no keyword is found"},
       {"STR window", "Window in which the topic is shown"}}}},
    {"Annotate", "Opens the Annotate dialog for the current topic.", {}},
    {"AppendItem",
     "Adds an item at the end of a menu that was added with InsertMenu.",
     {{{"STR menu-id", "Name of the menu given by InsertMenu"},
       {"STR item-id", "Name for the new item, used by the other menu macros"},
       {"STR item-name", "Text of the item; & marks its access key"},
       {"MAC macro", kMacro}}}},
    {"Back", "Shows the previous topic of the Back list.", {}},
    {"BookmarkDefine", "Opens the Bookmark Define dialog.", {}},
    {"BookmarkMore", "Opens the dialog listing all bookmarks.", {}},
    {"BrowseButtons", "Adds the browse buttons << and >> to the button bar.", {}},
    {"ChangeButtonBinding",
     "Gives a button of the button bar another macro.",
     {{{"STR button-id", kButtonId}, {"MAC button-macro", "Macro the button runs from now on"}}}},
    {"ChangeEnable",
     "*Gives a menu item another macro and enables it.",
     {{{"STR item-id", kItemId}, {"MAC macro", "Macro the item runs from now on"}}}},
    {"ChangeItemBinding",
     "Gives a menu item another macro.",
     {{{"STR item-id", kItemId}, {"MAC item-macro", "Macro the item runs from now on"}}}},
    {"CheckItem", "Puts a check mark beside a menu item.", {{{"STR item-id", kItemId}}}},
    {"CloseSecondarys", "*Closes every secondary window but the current one.", {}},
    {"CloseWindow",
     "Closes the main window or a secondary window.",
     {{{"STR window-name", kWindowName}}}},
    {"Contents", "Shows the contents topic of the help file.", {}},
    {"ControlPanel",
     "*Opens a page of a Control Panel applet.",
     {{{"STR cpl-name", "File name of the Control Panel applet, such as main.cpl"},
       {"INT panel", "Number of the panel within the applet, from 0"},
       {"INT tab", "Page of the panel, from 0"}}}},
    {"CopyDialog", "Opens the Copy dialog for the current topic.", {}},
    {"CopyTopic", "*Copies the whole text of the current topic to the clipboard.", {}},
    {"CreateButton",
     "Adds a button to the button bar.",
     {{{"STR button-id", "Name for the new button, used by the other button macros"},
       {"STR name", "Text of the button; & marks its access key"},
       {"MAC macro", "Macro run when the button is clicked"}}}},
    {"DeleteItem",
     "Removes a menu item added with AppendItem or InsertItem.",
     {{{"STR item-id", kItemId}}}},
    {"DeleteMark", "Removes a marker set with SaveMark.", {{{"STR marker-text", kMarker}}}},
    {"DestroyButton",
     "Removes a button added with CreateButton.",
     {{{"STR button-id", kButtonId}}}},
    {"DisableButton", "Greys a button out.", {{{"STR button-id", kButtonId}}}},
    {"DisableItem", "Greys a menu item out.", {{{"STR item-id", kItemId}}}},
    {"EnableButton",
     "Enables a button greyed out with DisableButton.",
     {{{"STR button-id", kButtonId}}}},
    {"EnableItem",
     "Enables a menu item greyed out with DisableItem.",
     {{{"STR item-id", kItemId}}}},
    {"ExecFile",
     "*Runs a program, or opens a file with the program registered for it.",
     {{{"STR program", "Program or file to open"},
       {"STR arguments", "Command line handed to the program"},
       {"INT display-state", kDisplayState}}}},
    {"ExecProgram",
     "Runs a program.",
     {{{"STR command-line", "Program to run with its arguments"},
       {"INT display-state", kDisplayState}}}},
    {"Exit", "Closes WinHelp.", {}},
    {"ExtAbleItem",
     "*Enables or greys out a menu item.",
     {{{"STR item-id", kItemId}, {"INT enabled-state", "0 enabled, 1 greyed out"}}}},
    {"ExtInsertItem",
     "*Inserts an item into a menu at a given place, enabled or greyed out.",
     {{{"STR menu-id", "Name of the menu, or a standard menu such as mnu_file"},
       {"STR item-id", "Name for the new item, used by the other menu macros"},
       {"STR item-name", "Text of the item; & marks its access key"},
       {"MAC macro", kMacro},
       {"INT position", "Place of the item in the menu, from 0; -1 at the end"},
       {"INT enabled-state", "0 enabled, 1 greyed out"}}}},
    {"ExtInsertMenu",
     "*Inserts a submenu into a menu.",
     {{{"STR parent-id", "Name of the menu that receives the submenu"},
       {"STR menu-id", "Name for the new submenu, used by the other menu macros"},
       {"STR menu-name", "Text of the submenu; & marks its access key"},
       {"INT position", "Place of the submenu, from 0; -1 at the end"},
       {"INT enabled-state", "0 enabled, 1 greyed out"}}}},
    {"FileExist",
     "*Tests whether a file exists (for IfThen and IfThenElse).",
     {{{"STR filename", "File to look for"}}}},
    {"FileOpen", "Opens the Open dialog to show another help file.", {}},
    {"Find", "*Opens the Find page of the Help Topics dialog.", {}},
    {"Finder", "*Opens the Help Topics dialog at the page last used.", {}},
    {"FloatingMenu", "*Opens the context menu of the topic at the mouse pointer.", {}},
    {"FocusWindow",
     "Gives the focus to a window of the help file.",
     {{{"STR window-name", kWindowName}}}},
    {"Generate",
     "*Sends a message to the help window.",
     {{{"INT message", "Number of the Windows message"},
       {"INT wParam", "First parameter of the message"},
       {"INT lParam", "Second parameter of the message"}}}},
    {"GoToMark", "Jumps to a marker set with SaveMark.", {{{"STR marker-text", kMarker}}}},
    {"HelpOn", "Opens the help on using WinHelp.", {}},
    {"HelpOnTop", "Keeps the help window on top of other windows, or stops doing so.", {}},
    {"History", "Shows the list of the topics seen.", {}},
    {"IfThen",
     "Runs a macro when a test succeeds.",
     {{{"MAC IsMark", "The test, such as IsMark, IsNotMark or FileExist"},
       {"MAC macro", "Macro run when the test succeeds"}}}},
    {"IfThenElse",
     "Runs one of two macros, depending on a test.",
     {{{"MAC IsMark", "The test, such as IsMark, IsNotMark or FileExist"},
       {"MAC macro1", "Macro run when the test succeeds"},
       {"MAC macro2", "Macro run when the test fails"}}}},
    {"InsertItem",
     "Inserts an item into a menu at a given place.",
     {{{"STR menu-id", "Name of the menu, or a standard menu such as mnu_file"},
       {"STR item-id", "Name for the new item, used by the other menu macros"},
       {"STR item-name", "Text of the item; & marks its access key"},
       {"MAC macro", kMacro},
       {"INT position", "Place of the item in the menu, from 0"}}}},
    {"InsertMenu",
     "Adds a menu to the menu bar.",
     {{{"STR menu-id", "Name for the new menu, used by the other menu macros"},
       {"STR menu-name", "Text of the menu; & marks its access key"},
       {"INT menu-position", "Place of the menu in the menu bar, from 0"}}}},
    {"IsBook", "*Tests whether the help file is shown as a book (for IfThen and IfThenElse).", {}},
    {"IsMark",
     "Tests whether a marker was set with SaveMark (for IfThen and IfThenElse).",
     {{{"STR marker-text", kMarker}}}},
    {"IsNotMark",
     "*Tests whether a marker is missing (for IfThen and IfThenElse).",
     {{{"STR marker-text", kMarker}}}},
    {"JumpContents",
     "Jumps to the contents topic of a help file.",
     {{{"HLP filename", "Help file whose contents topic is shown"}}}},
    {"JumpContext",
     "Jumps to a topic by its context number.",
     {{{"HLP filename", kHelpFile}, {"INT context-number", kContextNumber}}}},
    {"JumpHelpOn", "Jumps to the contents of the help on using WinHelp.", {}},
    {"JumpID",
     "Jumps to a topic by its context string.",
     {{{"HLP filename", kHelpFile}, {"STR context-string", kContextString}}}},
    {"JumpKeyword",
     "Jumps to the first topic that has a K keyword.",
     {{{"HLP filename", kHelpFile}, {"STR keyword", "K keyword to look up"}}}},
    {"KLink",
     "*Looks up K keywords and jumps to the topic that has them, or lists the topics found.",
     {{{"STR keywords", "K keywords to look up, separated by ;"},
       {"INT type", kLinkType},
       {"STR context", "Topic shown when no keyword is found"},
       {"STR window", "Window in which the topic is shown"}}}},
    {"Next", "Shows the next topic of the browse sequence.", {}},
    {"Not",
     "Reverses the result of a test (IsMark, FileExist, ...).",
     {{{"MAC IsMark", "The test whose result is reversed"}}}},
    {"PopupContext",
     "Shows a topic in a popup window by its context number.",
     {{{"HLP filename", kHelpFile}, {"INT context-number", kContextNumber}}}},
    {"PopupID",
     "Shows a topic in a popup window by its context string.",
     {{{"HLP filename", kHelpFile}, {"STR context-string", kContextString}}}},
    {"PositionWindow",
     "Moves and sizes a window, on a scale of 0 to 1023 of the screen.",
     {{{"INT x", "Left edge, 0 to 1023"},
       {"INT y", "Top edge, 0 to 1023"},
       {"INT width", "Width, 0 to 1023"},
       {"INT height", "Height, 0 to 1023"},
       {"INT state", "1 normal, 2 minimised, 3 maximised"},
       {"STR name", kWindowName}}}},
    {"Prev", "Shows the previous topic of the browse sequence.", {}},
    {"Print", "Prints the current topic.", {}},
    {"PrinterSetup", "Opens the Print Setup dialog.", {}},
    {"RegisterRoutine",
     "Makes a function of a DLL available as a macro.",
     {{{"STR DLL-name", "File name of the DLL"},
       {"STR function-name", "Name of the function the DLL exports"},
       {"STR format-spec", "Types of the function's parameters, one letter each (i, u, s, ...)"}}}},
    {"RemoveAccelerator",
     "Takes a macro from a key again.",
     {{{"INT key", "Virtual key code of the key"},
       {"INT shift-state", "Shift keys held with it: 0 none, 1 Shift, 2 Ctrl, 4 Alt, added up"}}}},
    {"ResetMenu", "Brings the menu bar back to the one WinHelp starts with.", {}},
    {"SaveMark",
     "Sets a marker at the current topic, for GoToMark and IsMark.",
     {{{"STR marker-text", "Text that names the marker"}}}},
    {"Search", "Opens the Index page of the Help Topics dialog.", {}},
    {"SetContents",
     "Makes another topic the contents topic.",
     {{{"HLP filename", kHelpFile}, {"INT context-number", kContextNumber}}}},
    {"SetHelpOnFile",
     "Names the help file that the help on using WinHelp shows.",
     {{{"HLP filename", "Help file shown by Help On"}}}},
    {"ShellExecute",
     "*Opens a file or a document with the program registered for it.",
     {{{"STR filename", "File or document to open"},
       {"STR parameters", "Command line handed to the program"},
       {"INT show-flag", kDisplayState},
       {"STR operation", "What to do with the file: open, print, ..."},
       {"STR window", "Window that shows the topic below"},
       {"STR topic", "Context string of a topic shown when the file cannot be opened"}}}},
    {"TCard",
     "*Sends a message to the program that runs a training card.",
     {{{"INT command", "Value handed to the program"}}}},
    {"UnCheckItem", "Removes the check mark beside a menu item.", {{{"STR item-id", kItemId}}}},
}};

} // namespace editor
