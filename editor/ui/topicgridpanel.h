#pragma once
// The topic grid's panel: the grid bar, whose buttons add and remove the
// property columns, the grid itself, and the grid's pop-up menu (edit,
// insert, delete, properties, links to the row's topic, bookmark, and the
// build-tag or status values of the clicked cell).
#include <QWidget>
#include <cstdint>

class QMenu;
class QToolButton;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TDialogCommands;
class TTopicGridView;

class TTopicGridPanel : public QWidget {
    Q_OBJECT

public:
    TTopicGridPanel(TEditorContext& context, TTopicGridView& view, QWidget* parent = nullptr);
    // Properties... of the pop-up runs the topic-properties dialog.
    void SetDialogCommands(TDialogCommands* dialogs) { dialogs_ = dialogs; }

    // A grid-bar button (by property code 1..7; 4 has none), nullptr if none.
    QToolButton* GridButton(int code) const;
    // The buttons show which properties the grid shows.
    void UpdateButtons();
    // The pop-up menu of a grid cell (model row and column), filled as it
    // opens; the caller shows it.
    void FillPopup(QMenu& menu, int row, int column);

private:
    void ToggleColumn(int code);
    void PopupRequested(const QPoint& at);

    TEditorContext& context_;
    TDialogCommands* dialogs_ = nullptr;
    TTopicGridView& view_;
    QToolButton* buttons_[8] = {};
};

} // namespace editor::ui
