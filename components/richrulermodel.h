#pragma once
// What the ruler above the rich-edit control shows and edits: the first-line,
// left and right indents and the tab stops of the current paragraph, the page
// width, the tick marks, and the mouse editing of the markers. Positions are
// kept in twips, as the paragraph holds them; pixels are only for drawing and
// for the pointer. A marker the pointer did not move keeps its twips exactly,
// so showing a paragraph and clicking around on the ruler never changes it.
// The widget (components/ui/richruler.h) draws what this model says.
#include <cstdint>
#include <vector>

#include "components/rtf/rtfformat.h"

namespace components {

enum class TRulerUnits { ruCentimeters, ruInches };
enum class TRulerMarker { None, FirstIndent, LeftIndent, RightIndent, Tab };

struct TRulerTick {
    enum TKind { Short, Medium, Long };
    int X = 0; // ruler pixels
    TKind Kind = Short;
    int Label = 0; // the unit number at a long tick; 0 for none
    bool operator==(const TRulerTick&) const = default;
};

class TRichRulerModel {
public:
    static constexpr int kTwipsPerInch = 1440;

    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int pixelsPerInch);
    // The size of a marker in pixels.
    int ButtonSize() const { return buttonSize_; }
    void SetButtonSize(int size);
    // The page's width in Units; values of 0 or less are ignored.
    double PageSize() const { return pageSize_; }
    void SetPageSize(double size);
    TRulerUnits Units() const { return units_; }
    void SetUnits(TRulerUnits units);

    int PageWidthPixels() const { return pageWidthPixels_; }
    int PageWidthTwips() const;
    int TwipsToPixels(int twips) const;
    int PixelsToTwips(int pixels) const;

    // Shows a paragraph; a drag in progress ends without writing.
    void ReadParagraph(const rtf::ParaFormat& paragraph);
    // The paragraph as shown, with what the ruler changed.
    rtf::ParaFormat Paragraph() const;
    // Twips; the first-line and left indents from the page's left end, the
    // right indent from its right end.
    int FirstIndent() const { return first_; }
    int LeftIndent() const { return left_; }
    int RightIndent() const { return right_; }
    const std::vector<rtf::TabStop>& Tabs() const { return tabs_; }

    // The page's left end lies at x = ButtonSize / 2, so that a marker at page
    // pixel p covers p ... p + ButtonSize with its centre over p.
    int PageOrigin() const { return buttonSize_ / 2; }
    // The left edge of each marker, in ruler pixels.
    int FirstMarkerX() const { return TwipsToPixels(first_); }
    int LeftMarkerX() const { return TwipsToPixels(left_); }
    int RightMarkerX() const { return pageWidthPixels_ - TwipsToPixels(right_); }
    int TabMarkerX(std::size_t index) const { return TwipsToPixels(tabs_.at(index).position); }
    bool TabInsidePage(std::size_t index) const;

    // Mouse editing on a ruler `height` pixels high. Press starts a drag when
    // it hits a marker or the tab strip (which adds a tab while there are
    // fewer than 32); Move returns true when the picture changed; Release
    // ends the drag, drops a tab dragged off the page, sorts the tabs and
    // returns the paragraph members that changed (rtf::ParaMask bits, 0 when
    // nothing did).
    bool Press(int x, int y, int height);
    bool Move(int x);
    std::uint32_t Release();
    bool Dragging() const { return marker_ != TRulerMarker::None; }
    TRulerMarker DragMarker() const { return marker_; }
    // The ruler x of the dragged marker's centre, where the guide line runs.
    int GuideX() const;

    // From the page start every quarter unit, up to the page end or the
    // ruler x `maxX`, whichever comes first.
    std::vector<TRulerTick> Ticks(int maxX) const;

private:
    struct TSnapshot {
        int First = 0;
        int Left = 0;
        int Right = 0;
        std::vector<rtf::TabStop> Tabs;
    };

    void UpdatePageWidth();
    TRulerMarker HitTest(int x, int y, int height, std::size_t& tabIndex) const;
    bool StartDrag(TRulerMarker marker, std::size_t tabIndex, int x, int markerX);
    int DraggedMarkerX() const;
    int& DraggedValue();
    int ClampDragged(int twips) const;
    std::uint32_t ChangedMembers() const;

    int pixelsPerInch_ = 96;
    int buttonSize_ = 8;
    double pageSize_ = 0;
    TRulerUnits units_ = TRulerUnits::ruCentimeters;
    int pageWidthPixels_ = 0;

    rtf::ParaFormat paragraph_;
    int first_ = 0;
    int left_ = 0;
    int right_ = 0;
    std::vector<rtf::TabStop> tabs_;

    TRulerMarker marker_ = TRulerMarker::None;
    std::size_t tabIndex_ = 0;
    int grabOffset_ = 0;
    int startMarkerX_ = 0;
    int startValue_ = 0;
    TSnapshot beforeDrag_;
};

} // namespace components
