#include "editor/ui/helpactions.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QMetaMethod>
#include <QUrl>
#include <QWidget>

#include "components/messengerseam.h"
#include "editor/editorcontext.h"
#include "editor/helpmenu.h"
#include "editor/ui/mainactions.h"

namespace editor::ui {

THelpActions::THelpActions(TEditorContext& context, TMainActions& actions, QWidget& window,
                           std::filesystem::path helpFolder)
    : QObject(&window), context_(context), actions_(actions), helpFolder_(std::move(helpFolder)),
      registryViewer_(std::make_unique<helpproject::TRegistryHelpViewer>(context.Registry())),
      viewer_(registryViewer_.get()), openUrl_([](const std::string& url) {
          return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
      }) {
    RebuildService();
    qApp->installEventFilter(this);
}

THelpActions::~THelpActions() {
    qApp->removeEventFilter(this);
}

void THelpActions::BindActions() {
    actions_.Bind("ActionHelpContents", [this] { ShowHelp(kHelpContentsContext); });
    actions_.Bind("ActionHelpHowTo", [this] { ShowHelp(kHelpHowToContext); });
    actions_.Bind("ActionHelpHomePage", [this] { OpenUrl(kProductWebSite); });
    actions_.Bind("ActionHelpNewVersion", [this] { OpenUrl(NewVersionUrl()); });
}

void THelpActions::SetViewer(helpproject::IHelpViewer& viewer) {
    viewer_ = &viewer;
    RebuildService();
}

void THelpActions::SetHelpFolder(std::filesystem::path folder) {
    helpFolder_ = std::move(folder);
    RebuildService();
}

void THelpActions::RebuildService() {
    help_ = std::make_unique<TProgramHelp>(
        helpFolder_, *viewer_, [this](const std::string& url) { OpenUrl(url); },
        context_.Messenger());
}

void THelpActions::ShowHelp(int context) {
    context_.Run([&] { help_->ShowContext(context); });
}

void THelpActions::OpenUrl(const std::string& url) {
    if (!openUrl_ || !openUrl_(url))
        context_.Messenger().ShowMessage(components::TMessageKind::Error, "Error",
                                         "No program could open " + url + ".");
}

bool THelpActions::eventFilter(QObject* watched, QEvent* event) {
    // Dialogs with a Help button, and windows of their own with a Help menu
    // (the SHG editor), ask for help through a HelpRequested(int) signal.
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        const QMetaObject* meta = watched->metaObject();
        const int signal = meta->indexOfSignal("HelpRequested(int)");
        const int slot = metaObject()->indexOfSlot("ShowHelp(int)");
        if (signal >= 0 && slot >= 0)
            connect(watched, meta->method(signal), this, metaObject()->method(slot),
                    Qt::UniqueConnection);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace editor::ui
