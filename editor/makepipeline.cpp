#include "editor/makepipeline.h"

#include <cstdlib>
#include <filesystem>

#include "components/apprunner.h"
#include "components/executor.h"
#include "components/rtf/stringlisttransfer.h"
#include "editor/compilersearch.h"
#include "editor/projectoptions.h"
#include "helpproject/build/chmcmdadapter.h"
#include "helpproject/build/tempfilenames.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/htmlhelpwriter.h"
#include "helpproject/writers/winhelpmake.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/processmemory.h"
#include "platform/stopsignals.h"
#include "platform/tempfolder.h"

namespace editor {

namespace fs = std::filesystem;
using components::IMessenger;
using components::TMessageKind;
using components::TQuestion;
using helpproject::TBrindlewovenProject;

namespace {

// Runs `undo` when the scope ends, however it ends.
template <typename F> class TScopeGuard {
public:
    explicit TScopeGuard(F undo) : undo_(std::move(undo)) {}
    ~TScopeGuard() {
        try {
            undo_();
        } catch (...) {
            // An end step must not hide the error that ended the make.
        }
    }
    TScopeGuard(const TScopeGuard&) = delete;
    TScopeGuard& operator=(const TScopeGuard&) = delete;

private:
    F undo_;
};

bool IsFolder(const std::string& folder) {
    std::error_code ec;
    return fs::is_directory(helpproject::ProjectPath(folder), ec);
}

bool IsFile(const std::string& file) {
    std::error_code ec;
    return !file.empty() && fs::exists(helpproject::ProjectPath(file), ec);
}

// The compiled file's name: the output folder (else the project file's
// folder) and the project file's name with `extension`.
std::string OutputFileName(const TBrindlewovenProject& project, const std::string& extension) {
    const std::string base =
        project.OutputFolder.empty()
            ? project.FileName
            : project.OutputFolder + platform::ExtractFileName(project.FileName);
    return platform::ChangeFileExt(base, extension);
}

void AppendList(std::vector<std::string>& log, const char* heading,
                const helpproject::TStringList& list) {
    if (list.empty())
        return;
    log.emplace_back();
    log.emplace_back(heading);
    log.insert(log.end(), list.begin(), list.end());
}

void ShowError(IMessenger& messenger, const std::string& text) {
    messenger.ShowMessage(TMessageKind::Error, "Error", text);
}

std::uint64_t ParseLimit(const TGetEnv& getenv, const char* name, std::uint64_t fallback) {
    const char* text = getenv ? getenv(name) : nullptr;
    if (!text || !*text)
        return fallback;
    std::uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || value > (UINT64_MAX - 9) / 10)
            return fallback; // not a number: the default stays
        value = value * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    return value;
}

std::string DurationText(std::chrono::seconds time) {
    const auto count = time.count();
    if (count >= 60 && count % 60 == 0)
        return std::to_string(count / 60) + (count == 60 ? " minute" : " minutes");
    return std::to_string(count) + (count == 1 ? " second" : " seconds");
}

} // namespace

TCompilerLimits CompilerLimitsFromEnvironment(const TGetEnv& getenv, bool quiet) {
    TCompilerLimits limits;
    if (quiet)
        limits.Time = std::chrono::seconds(static_cast<std::chrono::seconds::rep>(
            ParseLimit(getenv, kCompilerTimeLimitVariable,
                       static_cast<std::uint64_t>(kDefaultQuietTimeLimit.count()))));
    std::uint64_t memory = kDefaultMemoryLimitBytes;
    if (const std::uint64_t physical = platform::PhysicalMemoryBytes())
        memory = std::min(memory, physical / 2);
    const std::uint64_t megabytes = ParseLimit(getenv, kCompilerMemoryLimitVariable, memory >> 20);
    limits.MemoryBytes = megabytes > (UINT64_MAX >> 20) ? UINT64_MAX : megabytes << 20;
    return limits;
}

// The compiler's process, run while the window goes on handling events,
// ended early on Cancel, at its limits or when the program is told to stop.
// Whatever the compiler starts counts against its memory limit and ends with
// it, also what leaves its process group.
class TMakePipeline::TRunner : public helpproject::IProgramRunner {
public:
    explicit TRunner(IMessenger& messenger) : messenger_(messenger), runner_(executor_) {
        runner_.SetEndsDescendants(true);
    }

