#pragma once
// The arithmetic of the main window's bars and splitters: how each bar
// shares its width among its boxes and how far a splitter may be dragged.
// Every division truncates toward zero.
#include <vector>

namespace editor {

inline constexpr int kGridMinWidth = 164;
inline constexpr int kGridMinHeight = 164;
inline constexpr int kEditPanelMinWidth = 510;
inline constexpr int kRichEditMinHeight = 100;
inline constexpr int kErrorLogMinHeight = 70;
inline constexpr int kSplitterThickness = 3;

// The five boxes of the properties bar, left to right.
struct TPropertiesBarWidths {
    int Keywords = 0;
    int AKeywords = 0;
    int Browse = 0;
    int Build = 0;
    int Status = 0;
};
// `sixthColumns`: the columns take a sixth of the bar instead of a fifth.
TPropertiesBarWidths PropertiesBarWidths(int barWidth, bool sixthColumns);
// The properties bar's columns take a sixth for the component help of the
// first two Delphi versions (help-file kinds 16 and 32).
bool SixthPropertyColumns(int helpFileKind);

// What the text bar leaves to its font and style boxes.
struct TTextBarWidths {
    int Font = 0;
    int Macro = 0;
};
// `fixedWidths`: the widths of every other control on the bar (the size box,
// the colour box, the buttons); `separatorWidth` is counted twice.
TTextBarWidths TextBarWidths(int barWidth, int separatorWidth, const std::vector<int>& fixedWidths);

// The new width of the box that stretches so that the bar's last control
// ends one pixel inside the bar.
int StretchedBoxWidth(int boxWidth, int barWidth, int lastControlRight);

struct TSplitLimits {
    int Min = 0;
    int Max = 0;
};
// The grid's splitter, with the grid on the left or the right of the editor.
TSplitLimits GridSplitterLimits(bool gridOnLeft, int clientWidth,
                                int splitterWidth = kSplitterThickness);
// The grid's width after the splitter was dropped at `position`.
int GridWidthAfterSplit(bool gridOnLeft, int position, int clientWidth,
                        int splitterWidth = kSplitterThickness);
// The error log's splitter inside the editor panel.
TSplitLimits ErrorLogSplitterLimits(int editorTop, int editPanelHeight,
                                    int splitterHeight = kSplitterThickness);
int ErrorLogHeightAfterSplit(int position, int editPanelHeight,
                             int splitterHeight = kSplitterThickness);
// A position brought inside the limits.
int ClampSplit(int position, const TSplitLimits& limits);

} // namespace editor
