#include "editor/ui/barsizing.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QStyle>
#include <QToolBar>
#include <algorithm>
#include <vector>

#include "editor/barlayout.h"

namespace editor::ui {

namespace {

constexpr int kSmallestBox = 60; // a box narrower than this shows nothing useful

// The bar's shown items, left to right.
std::vector<QWidget*> ShownItems(const QToolBar& bar) {
    std::vector<QWidget*> items;
    for (QAction* action : bar.actions()) {
        QWidget* widget = bar.widgetForAction(action);
        if (widget && action->isVisible())
            items.push_back(widget);
    }
    return items;
}

// The width the bar's layout gives an item of its own accord (an item the
// bar moved into its extension menu is hidden, but counts all the same).
int ItemWidth(const QWidget& widget) {
    int width = std::max(widget.sizeHint().width(), widget.minimumSizeHint().width());
    width = std::min(width, widget.maximumWidth());
    return std::max(width, widget.minimumWidth());
}

// Where the bar's items may stand: from `Left` up to `Right` (exclusive),
// `Spacing` apart.
struct TBarRoom {
    int Left = 0;
    int Right = 0;
    int Spacing = 0;
};

TBarRoom RoomOf(const QToolBar& bar) {
    const QLayout* layout = bar.layout();
    const QMargins margins = layout ? layout->contentsMargins() : QMargins();
    const int extension =
        bar.style()->pixelMetric(QStyle::PM_ToolBarExtensionExtent, nullptr, &bar);
    return {margins.left(), bar.width() - margins.right() - extension,
            layout ? layout->spacing() : 0};
}

// Whether the width changed.
bool SetWidth(QWidget& widget, int width) {
    if (widget.minimumWidth() == width && widget.maximumWidth() == width)
        return false;
    widget.setFixedWidth(width);
    return true;
}

} // namespace

TBarSizing::TBarSizing(QToolBar& bar, std::function<bool()> apply)
    : QObject(&bar), bar_(bar), apply_(std::move(apply)) {
    bar.installEventFilter(this);
}

int TBarSizing::FreeWidth(const QToolBar& bar) {
    const TBarRoom room = RoomOf(bar);
    const int items = static_cast<int>(ShownItems(bar).size());
    return room.Right - room.Left - room.Spacing * std::max(items - 1, 0);
}

TBarSizing* TBarSizing::ShareProperties(QToolBar& bar, const std::array<QWidget*, 5>& boxes,
                                        std::function<bool()> sixthColumns) {
    return new TBarSizing(bar, [&bar, boxes, sixthColumns = std::move(sixthColumns)] {
        // The arithmetic's two pixels of border are the bar's own room here.
        const TPropertiesBarWidths widths =
            PropertiesBarWidths(FreeWidth(bar) + 2, sixthColumns && sixthColumns());
        const int shared[] = {widths.Keywords, widths.AKeywords, widths.Browse, widths.Build,
                              widths.Status};
        bool changed = false;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            changed = SetWidth(*boxes[i], std::max(shared[i], 1)) || changed;
        return changed;
    });
}

TBarSizing* TBarSizing::Stretch(QToolBar& bar, QWidget& box, QWidget& last) {
    return new TBarSizing(bar, [&bar, &box, &last] {
        // Where the last control ends with the box at its present width,
        // counted as the bar lays its items out.
        const TBarRoom room = RoomOf(bar);
        int lastRight = room.Left - room.Spacing;
        bool lastShown = false;
        for (QWidget* item : ShownItems(bar)) {
            lastRight += room.Spacing + (item == &box ? box.width() : ItemWidth(*item));
            if (item == &last) {
                lastShown = true;
                break;
            }
        }
        if (!lastShown)
            return false;
        // One pixel inside the bar: the last control ends where the room does.
        const int width = StretchedBoxWidth(box.width(), room.Right + 1, lastRight);
        return SetWidth(box, std::max(width, kSmallestBox));
    });
}

TBarSizing* TBarSizing::ShareText(QToolBar& bar, QWidget& fontBox, QWidget& styleBox) {
    return new TBarSizing(bar, [&bar, &fontBox, &styleBox] {
        std::vector<int> fixed;
        int separator = 0;
        for (QAction* action : bar.actions()) {
            QWidget* widget = bar.widgetForAction(action);
            if (!widget || !action->isVisible() || widget == &fontBox || widget == &styleBox)
                continue;
            if (action->isSeparator())
                separator = std::max(separator, widget->sizeHint().width());
            else
                fixed.push_back(widget->sizeHint().width());
        }
        // The bar's own handle, margins and spacing stand where the fixed
        // two pixels of the arithmetic do.
        fixed.push_back(bar.width() - FreeWidth(bar));
        // Two separators are counted; any beyond them go with the fixed widths.
        const QList<QAction*> actions = bar.actions();
        const auto separators = std::count_if(actions.begin(), actions.end(),
                                              [](QAction* a) { return a->isSeparator(); });
        if (separators > 2)
            fixed.push_back(static_cast<int>(separators - 2) * separator);
        const TTextBarWidths widths = TextBarWidths(bar.width(), separator, fixed);
        const bool font = SetWidth(fontBox, std::max(widths.Font, kSmallestBox));
        return SetWidth(styleBox, std::max(widths.Macro, kSmallestBox)) || font;
    });
}

void TBarSizing::Apply() {
    // A box the bar had moved into its extension menu is hidden and asks
    // for no new layout by itself.
    if (apply_() && bar_.layout())
        bar_.layout()->invalidate();
}

bool TBarSizing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &bar_ && event->type() == QEvent::Resize)
        Apply();
    return QObject::eventFilter(watched, event);
}

} // namespace editor::ui