    TResult RunAndWait(const std::vector<std::string>& argv,
                       const std::string& workingFolder) override {
        cancel_ = false;
        bool ended = false;
        runner_.SetApplicationName("");
        runner_.SetCommandLine(argv);
        runner_.SetCurrentDirectory(workingFolder);
        runner_.OnTerminated = [&ended](components::TAppRunner&) { ended = true; };
        TResult result;
        if (platform::StopRequested()) {
            stop_ = TCompilerStop::Signal; // nothing new starts once a stop was asked for
            result.ExitCode = 128 + platform::StopRequested();
            return result;
        }
        if (!runner_.Run()) {
            result.ErrorNumber = runner_.LastErrorNumber();
            return result;
        }
        result.Started = true;
        const auto start = std::chrono::steady_clock::now();
        bool stopping = false;
        while (!ended) {
            executor_.RunOne(std::chrono::milliseconds(20));
            messenger_.ProcessEvents();
            if (stopping || !runner_.Running())
                continue;
            const auto now = std::chrono::steady_clock::now();
            TCompilerStop stop = TCompilerStop::None;
            if (cancel_ || messenger_.AbortRequested())
                stop = TCompilerStop::Cancelled;
            else if (platform::StopRequested())
                stop = TCompilerStop::Signal;
            else if (limits_.Time.count() > 0 && now - start >= limits_.Time)
                stop = TCompilerStop::TimeLimit;
            else if (limits_.MemoryBytes > 0 && OverMemoryLimit())
                stop = TCompilerStop::MemoryLimit;
            if (stop == TCompilerStop::None)
                continue;
            stopping = true;
            stop_ = stop;
            runner_.Cancel();
            if (stop == TCompilerStop::MemoryLimit)
                runner_.Cancel(); // no grace for a program that eats the machine's memory
        }
        runner_.OnTerminated = nullptr;
        result.ExitCode = runner_.ExitCode();
        return result;
    }

    void Cancel() { cancel_ = true; }
    bool Running() const { return runner_.Running(); }
    void Prepare(const TCompilerLimits& limits) {
        limits_ = limits;
        stop_ = TCompilerStop::None;
    }
    TCompilerStop Stop() const { return stop_; }
    const TCompilerLimits& Limits() const { return limits_; }

private:
    // The compiler's own size is read at every turn (it may grow fast); the
    // sum over it and its descendants is the one the runner keeps.
    bool OverMemoryLimit() const {
        const pid_t pid = runner_.ProcessId();
        if (pid <= 0)
            return false;
        return platform::ProcessResidentBytes(pid) > limits_.MemoryBytes ||
               runner_.FamilyResidentBytes() > limits_.MemoryBytes;
    }

    IMessenger& messenger_;
    components::TQueuedExecutor executor_;
    components::TAppRunner runner_;
    bool cancel_ = false;
    TCompilerLimits limits_;
    TCompilerStop stop_ = TCompilerStop::None;
};

// How a make's compiler run ended.
struct TMakePipeline::TCompileOutcome {
    bool Produced = false;
    TCompilerStop Stop = TCompilerStop::None;
    bool LogFound = false;
    std::string Log;
};

TMakePipeline::TMakePipeline(TProjectCommands& commands, IMakeHost& host,
                             helpproject::TCompilerPaths& paths, const TEditorSettings& settings)
    : commands_(commands), host_(host), paths_(paths), settings_(settings),
      getenv_([](const char* name) { return static_cast<const char*>(std::getenv(name)); }) {}

TMakePipeline::~TMakePipeline() = default;

helpproject::IProgramRunner& TMakePipeline::Runner() {
    if (runner_)
        return *runner_;
    if (!ownRunner_)
        ownRunner_ = std::make_unique<TRunner>(commands_.Messenger());
    ownRunner_->Prepare(limits_ ? *limits_ : CompilerLimitsFromEnvironment(getenv_, false));
    return *ownRunner_;
}

