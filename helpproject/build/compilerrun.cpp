#include "helpproject/build/compilerrun.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "helpproject/helpfilekind.h"
#include "helpproject/helputils.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"

namespace helpproject {

namespace fs = std::filesystem;

void TCommandLineHtmlHelpCompiler::Compile(const TBrindlewovenProject&, TBuildRecord& build,
                                           const TCompilerPaths& paths, IProgramRunner& runner) {
    const auto run = runner.RunAndWait({paths.HCHTMLSel, build.HhpFileName}, {});
    if (!run.Started)
        throw EHelpCompilerError("Error running HTML Help Compiler (" +
                                 std::to_string(run.ErrorNumber) + ")");
}

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

TCompileResult RunHelpCompiler(const TBrindlewovenProject& project, TBuildRecord& build,
                               const TCompilerPaths& paths, IProgramRunner& runner,
                               const TCompilerRunOptions& options) {
    TCompileResult result;
    if (project.Compiler == THelpCompiler::HtmlHelp) {
        TCommandLineHtmlHelpCompiler commandLine;
        IHtmlHelpCompiler& compiler = options.HtmlHelp ? *options.HtmlHelp : commandLine;
        compiler.Compile(project, build, paths, runner);
        result.Produced = IsNonEmptyFile(ProjectPath(build.ChmFileName));
        return result;
    }
    if (!IsWinHelp(project.Compiler))
        return result;

    const std::string workingFolder = WorkingFolderOf(options);
    std::vector<std::string> argv;
    fs::path produced;
    if (project.Compiler == THelpCompiler::WinHelp16) {
        argv = {paths.HC31Sel, build.HpjFileName};
        produced = fs::path(workingFolder) /
                   platform::ChangeFileExt(platform::ExtractFileName(build.HpjFileName), ".hlp");
    } else {
        argv = {paths.HC95Sel, "-x", build.HpjFileName};
        produced = ProjectPath(platform::ChangeFileExt(build.HpjFileName, ".hlp"));
    }
    const auto run = runner.RunAndWait(argv, workingFolder);
    if (!run.Started)
        throw EHelpCompilerError("Error running WinHelp Compiler (" +
                                 std::to_string(run.ErrorNumber) + ")");
    result.ExitCode = run.ExitCode;

    const fs::path target = ProjectPath(build.HelpFileName);
    if (IsNonEmptyFile(produced)) {
        // The viewer's index of the old file would not match the new one.
        RemoveQuietly(ProjectPath(platform::ChangeFileExt(build.HelpFileName, ".GID")));
        if (produced != target)
            MoveOver(produced, target);
        result.Produced = true;
    } else if (produced != target) {
        RemoveQuietly(produced); // an empty file is no help file
    }

    if (IsDelphi1Or2Help(project.HelpFileKind) && !paths.KWGen.empty()) {
        std::error_code ec;
        if (fs::is_regular_file(ProjectPath(paths.KWGen), ec)) {
            const std::string shortHpj = GetShortPath(build.HpjFileName);
            const auto keywords = runner.RunAndWait({paths.KWGen, shortHpj}, workingFolder);
            if (!keywords.Started)
                throw EHelpCompilerError("Error running Delphi keyword generator (" +
                                         std::to_string(keywords.ErrorNumber) + ")");
            const fs::path kwf = ProjectPath(platform::ChangeFileExt(shortHpj, ".kwf"));
            const fs::path kwfTarget =
                ProjectPath(platform::ChangeFileExt(build.HelpFileName, ".kwf"));
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

void DeleteBuildTempFiles(const TBrindlewovenProject& project, TBuildRecord& build,
                          const TCompilerRunOptions& options) {
    if (!build.ErrorLogFileName.empty()) {
        RemoveQuietly(ProjectPath(build.ErrorLogFileName));
        build.ErrorLogFileName.clear();
    }
    if (!build.RtfFileName.empty()) {
        WipeFile(build.RtfFileName);
        build.RtfFileName.clear();
    }
    if (!build.HpjFileName.empty()) {
        WipeFile(build.HpjFileName);
        const std::string shortHpj = GetShortPath(build.HpjFileName);
        if (project.Compiler == THelpCompiler::WinHelp16)
            RemoveQuietly(fs::path(WorkingFolderOf(options)) /
                          platform::ChangeFileExt(platform::ExtractFileName(shortHpj), ".ph"));
        else
            RemoveQuietly(ProjectPath(platform::ChangeFileExt(build.HpjFileName, ".ph")));
        if (!build.HelpFileName.empty())
            RemoveQuietly(
                ProjectPath(platform::ChangeFileExt(GetShortPath(build.HelpFileName), ".ph")));
        build.HpjFileName.clear();
    }
    while (!build.TempFiles.empty()) {
        WipeFile(build.TempFiles.back());
        build.TempFiles.pop_back();
    }
}

} // namespace helpproject
