#include "components/ui/flyingpanel.h"

#include <QApplication>
#include <QFrame>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <array>
#include <optional>

#include "components/ui/ansiqt.h"
#include "components/ui/programcursors.h"
#include "platform/registry.h"

namespace components::ui {

using components::TPanelAlign;

namespace {

Qt::DockWidgetArea AreaOf(TPanelAlign align) {
    switch (align) {
    case TPanelAlign::Bottom:
        return Qt::BottomDockWidgetArea;
    case TPanelAlign::Left:
        return Qt::LeftDockWidgetArea;
    case TPanelAlign::Right:
        return Qt::RightDockWidgetArea;
    default:
        return Qt::TopDockWidgetArea;
    }
}

// The edge of a dock or tool bar area: both kinds of area number their
// edges with the same flags.
std::optional<TPanelAlign> AlignOfArea(int area) {
    static_assert(int(Qt::TopDockWidgetArea) == int(Qt::TopToolBarArea) &&
                  int(Qt::BottomDockWidgetArea) == int(Qt::BottomToolBarArea) &&
                  int(Qt::LeftDockWidgetArea) == int(Qt::LeftToolBarArea) &&
                  int(Qt::RightDockWidgetArea) == int(Qt::RightToolBarArea));
    switch (area) {
    case Qt::TopDockWidgetArea:
        return TPanelAlign::Top;
    case Qt::BottomDockWidgetArea:
        return TPanelAlign::Bottom;
    case Qt::LeftDockWidgetArea:
        return TPanelAlign::Left;
    case Qt::RightDockWidgetArea:
        return TPanelAlign::Right;
    default:
        return std::nullopt;
    }
}

// The rectangles the site's bars take at each edge, united per edge: bars
// that share an edge stand in rows or stacks there.
class TEdgeExtents {
public:
    void Add(std::optional<TPanelAlign> align, const QRect& rect) {
        if (!align)
            return;
        QRect& united = extents_[static_cast<std::size_t>(*align)];
        united = united.united(rect);
    }
    void AppendTo(std::vector<components::TAlignedControl>& aligned) const {
        for (std::size_t i = 1; i < extents_.size(); ++i) {
            if (!extents_[i].isNull())
                aligned.push_back(
                    {static_cast<TPanelAlign>(i), extents_[i].width(), extents_[i].height()});
        }
    }

private:
    std::array<QRect, 5> extents_{};
};

// What takes room at the site's edges, the panel itself excepted: the menu
// bar, the status bar, the tool bars and the other docked widgets.
std::vector<components::TAlignedControl> AlignedControlsOf(QMainWindow* site,
                                                           const QDockWidget* panel) {
    std::vector<components::TAlignedControl> aligned;
    if (QWidget* menu = site->menuWidget(); menu && menu->isVisible())
        aligned.push_back({TPanelAlign::Top, menu->width(), menu->height()});
    if (auto* status = site->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
        status && status->isVisible())
        aligned.push_back({TPanelAlign::Bottom, status->width(), status->height()});
    TEdgeExtents toolBars;
    for (QToolBar* bar : site->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (bar->isVisible() && !bar->isFloating())
            toolBars.Add(AlignOfArea(site->toolBarArea(bar)), bar->geometry());
    }
    toolBars.AppendTo(aligned);
    TEdgeExtents docks;
    for (QDockWidget* dock :
         site->findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (dock != panel && dock->isVisible() && !dock->isFloating())
            docks.Add(AlignOfArea(site->dockWidgetArea(dock)), dock->geometry());
    }
    docks.AppendTo(aligned);
    return aligned;
}

// Takes the place of the dock widget's title bar, taking no room.
class TNoTitleBar : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return QSize(0, 0); }
};

QWidget* TopLevelWidgetNamed(const QString& name) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    auto found = std::find_if(windows.begin(), windows.end(),
                              [&](QWidget* w) { return w->objectName() == name; });
    return found == windows.end() ? nullptr : *found;
}

} // namespace

TFlyingPanel::TFlyingPanel(QWidget* parent) : QDockWidget(parent) {
    // The panel moves only by its own drag: no title bar, no floating.
    setFeatures(QDockWidget::NoDockWidgetFeatures);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    setTitleBarWidget(new TNoTitleBar(this));
    content_ = new QFrame(this);
    content_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    content_->setLineWidth(1);
    setWidget(content_);
    content_->installEventFilter(this);
}

