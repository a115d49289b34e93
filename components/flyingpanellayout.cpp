#include "components/flyingpanellayout.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "platform/registry.h"

namespace components {

namespace {

constexpr int kHotZoneMargin = 5;
constexpr int kDragThreshold = 4;
constexpr int kOutsideMargin = 5;

TPanelRect Grown(TPanelRect r, int by) {
    return {r.Left - by, r.Top - by, r.Width + 2 * by, r.Height + 2 * by};
}

TPanelRect EdgeStrip(const TPanelRect& area, TPanelAlign edge, int thickness) {
    switch (edge) {
    case TPanelAlign::Top:
        return {area.Left, area.Top, area.Width, thickness};
    case TPanelAlign::Bottom:
        return {area.Left, area.Bottom() - thickness, area.Width, thickness};
    case TPanelAlign::Left:
        return {area.Left, area.Top, thickness, area.Height};
    case TPanelAlign::Right:
        return {area.Right() - thickness, area.Top, thickness, area.Height};
    case TPanelAlign::None:
        break;
    }
    return {};
}

} // namespace

std::optional<TPanelAlign> DockAlignFromNumber(std::uint32_t number) {
    if (number < 1 || number > 4)
        return std::nullopt;
    return static_cast<TPanelAlign>(number);
}

TDockEdges EdgesOfOrientation(bool vertical) {
    TDockEdges edges;
    edges.Left = edges.Right = vertical;
    edges.Top = edges.Bottom = !vertical;
    return edges;
}

TPanelRect FreeClientArea(TPanelRect client, const std::vector<TAlignedControl>& aligned) {
    int left = client.Left;
    int top = client.Top;
    int right = client.Right();
    int bottom = client.Bottom();
    for (const TAlignedControl& control : aligned) {
        switch (control.Align) {
        case TPanelAlign::Top:
            top += control.Height;
            break;
        case TPanelAlign::Bottom:
            bottom -= control.Height;
            break;
        case TPanelAlign::Left:
            left += control.Width;
            break;
        case TPanelAlign::Right:
            right -= control.Width;
            break;
        case TPanelAlign::None:
            break;
        }
    }
    return {left, top, right - left, bottom - top};
}

std::optional<TPanelAlign> DockEdgeAt(const TPanelRect& freeArea, const TDockEdges& edges,
                                      int thickness, int x, int y) {
    const std::pair<TPanelAlign, bool> order[] = {{TPanelAlign::Top, edges.Top},
                                                  {TPanelAlign::Left, edges.Left},
                                                  {TPanelAlign::Right, edges.Right},
                                                  {TPanelAlign::Bottom, edges.Bottom}};
    for (const auto& [edge, allowed] : order) {
        if (allowed && Grown(EdgeStrip(freeArea, edge, thickness), kHotZoneMargin).Contains(x, y))
            return edge;
    }
    return std::nullopt;
}

bool DragStarted(int dx, int dy) {
    return std::abs(dx) > kDragThreshold || std::abs(dy) > kDragThreshold;
}

bool FarOutsidePanel(int x, int y, int width, int height) {
    return x < -kOutsideMargin || x > width + kOutsideMargin || y < -kOutsideMargin ||
           y > height + kOutsideMargin;
}

TPanelControlLayout RecordControlLayout(const std::vector<TPanelRect>& controls, bool vertical) {
    TPanelControlLayout layout;
    layout.Order.resize(controls.size());
    std::iota(layout.Order.begin(), layout.Order.end(), std::size_t{0});
    auto start = [&](std::size_t i) { return vertical ? controls[i].Top : controls[i].Left; };
    auto end = [&](std::size_t i) { return vertical ? controls[i].Bottom() : controls[i].Right(); };
    std::stable_sort(layout.Order.begin(), layout.Order.end(),
                     [&](std::size_t a, std::size_t b) { return start(a) < start(b); });
    for (std::size_t n = 0; n < layout.Order.size(); ++n) {
        const std::size_t i = layout.Order[n];
        if (n == 0)
            layout.FirstOffset = start(i);
        layout.Gaps.push_back(n == 0 ? 0 : start(i) - end(layout.Order[n - 1]));
        layout.LargestWidth = std::max(layout.LargestWidth, controls[i].Width);
        layout.LargestHeight = std::max(layout.LargestHeight, controls[i].Height);
    }
    return layout;
}

TPanelArrangement ArrangePanelControls(const TPanelControlLayout& layout,
                                       const std::vector<TPanelRect>& sizes, bool vertical,
                                       int marginHor, int marginVert) {
    TPanelArrangement result;
    result.Controls = sizes;
    result.Thickness =
        vertical ? 2 * marginHor + layout.LargestWidth : 2 * marginVert + layout.LargestHeight;
    int position = layout.FirstOffset;
    for (std::size_t n = 0; n < layout.Order.size() && layout.Order[n] < sizes.size(); ++n) {
        TPanelRect& control = result.Controls[layout.Order[n]];
        if (n > 0)
            position += layout.Gaps[n];
        if (vertical) {
            control.Left = (result.Thickness - control.Width) / 2;
            control.Top = position;
            position += control.Height;
        } else {
            control.Left = position;
            control.Top = (result.Thickness - control.Height) / 2;
            position += control.Width;
        }
    }
    result.Length = position + layout.FirstOffset;
    return result;
}

std::string FlyingPanelStateKey(std::string_view key, std::string_view panelName) {
    std::string path(key);
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    path += panelName;
    return path;
}

void SaveFlyingPanelState(platform::Registry& registry, std::string_view key,
                          std::string_view panelName, const TFlyingPanelState& state) {
    using platform::RootKey;
    const std::string path = FlyingPanelStateKey(key, panelName);
    registry.CreateKey(RootKey::CurrentUser, path);
    registry.WriteString(RootKey::CurrentUser, path, "ParentForm", state.ParentForm);
    registry.WriteString(RootKey::CurrentUser, path, "ParentControl", state.ParentControl);
    registry.WriteDword(RootKey::CurrentUser, path, "Align", state.Align);
    registry.WriteBinary(RootKey::CurrentUser, path, "Visible",
                         std::string(1, state.Visible ? '\x01' : '\x00'));
}

std::optional<TFlyingPanelState> LoadFlyingPanelState(platform::Registry& registry,
                                                      std::string_view key,
                                                      std::string_view panelName) {
    using platform::RootKey;
    const std::string path = FlyingPanelStateKey(key, panelName);
    if (!registry.KeyExists(RootKey::CurrentUser, path))
        return std::nullopt;
    auto form = registry.ReadString(RootKey::CurrentUser, path, "ParentForm");
    if (!form)
        return std::nullopt;
    TFlyingPanelState state;
    state.ParentForm = std::move(*form);
    state.ParentControl =
        registry.ReadString(RootKey::CurrentUser, path, "ParentControl").value_or(state.ParentForm);
    state.Align = registry.ReadDword(RootKey::CurrentUser, path, "Align").value_or(0);
    const auto visible = registry.ReadBinary(RootKey::CurrentUser, path, "Visible");
    state.Visible = !visible || visible->empty() || visible->front() != '\0';
    return state;
}

} // namespace components
