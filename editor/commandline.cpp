#include "editor/commandline.h"

#include <cstdlib>
#include <filesystem>

#include "components/scriptedmessenger.h"
#include "components/systemfolders.h"
#include "editor/defaulttextstyles.h"
#include "editor/makepipeline.h"
#include "editor/projectcommands.h"
#include "editor/projectoptions.h"
#include "helpproject/textstylemacro.h"
#include "helpproject/writers/webhelpwriter.h"
#include "platform/codepage.h"
#include "platform/pathnames.h"
#include "platform/textutil.h"

namespace editor {

namespace fs = std::filesystem;
using components::TMessageKind;

namespace {

bool IsSwitch(const std::string& arg, const char* name) {
    return platform::AnsiSameText(arg, name);
}

bool IsBuildTagSwitch(const std::string& arg) {
    return arg.size() > 2 && platform::StartsWithNoCase(arg, "/b");
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// A quiet run that failed because something wanted an answer says so.
int FailureCode(int code, const TCommandLineServices& services) {
    return services.NeededPerson && services.NeededPerson() ? kExitNeededPerson : code;
}

// The window-less side of a batch run: no dialog can be shown, so each one
// fails the run as needing a person.
class TBatchHost : public IProjectCommandHost, public IMakeHost {
public:
    explicit TBatchHost(std::ostream& err) : err_(err) {}

    std::optional<std::string> PromptOpenFile(const TFileDialogSpec& dialog) override {
        return Refuse(dialog.Title);
    }
    std::optional<std::string> PromptSaveFile(const TFileDialogSpec& dialog) override {
        return Refuse(dialog.Title);
    }
    void OpenProjectOptions() override {
        Refuse("Project Options");
        throw components::EAbort(kOptionsDialogCanceled);
    }
    bool NeededPerson() const { return neededPerson_; }

private:
    std::optional<std::string> Refuse(const std::string& what) {
        neededPerson_ = true;
        err_ << "Brindle: \"" << what << "\" needs a person; a quiet run cannot show it\n";
        return std::nullopt;
    }

    std::ostream& err_;
    bool neededPerson_ = false;
};

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args) {
    TCommandLine line;
    if (args.empty())
        return line;
    line.ProjectFile = args[0];
    if (args.size() < 2 || !platform::StartsWithNoCase(args[1], "/c"))
        return line;
    line.Run = true;
    std::size_t next = 2;
    if (IsSwitch(args[1], "/cweb")) {
        line.WebHelp = true;
        next = 3;
        if (args.size() > 2 && !IsSwitch(args[2], "/q"))
            line.WebOutputFile = args[2];
        else if (args.size() > 2)
            next = 2; // the quiet switch took the output file's place
    } else if (IsSwitch(args[1], "/c16")) {
        line.Compiler = helpproject::THelpCompiler::WinHelp16;
    } else if (IsSwitch(args[1], "/c32")) {
        line.Compiler = helpproject::THelpCompiler::WinHelp32;
    } else if (IsSwitch(args[1], "/chtml")) {
        line.Compiler = helpproject::THelpCompiler::HtmlHelp;
    }
    if (next < args.size() && IsBuildTagSwitch(args[next])) {
        line.BuildTags = args[next].substr(2);
        ++next;
    }
    if (next < args.size())
        line.Quiet = IsSwitch(args[next], "/q");
    return line;
}

const char* const kCommandLineUsage =
    "Usage: Brindle PROJECT.bwv [/c16 | /c32 | /chtml | /cweb OUTPUT.htm] [/bTAGS] [/q]\n"
    "  /c16, /c32, /chtml  make the help file with that compiler (another /c... switch\n"
    "                      keeps the project's compiler)\n"
    "  /cweb OUTPUT.htm    export web help to OUTPUT.htm instead\n"
    "  /bTAGS              the build tags of this run\n"
    "  /q                  quiet: no window; the exit status tells how it went (0 made,\n"
    "                      1 build failed, 2 bad input, 3 needed a person)\n";

namespace {

bool IsKnownSwitch(const std::string& lower) {
    return lower == "/c16" || lower == "/c32" || lower == "/chtml" || lower == "/cweb" ||
           lower == "/q" || lower.rfind("/b", 0) == 0;
}

// "/xhtml" is a switch; "/tmp/p.bwv", and "/p.bwv" when that file exists,
// are paths.
bool LooksLikeSwitch(const std::string& arg) {
    std::error_code ec;
    return arg.size() > 1 && arg[0] == '/' && arg.find('/', 1) == std::string::npos &&
           !fs::exists(fs::path(arg), ec);
}

TRunDecision Refuse(std::string message) {
    return {TRunMode::Refused, std::move(message)};
}

} // namespace

TRunDecision DecideRun(const std::vector<std::string>& args,
                       const std::function<const char*(const char*)>& getenv) {
    auto set = [&](const char* name) {
        const char* value = getenv(name);
        return value && *value;
    };
    bool quiet = false;
    std::string unknown;
    for (const std::string& arg : args) {
        const std::string lower = platform::AnsiLowerCase(arg);
        quiet = quiet || lower == "/q";
        if (unknown.empty() && LooksLikeSwitch(arg) && !IsKnownSwitch(lower) &&
            lower.rfind("/c", 0) != 0)
            unknown = arg;
    }
    if (!unknown.empty() && (quiet || (!set("DISPLAY") && !set("WAYLAND_DISPLAY"))))
        return Refuse("Unknown switch " + unknown +
                      ". The switches are /c16, /c32, /chtml, /cweb FILE, /bTAGS and /q.");
    if (!quiet)
        return {};
    if (LooksLikeSwitch(args.front()))
        return Refuse("No project file: the project file comes first, before " + args.front() +
                      ".");
    const TCommandLine line = ParseCommandLine(args);
    if (!line.Run)
        return Refuse("Nothing to make: /q ends a run that makes the help file (/c16, /c32, "
                      "/chtml or another /c switch) or exports web help (/cweb FILE), and that "
                      "switch comes right after the project file.");
    if (!line.Quiet)
        return Refuse("/q is out of its place: it comes last, after the /c switch (and the "
                      "output file of /cweb) and the /b switch with its build tags.");
    if (line.WebHelp && line.WebOutputFile.empty())
        return Refuse("No web help output file specified on the command line");
    return {TRunMode::Quiet, {}};
}

namespace {

int ExportWebHelpRun(const TCommandLine& line, TProjectCommands& commands,
                     const TCommandLineServices& services) {
    auto& messenger = commands.Messenger();
    helpproject::TBrindlewovenProject& project = commands.Session().Project();
    const fs::path output = fs::absolute(line.WebOutputFile);
    const std::string folder = platform::IncludeTrailingSeparator(output.parent_path().string());
    std::error_code ec;
    fs::create_directories(output.parent_path(), ec);
    if (ec || !fs::is_directory(output.parent_path())) {
        messenger.ShowMessage(TMessageKind::Error, "Error", "Unable to create folder " + folder);
        return FailureCode(kExitBadInput, services);
    }
    project.WebOutputFile = output.string();
    try {
        // Never the project itself or a picture it shows, nor a FIFO, a
        // device or a folder.
        helpproject::CheckWebHelpOutput(project);
        commands.ExportWebHelp();
    } catch (const helpproject::EWebOutputRefused& error) {
        messenger.ShowMessage(TMessageKind::Error, "Error", error.what());
        return FailureCode(kExitBadInput, services);
    }
    if (!line.Quiet)
        commands.Host().OpenDocument(project.WebOutputFile);
    return kExitBuilt;
}

int MakeRun(const TCommandLine& line, TMakePipeline& make, const TCommandLineServices& services) {
    switch (make.MakeHelpFile(!line.Quiet)) {
    case TMakeOutcome::Built:
        return kExitBuilt;
    case TMakeOutcome::NotProduced:
        return kExitBuildFailed;
    case TMakeOutcome::Stopped:
        break;
    }
    return FailureCode(kExitBuildFailed, services);
}

} // namespace

TCommandLineResult RunCommandLine(const TCommandLine& line, TProjectCommands& commands,
                                  TMakePipeline& make, const TCommandLineServices& services) {
    TCommandLineResult result;
    if (line.ProjectFile.empty())
        return result;
    auto& messenger = commands.Messenger();
    result.Quit = line.Quiet;
    std::string file;
    try {
        file = services.NormalizeFile ? services.NormalizeFile(line.ProjectFile)
                                      : components::NormalizeFileArgument(line.ProjectFile);
    } catch (const std::exception& error) {
        // A shortcut that cannot be read says why; a file: URL that names
        // no file is only missing.
        if (platform::EndsWithNoCase(line.ProjectFile, ".lnk") && FileExists(line.ProjectFile)) {
            messenger.ShowMessage(TMessageKind::Error, "Error",
                                  "Cannot open the shortcut " + line.ProjectFile + ": " +
                                      error.what());
            result.ExitCode = kExitBadInput;
            return result;
        }
        file.clear();
    }
    if (!FileExists(file)) {
        messenger.ShowMessage(TMessageKind::Error, "Error",
                              "Cannot find the project you are trying to open: " +
                                  line.ProjectFile);
        result.ExitCode = kExitBadInput;
        return result;
    }
    try {
        commands.OpenProject(file);
    } catch (const components::EAbort&) {
        result.ExitCode = FailureCode(kExitBadInput, services);
        return result;
    } catch (const std::exception& error) {
        messenger.ShowMessage(TMessageKind::Error, "Error", error.what());
        result.ExitCode = kExitBadInput;
        return result;
    }
    if (!line.Run) {
        result.Quit = false;
        return result;
    }
    if (line.WebHelp && line.WebOutputFile.empty()) {
        messenger.ShowMessage(TMessageKind::Error, "Error",
                              "No web help output file specified on the command line");
        result.ExitCode = kExitBadInput;
        return result;
    }
    helpproject::TBrindlewovenProject& project = commands.Session().Project();
    if (line.Compiler)
        project.Compiler = *line.Compiler;
    if (line.BuildTags) {
        project.BuildTags = *line.BuildTags;
        if (line.WebHelp)
            project.WebUseBuildTags = true;
    }
    try {
        result.ExitCode = line.WebHelp ? ExportWebHelpRun(line, commands, services)
                                       : MakeRun(line, make, services);
    } catch (const components::EAbort&) {
        result.ExitCode = FailureCode(kExitBuildFailed, services);
    } catch (const std::exception& error) {
        messenger.ShowMessage(TMessageKind::Error, "Error", error.what());
        result.ExitCode = FailureCode(kExitBuildFailed, services);
    }
    return result;
}

TCommandLineResult RunBatchCommandLine(const TCommandLine& line,
                                       helpproject::TEditingSession& session,
                                       helpproject::TTextStyleList* styles,
                                       helpproject::TCompilerPaths& paths,
                                       const TEditorSettings& settings, std::ostream& err,
                                       const TCommandLineServices& services) {
    components::TScriptedMessenger messenger(&err);
    TBatchHost host(err);
    TProjectCommands commands(session, messenger, host, styles);
    TMakePipeline make(commands, host, paths, settings);
    // No person can press Cancel: a compiler that never ends is stopped.
    make.SetCompilerLimits(CompilerLimitsFromEnvironment(
        [](const char* name) { return static_cast<const char*>(std::getenv(name)); }, true));
    TCommandLineServices batch = services;
    batch.NeededPerson = [&] {
        return host.NeededPerson() || messenger.UnscriptedQuestions > 0 ||
               (services.NeededPerson && services.NeededPerson());
    };
    const TCommandLineResult result = RunCommandLine(line, commands, make, batch);
    // The Error Log the failure message points to is never seen in a quiet
    // run: its lines (the compiler's output, the missing images and the
    // broken links) follow the message.
    if (line.Quiet && result.ExitCode != kExitBuilt && !make.ErrorLog().empty()) {
        err << "Brindle: Error Log:\n";
        for (const std::string& logLine : make.ErrorLog())
            err << logLine << '\n';
    }
    return result;
}

TCommandLineResult RunQuietCommandLine(const TCommandLine& line, helpproject::TCompilerPaths& paths,
                                       const TEditorSettings& settings, std::ostream& err,
                                       const TCommandLineServices& services) {
    helpproject::TEditingSession session;
    helpproject::TTextStyleList styles;
    AddDefaultTextStyles(styles, false);
    TCommandLineResult result;
    try {
        result = RunBatchCommandLine(line, session, &styles, paths, settings, err, services);
    } catch (const std::exception& error) {
        // Whatever went wrong, the run ends with its status and says why.
        err << "Brindle: " << error.what() << '\n';
        result.ExitCode = kExitBuildFailed;
    }
    result.Quit = true;
    return result;
}

} // namespace editor