TFlyingPanel::~TFlyingPanel() {
    EndDrag();
}

platform::Registry& TFlyingPanel::Registry() const {
    return registry_ ? *registry_ : platform::DefaultRegistry();
}

QMainWindow* TFlyingPanel::Site() const {
    auto* site = qobject_cast<QMainWindow*>(parentWidget());
    if (!site || site->dockWidgetArea(const_cast<TFlyingPanel*>(this)) == Qt::NoDockWidgetArea)
        return nullptr;
    return site;
}

TPanelAlign TFlyingPanel::Align() const {
    if (QMainWindow* site = Site()) {
        if (auto align = AlignOfArea(site->dockWidgetArea(const_cast<TFlyingPanel*>(this))))
            return *align;
    }
    return align_;
}

void TFlyingPanel::SetAlign(TPanelAlign align) {
    if (QMainWindow* site = Site())
        DockInto(site, align);
    else
        align_ = align;
}

void TFlyingPanel::AddDockSite(QMainWindow* site, bool left, bool right, bool top, bool bottom) {
    sites_.push_back({site, components::TDockEdges{left, right, top, bottom}});
}

void TFlyingPanel::RemoveDockSite(QMainWindow* site) {
    auto found = std::find_if(sites_.begin(), sites_.end(), [site](const TFlyingPanelBase& base) {
        return base.Control == site;
    });
    if (found != sites_.end())
        sites_.erase(found);
}

bool TFlyingPanel::IsDockSite(const QMainWindow* site) const {
    return site && std::any_of(sites_.begin(), sites_.end(), [site](const TFlyingPanelBase& base) {
               return base.Control == site;
           });
}

void TFlyingPanel::MoveInto(QMainWindow* site, TPanelAlign align) {
    if (QMainWindow* present = Site())
        present->removeDockWidget(this);
    site->addDockWidget(AreaOf(align), this,
                        components::IsVerticalAlign(align) ? Qt::Vertical : Qt::Horizontal);
    align_ = align;
}

void TFlyingPanel::DockInto(QMainWindow* site, TPanelAlign align) {
    if (!site || !components::DockAlignFromNumber(static_cast<std::uint32_t>(align)))
        return;
    hide();
    MoveInto(site, align);
    if (components::IsVerticalAlign(align) != vertical_)
        ArrangeControls(components::IsVerticalAlign(align));
    show();
}

std::vector<components::TPanelRect> TFlyingPanel::ControlRects() const {
    std::vector<components::TPanelRect> rects;
    for (const QPointer<QWidget>& control : controls_) {
        if (control)
            rects.push_back({control->x(), control->y(), control->width(), control->height()});
        else
            rects.push_back({});
    }
    return rects;
}

