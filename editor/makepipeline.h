#pragma once
// Make: turns the open project into its help file. Checks the compiler,
// saves, checks the output folder, writes the compiler's input into a
// private temporary folder, runs the compiler while the window keeps
// handling events (with a Cancel that ends the compiler and everything it
// started, and within the time and memory limits of TCompilerLimits),
// fills the error log with the compiler's log and this build's missing
// images and broken links, removes the temporary files and starts the
// viewer. Whatever way it ends, the window is enabled again, the progress
// strip hidden and the current topic shown.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/editorsettings.h"
#include "editor/projectcommands.h"
#include "helpproject/build/buildrecord.h"
#include "helpproject/build/compilerrun.h"
#include "helpproject/build/helpviewer.h"
#include "helpproject/writers/htmlhelpwriter.h"

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

// The limits a help compiler runs under; zero is none. A compiler that
// reaches one is ended with everything it started.
struct TCompilerLimits {
    std::chrono::seconds Time{0};
    std::uint64_t MemoryBytes = 0; // resident memory of the compiler and its descendants
};
// Settable in the environment: seconds, and megabytes (0: no limit).
inline constexpr const char* kCompilerTimeLimitVariable = "BRINDLE_COMPILER_TIME_LIMIT";
inline constexpr const char* kCompilerMemoryLimitVariable = "BRINDLE_COMPILER_MEMORY_LIMIT";
// A quiet run waits at most half an hour for its compiler.
inline constexpr std::chrono::seconds kDefaultQuietTimeLimit{1800};
// 4 GB, or half the machine's memory when that is less.
inline constexpr std::uint64_t kDefaultMemoryLimitBytes = std::uint64_t{4096} << 20;
// chmcmd runs out of memory when one index keyword lists more topics than
// about this many.
inline constexpr std::size_t kChmcmdKeywordTopicLimit = 240;

// The last line of the message about a compiler ended at a limit.
inline constexpr const char* kCompilerLimitsHint =
    "The limits are set by BRINDLE_COMPILER_TIME_LIMIT (seconds) and "
    "BRINDLE_COMPILER_MEMORY_LIMIT (megabytes) in the environment.";

using TGetEnv = std::function<const char*(const char*)>;
// The limits from the environment; the time limit only for a quiet run
// (a person can press Cancel).
TCompilerLimits CompilerLimitsFromEnvironment(const TGetEnv& getenv, bool quiet);

// Why the pipeline ended a compiler early.
enum class TCompilerStop { None, Cancelled, TimeLimit, MemoryLimit, Signal };

class TMakePipeline {
public:
    using TGetEnv = editor::TGetEnv;

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
    // The limits of the pipeline's own runner; not set: those of the
    // environment for a run with a person (no time limit).
    void SetCompilerLimits(const TCompilerLimits& limits) { limits_ = limits; }

    // The whole make. Raises on the fatal file conditions (a .chm that cannot
    // be replaced) and on writer errors, after its end steps ran. A stop
    // signal (SIGTERM, SIGINT, SIGHUP) while it runs ends the compiler with
    // its descendants and, once the temporary files are gone, the program.
    // A compiler past its time or memory limit is ended and the make says
    // so, naming the index keywords with the most topics.
    TMakeOutcome MakeHelpFile(bool showResult);
    // Ends the running compiler and its descendants; the make then reports no
    // help file. Does nothing when no compiler runs.
    void Cancel();
    bool CompilerRunning() const;
    // Why the last make's compiler was ended early (its own runner only).
    TCompilerStop LastCompilerStop() const { return lastStop_; }

    // The error log of the last make.
    const std::vector<std::string>& ErrorLog() const { return errorLog_; }
    // The build record of the last make: its help file, the names of its
    // compiler input and what the writers found. Empty after a make that
    // stopped before writing; the temporary files it names are gone once
    // the make ended.
    const helpproject::TBuildRecord& LastBuild() const { return build_; }
    // The topics the last WinHelp build wrote, in the order the compiler
    // counts them.
    const std::vector<std::int32_t>& CompiledTopics() const { return compiledTopics_; }
    // "Go to topic": the topic at that 1-based place among the topics the
    // last build compiled (all topics before any build) becomes current.
    // False, after the explanation box, for text that is no such place.
    bool GoToErrorTopic(const std::string& text);

private:
    class TRunner;
    struct TCompileOutcome;

    bool CompilerCheckLoop();
    bool SaveBeforeMake();
    void OutputFolderLoop();
    bool PrepareHtmlHelp(std::string& chmName);
    TCompileOutcome BuildHtmlHelp(const std::string& chmName);
    TCompileOutcome BuildWinHelp();
    void NoteHelpFile();
    void KeepWrittenBuild();
    TMakeOutcome MakeSteps(bool showResult);
    void WarnOfKeywordLoad();
    TCompilerStop OwnRunnerStop() const;
    std::string StopMessage(const TCompileOutcome& outcome) const;
    void FillErrorLog(const TCompileOutcome& outcome);
    void ShowResult(const TCompileOutcome& outcome, bool showResult);
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
    std::optional<TCompilerLimits> limits_;
    TCompilerStop lastStop_ = TCompilerStop::None;
    // The index entries with the most topics, for the messages about a
    // compiler that ran out of memory or time.
    std::vector<helpproject::TKeywordTopicCount> heaviestKeywords_;
    helpproject::TBuildRecord build_;
    std::vector<std::string> errorLog_;
    std::vector<std::int32_t> compiledTopics_;
};

} // namespace editor
