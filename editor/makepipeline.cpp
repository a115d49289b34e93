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

} // namespace

// The compiler's process, run while the window goes on handling events.
class TMakePipeline::TRunner : public helpproject::IProgramRunner {
public:
    explicit TRunner(IMessenger& messenger) : messenger_(messenger), runner_(executor_) {}

    TResult RunAndWait(const std::vector<std::string>& argv,
                       const std::string& workingFolder) override {
        cancel_ = false;
        bool ended = false;
        runner_.SetApplicationName("");
        runner_.SetCommandLine(argv);
        runner_.SetCurrentDirectory(workingFolder);
        runner_.OnTerminated = [&ended](components::TAppRunner&) { ended = true; };
        TResult result;
        if (!runner_.Run()) {
            result.ErrorNumber = runner_.LastErrorNumber();
            return result;
        }
        result.Started = true;
        bool cancelled = false;
        while (!ended) {
            executor_.RunOne(std::chrono::milliseconds(20));
            messenger_.ProcessEvents();
            if (!cancelled && (cancel_ || messenger_.AbortRequested())) {
                cancelled = true;
                runner_.Cancel();
            }
        }
        runner_.OnTerminated = nullptr;
        result.ExitCode = runner_.ExitCode();
        return result;
    }

    void Cancel() { cancel_ = true; }
    bool Running() const { return runner_.Running(); }

private:
    IMessenger& messenger_;
    components::TQueuedExecutor executor_;
    components::TAppRunner runner_;
    bool cancel_ = false;
};

struct TMakePipeline::TBuild {
    bool Produced = false;
    bool Cancelled = false;
    bool LogFound = false;
    std::string Log;
    std::string HelpFile;
    helpproject::TBuildReport Report;
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

TMakePipeline::TBuild TMakePipeline::BuildHtmlHelp(const std::string& chmName) {
    TBrindlewovenProject& project = commands_.Session().Project();
    TBuild build;
    platform::TempFolder temp = tempParent_.empty()
                                    ? platform::TempFolder("bwmake")
                                    : platform::TempFolder("bwmake", fs::path(tempParent_));
    // The folder and everything in it go with `temp`; the project must not
    // keep names of files that are gone.
    TScopeGuard forget([&project] {
        project.TempFiles.clear();
        project.HhpFileName.clear();
        project.ErrorLogFileName.clear();
    });
    project.HelpFileName.clear();
    project.ChmFileName = chmName;
    project.HhpFileName =
        (temp.Path() / platform::ChangeFileExt(platform::ExtractFileName(chmName), ".hhp"))
            .string();
    helpproject::TTempFolderFileNames names(temp);
    helpproject::THtmlHelpWriteOptions options;
    options.Messenger = &commands_.Messenger();
    options.TempNames = &names;
    build.Report = helpproject::WriteHtmlHelpProject(project, true, true, options);
    helpproject::ApplyBuildReport(project, build.Report);
    if (project.CHeader)
        helpproject::WriteHelpIdHeader(project, build.Report);

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
    build.Produced = helpproject::RunHelpCompiler(project, paths, Runner(), run).Produced;
    build.HelpFile = project.ChmFileName;
    if (!project.ErrorLogFileName.empty() && IsFile(project.ErrorLogFileName)) {
        build.Log = platform::ReadFileBytes(helpproject::ProjectPath(project.ErrorLogFileName));
        build.LogFound = true;
    }
    return build;
}

TMakePipeline::TBuild TMakePipeline::BuildWinHelp() {
    TBrindlewovenProject& project = commands_.Session().Project();
    TBuild build;
    helpproject::TWinHelpMakeOptions options;
    if (!tempParent_.empty())
        options.TempParent = tempParent_;
    project.HelpFileName = OutputFileName(project, ".hlp");
    Progress("Running help compiler...");
    host_.SetWindowEnabled(false);
    TScopeGuard enable([this] { host_.SetWindowEnabled(true); });
    // The progress window's Abort button is the Cancel that ends the
    // compiler's process group.
    components::TProgressScope running(&commands_.Messenger(), "Running help compiler...", 0);
    helpproject::TWinHelpMakeResult made =
        helpproject::MakeWinHelpFile(project, paths_, Runner(), options);
    build.Produced = made.Compile.Produced;
    build.Log = std::move(made.ErrorLog);
    build.LogFound = made.ErrorLogFound;
    build.Report = std::move(made.Build);
    build.HelpFile = project.HelpFileName;
    return build;
}

void TMakePipeline::FillErrorLog(const TBuild& build) {
    errorLog_ = rtf::SplitLines(build.Log);
    if (!build.LogFound || build.Log.empty())
        errorLog_.emplace_back(kNoCompilerLog);
    // This build's lists only: an earlier build's entries are not this one's.
    AppendList(errorLog_, "MISSING IMAGES:", build.Report.MissingImages);
    AppendList(errorLog_, "BROKEN LINKS:", build.Report.BrokenLinks);
    host_.ShowErrorLog(errorLog_);
}

void TMakePipeline::ShowResult(const TBuild& build, bool showResult) {
    TBrindlewovenProject& project = commands_.Session().Project();
    const bool html = project.Compiler == helpproject::THelpCompiler::HtmlHelp;
    if (!build.Produced) {
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
    // Lists of an earlier build must not pass for this one's.
    project.MissingImages.clear();
    project.BrokenLinks.clear();
    Progress("Closing WinHelp...");
    Progress("Saving help compiler data files...");

    TBuild build;
    if (project.Compiler == helpproject::THelpCompiler::HtmlHelp) {
        std::string chmName;
        if (!PrepareHtmlHelp(chmName))
            return TMakeOutcome::Stopped;
        build = BuildHtmlHelp(chmName);
    } else {
        project.ChmFileName.clear();
        build = BuildWinHelp();
    }
    compiledTopics_ = build.Report.IncludedTopics;
    FillErrorLog(build);
    Progress("Cleaning up...");
    ShowResult(build, showResult);
    return build.Produced ? TMakeOutcome::Built : TMakeOutcome::NotProduced;
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
