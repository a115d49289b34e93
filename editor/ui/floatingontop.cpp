#include "editor/ui/floatingontop.h"

#include <QCheckBox>
#include <QDockWidget>
#include <QHBoxLayout>

#include "editor/ui/dockdragguard.h"

namespace editor::ui {

TFloatingOnTop::TFloatingOnTop(TDockDragGuard& guard, QWidget& strip, const char* boxName,
                               const QString& caption, bool& onTop)
    : QObject(&guard.Panel()), panel_(guard.Panel()), strip_(strip),
      box_(new QCheckBox(caption, &strip)), onTop_(onTop) {
    box_->setObjectName(boxName);
    box_->setChecked(true);
    if (!strip.layout()) {
        auto* layout = new QHBoxLayout(&strip);
        layout->setContentsMargins(2, 0, 2, 0);
    }
    strip.layout()->addWidget(box_);
    connect(box_, &QCheckBox::clicked, this, [this](bool checked) {
        onTop_ = checked;
        Apply();
    });
    connect(&guard, &TDockDragGuard::FloatingChanged, this, [this] { Follow(); });
    Follow();
}

void TFloatingOnTop::Follow() {
    const bool floating = panel_.isFloating();
    strip_.setVisible(floating);
    if (floating) {
        box_->setChecked(onTop_);
        Apply();
    }
}

void TFloatingOnTop::Apply() {
    if (!panel_.isFloating())
        return;
    const bool onTop = box_->isChecked();
    if (panel_.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool shown = panel_.isVisible();
    panel_.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown)
        panel_.show(); // a window whose flags change is hidden
}

} // namespace editor::ui
