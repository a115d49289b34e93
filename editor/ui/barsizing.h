#pragma once
// Sizes the boxes of a tool bar whenever the bar changes size: the
// properties bar shares its width among its five boxes, the text bar
// between its font and style boxes, the topic bar and the help tool bar
// stretch one box so that the bar's last control ends one pixel inside
// the bar. The bar's own margins, the gaps between its
// items and the room of its extension button stand where the arithmetic
// counts the bar's border.
#include <QObject>
#include <array>
#include <functional>

class QToolBar;
class QWidget;

namespace editor::ui {

class TBarSizing : public QObject {
    Q_OBJECT

public:
    // The properties bar's boxes, left to right: keywords, A keywords,
    // browse sequence, build tag, status. `sixthColumns` tells whether the
    // columns take a sixth of the bar instead of a fifth.
    static TBarSizing* ShareProperties(QToolBar& bar, const std::array<QWidget*, 5>& boxes,
                                       std::function<bool()> sixthColumns);
    // `box` grows or shrinks so that `last` ends one pixel inside the bar.
    static TBarSizing* Stretch(QToolBar& bar, QWidget& box, QWidget& last);
    // The text bar's font and style boxes share what the bar's other
    // controls leave free, the odd pixel going to the font box.
    static TBarSizing* ShareText(QToolBar& bar, QWidget& fontBox, QWidget& styleBox);

    // Sizes the boxes for the bar's present width.
    void Apply();

    // The width the bar's items may fill: the bar less its margins, the
    // gaps between its shown items and its extension button's room.
    static int FreeWidth(const QToolBar& bar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // `apply` sizes the boxes and tells whether any width changed.
    TBarSizing(QToolBar& bar, std::function<bool()> apply);

    QToolBar& bar_;
    std::function<bool()> apply_;
};

} // namespace editor::ui
