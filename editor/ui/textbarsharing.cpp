#include "editor/ui/textbarsharing.h"

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

} // namespace

TTextBarSharing::TTextBarSharing(QToolBar& bar, QWidget& fontBox, QWidget& styleBox)
    : QObject(&bar), bar_(bar), fontBox_(fontBox), styleBox_(styleBox) {
    bar.installEventFilter(this);
}

void TTextBarSharing::Share() {
    std::vector<int> fixed;
    int separator = 0;
    int items = 0;
    for (QAction* action : bar_.actions()) {
        QWidget* widget = bar_.widgetForAction(action);
        if (!widget || !action->isVisible())
            continue;
        ++items;
        if (widget == &fontBox_ || widget == &styleBox_)
            continue;
        if (action->isSeparator())
            separator = std::max(separator, widget->sizeHint().width());
        else
            fixed.push_back(widget->sizeHint().width());
    }
    // The bar's own handle, margins and spacing stand where the fixed
    // two pixels of the arithmetic do.
    const int spacing = bar_.layout() ? bar_.layout()->spacing() : 0;
    const QMargins margins = bar_.layout() ? bar_.layout()->contentsMargins() : QMargins();
    const int extension =
        bar_.style()->pixelMetric(QStyle::PM_ToolBarExtensionExtent, nullptr, &bar_);
    fixed.push_back(spacing * std::max(items - 1, 0) + margins.left() + margins.right() +
                    extension);
    // Two separators are counted; any beyond them go with the fixed widths.
    const QList<QAction*> actions = bar_.actions();
    const auto separators =
        std::count_if(actions.begin(), actions.end(), [](QAction* a) { return a->isSeparator(); });
    if (separators > 2)
        fixed.push_back(static_cast<int>(separators - 2) * separator);
    const TTextBarWidths widths = TextBarWidths(bar_.width(), separator, fixed);
    fontBox_.setFixedWidth(std::max(widths.Font, kSmallestBox));
    styleBox_.setFixedWidth(std::max(widths.Macro, kSmallestBox));
}

bool TTextBarSharing::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &bar_ && event->type() == QEvent::Resize)
        Share();
    return QObject::eventFilter(watched, event);
}

} // namespace editor::ui