void TFlyingPanel::Loaded() {
    controls_.clear();
    for (QWidget* control : content_->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        controls_.push_back(control);
    vertical_ = components::IsVerticalAlign(Align());
    layout_ = components::RecordControlLayout(ControlRects(), vertical_);
    ArrangeControls(vertical_);
    if (!registryKey_.empty())
        LoadState(registryKey_);
}

void TFlyingPanel::UpdateControlSizes() {
    layout_.LargestWidth = layout_.LargestHeight = 0;
    for (const components::TPanelRect& rect : ControlRects()) {
        layout_.LargestWidth = std::max(layout_.LargestWidth, rect.Width);
        layout_.LargestHeight = std::max(layout_.LargestHeight, rect.Height);
    }
}

void TFlyingPanel::ArrangeControls(bool vertical) {
    vertical_ = vertical;
    const components::TPanelArrangement arrangement = components::ArrangePanelControls(
        layout_, ControlRects(), vertical, marginHor_, marginVert_);
    for (qsizetype i = 0; i < controls_.size(); ++i) {
        const components::TPanelRect& r = arrangement.Controls[std::size_t(i)];
        if (controls_[i])
            controls_[i]->setGeometry(r.Left, r.Top, r.Width, r.Height);
    }
    if (vertical) {
        content_->setMinimumSize(arrangement.Thickness, arrangement.Length);
        content_->setMaximumSize(arrangement.Thickness, QWIDGETSIZE_MAX);
    } else {
        content_->setMinimumSize(arrangement.Length, arrangement.Thickness);
        content_->setMaximumSize(QWIDGETSIZE_MAX, arrangement.Thickness);
    }
}

void TFlyingPanel::LoadState(const std::string& key) {
    const auto state = components::LoadFlyingPanelState(Registry(), key, FromQString(objectName()));
    if (!state)
        return;
    const auto align = components::DockAlignFromNumber(state->Align);
    QWidget* form = TopLevelWidgetNamed(ToQString(state->ParentForm));
    if (!align || !form)
        return;
    QWidget* control = state->ParentControl == state->ParentForm
                           ? form
                           : form->findChild<QWidget*>(ToQString(state->ParentControl));
    auto* site = qobject_cast<QMainWindow*>(control);
    if (!IsDockSite(site))
        return;
    hide();
    MoveInto(site, *align);
    ArrangeControls(components::IsVerticalAlign(*align));
    setVisible(state->Visible);
}

void TFlyingPanel::SaveState(const std::string& key) {
    components::TFlyingPanelState state;
    if (QWidget* parent = parentWidget()) {
        state.ParentForm = FromQString(parent->window()->objectName());
        state.ParentControl = FromQString(parent->objectName());
    }
    state.Align = static_cast<std::uint32_t>(Align());
    state.Visible = !isHidden();
    components::SaveFlyingPanelState(Registry(), key, FromQString(objectName()), state);
}

bool TFlyingPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != content_)
        return QDockWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // A press on one of the controls is the control's own.
        if (mouse->button() == Qt::LeftButton && !content_->childAt(mouse->position().toPoint())) {
            StartDrag(mouse->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::MouseMove:
        if (armed_) {
            DragTo(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (armed_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            EndDrag();
            return true;
        }
        break;
    default:
        break;
    }
    return QDockWidget::eventFilter(watched, event);
}

void TFlyingPanel::StartDrag(const QPoint& globalPos) {
    armed_ = true;
    moving_ = false;
    pressPoint_ = globalPos;
    if (!cursorSet_) {
        QApplication::setOverrideCursor(ProgramCursor(TProgramCursor::Fly));
        cursorSet_ = true;
    }
}

void TFlyingPanel::EndDrag() {
    armed_ = false;
    moving_ = false;
    if (cursorSet_) {
        QApplication::restoreOverrideCursor();
        cursorSet_ = false;
    }
}

void TFlyingPanel::DragTo(const QPoint& globalPos) {
    if (!moving_) {
        const QPoint moved = globalPos - pressPoint_;
        moving_ = components::DragStarted(moved.x(), moved.y());
    }
    const QPoint local = mapFromGlobal(globalPos);
    if (!moving_ || !components::FarOutsidePanel(local.x(), local.y(), width(), height()))
        return;
    QMainWindow* present = Site();
    if (present) {
        auto registered =
            std::find_if(sites_.begin(), sites_.end(), [present](const TFlyingPanelBase& base) {
                return base.Control == present;
            });
        const components::TDockEdges edges = registered != sites_.end()
                                                 ? registered->Edges
                                                 : components::EdgesOfOrientation(vertical_);
        if (TryDocking(present, edges, globalPos))
            return;
    }
    // The handler of a dock may register sites anew: walk a copy.
    const std::vector<TFlyingPanelBase> sites = sites_;
    for (const TFlyingPanelBase& base : sites) {
        if (base.Control && base.Control != present &&
            TryDocking(base.Control, base.Edges, globalPos))
            return;
    }
}

bool TFlyingPanel::TryDocking(QMainWindow* site, const components::TDockEdges& edges,
                              const QPoint& globalPos) {
    if (!site->isVisible())
        return false;
    const QPoint point = site->mapFromGlobal(globalPos);
    const components::TPanelRect free = components::FreeClientArea(
        {0, 0, site->width(), site->height()}, AlignedControlsOf(site, this));
    const int thickness = vertical_ ? width() : height();
    const auto edge = components::DockEdgeAt(free, edges, thickness, point.x(), point.y());
    if (!edge)
        return false;
    DockInto(site, *edge);
    EndDrag();
    emit DockChanged();
    return true;
}

} // namespace components::ui