void TMakePipeline::Cancel() {
    if (ownRunner_)
        ownRunner_->Cancel();
}

bool TMakePipeline::CompilerRunning() const {
    return ownRunner_ && ownRunner_->Running();
}

void TMakePipeline::Progress(const std::string& text) {
    host_.ShowProgressText(text);
    commands_.Messenger().ProcessEvents();
}

bool TMakePipeline::CompilerCheckLoop() {
    TBrindlewovenProject& project = commands_.Session().Project();
    while (!CompilerUsable(project.Compiler, paths_, getenv_)) {
        TQuestion need;
        need.Kind = TMessageKind::Warning;
        need.Caption = "Help Compiler Needed";
        need.Text = "Before your help project can be compiled into a distributable .hlp or .chm "
                    "help file,\ryou have to select which help compiler to use in Project Options.";
        need.Buttons = components::OkCancelButtons();
        if (commands_.Messenger().Ask(need) != components::mrOk)
            return false;
        host_.OpenProjectOptions();
    }
    return true;
}

bool TMakePipeline::SaveBeforeMake() {
    TBrindlewovenProject& project = commands_.Session().Project();
    if (project.FileName.empty())
        commands_.SaveAs(true);
    else if (settings_.AutoSaveCompile)
        commands_.Save(true);
    return !project.FileName.empty();
}

void TMakePipeline::OutputFolderLoop() {
    TBrindlewovenProject& project = commands_.Session().Project();
    while (!project.OutputFolder.empty() && !IsFolder(project.OutputFolder)) {
        ShowError(commands_.Messenger(),
                  "The folder " + project.OutputFolder +
                      " specified in Project Options to be used as the output folder, does not "
                      "exist");
        host_.OpenProjectOptions();
    }
}

bool TMakePipeline::PrepareHtmlHelp(std::string& chmName) {
    TBrindlewovenProject& project = commands_.Session().Project();
    IMessenger& messenger = commands_.Messenger();
    while (project.OutputFolder.find('#') != std::string::npos) {
        ShowError(messenger, "The output folder you specified has a # character in it.  CHM files "
                             "do not work when their path name includes a # character, as this "
                             "character has a special meaning in URLs.");
        host_.OpenProjectOptions();
    }
    chmName = OutputFileName(project, ".chm");
    if (chmName.find('#') != std::string::npos) {
        ShowError(messenger,
                  "The folder you saved your Brindlewoven project file in or the file name you "
                  "saved it with has a # character in it.  CHM files do not work when their path "
                  "name includes a # character, as this character has a special meaning in URLs. "
                  " Please use Project|Save As to save your project in another folder or under "
                  "another name.");
        return false;
    }
    if (chmName.rfind("\\\\", 0) == 0 || host_.IsNetworkPath(chmName)) {
        TQuestion network;
        network.Kind = TMessageKind::Warning;
        network.Caption = "Help Compiler Needed";
        network.Text =
            "The output folder for the compiled CHM file appears to be on a network drive.\r\r"
            "On computers running Windows XP, with all the latest security updates applied, CHM "
            "files will appear without body text when the file is stored on a network drive.  "
            "This is because Microsoft tightened some security restrictions in Internet "
            "Explorer.  This affects all CHM files, not just those created by Brindlewoven.\r\r"
            "Either set your output folder to a folder on your local PC, or change the output "
            "format into WinHelp.  WinHelp files still work flawlessly across networks.";
        network.Buttons = components::OkButtons();
        messenger.Ask(network);
        host_.OpenProjectOptions();
    }
    const fs::path chm = helpproject::ProjectPath(chmName);
    std::error_code ec;
    fs::remove(chm, ec);
    if (fs::exists(chm, ec))
        throw std::runtime_error("Unable to overwrite " + chmName +
                                 "\r\nPlease make sure you are not viewing this file any more.");
    return true;
}

// "Show help file" opens the help file this make produces.
void TMakePipeline::NoteHelpFile() {
    TBrindlewovenProject& project = commands_.Session().Project();
    project.HelpFileName = build_.HelpFileName;
    project.ChmFileName = build_.ChmFileName;
}

