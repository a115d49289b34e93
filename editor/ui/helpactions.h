#pragma once
// The Help menu's commands and the Help buttons of the editor's dialogs:
// all of them show the program's own help through one service. The web
// site and the version check open in the desktop's browser.
#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "editor/programhelp.h"

class QWidget;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TMainActions;

class THelpActions : public QObject {
    Q_OBJECT

public:
    using TUrlOpener = std::function<bool(const std::string& url)>;

    // The help file is looked for in `helpFolder` (the program's folder).
    THelpActions(TEditorContext& context, TMainActions& actions, QWidget& window,
                 std::filesystem::path helpFolder);
    ~THelpActions() override;

    void BindActions();

    // Seams for tests: what shows a help file and what opens a web address
    // (it returns false when nothing could open it).
    void SetViewer(helpproject::IHelpViewer& viewer);
    void SetUrlOpener(TUrlOpener opener) { openUrl_ = std::move(opener); }
    void SetHelpFolder(std::filesystem::path folder);

public slots:
    // Shows the program's help at that context number.
    void ShowHelp(int context);

protected:
    // Every dialog or window of the editor that shows itself gets its Help
    // button or Help menu routed here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OpenUrl(const std::string& url);
    void RebuildService();

    TEditorContext& context_;
    TMainActions& actions_;
    std::filesystem::path helpFolder_;
    std::unique_ptr<helpproject::IHelpViewer> registryViewer_;
    helpproject::IHelpViewer* viewer_;
    TUrlOpener openUrl_;
    std::unique_ptr<TProgramHelp> help_;
};

} // namespace editor::ui
