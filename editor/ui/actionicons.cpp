#include "editor/ui/actionicons.h"

#include <QAction>
#include <QToolBar>
#include <QWidget>

static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace editor::ui {

namespace {

struct TIconName {
    const char* Action;
    const char* Theme; // the freedesktop name
    const char* Own;   // our drawing
};

constexpr TIconName kIcons[] = {
    {"ActionProjectNew", "document-new", "new"},
    {"ActionProjectOpen", "document-open", "open"},
    {"ActionProjectSave", "document-save", "save"},
    {"ActionProjectMake", "system-run", "make"},
    {"ActionProjectShowHelpFile", "media-playback-start", "run"},
    {"ActionProjectOptions", "preferences-system", "options"},
    {"ActionProjectSpell", "tools-check-spelling", "spell"},
    {"ActionProjectExit", "application-exit", "exit"},
    {"ActionTopicAdd", "list-add", "topicadd"},
    {"ActionTopicDelete", "list-remove", "topicdelete"},
    {"ActionTopicFootnotes", "document-properties", "footnotes"},
    {"ActionTopicUndoCurrent", "edit-undo", "undo"},
    {"ActionTopicRedoCurrent", "edit-redo", "redo"},
    {"ActionTopicSpell", "tools-check-spelling", "spell"},
    {"ActionTextCut", "edit-cut", "cut"},
    {"ActionTextCopy", "edit-copy", "copy"},
    {"ActionTextPaste", "edit-paste", "paste"},
    {"ActionTextFind", "edit-find-replace", "find"},
    {"ActionTextBold", "format-text-bold", "bold"},
    {"ActionTextItalic", "format-text-italic", "italic"},
    {"ActionTextUnderline", "format-text-underline", "underline"},
    {"ActionTextStrikeout", "format-text-strikethrough", "strikeout"},
    {"ActionTextJustLeft", "format-justify-left", "justleft"},
    {"ActionTextJustCenter", "format-justify-center", "justcenter"},
    {"ActionTextJustRight", "format-justify-right", "justright"},
    {"ActionTextBullet", "format-list-unordered", "bullet"},
    {"ActionHelpToolsLink", "insert-link", "link"},
    {"ActionHelpToolsLinkPopup", "", "linkpopup"},
    {"ActionViewGrid", "", "grid"},
    {"ActionViewErrorLog", "", "errorlog"},
    {"ActionHelpContents", "help-contents", "helpcontents"},
    {"ActionHelpHowTo", "", "howto"},
    {"ActionHelpHomePage", "internet-web-browser", "web"},
    {"ActionHelpAbout", "help-about", "about"},
};

QIcon OwnIcon(const char* name) {
    QIcon icon;
    const QString base = QStringLiteral(":/icons/") + name;
    icon.addFile(base + ".png", QSize(16, 16));
    icon.addFile(base + "@2x.png", QSize(32, 32));
    return icon;
}

} // namespace

QIcon ActionIcon(const QString& actionName) {
    InitIconResources();
    for (const TIconName& entry : kIcons) {
        if (actionName != QLatin1String(entry.Action))
            continue;
        const QIcon own = OwnIcon(entry.Own);
        return *entry.Theme ? QIcon::fromTheme(entry.Theme, own) : own;
    }
    return {};
}

void ApplyActionIcons(QWidget& window) {
    for (QAction* action : window.findChildren<QAction*>()) {
        if (action->objectName().isEmpty() || !action->icon().isNull())
            continue;
        const QIcon icon = ActionIcon(action->objectName());
        if (!icon.isNull())
            action->setIcon(icon);
    }
}

void ShowBarPictures(QToolBar& bar) {
    // Buttons without a picture keep their caption; every tooltip is the
    // caption without its key letter.
    bar.setToolButtonStyle(Qt::ToolButtonIconOnly);
}

} // namespace editor::ui
