#pragma once
// The topic grid: a table over TTopicGridModel. A header click sorts by that
// column (again: the order reverses); dragging a property header moves the
// property in the layout; column widths go into the layout by property, so
// they survive hiding a column and are saved with the window's state.
// Double-click or Ctrl+Enter opens the row's topic.
#include <QTableView>
#include <array>
#include <cstdint>

#include "editor/ui/topicgridmodel.h"

namespace editor::ui {

class TTopicGridView : public QTableView {
    Q_OBJECT

public:
    TTopicGridView(TTopicGridModel& model, QWidget* parent = nullptr);

    TTopicGridModel& Model() { return model_; }
    // After the rows, columns or order changed: the model anew, each column
    // at its property's width, the current topic's row current.
    void Rebuild();
    // The current topic's row becomes the current row.
    void FollowCurrentTopic();
    // An in-place edit in progress is taken.
    void EndEdit();
    // Each column at its property's width, the last one filling the panel.
    void ApplyWidths();
    // The present widths of the shown columns go into the layout.
    void StoreWidths();
    // The number column's width: its header and the widest number, in the
    // bold of the current topic's row, shown whole.
    int NumberColumnWidth() const;

signals:
    // "Edit topic" on a row: the topic with that number is to be shown.
    void EditTopic(std::int32_t number);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void HeaderClicked(int section);
    void SectionMoved(int logical, int oldVisual, int newVisual);
    void SectionResized(int logical, int oldSize, int newSize);
    void RowActivated(const QModelIndex& index);

    TTopicGridModel& model_;
    bool applying_ = false;
    // The shape the view was last reset to.
    int shownRows_ = -1;
    std::array<std::uint8_t, TGridLayout::kSlots> shownContents_{};
};

} // namespace editor::ui
