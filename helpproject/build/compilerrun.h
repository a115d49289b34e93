#pragma once
// Running the help compilers on the written input, and what follows a run:
// moving the help file into place, the keyword generator of component help,
// wiping the temporary input.
#include <stdexcept>
#include <string>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/build/buildrecord.h"
#include "helpproject/build/compilerpaths.h"
#include "helpproject/build/programrunner.h"

namespace helpproject {

// The seam of the HTML Help compiler: writes the build's ChmFileName from its
// HTML Help input (HhpFileName). Throws when the compiler cannot be started.
class IHtmlHelpCompiler {
public:
    virtual ~IHtmlHelpCompiler() = default;
    virtual void Compile(const TBrindlewovenProject& project, TBuildRecord& build,
                         const TCompilerPaths& paths, IProgramRunner& runner) = 0;
};

// HCHTMLSel with the build's HhpFileName, as the native HTML Help compiler
// is called.
class TCommandLineHtmlHelpCompiler : public IHtmlHelpCompiler {
public:
    void Compile(const TBrindlewovenProject& project, TBuildRecord& build,
                 const TCompilerPaths& paths, IProgramRunner& runner) override;
};

// A help compiler or keyword generator could not be started.
class EHelpCompilerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TCompilerRunOptions {
    // Where the compilers run; the 16-bit compiler writes its help file here.
    // Empty: the process's current folder.
    std::string WorkingFolder;
    // The HTML Help compiler; nullptr runs TCommandLineHtmlHelpCompiler.
    IHtmlHelpCompiler* HtmlHelp = nullptr;
};

struct TCompileResult {
    // The compiler produced a help file with content and it is now at the
    // build's HelpFileName (ChmFileName for HTML Help). False leaves any older help
    // file where it was.
    bool Produced = false;
    // The keyword generator ran and its file replaced the old one.
    bool KeywordsProduced = false;
    int ExitCode = 0;
};

// Runs the compiler chosen by `Compiler` on the files the writers produced,
// named by `build`. Throws EHelpCompilerError "Error running WinHelp Compiler
// (errno)" (or the keyword generator's or HTML Help compiler's message) when
// a program cannot be started; then nothing is moved.
TCompileResult RunHelpCompiler(const TBrindlewovenProject& project, TBuildRecord& build,
                               const TCompilerPaths& paths, IProgramRunner& runner,
                               const TCompilerRunOptions& options = {});

// Overwrites a file with zeros, a whole number of 64 KiB blocks covering it,
// and deletes it. A missing file is no error: false.
bool WipeFile(const std::string& fileName);

// Deletes the compiler input of `build` (error log, topic file, help
// project, phrase files, TempFiles) and clears their names. A file already
// gone is skipped and the rest still goes.
void DeleteBuildTempFiles(const TBrindlewovenProject& project, TBuildRecord& build,
                          const TCompilerRunOptions& options = {});

} // namespace helpproject
