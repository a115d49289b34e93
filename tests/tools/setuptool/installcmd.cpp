// setuptool install PACKAGE: carries out the replacements and deletions an
// earlier run left for the next start, then installs with the package's
// defaults (its component selection and folders, every question after an
// error answered "no"). Honours VEXLOR_SANDBOX (a link below it in the way
// of its own folders ends the run at once, as `setup` does); prints where the
// log went; exits 1 when the installation did not complete.
#include <cstdio>
#include <exception>
#include <string>

#include "components/scriptedmessenger.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/folders.h"
#include "setup/setupmain.h"

int InstallCommand(const std::string& packagePath) {
    try {
        const platform::SystemRoots& roots = platform::DefaultSystemRoots();
        roots.CreateFolders();
        platform::Registry& registry = platform::DefaultRegistry();
        // What an earlier run had to leave for the next start happens first.
        if (std::size_t done = setup::ApplyPendingFileOperations(roots))
            std::printf("pending file operations carried out: %zu\n", done);
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
