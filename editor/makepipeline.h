#pragma once
// Make: turns the open project into its help file. Checks the compiler,
// saves, checks the output folder, writes the compiler's input into a
// private temporary folder, runs the compiler while the window keeps
// handling events (with a Cancel that ends the compiler's process group),
// fills the error log with the compiler's log and this build's missing
// images and broken links, removes the temporary files and starts the
// viewer. Whatever way it ends, the window is enabled again, the progress
// strip hidden and the current topic shown.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/editorsettings.h"
#include "editor/projectcommands.h"
#include "helpproject/build/compilerrun.h"
#include "helpproject/build/helpviewer.h"

namespace editor {

// What the pipeline needs of the window besides the project commands.
class IMakeHost {
public:
    virtual ~IMakeHost() = default;
    virtual void StoreTopic() {}
    virtual void ShowTopic() {}
    // The red progress strip; an empty text hides it.
    virtual void ShowProgressText(const std::string& /*text*/) {}
    // Hour-glass cursor on or off.
    virtual void SetBusy(bool /*busy*/) {}
    virtual void SetWindowEnabled(bool /*enabled*/) {}
    // Fills the error log and shows it.
    virtual void ShowErrorLog(const std::vector<std::string>& /*lines*/) {}
    // Project Options opened from code: returns after OK; Cancel throws
    // components::EAbort(kOptionsDialogCanceled).
    virtual void OpenProjectOptions() = 0;
    // A path on a network drive (a warning for compiled HTML Help).
    virtual bool IsNetworkPath(const std::string& /*path*/) { return false; }
};

enum class TMakeOutcome {
    Built,       // the help file was made
    NotProduced, // the compiler ran but made no help file
    Stopped,     // ended before compiling: no compiler, a cancelled question, a "#" path
};

// The line the error log shows when the compiler left no log.
inline constexpr const char* kNoCompilerLog = "The help compiler wrote no error log.";

class TMakePipeline {
public:
    using TGetEnv = std::function<const char*(const char*)>;

    TMakePipeline(TProjectCommands& commands, IMakeHost& host, helpproject::TCompilerPaths& paths,
                  const TEditorSettings& settings);
    ~TMakePipeline();
    TMakePipeline(const TMakePipeline&) = delete;
    TMakePipeline& operator=(const TMakePipeline&) = delete;

    // The viewer of the result; null shows nothing.
    void SetViewer(helpproject::IHelpViewer* viewer) { viewer_ = viewer; }
    // The HTML Help compiler; null: chmcmd when the chosen program is chmcmd
    // (or none is chosen), else the program called on the .hhp.
    void SetHtmlHelpCompiler(helpproject::IHtmlHelpCompiler* compiler) { htmlHelp_ = compiler; }
    // The program runner; null: the pipeline's own, which pumps the
    // messenger and honours Cancel.
    void SetProgramRunner(helpproject::IProgramRunner* runner) { runner_ = runner; }
    // Where the build's private temporary folder goes (empty: the system's).
    void SetTempParent(std::string folder) { tempParent_ = std::move(folder); }
    void SetEnvironment(TGetEnv getenv) { getenv_ = std::move(getenv); }

    // The whole make. Raises on the fatal file conditions (a .chm that cannot
    // be replaced) and on writer errors, after its end steps ran.
    TMakeOutcome MakeHelpFile(bool showResult);
    // Ends the running compiler's process group; the make then reports no
    // help file. Does nothing when no compiler runs.
    void Cancel();
    bool CompilerRunning() const;

    // The error log of the last make.
    const std::vector<std::string>& ErrorLog() const { return errorLog_; }
    // The topics the last WinHelp build wrote, in the order the compiler
    // counts them.
    const std::vector<std::int32_t>& CompiledTopics() const { return compiledTopics_; }
    // "Go to topic": the topic at that 1-based place among the topics the
    // last build compiled (all topics before any build) becomes current.
    // False, after the explanation box, for text that is no such place.
    bool GoToErrorTopic(const std::string& text);

private:
    class TRunner;
    struct TBuild;

    bool CompilerCheckLoop();
    bool SaveBeforeMake();
    void OutputFolderLoop();
    bool PrepareHtmlHelp(std::string& chmName);
    TBuild BuildHtmlHelp(const std::string& chmName);
    TBuild BuildWinHelp();
    void FillErrorLog(const TBuild& build);
    void ShowResult(const TBuild& build, bool showResult);
    helpproject::IProgramRunner& Runner();
    void Progress(const std::string& text);

    TProjectCommands& commands_;
    IMakeHost& host_;
    helpproject::TCompilerPaths& paths_;
    const TEditorSettings& settings_;
    helpproject::IHelpViewer* viewer_ = nullptr;
    helpproject::IHtmlHelpCompiler* htmlHelp_ = nullptr;
    helpproject::IProgramRunner* runner_ = nullptr;
    std::unique_ptr<TRunner> ownRunner_;
    std::string tempParent_;
    TGetEnv getenv_;
    std::vector<std::string> errorLog_;
    std::vector<std::int32_t> compiledTopics_;
};

} // namespace editor