// Once the writers are done: what the project keeps of their choices, and
// the help file as they named it.
void TMakePipeline::KeepWrittenBuild() {
    if (!build_.Written)
        return;
    helpproject::KeepBuildChoices(commands_.Session().Project(), build_.Report);
    NoteHelpFile();
}

TMakePipeline::TCompileOutcome TMakePipeline::BuildHtmlHelp(const std::string& chmName) {
    const TBrindlewovenProject& project = commands_.Session().Project();
    TCompileOutcome outcome;
    // The folder and everything in it go with `temp`.
    platform::TempFolder temp = tempParent_.empty()
                                    ? platform::TempFolder("bwmake")
                                    : platform::TempFolder("bwmake", fs::path(tempParent_));
    build_.ChmFileName = chmName;
    build_.HhpFileName =
        (temp.Path() / platform::ChangeFileExt(platform::ExtractFileName(chmName), ".hhp"))
            .string();
    NoteHelpFile();
    helpproject::TTempFolderFileNames names(temp);
    helpproject::THtmlHelpWriteOptions options;
    options.HhpFileName = build_.HhpFileName;
    options.ChmFileName = build_.ChmFileName;
    options.Messenger = &commands_.Messenger();
    options.TempNames = &names;
    options.PrivateFolder = true;
    build_.TakeReport(helpproject::WriteHtmlHelpProject(project, true, true, options));
    KeepWrittenBuild();
    if (project.CHeader)
        helpproject::WriteHelpIdHeader(project, build_.Report);

    helpproject::TCompilerPaths paths = paths_;
    paths.HCHTMLSel = CompilerProgram(helpproject::THelpCompiler::HtmlHelp, paths_, getenv_);
    helpproject::TChmcmdHtmlHelpCompiler chmcmd;
    helpproject::TCommandLineHtmlHelpCompiler native;
    helpproject::TCompilerRunOptions run;
    run.WorkingFolder = temp.Path().string();
    run.HtmlHelp = htmlHelp_ ? htmlHelp_
                   : helpproject::IsChmcmd(paths.HCHTMLSel)
                       ? static_cast<helpproject::IHtmlHelpCompiler*>(&chmcmd)
                       : &native;
    Progress("Running help compiler...");
    host_.SetWindowEnabled(false);
    TScopeGuard enable([this] { host_.SetWindowEnabled(true); });
    // The progress window's Abort button is the Cancel that ends the
    // compiler's process group.
    components::TProgressScope running(&commands_.Messenger(), "Running help compiler...", 0);
    outcome.Produced = helpproject::RunHelpCompiler(project, build_, paths, Runner(), run).Produced;
    outcome.Stop = OwnRunnerStop();
    if (!build_.ErrorLogFileName.empty() && IsFile(build_.ErrorLogFileName)) {
        outcome.Log = platform::ReadFileBytes(helpproject::ProjectPath(build_.ErrorLogFileName));
        outcome.LogFound = true;
    }
    return outcome;
}

TMakePipeline::TCompileOutcome TMakePipeline::BuildWinHelp() {
    const TBrindlewovenProject& project = commands_.Session().Project();
    TCompileOutcome outcome;
    helpproject::TWinHelpMakeOptions options;
    if (!tempParent_.empty())
        options.TempParent = tempParent_;
    build_.HelpFileName = OutputFileName(project, ".hlp");
    NoteHelpFile();
    Progress("Running help compiler...");
    host_.SetWindowEnabled(false);
    TScopeGuard enable([this] { host_.SetWindowEnabled(true); });
    // The progress window's Abort button is the Cancel that ends the
    // compiler's process group.
    components::TProgressScope running(&commands_.Messenger(), "Running help compiler...", 0);
    helpproject::TWinHelpMakeResult made;
    try {
        made = helpproject::MakeWinHelpFile(project, build_, paths_, Runner(), options);
    } catch (...) {
        KeepWrittenBuild(); // a compiler that could not start still leaves the writers' choices
        throw;
    }
    KeepWrittenBuild();
    outcome.Produced = made.Compile.Produced;
    outcome.Stop = OwnRunnerStop();
    outcome.Log = std::move(made.ErrorLog);
    outcome.LogFound = made.ErrorLogFound;
    return outcome;
}

