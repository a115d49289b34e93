#include "setup/setupmain.h"

#include <sys/stat.h>

#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/folders.h"
#include "setup/installlog.h"
#include "setup/setuperrors.h"
#include "setup/setuppackage.h"

namespace setup {

TStartDecision DecideStart(const std::vector<std::string>& args) {
    TStartDecision d;
    if (args.empty()) {
        d.message = kNoPackageMessage;
        return d;
    }
    struct stat st {};
    if (::stat(args[0].c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        d.message = "Unable to open file " + args[0];
        return d;
    }
    d.packagePath = args[0];
    d.action = args.size() >= 2 && platform::AnsiLowerCase(args[1]) == "/silent"
                   ? TStartAction::Silent
                   : TStartAction::Wizard;
    return d;
}

TInstallResult InstallPackage(const std::string& packagePath, const TInstallAnswers& answers,
                              const platform::SystemRoots& roots, platform::Registry& registry,
                              components::IMessenger& messenger) {
    ApplyPendingFileOperations(roots);
    TSetupPackage package(roots);
    package.Open(packagePath);
    package.ExtractSupportFiles();
    package.InitAppFolderVariables();
    package.ReadTables();
    TPreviousInstall previous = ReadPreviousInstallLog(package, registry);
    for (auto& c : package.Tables().components) {
        for (const auto& [name, selected] : answers.components)
            if (c.userMayChoose && platform::AnsiCompareText(c.name, name) == 0)
                c.selected = selected;
    }
    for (const auto& [name, path] : answers.folders) {
        const TSpecialFolder* f = package.Folders().Find(name);
        package.Folders().DefineNative(platform::AnsiUpperCase(name),
                                       f ? f->caption : std::string(), path, f ? f->shared : false);
    }
    package.FinishComponents();
    TInstallRun run(package, registry, roots, messenger, std::move(previous));
    if (!answers.installDate.empty())
        run.SetInstallDate(answers.installDate);
    TInstallResult result = run.Run();
    package.Close();
    return result;
}

} // namespace setup
