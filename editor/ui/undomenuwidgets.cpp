#include "editor/ui/undomenuwidgets.h"

#include <QAction>
#include <QMenu>

#include "components/ui/ansiqt.h"
#include "editor/editorcontext.h"

namespace editor::ui {

using components::ui::ToQString;

namespace {

constexpr const char* kCurrentTopicItem = "&Changes to current topic";

QMenu* SubmenuFor(QMenu& topicMenu, QAction& action, const char* name) {
    auto* menu = new QMenu(action.text(), &topicMenu);
    menu->setObjectName(name);
    topicMenu.insertMenu(&action, menu);
    topicMenu.removeAction(&action);
    return menu;
}

} // namespace

TUndoMenuWidgets::TUndoMenuWidgets(TEditorContext& context, QMenu& topicMenu, QAction& undoCurrent,
                                   QAction& redoCurrent, QObject* parent)
    : QObject(parent), context_(context), redoCurrent_(&redoCurrent) {
    undoMenu_ = SubmenuFor(topicMenu, undoCurrent, "UndoMenu");
    redoMenu_ = SubmenuFor(topicMenu, redoCurrent, "RedoMenu");
    undoCurrentItem_ = undoMenu_->addAction(kCurrentTopicItem);
    redoCurrentItem_ = redoMenu_->addAction(kCurrentTopicItem);
    connect(undoCurrentItem_, &QAction::triggered, &undoCurrent, &QAction::trigger);
    connect(redoCurrentItem_, &QAction::triggered, &redoCurrent, &QAction::trigger);
    Rebuild();
}

void TUndoMenuWidgets::Rebuild() {
    auto fill = [this](QMenu* menu, QAction* fixed, const TUndoMenu& entries, bool undo) {
        for (QAction* action : menu->actions())
            if (action != fixed)
                menu->removeAction(action), action->deleteLater();
        std::size_t index = 0;
        for (const TUndoData& entry : entries.Entries()) {
            QAction* item = menu->addAction(ToQString(entry.Caption));
            item->setStatusTip(ToQString(entry.Hint));
            item->setToolTip(ToQString(entry.Hint));
            connect(item, &QAction::triggered, this, [this, index, undo] {
                context_.Run([&] {
                    if (undo)
                        context_.TopicEditor().UndoItemClick(index);
                    else
                        context_.TopicEditor().RedoItemClick(index);
                });
            });
            ++index;
        }
    };
    const TTopicEditor& editor = context_.TopicEditor();
    fill(undoMenu_, undoCurrentItem_, editor.UndoMenu(), true);
    fill(redoMenu_, redoCurrentItem_, editor.RedoMenu(), false);
    const bool redo = editor.RedoCurrentEnabled();
    redoCurrent_->setEnabled(redo);
    redoCurrentItem_->setEnabled(redo);
}

} // namespace editor::ui
