// `setup PACKAGE [/silent]`: the setup engine. Started by the setup
// executable that carries the package (its own path is argument 1), or by a
// script with "/silent", which never opens a window and reports the outcome
// in the exit status.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "apps/setup/wizardentry.h"
#include "components/applocation.h"
#include "components/messengerseam.h"
#include "components/scriptedmessenger.h"
#include "platform/fileio.h"
#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/folders.h"
#include "setup/setupmain.h"
#include "setup/setupsession.h"
#include "setup/silentrun.h"

namespace {

bool HaveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

// Qt makes a runtime folder of its own in the system's temporary folder
// when XDG_RUNTIME_DIR is not set: a sandboxed run gets one inside the
// sandbox instead.
void KeepRuntimeFolderInSandbox(const platform::SystemRoots& roots) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (roots.sandbox.empty() || (runtime && *runtime))
        return;
    const std::filesystem::path folder = roots.sandbox / "run";
    int fd = -1;
    try {
        fd = platform::OpenFolderBelow(roots.sandbox, folder, true);
    } catch (const std::exception&) {
        return; // a link in its place: Qt makes a folder of its own
    }
    const bool privateFolder = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    if (privateFolder)
        ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

// One of the two start-up messages: a message box with a display, else a
// line on stderr.
void ShowStartMessage(const std::string& text, const platform::SystemRoots& roots, int& argc,
                      char** argv) {
    if (!HaveDisplay()) {
        std::cerr << setup::kSetupCaption << ": " << components::WithLineFeeds(text) << "\n";
        return;
    }
    KeepRuntimeFolderInSandbox(roots);
    QApplication app(argc, argv);
    QMessageBox::critical(nullptr, QString::fromUtf8(setup::kSetupCaption),
                          QString::fromUtf8(components::WithLineFeeds(text)));
}

int RunSilently(const std::string& packagePath, const std::string& selfPath,
                const platform::SystemRoots& roots) {
    // No person: every message goes to stderr and every question takes its
    // safe answer.
    components::TScriptedMessenger messenger(&std::cerr);
    setup::TSetupSession session(roots, platform::DefaultRegistry(), messenger, selfPath);
    try {
        session.Open(packagePath);
    } catch (const std::exception& e) {
        std::cerr << setup::kSetupCaption << ": " << components::WithLineFeeds(e.what()) << "\n";
        return static_cast<int>(setup::TSilentExit::BadPackage);
    }
    setup::TSilentExit status = setup::RunSilent(session);
    session.CloseDown();
    return static_cast<int>(status);
}

} // namespace

int main(int argc, char** argv) {
    const platform::SystemRoots& roots = platform::DefaultSystemRoots();

    std::vector<std::string> args(argv + 1, argv + argc);
    setup::TStartDecision start = setup::DecideStart(args);
    if (start.action == setup::TStartAction::ShowMessage) {
        ShowStartMessage(start.message, roots, argc, argv);
        return static_cast<int>(setup::TSilentExit::BadPackage);
    }
    // A sandbox (VEXLOR_SANDBOX) starts empty: its temporary folder,
    // registry and home are made before anything is extracted into them,
    // never through a link below it. One in the way ends the run before
    // it starts, as any folder that cannot be made during it would.
    if (!roots.sandbox.empty()) {
        try {
            roots.CreateFolders();
        } catch (const std::exception& e) {
            ShowStartMessage(e.what(), roots, argc, argv);
            return static_cast<int>(setup::TSilentExit::Aborted);
        }
    }
    const std::string selfPath = components::AppLocation().AppExePath;
    if (start.action == setup::TStartAction::Silent)
        return RunSilently(start.packagePath, selfPath, roots);
    if (!HaveDisplay()) {
        std::cerr << setup::kSetupCaption
                  << ": the wizard needs a display; use \"setup PACKAGE /silent\" without one.\n";
        return static_cast<int>(setup::TSilentExit::BadPackage);
    }
    KeepRuntimeFolderInSandbox(roots);
    QApplication app(argc, argv);
    return RunSetupWizard(start.packagePath, selfPath, roots, platform::DefaultRegistry());
}
