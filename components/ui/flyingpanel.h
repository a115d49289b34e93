#pragma once
// The floating tool panel: a tool-bar panel docked at an edge of a main
// window, which the person drags with the mouse to another edge or into
// another registered window, and which keeps where it was docked in the
// registry. Its controls stand in one row, or in one column while it is
// docked left or right. The rules (drag threshold, hot zones, layout,
// registry values) are components/flyingpanellayout.h.
//
// A dock site is a QMainWindow (the window itself, or one inside a window):
// the panel is one of its dock widgets, without title bar or float button;
// only its own drag moves it. The owner puts the controls on Content() at
// their designed places, docks the panel with DockInto and calls Loaded().
#include <QDockWidget>
#include <QPointer>
#include <QVector>
#include <string>
#include <vector>

#include "components/flyingpanellayout.h"

class QFrame;
class QMainWindow;

namespace platform {
class Registry;
}

namespace components::ui {

// A registered dock site and the edges the panel may dock at.
struct TFlyingPanelBase {
    QPointer<QMainWindow> Control;
    components::TDockEdges Edges;
};

class TFlyingPanel : public QDockWidget {
    Q_OBJECT
public:
    explicit TFlyingPanel(QWidget* parent = nullptr);
    ~TFlyingPanel() override;

    // The panel's face, on which its controls are placed.
    QFrame* Content() const { return content_; }

    int MarginHor() const { return marginHor_; }
    void SetMarginHor(int margin) { marginHor_ = margin; }
    int MarginVert() const { return marginVert_; }
    void SetMarginVert(int margin) { marginVert_ = margin; }
    // Empty: the panel keeps no state.
    const std::string& RegistryKey() const { return registryKey_; }
    void SetRegistryKey(std::string key) { registryKey_ = std::move(key); }
    // The registry the state goes to; nullptr for the program's own.
    void SetRegistry(platform::Registry* registry) { registry_ = registry; }

    // The edge the panel is docked at (Top until it is docked).
    components::TPanelAlign Align() const;
    // Docks the panel at another edge of its present site.
    void SetAlign(components::TPanelAlign align);
    // The main window the panel is docked in, if any.
    QMainWindow* Site() const;

    void AddDockSite(QMainWindow* site, bool left, bool right, bool top, bool bottom);
    // Removes the first entry for the site.
    void RemoveDockSite(QMainWindow* site);
    bool IsDockSite(const QMainWindow* site) const;
    const std::vector<TFlyingPanelBase>& DockSites() const { return sites_; }

    // Moves the panel into the site at the edge, turning its controls into a
    // column or a row as the edge asks.
    void DockInto(QMainWindow* site, components::TPanelAlign align);

    // After the controls are placed: notes their order and spacing, arranges
    // them for the present edge, then loads the state when RegistryKey is set.
    void Loaded();
    // Notes the controls' present largest width and height (after the owner
    // resized them) for the next arrangement.
    void UpdateControlSizes();
    void ArrangeControls(bool vertical);
    bool Vertical() const { return vertical_; }

    // The state under HKEY_CURRENT_USER\<key>\<object name>. Loading docks the
    // panel only into a registered site, at one of the four edges; anything
    // else leaves it where it is.
    void LoadState(const std::string& key);
    void SaveState(const std::string& key);

    // Drag state, for tests and the owner.
    bool DragArmed() const { return armed_; }
    bool Moving() const { return moving_; }

signals:
    // The person docked the panel by dragging it.
    void DockChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::Registry& Registry() const;
    void MoveInto(QMainWindow* site, components::TPanelAlign align);
    void StartDrag(const QPoint& globalPos);
    void DragTo(const QPoint& globalPos);
    void EndDrag();
    bool TryDocking(QMainWindow* site, const components::TDockEdges& edges,
                    const QPoint& globalPos);
    std::vector<components::TPanelRect> ControlRects() const;

    QFrame* content_;
    int marginHor_ = 5;
    int marginVert_ = 3;
    std::string registryKey_;
    platform::Registry* registry_ = nullptr;
    std::vector<TFlyingPanelBase> sites_;
    QVector<QPointer<QWidget>> controls_;
    components::TPanelControlLayout layout_;
    components::TPanelAlign align_ = components::TPanelAlign::Top;
    bool vertical_ = false;
    bool armed_ = false;
    bool moving_ = false;
    bool cursorSet_ = false;
    QPoint pressPoint_;
};

} // namespace components::ui
