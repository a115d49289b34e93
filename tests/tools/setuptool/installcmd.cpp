// setuptool install PACKAGE: installs with the package's defaults (its
// component selection and folders, every question after an error answered
// "no"). Honours VEXLOR_SANDBOX; prints where the log went; exits 1 when the
// installation did not complete.
#include <cstdio>
#include <exception>
#include <string>

#include "components/scriptedmessenger.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/setupmain.h"

int InstallCommand(const std::string& packagePath) {
    try {
        const platform::SystemRoots& roots = platform::DefaultSystemRoots();
        roots.CreateFolders();
        platform::Registry& registry = platform::DefaultRegistry();
        // Every question after an error gets its safe answer, No.
        components::TScriptedMessenger messenger;
        setup::TInstallAnswers answers;
        setup::TInstallResult result =
            setup::InstallPackage(packagePath, answers, roots, registry, messenger);
        for (const auto& q : messenger.Texts(components::TScriptedMessenger::TRecord::Question))
            std::fprintf(stderr, "setuptool: %s\n", q.c_str());
        if (!result.logPath.empty())
            std::printf("log: %s\n", result.logPath.c_str());
        if (result.rebootNeeded)
            std::printf("restart needed\n");
        if (!result.completed) {
            std::fprintf(stderr, "setuptool: the installation did not complete%s%s\n",
                         result.errorMessage.empty() ? "" : ": ", result.errorMessage.c_str());
            return 1;
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setuptool: %s\n", e.what());
        return 1;
    }
}
