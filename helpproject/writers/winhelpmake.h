#pragma once
// The WinHelp part of a make: the writers' input for the compiler in a
// private temporary folder, the compiler run and its log.
#include <filesystem>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/buildrecord.h"
#include "helpproject/build/compilerrun.h"

namespace helpproject {

struct TWinHelpMakeOptions {
    TCompilerRunOptions Run; // WorkingFolder empty: the build's temporary folder
    // Where the build's private temporary folder goes; empty: the system's.
    std::filesystem::path TempParent;
};

struct TWinHelpMakeResult {
    TCompileResult Compile;
    std::string ErrorLog;       // the compiler's log as it wrote it
    bool ErrorLogFound = false; // false: the compiler wrote no log at all
};

// The WinHelp part of the make: writes the input into a private temporary
// folder (the contents file beside the help file, the C header when CHeader
// is set), keeps the writers' report in `build`, runs the compiler, reads
// its log and deletes the input. The help file goes to the build's
// HelpFileName as the writer chose it. The temporary files are gone, and
// their names out of `build`, on every exit path, a writer's error or a
// failed start included.
TWinHelpMakeResult MakeWinHelpFile(const TBrindlewovenProject& project, TBuildRecord& build,
                                   const TCompilerPaths& paths, IProgramRunner& runner,
                                   const TWinHelpMakeOptions& options = {});

} // namespace helpproject
