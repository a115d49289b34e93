#pragma once
// The contents editor's tree of lines: each line drawn indented by its
// level with a book or a page picture and only its title (an include line
// whole), and dragged with the mouse inside the list. While a line is
// dragged the item under the mouse is the drop target, drawn in red, and
// the list scrolls by itself while the mouse is within one item of its top
// or bottom edge. The lines are a TContentsDocument's; the view only shows
// them and reports the drop.
#include <QListView>
#include <functional>

class QTimer;

namespace editor {
class TContentsDocument;
}

namespace editor::ui {

class TContentsListView : public QListView {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 16;
    static constexpr int kIndent = 20;

    TContentsListView(const TContentsDocument& document, QWidget* parent = nullptr);
    ~TContentsListView() override;

    // The lines changed: shows them anew and selects `row` (-1 none).
    void Refresh(int row);
    // One line changed in place.
    void RefreshRow(int row);
    void SelectRow(int row);
    int SelectedRow() const;

    // The item under the mouse while a line is dragged; -1 none, the line
    // count for "past the end".
    int DropTarget() const { return dropTarget_; }
    void ClearDropTarget();
    bool Dragging() const { return dragSource_ >= 0 && dragging_; }
    QTimer* DragTimer() const { return dragTimer_; }

    // A line dropped on a target (the line count: past the end).
    std::function<void(int source, int target)> OnDrop;
    // The selection moved (click, keys, or Refresh).
    std::function<void(int row)> OnSelect;
    // Insert and Delete in the list.
    std::function<void()> OnInsertKey;
    std::function<void()> OnDeleteKey;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The drop target at a point of the viewport.
    int TargetAt(const QPoint& point) const;
    void SetDropTarget(int target);
    void DragTimerTimer();
    void EndDrag();

    class TModel;
    class TDelegate;
    const TContentsDocument& document_;
    TModel* model_;
    QTimer* dragTimer_;
    int dragSource_ = -1;
    bool dragging_ = false;
    QPoint pressPoint_;
    QPoint lastPoint_;
    int dropTarget_ = -1;
    bool refreshing_ = false;
};

} // namespace editor::ui
