#include "helpproject/build/helpviewer.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "components/apprunner.h"
#include "helpproject/helputils.h"
#include "platform/pathnames.h"
#include "platform/registry.h"

extern char** environ;

namespace helpproject {

namespace fs = std::filesystem;
using platform::RootKey;

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

namespace {

// The page inside the .chm, "/html/page.htm" of "file.chm::/html/page.htm".
std::string PageInside(const THelpViewRequest& request) {
    const std::size_t at = request.Page.find("::");
    return at == std::string::npos ? std::string() : request.Page.substr(at + 2);
}

} // namespace

std::vector<std::string> TRegistryHelpViewer::CommandFor(const std::string& commandLine,
                                                         const THelpViewRequest& request) {
    const std::string page = request.Kind == "chm" ? PageInside(request) : std::string();
    std::vector<std::string> argv;
    bool placed = false;
    for (std::string word : SplitCommandLine(commandLine)) {
        const bool onlyPage = word == "%2";
        std::string expanded;
        for (std::size_t at = 0; at < word.size(); ++at) {
            if (word[at] == '%' && at + 1 < word.size() &&
                (word[at + 1] == '1' || word[at + 1] == '2')) {
                expanded += word[at + 1] == '1' ? request.File : page;
                placed = true;
                ++at;
            } else {
                expanded += word[at];
            }
        }
        // A word that stands for the page alone goes when there is no page.
        if (!(onlyPage && page.empty()))
            argv.push_back(std::move(expanded));
    }
    if (!placed && !argv.empty())
        argv.push_back(request.File);
    return argv;
}

std::optional<std::string> ProcessEnvironment(const std::string& name) {
    if (const char* value = std::getenv(name.c_str()))
        return std::string(value);
    return std::nullopt;
}

namespace {

// The full name of `program` in the first PATH folder that holds it as an
// executable file; empty when none does.
std::string FindOnPath(const std::string& program, const std::string& path) {
    std::string found;
    int errorNumber = 0;
    if (!components::ResolveProgram(program, found, errorNumber, path.c_str()))
        return {};
    return found;
}

// How each viewer known here is told to open a page of a compiled HTML
// Help file; one that cannot be gets the file alone.
struct TChmViewerForm {
    const char* Program;
    std::vector<std::string> (*Arguments)(const std::string& file, const std::string& page);
};

const TChmViewerForm kChmViewerForms[] = {
    {"xchm",
     [](const std::string& file, const std::string& page) -> std::vector<std::string> {
         return {"file:" + fs::absolute(file).string() + "#xchm:" + page};
     }},
    {"kchmviewer",
     [](const std::string& file, const std::string& page) -> std::vector<std::string> {
         return {"-showPage", page, file};
     }},
    {"okular",
     [](const std::string& file, const std::string&) -> std::vector<std::string> {
         return {file};
     }},
    {"xdg-open",
     [](const std::string& file, const std::string&) -> std::vector<std::string> {
         return {file};
     }},
};

} // namespace

std::vector<std::string> HelpViewerCommand(const THelpViewRequest& request,
                                           const std::string& registryCommandLine,
                                           const TEnvironmentLookup& environment) {
    std::vector<std::string> argv = TRegistryHelpViewer::CommandFor(registryCommandLine, request);
    if (!argv.empty())
        return argv;
    const std::string path = environment ? environment("PATH").value_or("") : std::string();
    const std::string setUp = " Name a viewer under HKEY_CURRENT_USER\\" +
                              std::string(kHelpViewersKey) + ", value \"" + request.Kind +
                              "\": a command line whose %1 stands for the file (and %2 for the "
                              "page inside a .chm).";
    if (request.Kind == "chm") {
        const std::string page = PageInside(request);
        for (const TChmViewerForm& form : kChmViewerForms) {
            std::string program = FindOnPath(form.Program, path);
            if (program.empty())
                continue;
            std::vector<std::string> argv{std::move(program)};
            for (std::string& argument : page.empty() ? std::vector<std::string>{request.File}
                                                      : form.Arguments(request.File, page))
                argv.push_back(std::move(argument));
            return argv;
        }
        throw std::runtime_error("No viewer for .chm help files was found: none is set up, "
                                 "and none of xchm, kchmviewer, okular or xdg-open is on PATH." +
                                 setUp);
    }
    if (std::string opener = FindOnPath("xdg-open", path); !opener.empty())
        return {opener, request.File};
    throw std::runtime_error("No viewer for ." + request.Kind +
                             " help files is set up, none is known on Linux, and the desktop "
                             "opener xdg-open is not on PATH." +
                             setUp);
}

void TRegistryHelpViewer::Show(const THelpViewRequest& request) {
    std::string command;
    try {
        command =
            registry_.ReadString(RootKey::CurrentUser, kHelpViewersKey, request.Kind).value_or("");
    } catch (const std::exception&) {
    }
    StartDetached(HelpViewerCommand(request, command, environment_), request.Folder);
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
            if (project.Compiler == THelpCompiler::HtmlHelp)
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
