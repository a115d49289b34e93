#include "editor/barlayout.h"

#include <algorithm>

namespace editor {

TPropertiesBarWidths PropertiesBarWidths(int barWidth, bool sixthColumns) {
    const int column = std::min((barWidth - 2) / (sixthColumns ? 6 : 5), 80);
    const int rest = barWidth - 3 * column - 2;
    TPropertiesBarWidths widths;
    widths.Browse = widths.Build = widths.Status = column;
    widths.Keywords = (rest + 1) / 2;
    widths.AKeywords = rest / 2;
    return widths;
}

bool SixthPropertyColumns(int helpFileKind) {
    return helpFileKind == 16 || helpFileKind == 32;
}

TTextBarWidths TextBarWidths(int barWidth, int separatorWidth,
                             const std::vector<int>& fixedWidths) {
    int rest = barWidth - 2 - 2 * separatorWidth;
    for (int width : fixedWidths)
        rest -= width;
    return {(rest + 1) / 2, rest / 2};
}

int StretchedBoxWidth(int boxWidth, int barWidth, int lastControlRight) {
    return boxWidth + barWidth - (lastControlRight + 1);
}

TSplitLimits GridSplitterLimits(bool gridOnLeft, int clientWidth, int splitterWidth) {
    if (gridOnLeft)
        return {kGridMinWidth, clientWidth - kEditPanelMinWidth - splitterWidth};
    return {kEditPanelMinWidth, clientWidth - kGridMinWidth - splitterWidth};
}

int GridWidthAfterSplit(bool gridOnLeft, int position, int clientWidth, int splitterWidth) {
    return gridOnLeft ? position : clientWidth - position - splitterWidth;
}

TSplitLimits ErrorLogSplitterLimits(int editorTop, int editPanelHeight, int splitterHeight) {
    return {editorTop + kRichEditMinHeight, editPanelHeight - kErrorLogMinHeight - splitterHeight};
}

int ErrorLogHeightAfterSplit(int position, int editPanelHeight, int splitterHeight) {
    return editPanelHeight - position - splitterHeight;
}

int ClampSplit(int position, const TSplitLimits& limits) {
    // A window too small for both minimums keeps the lower limit.
    return std::max(limits.Min, std::min(position, limits.Max));
}

} // namespace editor
