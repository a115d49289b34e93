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

namespace {

// A quiet run without a display reports only its own lines on stderr: the
// offscreen platform's notices about what it cannot do would bury them.
QtMessageHandler defaultQtMessages = nullptr;

void KeepOnlySeriousQtMessages(QtMsgType type, const QMessageLogContext& context,
                               const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        defaultQtMessages(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    // The units' start-up work: where the program lives, the compiler paths,
    // the topic clipboard format.
    components::AppLocation();
    std::unique_ptr<platform::Registry> registry =
        platform::OpenFileRegistry(platform::RegistryLocations::FromEnvironment());
    const helpproject::TCompilerPaths compilerPaths = helpproject::LoadCompilerPaths(*registry);
    editor::ui::TopicClipboardMimeType();

    const std::vector<std::string> rawArgs(argv + (argc > 0 ? 1 : 0), argv + argc);
    // A mistyped switch in a run that cannot show a window says so at once.
    if (const std::string refused =
            editor::RefusedCommandLine(rawArgs, [](const char* name) { return std::getenv(name); });
        !refused.empty()) {
        std::cerr << "Brindle: " << refused << "\n";
        return editor::kExitBadInput;
    }
    const editor::TCommandLine commandLine = editor::ParseCommandLine(rawArgs);
    if (commandLine.Run && commandLine.Quiet) {
        // A quiet build run makes no window and shows no topic: nothing can
        // wait for a person, and the run ends with its exit status.
        std::vector<std::string> args;
        for (const std::string& arg : rawArgs)
            args.push_back(platform::Utf8ToCp1252(arg));
        helpproject::TCompilerPaths paths = compilerPaths;
        return editor::RunQuietCommandLine(editor::ParseCommandLine(args), paths,
                                           editor::ReadWindowState(*registry).Settings, std::cerr)
            .ExitCode;
    }
    // Without a display the window draws offscreen; the platform is chosen
    // before the application object exists.
    if (editor::NeedsOffscreenPlatform(commandLine,
                                       [](const char* name) { return std::getenv(name); })) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        defaultQtMessages = qInstallMessageHandler(KeepOnlySeriousQtMessages);
    }

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
