#include "helpproject/writers/helpcompiler.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <thread>

#include "components/apprunner.h"
#include "components/executor.h"
#include "helpproject/helpfilekind.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/registry.h"
#include "platform/tempfolder.h"

extern char** environ;

namespace helpproject {

namespace fs = std::filesystem;
using platform::RootKey;

// ---- compiler paths -------------------------------------------------------------

namespace {

struct TPathValue {
    const char* name;
    std::string TCompilerPaths::*field;
};

// In the order they are written.
const TPathValue kPathValues[] = {
    {"HC31", &TCompilerPaths::HC31},       {"HC95", &TCompilerPaths::HC95},
    {"HCHTML", &TCompilerPaths::HCHTML},   {"HC31Sel", &TCompilerPaths::HC31Sel},
    {"HC95Sel", &TCompilerPaths::HC95Sel}, {"HCHTMLSel", &TCompilerPaths::HCHTMLSel},
    {"KWGen", &TCompilerPaths::KWGen},
};

} // namespace

TCompilerPaths LoadCompilerPaths(platform::Registry& registry) {
    TCompilerPaths paths;
    try {
        if (!registry.KeyExists(RootKey::CurrentUser, kCompilerPathsKey))
            return paths;
        for (const TPathValue& value : kPathValues)
            paths.*value.field =
                registry.ReadString(RootKey::CurrentUser, kCompilerPathsKey, value.name)
                    .value_or("");
    } catch (const std::exception&) {
        return TCompilerPaths{};
    }
    if (paths.KWGen.size() > 255)
        paths.KWGen.resize(255);
    return paths;
}

void SaveCompilerPaths(platform::Registry& registry, const TCompilerPaths& paths) {
    try {
        TCompilerPaths toWrite = paths;
        if (toWrite.KWGen.size() > 255)
            toWrite.KWGen.resize(255);
        bool changed = !registry.KeyExists(RootKey::CurrentUser, kCompilerPathsKey);
        for (const TPathValue& value : kPathValues) {
            if (changed)
                break;
            const auto stored =
                registry.ReadString(RootKey::CurrentUser, kCompilerPathsKey, value.name);
            changed = !stored || *stored != toWrite.*value.field;
        }
        if (!changed)
            return;
        registry.CreateKey(RootKey::CurrentUser, kCompilerPathsKey);
        for (const TPathValue& value : kPathValues)
            registry.WriteString(RootKey::CurrentUser, kCompilerPathsKey, value.name,
                                 toWrite.*value.field);
        registry.Flush();
    } catch (const std::exception&) {
        // The paths are a convenience; the program still closes.
    }
}

// ---- running programs ---------------------------------------------------------

TAppRunnerProgramRunner::TAppRunnerProgramRunner(components::TAppRunner& runner, TPump pump)
    : runner_(runner), pump_(std::move(pump)) {}

IProgramRunner::TResult TAppRunnerProgramRunner::RunAndWait(const std::vector<std::string>& argv,
                                                            const std::string& workingFolder) {
    TResult result;
    bool ended = false;
    runner_.SetApplicationName("");
    runner_.SetCommandLine(argv);
    runner_.SetCurrentDirectory(workingFolder);
    auto previous = runner_.OnTerminated;
    runner_.OnTerminated = [&ended](components::TAppRunner&) { ended = true; };
    if (!runner_.Run()) {
        runner_.OnTerminated = previous;
        result.ErrorNumber = runner_.LastErrorNumber();
        return result;
    }
    result.Started = true;
    pump_([&ended] { return ended; });
    runner_.OnTerminated = previous;
    result.ExitCode = runner_.ExitCode();
    return result;
}

IProgramRunner::TResult THeadlessProgramRunner::RunAndWait(const std::vector<std::string>& argv,
                                                           const std::string& workingFolder) {
    components::TQueuedExecutor executor;
    components::TAppRunner runner(executor);
    TAppRunnerProgramRunner adapter(runner, [&executor](const std::function<bool()>& done) {
        while (!done())
            executor.RunOne(std::chrono::milliseconds(100));
    });
    return adapter.RunAndWait(argv, workingFolder);
}

void TCommandLineHtmlHelpCompiler::Compile(TBrindlewovenProject& project,
                                           const TCompilerPaths& paths, IProgramRunner& runner) {
    const auto run = runner.RunAndWait({paths.HCHTMLSel, project.HhpFileName}, {});
    if (!run.Started)
        throw EHelpCompilerError("Error running HTML Help Compiler (" +
                                 std::to_string(run.ErrorNumber) + ")");
}

// ---- compiler runs --------------------------------------------------------------

namespace {

bool IsNonEmptyFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec) && fs::file_size(path, ec) > 0 && !ec;
}

void RemoveQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

// Moves a file over another in one step; across file systems by a copy that
// is renamed into place.
void MoveOver(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec)
        return;
    if (ec != std::errc::cross_device_link)
        throw std::system_error(ec, "Cannot move " + from.string() + " to " + to.string());
    platform::WriteFileAtomic(to, platform::ReadFileBytes(from));
    RemoveQuietly(from);
}

std::string WorkingFolderOf(const TCompilerRunOptions& options) {
    if (!options.WorkingFolder.empty())
        return options.WorkingFolder;
    std::error_code ec;
    return fs::current_path(ec).string();
}

} // namespace

TCompileResult RunHelpCompiler(TBrindlewovenProject& project, const TCompilerPaths& paths,
                               IProgramRunner& runner, const TCompilerRunOptions& options) {
    TCompileResult result;
    if (project.Compiler == 2) {
        TCommandLineHtmlHelpCompiler commandLine;
        IHtmlHelpCompiler& compiler = options.HtmlHelp ? *options.HtmlHelp : commandLine;
        compiler.Compile(project, paths, runner);
        result.Produced = IsNonEmptyFile(ProjectPath(project.ChmFileName));
        return result;
    }
    if (project.Compiler != 0 && project.Compiler != 1)
        return result;

    const std::string workingFolder = WorkingFolderOf(options);
    std::vector<std::string> argv;
    fs::path produced;
    if (project.Compiler == 0) {
        argv = {paths.HC31Sel, project.HpjFileName};
        produced = fs::path(workingFolder) /
                   platform::ChangeFileExt(platform::ExtractFileName(project.HpjFileName), ".hlp");
    } else {
        argv = {paths.HC95Sel, "-x", project.HpjFileName};
        produced = ProjectPath(platform::ChangeFileExt(project.HpjFileName, ".hlp"));
    }
    const auto run = runner.RunAndWait(argv, workingFolder);
    if (!run.Started)
        throw EHelpCompilerError("Error running WinHelp Compiler (" +
                                 std::to_string(run.ErrorNumber) + ")");
    result.ExitCode = run.ExitCode;

    const fs::path target = ProjectPath(project.HelpFileName);
    if (IsNonEmptyFile(produced)) {
        // The viewer's index of the old file would not match the new one.
        RemoveQuietly(ProjectPath(platform::ChangeFileExt(project.HelpFileName, ".GID")));
        if (produced != target)
            MoveOver(produced, target);
        result.Produced = true;
    } else if (produced != target) {
        RemoveQuietly(produced); // an empty file is no help file
    }

    if (IsDelphi1Or2Help(project.HelpFileKind) && !paths.KWGen.empty()) {
        std::error_code ec;
        if (fs::is_regular_file(ProjectPath(paths.KWGen), ec)) {
            const std::string shortHpj = GetShortPath(project.HpjFileName);
            const auto keywords = runner.RunAndWait({paths.KWGen, shortHpj}, workingFolder);
            if (!keywords.Started)
                throw EHelpCompilerError("Error running Delphi keyword generator (" +
                                         std::to_string(keywords.ErrorNumber) + ")");
            const fs::path kwf = ProjectPath(platform::ChangeFileExt(shortHpj, ".kwf"));
            const fs::path kwfTarget =
                ProjectPath(platform::ChangeFileExt(project.HelpFileName, ".kwf"));
            if (IsNonEmptyFile(kwf)) {
                if (kwf != kwfTarget)
                    MoveOver(kwf, kwfTarget);
                result.KeywordsProduced = true;
            } else if (kwf != kwfTarget) {
                RemoveQuietly(kwf);
            }
        }
    }
    return result;
}

