#pragma once
// A splitter bar the person drags: pressing it shows a ghost bar that
// follows the pointer within the limits, releasing it reports the new
// position; the owner resizes the neighbouring panes in its Split handler
// (and may set the limits in its StartSplit handler). Unlike QSplitter it
// moves nothing itself, so the owner keeps each pane's own size rules.
#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>

class QPainter;
class QRubberBand;

namespace components::ui {

enum class TSplitDirection {
    sdVertical,  // the bar lies across and moves up and down
    sdHorizontal // the bar stands upright and moves left and right
};

class TSplitIt : public QWidget {
    Q_OBJECT
public:
    explicit TSplitIt(QWidget* parent = nullptr);
    ~TSplitIt() override;

    // Limits of the split position in the parent's coordinates. When Max is
    // not above Min, the upper limit is the parent's width (height) less the
    // bar's.
    int Min() const { return min_; }
    void SetMin(int value) { min_ = value; }
    int Max() const { return max_; }
    void SetMax(int value) { max_ = value; }

    TSplitDirection SplitDirection() const { return direction_; }
    // Sets the split cursor and which way the bar stretches in a layout.
    void SetSplitDirection(TSplitDirection direction);

    // The bar's thickness across its direction of travel (4 by default).
    int Thickness() const { return thickness_; }
    void SetThickness(int pixels);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    // The colours the main window paints its splitters while it is active
    // and while it is not.
    static QColor ActiveBorderColor();
    static QColor InactiveBorderColor();

    // Draws the bar instead of the plain fill.
    std::function<void(TSplitIt& sender, QPainter& painter)> OnPaint;

    bool Splitting() const { return splitting_; }
    // The ghost bar shown while splitting (nullptr otherwise).
    QWidget* Ghost() const;

    QSize sizeHint() const override;

signals:
    void StartSplit();
    // The new position of the bar's left (top) edge in the parent.
    void Split(int newPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool Across() const { return direction_ == TSplitDirection::sdVertical; }
    int Along(const QPoint& point) const { return Across() ? point.y() : point.x(); }
    int Start() const { return Across() ? y() : x(); }
    int ClampedOffset(int offset) const;
    void PlaceGhost();
    void EndSplitting();

    int min_ = 0;
    int max_ = 0;
    TSplitDirection direction_ = TSplitDirection::sdVertical;
    int thickness_ = 4;
    QColor color_;
    bool splitting_ = false;
    int pressPosition_ = 0;
    int offset_ = 0;
    QPointer<QRubberBand> ghost_;
};

} // namespace components::ui
