#include "editor/ui/mainactions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <stdexcept>

namespace editor::ui {

namespace {

struct TActionSpec {
    const char* Name;
    const char* Caption;
    const char* Shortcut; // "" for none
    const char* Hint;     // "short|long", "" for none
    bool Checkable = false;
};

struct TMenuSpec {
    const char* Name;
    const char* Caption;
    std::vector<TActionSpec> Items; // Name nullptr: a separator
};

const TActionSpec kSeparator{nullptr, "", "", ""};

// The menus in menu-bar order.
const std::vector<TMenuSpec>& MenuSpecs() {
    static const std::vector<TMenuSpec> specs = {
        {"MenuProject",
         "&Project",
         {
             {"ActionProjectNew", "&New", "", "New Project|Start a new project"},
             {"ActionProjectOpen", "&Open...", "F3", "Open Project|Open an existing project"},
             {"ReopenItem", "&Reopen", "", ""},
             {"ActionProjectSave", "&Save", "F2", "Save Project|Save the project"},
             {"ActionProjectSaveAs", "Save &As...", "Shift+F2",
              "Save Project As|Save the project under another name"},
             kSeparator,
             {"ActionProjectMake", "&Make", "F9", "Make|Make the help file"},
             {"ActionProjectShowHelpFile", "Show &Help File", "Ctrl+F9",
              "Show Help File|Show the help file that was made last"},
             {"ActionProjectOptions", "&Options...", "", "Project Options|Project Options"},
             kSeparator,
             {"ActionProjectFlatManual", "Make &Flat Manual...", "", ""},
             {"ActionProjectExport", "&Export to RTF+HPJ", "", ""},
             {"ActionProjectExportHTMLHelp", "Export to HTML Help", "", ""},
             {"ActionProjectWebHelp", "Export to &Web Help", "", ""},
             {"ActionProjectExportGrid", "Export Topic &Grid", "", ""},
             {"ActionProjectImport", "&Import Help Project", "", ""},
             {"ActionProjectDelphiUnit", "Open &Delphi Unit...", "", ""},
             {"ActionProjectRenumber", "Renumber &Topics...", "",
              "Renumber Topics|Change the Topic ID of a range of topics"},
             {"ActionProjectMerge", "&Merge...", "",
              "Merge Project|Insert the topics from another project into this project"},
             {"ActionProjectSpell", "&Check Spelling", "Ctrl+F12", ""},
             kSeparator,
             {"ActionProjectExit", "E&xit", "", "Exit|Close Brindlewoven"},
         }},
        {"MenuTopic",
         "&Topic",
         {
             {"ActionTopicAdd", "&New", "F4", "New Topic|Create a new topic"},
             {"ActionTopicDelete", "&Delete", "", "Delete Topic|Delete the current topic"},
             {"ActionTopicFootnotes", "Pr&operties...", "Shift+F4",
              "Topic Properties|Edit the properties of the current topic"},
             kSeparator,
             {"ActionTopicCut", "Cu&t", "Ctrl+Shift+X", ""},
             {"ActionTopicCopy", "&Copy", "Ctrl+Shift+C", ""},
             {"ActionTopicPaste", "&Paste", "Ctrl+Shift+V", ""},
             kSeparator,
             {"ActionTopicUndoCurrent", "&Undo", "Ctrl+Shift+Z",
              "Undo|Undo the changes to the current topic"},
             {"ActionTopicRedoCurrent", "&Redo", "Ctrl+Shift+R",
              "Redo|Redo the changes to the current topic"},
             kSeparator,
             {"ActionGoToNext", "&Next Topic", "F6", ""},
             {"ActionGoToPrev", "&Previous Topic", "Shift+F6", ""},
             {"ActionGoToNextBookmark", "Ne&xt Bookmark", "F7", ""},
             {"ActionGoToPrevBookmark", "P&revious Bookmark", "Shift+F7", ""},
             {"HistoryItem", "&History...", "Ctrl+H",
              "History|Go back to previously shown topics..."},
             kSeparator,
             {"ActionTopicSpell", "Check &Spelling", "F12", ""},
         }},
        {"MenuText",
         "Te&xt",
         {
             {"ActionTextCut", "Cu&t", "Ctrl+X", ""},
             {"ActionTextCopy", "&Copy", "Ctrl+C", ""},
             {"ActionTextPaste", "&Paste", "Ctrl+V", ""},
             {"ActionTextPastePlain", "Paste as Plain Te&xt", "", ""},
             {"ActionTextDelete", "&Delete", "", ""},
             {"ActionTextSelectAll", "&Select All", "Ctrl+A", ""},
             // The formatting bar's commands follow here.
             kSeparator,
             {"ActionTextFind", "&Find and Replace", "F5", ""},
         }},
        {"MenuHelpTools",
         "Help&Tools",
         {
             {"ActionHelpToolsLink", "Link", "", "Link|Link the selection to the chosen topic"},
             {"ActionHelpToolsLinkPopup", "Popup Link", "",
              "Popup Link|Link the selection to the chosen topic as a popup"},
             {"ActionHelpToolsLinkSpecial", "&Link...", "Ctrl+L", ""},
             {"ActionHelpToolsLinkInternet", "&Internet Link...", "Ctrl+W", ""},
             {"ActionHelpToolsLinkFile", "Link to &File...", "Ctrl+Shift+F", ""},
             {"ActionHelpToolsFlash", "Embed Flash", "Ctrl+Shift+E", ""},
             {"ActionHelpToolsBitmap", "Insert &Bitmap...", "Ctrl+Shift+I", ""},
             {"ActionHelpToolsButton", "Insert B&utton...", "Ctrl+Shift+B", ""},
             {"ActionHelpToolsLinkTarget", "Create &Target...", "Ctrl+T", ""},
             {"ActionHelpToolsKeepn", "&Keepn", "Ctrl+K", ""},
             {"ActionHelpToolsRTF", "Insert &RTF codes", "Ctrl+Shift+O", ""},
             {"ActionHelpToolsHTML", "Insert &HTML Tags", "Ctrl+Shift+H", ""},
         }},
        {"MenuView",
         "&View",
         {
             {"ActionViewProjectBar", "&ProjectBar", "", "", true},
             {"ActionViewTopicBar", "&TopicBar", "", "", true},
             {"ActionViewPropertiesBar", "Pr&opertiesBar", "", "", true},
             {"ActionViewTextBar", "Te&xtBar", "", "", true},
             {"ActionViewHelpToolBar", "&HelpToolBar", "", "", true},
             {"ActionViewRuler", "&Ruler", "", "", true},
             {"ActionViewGrid", "Topic &Grid", "F11", "", true},
             {"ActionViewErrorLog", "&Error Log", "Ctrl+F11", "", true},
             {"ActionViewFocusEditor", "&Focus Editor", "Shift+F11", ""},
         }},
        {"MenuEditors",
         "&Editors",
         {
             {"ActionEditorsBrowse", "&Browse Sequence Editor", "", ""},
             {"ActionEditorsContents", "&Contents File Editor", "", ""},
             {"ActionEditorsIndex", "&Index Editor", "", ""},
             {"ActionEditorsSHG", "&SHG Editor", "", ""},
             {"ActionEditorsWindows", "&Windows Editor", "", ""},
         }},
        {"MenuPrint",
         "P&rint",
         {
             {"PrinterSetupItem", "Printer &Setup", "", ""},
             {"PrintTopicListItem", "Print Topic &List", "", ""},
         }},
        {"MenuHelp",
         "&Help",
         {
             {"ActionHelpContents", "&Contents", "", ""},
             {"ActionHelpHowTo", "&How to Create a Help File", "", ""},
             {"ActionHelpHomePage", "Brindlewoven &Web Site", "", ""},
             {"ActionHelpNewVersion", "Check for New &Version", "", ""},
             {"ActionHelpTechSupport", "&Technical Support", "", ""},
             {"ActionHelpDownloadSpell", "&Download Spell Check Dictionaries", "", ""},
             {"ActionHelpAbout", "&About...", "", ""},
         }},
    };
    return specs;
}

} // namespace

TMainActions::TMainActions(QMenuBar& menuBar, QWidget& window) : QObject(&window) {
    for (const TMenuSpec& menuSpec : MenuSpecs()) {
        QMenu* menu = menuBar.addMenu(QString::fromLatin1(menuSpec.Caption));
        menu->setObjectName(menuSpec.Name);
        menus_.insert(menuSpec.Name, menu);
        for (const TActionSpec& spec : menuSpec.Items) {
            if (spec.Name == nullptr) {
                menu->addSeparator();
                continue;
            }
            auto* action = new QAction(QString::fromLatin1(spec.Caption), &window);
            action->setObjectName(spec.Name);
            action->setShortcut(QKeySequence(QString::fromLatin1(spec.Shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
            const QString hint = QString::fromLatin1(spec.Hint);
            if (!hint.isEmpty()) {
                action->setToolTip(hint.section('|', 0, 0));
                action->setStatusTip(hint.section('|', -1));
            }
            action->setCheckable(spec.Checkable);
            action->setEnabled(false); // until the window binds it
            window.addAction(action);  // shortcuts work with the menu bar hidden
            menu->addAction(action);
            actions_.insert(spec.Name, action);
        }
    }
}

void TMainActions::Bind(const QString& name, std::function<void()> handler) {
    QAction* action = Action(name);
    if (action == nullptr) {
        // A misspelt name would leave its menu item disabled without a word.
#ifdef NDEBUG
        qCritical("No command is named %s", qPrintable(name));
        return;
#else
        throw std::logic_error("No command is named " + name.toStdString());
#endif
    }
    action->setEnabled(true);
    bound_.insert(name);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

} // namespace editor::ui