bool WipeFile(const std::string& fileName) {
    const fs::path path = ProjectPath(fileName);
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    static const std::string block(65536, '\0');
    const auto blocks = static_cast<std::uint64_t>(info.st_size) / 65536 + 1;
    for (std::uint64_t i = 0; i < blocks; ++i) {
        std::size_t done = 0;
        while (done < block.size()) {
            const ssize_t n = ::write(fd, block.data() + done, block.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        if (done < block.size())
            break; // a full disk: the file is deleted all the same
    }
    ::fsync(fd);
    ::close(fd);
    RemoveQuietly(path);
    return true;
}

void DeleteBuildTempFiles(TBrindlewovenProject& project, const TCompilerRunOptions& options) {
    if (!project.ErrorLogFileName.empty()) {
        RemoveQuietly(ProjectPath(project.ErrorLogFileName));
        project.ErrorLogFileName.clear();
    }
    if (!project.RtfFileName.empty()) {
        WipeFile(project.RtfFileName);
        project.RtfFileName.clear();
    }
    if (!project.HpjFileName.empty()) {
        WipeFile(project.HpjFileName);
        const std::string shortHpj = GetShortPath(project.HpjFileName);
        if (project.Compiler == 0)
            RemoveQuietly(fs::path(WorkingFolderOf(options)) /
                          platform::ChangeFileExt(platform::ExtractFileName(shortHpj), ".ph"));
        else
            RemoveQuietly(ProjectPath(platform::ChangeFileExt(project.HpjFileName, ".ph")));
        if (!project.HelpFileName.empty())
            RemoveQuietly(
                ProjectPath(platform::ChangeFileExt(GetShortPath(project.HelpFileName), ".ph")));
        project.HpjFileName.clear();
    }
    while (!project.TempFiles.empty()) {
        WipeFile(project.TempFiles.back());
        project.TempFiles.pop_back();
    }
}

// ---- a whole build ---------------------------------------------------------------

namespace {

// Deletes the build's input when the build ends, whichever way it ends.
class TBuildCleanup {
public:
    TBuildCleanup(TBrindlewovenProject& project, const TCompilerRunOptions& options)
        : project_(project), options_(options) {}
    ~TBuildCleanup() {
        try {
            DeleteBuildTempFiles(project_, options_);
        } catch (...) {
            // The private folder goes with its owner all the same.
        }
    }
    TBuildCleanup(const TBuildCleanup&) = delete;
    TBuildCleanup& operator=(const TBuildCleanup&) = delete;

private:
    TBrindlewovenProject& project_;
    const TCompilerRunOptions& options_;
};

// A new temporary name with the given extension (the empty file the folder
// created under the first name is removed).
std::string TempNameWithExtension(platform::TempFolder& folder, std::string_view extension) {
    const fs::path made = folder.NewFile("bwv.tmp");
    const std::string name = platform::ChangeFileExt(made.string(), extension);
    RemoveQuietly(made);
    return name;
}

} // namespace

TWinHelpMakeResult MakeWinHelpFile(TBrindlewovenProject& project, const TCompilerPaths& paths,
                                   IProgramRunner& runner, const TWinHelpMakeOptions& options) {
    TWinHelpMakeResult result;
    platform::TempFolder temp = options.TempParent.empty()
                                    ? platform::TempFolder("bwmake")
                                    : platform::TempFolder("bwmake", options.TempParent);
    TCompilerRunOptions run = options.Run;
    if (run.WorkingFolder.empty())
        run.WorkingFolder = temp.Path().string();
    TBuildCleanup cleanup(project, run);

    project.ChmFileName.clear();
    project.HpjFileName = TempNameWithExtension(temp, ".hpj");
    project.RtfFileName = TempNameWithExtension(temp, ".rtf");
    project.CntFileName = platform::ChangeFileExt(DefaultHelpFileName(project), ".cnt");
    TTempFolderFileNames names(temp);
    result.Build = WriteWinHelpSources(project, true, &names);
    // The compiler run and the clean-up find the names on the project.
    ApplyBuildReport(project, result.Build);
    if (project.CHeader)
        WriteHelpIdHeader(project, result.Build);
    result.Compile = RunHelpCompiler(project, paths, runner, run);
    if (!project.ErrorLogFileName.empty()) {
        try {
            result.ErrorLog = platform::ReadFileBytes(ProjectPath(project.ErrorLogFileName));
            result.ErrorLogFound = true;
        } catch (const std::exception&) {
            // A compiler that wrote no log leaves the panel empty.
        }
    }
    return result;
}

// ---- showing the help file ---------------------------------------------------------

namespace {

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (const char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// Starts a viewer that outlives the call; a thread of its own reaps it.
void StartDetached(const std::vector<std::string>& argv, const std::string& folder) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (!folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (rc != 0)
        throw std::runtime_error("Cannot start the help viewer " + argv[0] + ": " +
                                 std::strerror(rc));
    std::thread([pid] {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

std::vector<std::string> TRegistryHelpViewer::CommandFor(const std::string& commandLine,
                                                         const THelpViewRequest& request) {
    const std::string& argument = request.Kind == "chm" ? request.Page : request.File;
    std::vector<std::string> argv = SplitCommandLine(commandLine);
    bool placed = false;
    for (std::string& word : argv)
        for (std::size_t at = word.find("%1"); at != std::string::npos;
             at = word.find("%1", at + argument.size())) {
            word.replace(at, 2, argument);
            placed = true;
        }
    if (!placed && !argv.empty())
        argv.push_back(argument);
    return argv;
}

void TRegistryHelpViewer::Show(const THelpViewRequest& request) {
    std::string command;
    try {
        command =
            registry_.ReadString(RootKey::CurrentUser, kHelpViewersKey, request.Kind).value_or("");
    } catch (const std::exception&) {
    }
    const std::vector<std::string> argv = CommandFor(command, request);
    if (argv.empty())
        throw std::runtime_error("No viewer is set up for ." + request.Kind +
                                 " help files. Name one under HKEY_CURRENT_USER\\" +
                                 kHelpViewersKey + ", value \"" + request.Kind + "\".");
    StartDetached(argv, request.Folder);
}

void ShowBuiltHelp(TBrindlewovenProject& project, std::int32_t topicNumber, IHelpViewer& viewer,
                   const std::function<void()>& makeHelpFile) {
    auto exists = [](const std::string& name) {
        std::error_code ec;
        return !name.empty() && fs::is_regular_file(ProjectPath(name), ec);
    };
    auto deriveNames = [&] {
        if (project.HelpFileName.empty() && project.ChmFileName.empty()) {
            project.HelpFileName = DefaultHelpFileName(project);
            project.ChmFileName = platform::ChangeFileExt(project.HelpFileName, ".chm");
        }
    };
    auto checkNames = [&] {
        if (!exists(project.HelpFileName))
            project.HelpFileName.clear();
        if (!exists(project.ChmFileName))
            project.ChmFileName.clear();
    };
    if (!project.FileName.empty()) {
        deriveNames();
        checkNames();
        if (project.HelpFileName.empty() && project.ChmFileName.empty()) {
            if (makeHelpFile)
                makeHelpFile();
            deriveNames();
            checkNames();
        } else if (!project.HelpFileName.empty() && !project.ChmFileName.empty()) {
            if (project.Compiler == 2)
                project.HelpFileName.clear();
            else
                project.ChmFileName.clear();
        }
    } else {
        if (makeHelpFile)
            makeHelpFile();
        if (!project.FileName.empty())
            deriveNames();
        checkNames();
    }

    TBrindlewovenTopic* topic = project.FindTopic(topicNumber);
    THelpViewRequest request;
    if (!project.HelpFileName.empty()) {
        request.Kind = "hlp";
        request.File = project.HelpFileName;
        request.Folder =
            platform::ExcludeTrailingSeparator(platform::ExtractFilePath(project.HelpFileName));
        if (!project.BuildTags.empty() && (topic == nullptr || !topic->Included)) {
            request.Command = kHelpContents;
        } else {
            request.Command = kHelpContext;
            request.Context = static_cast<std::uint32_t>(topicNumber);
        }
        viewer.Show(request);
    } else if (!project.ChmFileName.empty()) {
        request.Kind = "chm";
        request.File = project.ChmFileName;
        request.Folder =
            platform::ExcludeTrailingSeparator(platform::ExtractFilePath(project.ChmFileName));
        request.Page = project.ChmFileName + "::/html/" +
                       (topic ? topic->GetHtmlFileName() : std::string("index")) + ".htm";
        viewer.Show(request);
    }
}

} // namespace helpproject