// Why the pipeline's own runner ended the compiler it ran last.
TCompilerStop TMakePipeline::OwnRunnerStop() const {
    return ownRunner_ && !runner_ ? ownRunner_->Stop() : TCompilerStop::None;
}

// Why the compiler was ended, and what most likely made it so slow or so
// big: an index keyword with very many topics.
std::string TMakePipeline::StopMessage(const TCompileOutcome& outcome) const {
    if (!ownRunner_)
        return {}; // only the pipeline's own runner ends a compiler at a limit
    const TCompilerLimits& limits = ownRunner_->Limits();
    std::string text;
    if (outcome.Stop == TCompilerStop::TimeLimit)
        text = "The help compiler did not finish within " + DurationText(limits.Time) +
               " and was stopped.";
    else if (outcome.Stop == TCompilerStop::MemoryLimit)
        text = "The help compiler used more than " + platform::SizeLimitText(limits.MemoryBytes) +
               " of memory and was stopped.";
    else
        return {};
    if (!heaviestKeywords_.empty() && heaviestKeywords_.front().Topics > 1) {
        text += "\rThe likely cause: index keywords that list many topics (";
        for (std::size_t i = 0; i < heaviestKeywords_.size(); ++i) {
            const auto& entry = heaviestKeywords_[i];
            text += (i ? ", \"" : "\"") + entry.Keyword + "\" " + std::to_string(entry.Topics) +
                    (entry.Topics == 1 ? " topic" : " topics");
        }
        text += ").";
    }
    text += "\r" + std::string(kCompilerLimitsHint);
    return text;
}

void TMakePipeline::WarnOfKeywordLoad() {
    const TBrindlewovenProject& project = commands_.Session().Project();
    try {
        heaviestKeywords_ = helpproject::KeywordsWithMostTopics(project, true, 3);
    } catch (const std::exception&) {
        heaviestKeywords_.clear(); // the writers say what is wrong with the project
    }
    if (project.Compiler != helpproject::THelpCompiler::HtmlHelp || htmlHelp_ ||
        heaviestKeywords_.empty() || heaviestKeywords_.front().Topics <= kChmcmdKeywordTopicLimit ||
        !helpproject::IsChmcmd(
            CompilerProgram(helpproject::THelpCompiler::HtmlHelp, paths_, getenv_)))
        return;
    const auto& heaviest = heaviestKeywords_.front();
    commands_.Messenger().ShowMessage(
        TMessageKind::Warning, "Warning",
        "The index keyword \"" + heaviest.Keyword + "\" lists " + std::to_string(heaviest.Topics) +
            " topics.\rThe help compiler (chmcmd) runs out of memory when one keyword lists more "
            "than about " +
            std::to_string(kChmcmdKeywordTopicLimit) +
            " topics: the compile may fail. Split the keyword into sub-keywords (\"" +
            heaviest.Keyword + ", ...\") with fewer topics each.");
}

void TMakePipeline::FillErrorLog(const TCompileOutcome& outcome) {
    errorLog_ = rtf::SplitLines(outcome.Log);
    if (!outcome.LogFound || outcome.Log.empty())
        errorLog_.emplace_back(kNoCompilerLog);
    if (const std::string stop = StopMessage(outcome); !stop.empty()) {
        errorLog_.emplace_back();
        for (std::string& line : rtf::SplitLines(stop))
            errorLog_.push_back(std::move(line));
    }
    // This build's lists only: an earlier build's entries are not this one's.
    AppendList(errorLog_, "MISSING IMAGES:", build_.Report.MissingImages);
    AppendList(errorLog_, "BROKEN LINKS:", build_.Report.BrokenLinks);
    host_.ShowErrorLog(errorLog_);
}

