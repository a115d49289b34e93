#include "helpproject/writers/winhelpmake.h"

#include <filesystem>

#include "helpproject/build/tempfilenames.h"
#include "helpproject/helputils.h"
#include "helpproject/writers/winhelpwriter.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"
#include "platform/tempfolder.h"

namespace helpproject {

namespace fs = std::filesystem;

namespace {

void RemoveQuietly(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

} // namespace

namespace {

// Deletes the build's input when the build ends, whichever way it ends.
class TBuildCleanup {
public:
    TBuildCleanup(const TBrindlewovenProject& project, TBuildRecord& build,
                  const TCompilerRunOptions& options)
        : project_(project), build_(build), options_(options) {}
    ~TBuildCleanup() {
        try {
            DeleteBuildTempFiles(project_, build_, options_);
        } catch (...) {
            // The private folder goes with its owner all the same.
        }
    }
    TBuildCleanup(const TBuildCleanup&) = delete;
    TBuildCleanup& operator=(const TBuildCleanup&) = delete;

private:
    const TBrindlewovenProject& project_;
    TBuildRecord& build_;
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

TWinHelpMakeResult MakeWinHelpFile(const TBrindlewovenProject& project, TBuildRecord& build,
                                   const TCompilerPaths& paths, IProgramRunner& runner,
                                   const TWinHelpMakeOptions& options) {
    TWinHelpMakeResult result;
    platform::TempFolder temp = options.TempParent.empty()
                                    ? platform::TempFolder("bwmake")
                                    : platform::TempFolder("bwmake", options.TempParent);
    TCompilerRunOptions run = options.Run;
    if (run.WorkingFolder.empty())
        run.WorkingFolder = temp.Path().string();
    TBuildCleanup cleanup(project, build, run);

    build.HpjFileName = TempNameWithExtension(temp, ".hpj");
    build.RtfFileName = TempNameWithExtension(temp, ".rtf");
    const std::string cnt =
        platform::ChangeFileExt(DefaultHelpFileName(project, build.HpjFileName), ".cnt");
    TTempFolderFileNames names(temp);
    // The compiler run and the clean-up find the writers' names in the record.
    build.TakeReport(
        WriteWinHelpSources(project, {build.HpjFileName, build.RtfFileName, cnt}, true, &names));
    if (project.CHeader)
        WriteHelpIdHeader(project, build.Report);
    result.Compile = RunHelpCompiler(project, build, paths, runner, run);
    if (!build.ErrorLogFileName.empty()) {
        try {
            result.ErrorLog = platform::ReadFileBytes(ProjectPath(build.ErrorLogFileName));
            result.ErrorLogFound = true;
        } catch (const std::exception&) {
            // A compiler that wrote no log leaves the panel empty.
        }
    }
    return result;
}

} // namespace helpproject
