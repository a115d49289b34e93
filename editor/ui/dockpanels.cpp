#include "editor/ui/dockpanels.h"

#include <QBoxLayout>
#include <QDockWidget>
#include <QMainWindow>
#include <algorithm>

#include "editor/barlayout.h"
#include "editor/ui/dockdragguard.h"
#include "editor/ui/floatingontop.h"

namespace editor::ui {

TDockPanels::TDockPanels(const TParts& parts, bool& gridOnTop, bool& hcErrorOnTop,
                         const bool& applyingLayout)
    : QObject(&parts.Window), window_(parts.Window), applyingLayout_(applyingLayout),
      gridDrag_(new TDockDragGuard(parts.Window, parts.PanelGrid)),
      hcErrorDrag_(new TDockDragGuard(parts.Window, parts.PanelHCError)) {
    auto* gridStrip = new QWidget(&parts.GridContents);
    gridStrip->setObjectName("PanelGridOnTop");
    if (auto* layout = qobject_cast<QVBoxLayout*>(parts.GridContents.layout()))
        layout->insertWidget(1, gridStrip);
    gridOnTop_ =
        new TFloatingOnTop(*gridDrag_, *gridStrip, "CheckGridOnTop", tr("Stay On Top"), gridOnTop);

    auto* errorStrip = new QWidget(&parts.HCErrorContents);
    errorStrip->setObjectName("PanelHCErrorOnTop");
    QLayout* errorLayout = parts.HCErrorContents.layout();
    QLayoutItem* side = errorLayout ? errorLayout->itemAt(1) : nullptr;
    if (auto* sideLayout = side ? qobject_cast<QBoxLayout*>(side->layout()) : nullptr)
        sideLayout->insertWidget(2, errorStrip);
    hcErrorOnTop_ = new TFloatingOnTop(*hcErrorDrag_, *errorStrip, "CheckHCErrorOnTop",
                                       tr("On Top"), hcErrorOnTop);

    connect(gridDrag_, &TDockDragGuard::LeftSite, this, &TDockPanels::GridLeftSite);
}

void TDockPanels::GridLeftSite(int width) {
    if (applyingLayout_ || !window_.isVisible())
        return;
    window_.resize(std::max(window_.minimumWidth(), window_.width() - width - kSplitterThickness),
                   window_.height());
}

} // namespace editor::ui
