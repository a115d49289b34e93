#pragma once
// Running the help compilers on the written input, and what follows a run:
// moving the help file into place, the keyword generator of component help,
// wiping the temporary input, showing the built help file. Also the paths of
// the compilers, kept in the registry from one run of the program to the next.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/writers/buildreport.h"

namespace components {
class TAppRunner;
}
namespace platform {
class Registry;
}

namespace helpproject {

// ---- compiler paths -------------------------------------------------------------

inline constexpr const char* kCompilerPathsKey = "Software\\Vexlor\\Brindlewoven\\Compiler paths";

struct TCompilerPaths {
    std::string HC31;      // the options dialog's list of 16-bit compiler paths
    std::string HC95;      // ... of 32-bit compiler paths
    std::string HCHTML;    // ... of HTML Help compiler paths
    std::string HC31Sel;   // the chosen 16-bit WinHelp compiler
    std::string HC95Sel;   // the chosen 32-bit WinHelp compiler
    std::string HCHTMLSel; // the chosen HTML Help compiler
    std::string KWGen;     // the keyword generator, at most 255 characters
    bool operator==(const TCompilerPaths&) const = default;
};

// The paths under HKCU; missing values (or a missing key) read as empty.
TCompilerPaths LoadCompilerPaths(platform::Registry& registry);
// Writes the seven values, but only when one differs from what the registry
// holds, so an unchanged set never touches the hive. Registry failures are
// swallowed: losing the paths must not stop the program from closing.
void SaveCompilerPaths(platform::Registry& registry, const TCompilerPaths& paths);

// ---- running programs ---------------------------------------------------------

// Runs a program and waits for its end.
class IProgramRunner {
public:
    struct TResult {
        bool Started = false;
        int ErrorNumber = 0; // errno of a failed start
        int ExitCode = 0;
    };
    virtual ~IProgramRunner() = default;
    // `workingFolder` empty keeps the caller's.
    virtual TResult RunAndWait(const std::vector<std::string>& argv,
                               const std::string& workingFolder) = 0;
};

// Runs through the owner's TAppRunner; `pump` processes the owner's events
// until its argument returns true (the UI pumps its event loop, batch runs a
// TQueuedExecutor).
class TAppRunnerProgramRunner : public IProgramRunner {
public:
    using TPump = std::function<void(const std::function<bool()>& done)>;
    TAppRunnerProgramRunner(components::TAppRunner& runner, TPump pump);
    TResult RunAndWait(const std::vector<std::string>& argv,
                       const std::string& workingFolder) override;

private:
    components::TAppRunner& runner_;
    TPump pump_;
};

// A runner with its own executor, for batch runs and tests.
class THeadlessProgramRunner : public IProgramRunner {
public:
    TResult RunAndWait(const std::vector<std::string>& argv,
                       const std::string& workingFolder) override;
};

// The seam of the HTML Help compiler: writes `ChmFileName` from the project's
// HTML Help input. Throws when the compiler cannot be started.
class IHtmlHelpCompiler {
public:
    virtual ~IHtmlHelpCompiler() = default;
    virtual void Compile(TBrindlewovenProject& project, const TCompilerPaths& paths,
                         IProgramRunner& runner) = 0;
};

// HCHTMLSel with HhpFileName, as the native HTML Help compiler is called.
class TCommandLineHtmlHelpCompiler : public IHtmlHelpCompiler {
public:
    void Compile(TBrindlewovenProject& project, const TCompilerPaths& paths,
                 IProgramRunner& runner) override;
};

// A help compiler or keyword generator could not be started.
class EHelpCompilerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---- compiler runs --------------------------------------------------------------

struct TCompilerRunOptions {
    // Where the compilers run; the 16-bit compiler writes its help file here.
    // Empty: the process's current folder.
    std::string WorkingFolder;
    // The HTML Help compiler; nullptr runs TCommandLineHtmlHelpCompiler.
    IHtmlHelpCompiler* HtmlHelp = nullptr;
};

struct TCompileResult {
    // The compiler produced a help file with content and it is now at
    // HelpFileName (ChmFileName for HTML Help). False leaves any older help
    // file where it was.
    bool Produced = false;
    // The keyword generator ran and its file replaced the old one.
    bool KeywordsProduced = false;
    int ExitCode = 0;
};

// Runs the compiler chosen by `Compiler` on the files the writers produced.
// Throws EHelpCompilerError "Error running WinHelp Compiler (errno)" (or the
// keyword generator's or HTML Help compiler's message) when a program cannot
// be started; then nothing is moved.
TCompileResult RunHelpCompiler(TBrindlewovenProject& project, const TCompilerPaths& paths,
                               IProgramRunner& runner, const TCompilerRunOptions& options = {});

// Overwrites a file with zeros, a whole number of 64 KiB blocks covering it,
// and deletes it. A missing file is no error: false.
bool WipeFile(const std::string& fileName);

// Deletes the compiler input of the last build (error log, topic file, help
// project, phrase files, TempFiles) and clears their names. A file already
// gone is skipped and the rest still goes.
void DeleteBuildTempFiles(TBrindlewovenProject& project, const TCompilerRunOptions& options = {});

// ---- a whole build ---------------------------------------------------------------

struct TWinHelpMakeOptions {
    TCompilerRunOptions Run; // WorkingFolder empty: the build's temporary folder
    // Where the build's private temporary folder goes; empty: the system's.
    std::filesystem::path TempParent;
};

struct TWinHelpMakeResult {
    TCompileResult Compile;
    std::string ErrorLog;       // the compiler's log as it wrote it
    bool ErrorLogFound = false; // false: the compiler wrote no log at all
    TBuildReport Build;         // what the writers did, already copied into the project
};

// The WinHelp part of the make: writes the input into a private temporary
// folder (the contents file beside the help file, the C header when CHeader
// is set), copies the writers' report into the project, runs the compiler,
// reads its log and deletes the input. The temporary files are gone on every
// exit path, a writer's error or a failed start included.
TWinHelpMakeResult MakeWinHelpFile(TBrindlewovenProject& project, const TCompilerPaths& paths,
                                   IProgramRunner& runner, const TWinHelpMakeOptions& options = {});

// ---- showing the help file ---------------------------------------------------------

inline constexpr int kHelpContext = 1;  // open at a context number
inline constexpr int kHelpContents = 3; // open at the contents

struct THelpViewRequest {
    std::string Kind;           // "hlp" or "chm"
    std::string File;           // the help file
    std::string Folder;         // the help file's folder, the viewer's working folder
    int Command = kHelpContext; // WinHelp: kHelpContext or kHelpContents
    std::uint32_t Context = 0;  // WinHelp: the topic number
    std::string Page;           // HTML Help: "file.chm::/html/page.htm"
};

class IHelpViewer {
public:
    virtual ~IHelpViewer() = default;
    virtual void Show(const THelpViewRequest& request) = 0;
};

inline constexpr const char* kHelpViewersKey = "Software\\Vexlor\\Brindlewoven\\Help viewers";

// Starts the viewer command that the registry keeps for the kind of help file
// (HKCU kHelpViewersKey, value "hlp" or "chm": a command line whose "%1" is
// replaced by the file, or by the page for HTML Help; without "%1" the file is
// appended). Throws std::runtime_error with a clear message when none is set.
class TRegistryHelpViewer : public IHelpViewer {
public:
    explicit TRegistryHelpViewer(platform::Registry& registry) : registry_(registry) {}
    void Show(const THelpViewRequest& request) override;
    // The argv the command line gives for a request.
    static std::vector<std::string> CommandFor(const std::string& commandLine,
                                               const THelpViewRequest& request);

private:
    platform::Registry& registry_;
};

// Shows the built help file at `topicNumber`, calling `makeHelpFile` first when
// no help file exists yet (the main window's make command).
void ShowBuiltHelp(TBrindlewovenProject& project, std::int32_t topicNumber, IHelpViewer& viewer,
                   const std::function<void()>& makeHelpFile);

} // namespace helpproject
