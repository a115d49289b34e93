// `setup PACKAGE [/silent]`: the setup engine. Started by the setup
// executable that carries the package (its own path is argument 1), or by a
// script with "/silent", which never opens a window and reports the outcome
// in the exit status.
#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "apps/setup/wizardentry.h"
#include "components/applocation.h"
#include "components/scriptedmessenger.h"
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

// The engine's texts break lines with "\r".
std::string WithLineFeeds(std::string text) {
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

// One of the two start-up messages: a message box with a display, else a
// line on stderr.
void ShowStartMessage(const std::string& text, int& argc, char** argv) {
    if (!HaveDisplay()) {
        std::cerr << setup::kSetupCaption << ": " << WithLineFeeds(text) << "\n";
        return;
    }
    QApplication app(argc, argv);
    QMessageBox::critical(nullptr, QString::fromUtf8(setup::kSetupCaption),
                          QString::fromUtf8(WithLineFeeds(text)));
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
        std::cerr << setup::kSetupCaption << ": " << WithLineFeeds(e.what()) << "\n";
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
        ShowStartMessage(start.message, argc, argv);
        return static_cast<int>(setup::TSilentExit::BadPackage);
    }
    // A sandbox (VEXLOR_SANDBOX) starts empty: its temporary folder,
    // registry and home are made before anything is extracted into them.
    if (!roots.sandbox.empty())
        roots.CreateFolders();
    const std::string selfPath = components::AppLocation().AppExePath;
    if (start.action == setup::TStartAction::Silent)
        return RunSilently(start.packagePath, selfPath, roots);
    if (!HaveDisplay()) {
        std::cerr << setup::kSetupCaption
                  << ": the wizard needs a display; use \"setup PACKAGE /silent\" without one.\n";
        return static_cast<int>(setup::TSilentExit::BadPackage);
    }
    QApplication app(argc, argv);
    return RunSetupWizard(start.packagePath, selfPath, roots, platform::DefaultRegistry());
}
