#pragma once
// Finding the help compilers on this machine: the folders on PATH, the usual
// program folders and the drive_c of a Wine prefix when there is one. Names
// match in any case, with or without ".exe"; Free Pascal's chmcmd serves as
// the HTML Help compiler. The walk skips dot folders, follows no folder
// twice (symlink loops), passes over folders it cannot read, and counts
// only regular files (a folder named HHC.EXE is no compiler).
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "helpproject/build/compilerpaths.h"
#include "helpproject/helpfilekind.h"

namespace editor {

// Which help compiler a file of that name is (None for any other file).
helpproject::THelpCompiler CompilerKindOfFile(const std::string& fileName);
// Whether a file of that name is the keyword generator of old component help.
bool IsKeywordGenerator(const std::string& fileName);
// The file names the options dialog accepts for a compiler (checked on OK).
bool AcceptedCompilerName(helpproject::THelpCompiler kind, const std::string& fileName);

struct TCompilerSearchResult {
    std::vector<std::string> WinHelp16, WinHelp32, HtmlHelp;
    std::string KeywordGenerator;
    bool Aborted = false;
    bool AllFound() const { return !WinHelp16.empty() && !WinHelp32.empty() && !HtmlHelp.empty(); }
    bool NoneFound() const { return WinHelp16.empty() && WinHelp32.empty() && HtmlHelp.empty(); }
};

// Called for every folder searched; false stops the search (the abort
// button). The search keeps what it found until then.
using TSearchProgress = std::function<bool(const std::string& folder)>;

// The folders to search: PATH's, /usr/bin, /usr/local/bin, /opt,
// ~/.local/bin, and `WINEPREFIX` (else ~/.wine) drive_c when it exists.
// `getenv` reads the environment (tests give their own).
std::vector<std::string> DefaultSearchRoots(const std::function<const char*(const char*)>& getenv);

// Searches each root depth first. PATH folders are usually flat and full of
// programs, the program folders deep: both are walked the same way.
TCompilerSearchResult SearchForCompilers(const std::vector<std::string>& roots,
                                         const TSearchProgress& progress = {});

// The lists of found compilers that the dialog's combo boxes show.
struct TCompilerChoices {
    std::vector<std::string> WinHelp16, WinHelp32, HtmlHelp;
};

// Takes a search's findings into the program-wide paths: each kind's first
// path that the dialog would accept on OK becomes its chosen path (one it
// would refuse, such as HC.EXE, is listed but never chosen), the keyword
// generator when found; the lists get every path found.
void ApplySearchResult(const TCompilerSearchResult& result, helpproject::TCompilerPaths& paths,
                       TCompilerChoices& choices);

// The program a compiler value runs: the chosen path, and for HTML Help with
// none chosen, chmcmd found on PATH. Empty for -1 and values outside 0..2.
std::string CompilerProgram(helpproject::THelpCompiler compiler,
                            const helpproject::TCompilerPaths& paths,
                            const std::function<const char*(const char*)>& getenv);
// A compiler the make can use: 0, 1 or 2 and its program file exists.
bool CompilerUsable(helpproject::THelpCompiler compiler, const helpproject::TCompilerPaths& paths,
                    const std::function<const char*(const char*)>& getenv);

// The first executable file of that name in PATH's folders; empty if none.
std::string FindOnPath(const std::string& name, const char* path);

} // namespace editor
