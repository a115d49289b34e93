#pragma once
// The main window's commands as QActions, with their captions, shortcuts and
// hints, and the menus that hold them. A command is enabled once a handler
// is bound to it; the window binds the ones it carries out.
#include <QHash>
#include <QObject>
#include <QSet>
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
    // Runs `handler` when the action triggers; enables it. A name that no
    // action has is a mistake in the program: it throws std::logic_error in
    // debug builds (and so in tests) and is logged in release builds.
    void Bind(const QString& name, std::function<void()> handler);
    QList<QAction*> All() const { return actions_.values(); }
    // Whether a handler was bound to the action of that name.
    bool Bound(const QString& name) const { return bound_.contains(name); }

private:
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QSet<QString> bound_;
};

} // namespace editor::ui
