#pragma once
// The Project Options command's transfer: the open project's options and the
// program-wide compiler paths and settings into the values the options
// dialog shows, and on OK back again.
#include <cstdint>
#include <string>
#include <vector>

#include "editor/editorsettings.h"
#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/compilerpaths.h"

namespace editor {

// The help-file kinds of the "Kind of Help File" list, by item index.
const std::vector<std::int32_t>& HelpFileKindTable();
// The list index showing a kind; 0 for a kind not in the table.
int HelpFileKindIndex(std::int32_t kind);

// What the dialog's controls hold.
struct TProjectOptionsValues {
    // General page
    std::string Title, Copyright, LocaleID, BitmapPaths;
    TEditorSettings Settings;
    // Compiler page
    std::string OutputFolder;
    std::vector<std::string> BuildTags; // the checked build tags
    // The three radio buttons; an unknown project value shows as HTML Help.
    helpproject::THelpCompiler CompilerRadio = helpproject::THelpCompiler::HtmlHelp;
    std::string HC31Path, HC95Path, HCHTMLPath;
    std::vector<std::string> HC31Items, HC95Items, HCHTMLItems;
    bool CHeader = false;
    // WinHelp page
    int KindIndex = 0;
    std::vector<std::string> Config, Baggage;
    std::string Citation;
    bool Compress = false, NoImages = false;
    // HTML Help page
    bool PngImages = true;
    helpproject::TColor Background = 0, Text = 0, Links = 0, Visited = 0, Active = 0;
    bool FullTextSearch = false, AdvancedSearch = false, Favorites = false,
         CollapseContents = false;
    std::int32_t X = 0, Y = 0, Width = 0, Height = 0;
    bool RememberPosition = false, PopupsAsLinks = false;
};

// The lists of found compilers the combo boxes offer (program-wide).
struct TCompilerLists {
    std::vector<std::string> WinHelp16, WinHelp32, HtmlHelp;
};

// The lists as the program keeps them between runs: the text of each list,
// one path a line (CR LF), in the compiler paths' HC31, HC95 and HCHTML.
TCompilerLists CompilerListsFromPaths(const helpproject::TCompilerPaths& paths);
void StoreCompilerLists(const TCompilerLists& lists, helpproject::TCompilerPaths& paths);

TProjectOptionsValues OptionsFromProject(const helpproject::TBrindlewovenProject& project,
                                         const helpproject::TCompilerPaths& paths,
                                         const TCompilerLists& lists,
                                         const TEditorSettings& settings);

// OK: the values into the project, the paths and the settings. Empty lines
// of the configuration and baggage are dropped; a non-empty output folder
// gets its trailing separator.
void ApplyOptionsToProject(const TProjectOptionsValues& values,
                           helpproject::TBrindlewovenProject& project,
                           helpproject::TCompilerPaths& paths, TEditorSettings& settings);

inline constexpr const char* kOptionsDialogCanceled = "Options dialog canceled";

} // namespace editor
