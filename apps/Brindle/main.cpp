// The help authoring program: the main window over an editing session.
#include <QApplication>
#include <QCursor>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "components/applocation.h"
#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/windowedmessenger.h"
#include "editor/commandline.h"
#include "editor/ui/aboutbox.h"
#include "editor/ui/brindlewovenform.h"
#include "editor/ui/linklistener.h"
#include "editor/ui/topicclipboardformat.h"
#include "editor/windowstate.h"
#include "helpproject/build/compilerpaths.h"
#include "platform/codepage.h"
#include "platform/registry.h"

int main(int argc, char** argv) {
    const std::vector<std::string> rawArgs(argv + (argc > 0 ? 1 : 0), argv + argc);
    // A run that names /q, or one that cannot run, is settled here: it never
    // makes a window, so it never needs a display.
    const editor::TRunDecision decision =
        editor::DecideRun(rawArgs, [](const char* name) { return std::getenv(name); });
    if (decision.Mode == editor::TRunMode::Refused) {
        std::cerr << "Brindle: " << decision.Message << "\n" << editor::kCommandLineUsage;
        return editor::kExitBadInput;
    }

    // The units' start-up work: where the program lives, the compiler paths,
    // the topic clipboard format.
    components::AppLocation();
    std::unique_ptr<platform::Registry> registry =
        platform::OpenFileRegistry(platform::RegistryLocations::FromEnvironment());
    const helpproject::TCompilerPaths compilerPaths = helpproject::LoadCompilerPaths(*registry);
    if (decision.Mode == editor::TRunMode::Quiet) {
        // A quiet run makes no window and shows no topic: nothing can wait
        // for a person, and the run ends with its exit status.
        std::vector<std::string> args;
        for (const std::string& arg : rawArgs)
            args.push_back(platform::Utf8ToCp1252(arg));
        helpproject::TCompilerPaths paths = compilerPaths;
        return editor::RunQuietCommandLine(editor::ParseCommandLine(args), paths,
                                           editor::ReadWindowState(*registry).Settings, std::cerr)
            .ExitCode;
    }
    editor::ui::TopicClipboardMimeType();

    QApplication app(argc, argv);
    QApplication::setApplicationName("Brindlewoven");
    QApplication::setOverrideCursor(Qt::WaitCursor);

    auto splash = std::make_unique<editor::ui::TSplashForm>();
    splash->show();
    splash->repaint();
    QApplication::processEvents();

    std::unique_ptr<components::IMessenger> messenger =
        components::ui::MakeMessenger(true, &std::cerr);
    // The context outlives the window that shows it.
    editor::TEditorContext context(*messenger, *registry);
    context.CompilerPaths() = compilerPaths;
    editor::ui::TBrindlewovenForm form(context);

    splash.reset();
    QApplication::restoreOverrideCursor();
    form.show();

    std::vector<std::string> args;
    const QStringList arguments = QApplication::arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i)
        args.push_back(components::ui::FromQString(arguments[i]));
    // The window catches what the run raises.
    const editor::TCommandLineResult result = form.RunCommandLine(args);
    if (result.Quit)
        return result.ExitCode;
    // Link clients find the running program through its socket.
    if (!form.LinkListener().Listen())
        std::cerr << "Brindle: the client link socket could not be opened\n";
    return QApplication::exec();
}
