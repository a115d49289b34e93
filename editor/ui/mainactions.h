#pragma once
// The main window's commands as QActions, with their captions, shortcuts and
// hints, and the menus that hold them. A command is enabled once a handler
// is bound to it; the window binds the ones it carries out.
#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;

namespace editor::ui {

class TMainActions : public QObject {
    Q_OBJECT

public:
    // Creates every action and fills the menu bar.
    TMainActions(QMenuBar& menuBar, QWidget& window);

    // The action of that object name ("ActionProjectOpen"); nullptr if none.
    QAction* Action(const QString& name) const { return actions_.value(name); }
    QMenu* Menu(const QString& name) const { return menus_.value(name); }
    // Runs `handler` when the action triggers; enables it.
    void Bind(const QString& name, std::function<void()> handler);
    QList<QAction*> All() const { return actions_.values(); }

private:
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};

} // namespace editor::ui