void TMakePipeline::ShowResult(const TCompileOutcome& outcome, bool showResult) {
    TBrindlewovenProject& project = commands_.Session().Project();
    const bool html = project.Compiler == helpproject::THelpCompiler::HtmlHelp;
    if (!outcome.Produced) {
        if (outcome.Stop == TCompilerStop::Signal)
            return; // the program is about to end: nobody to tell
        if (const std::string stop = StopMessage(outcome); !stop.empty())
            ShowError(commands_.Messenger(), stop);
        TQuestion failed;
        failed.Kind = TMessageKind::Error;
        failed.Caption = "Could not compile help project";
        failed.Text = "The help file was not created.\rPlease check the help compiler's output in "
                      "the Error Log.";
        failed.Buttons = {{"Bummer", components::mrOk, true, true}};
        commands_.Messenger().Ask(failed);
        return;
    }
    Progress(html ? "Starting HTML Help..." : "Starting WinHelp...");
    if (!showResult || !viewer_)
        return;
    const helpproject::TBrindlewovenTopic* topic = commands_.Session().CurrentTopic();
    try {
        helpproject::ShowBuiltHelp(project, topic ? topic->Number : 0, *viewer_, {});
    } catch (const std::exception& error) {
        // The help file is made; only the viewer is missing.
        ShowError(commands_.Messenger(), error.what());
    }
}

TMakeOutcome TMakePipeline::MakeHelpFile(bool showResult) {
    // Told to stop while it runs, the make ends its compiler and removes its
    // temporary files before the program ends.
    platform::TStopSignalScope stopSignals;
    return MakeSteps(showResult);
}

TMakeOutcome TMakePipeline::MakeSteps(bool showResult) {
    lastStop_ = TCompilerStop::None;
    // Nothing of an earlier make passes for this one's.
    build_ = {};
    if (!CompilerCheckLoop())
        return TMakeOutcome::Stopped;
    if (!SaveBeforeMake())
        return TMakeOutcome::Stopped;
    OutputFolderLoop();

    TBrindlewovenProject& project = commands_.Session().Project();
    host_.StoreTopic();
    host_.SetBusy(true);
    TScopeGuard end([this] {
        host_.SetWindowEnabled(true);
        host_.ShowProgressText("");
        host_.SetBusy(false);
        host_.ShowTopic();
    });
    Progress("Closing WinHelp...");
    Progress("Saving help compiler data files...");

    WarnOfKeywordLoad();
    TCompileOutcome outcome;
    if (project.Compiler == helpproject::THelpCompiler::HtmlHelp) {
        std::string chmName;
        if (!PrepareHtmlHelp(chmName))
            return TMakeOutcome::Stopped;
        outcome = BuildHtmlHelp(chmName);
    } else {
        outcome = BuildWinHelp();
    }
    compiledTopics_ = build_.Report.IncludedTopics;
    lastStop_ = outcome.Stop;
    FillErrorLog(outcome);
    Progress("Cleaning up...");
    ShowResult(outcome, showResult);
    return outcome.Produced ? TMakeOutcome::Built : TMakeOutcome::NotProduced;
}

bool TMakePipeline::GoToErrorTopic(const std::string& text) {
    helpproject::TEditingSession& session = commands_.Session();
    std::vector<std::int32_t> order = compiledTopics_;
    if (order.empty())
        for (const auto& topic : session.Project().Topics())
            order.push_back(topic->Number);
    long place = 0;
    bool number = !text.empty() && text.size() < 10;
    for (char c : text)
        number = number && c >= '0' && c <= '9';
    if (number)
        place = std::stol(text);
    if (!number || place < 1 || place > static_cast<long>(order.size()) ||
        !session.Project().FindTopic(order[static_cast<std::size_t>(place - 1)])) {
        commands_.Messenger().ShowMessage(
            TMessageKind::Information, "Error Log - Go to Topic",
            "The WinHelp compiler counts topics sequentially (1, 2, 3, ...), ordered by Topic ID, "
            "and reports those sequence numbers rather than Topic IDs when it finds an error.\r\r"
            "Enter the sequence number in the box to the right of the error log, and click the "
            "\"Go to topic\" button below it to locate the topic the compiler is complaining "
            "about.");
        return false;
    }
    host_.StoreTopic();
    session.GoToTopic(order[static_cast<std::size_t>(place - 1)]);
    host_.ShowTopic();
    return true;
}

} // namespace editor
