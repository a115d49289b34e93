#include "components/richrulermodel.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace components {

namespace {

constexpr double kCentimetresPerInch = 2.54;
// A page wider than this is no page a ruler can show; it also keeps the
// pixel arithmetic far from overflowing.
constexpr double kWidestPagePixels = 1 << 20;

int ClampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int RoundToInt(double value) {
    return static_cast<int>(std::lround(std::clamp<double>(value, std::numeric_limits<int>::min(),
                                                           std::numeric_limits<int>::max())));
}

} // namespace

void TRichRulerModel::SetPixelsPerInch(int pixelsPerInch) {
    if (pixelsPerInch <= 0)
        return;
    pixelsPerInch_ = pixelsPerInch;
    UpdatePageWidth();
}

void TRichRulerModel::SetButtonSize(int size) {
    buttonSize_ = std::max(size, 1);
}

void TRichRulerModel::SetPageSize(double size) {
    if (!(size > 0))
        return;
    pageSize_ = size;
    UpdatePageWidth();
}

void TRichRulerModel::SetUnits(TRulerUnits units) {
    units_ = units;
    UpdatePageWidth();
}

void TRichRulerModel::UpdatePageWidth() {
    double inches =
        units_ == TRulerUnits::ruCentimeters ? pageSize_ / kCentimetresPerInch : pageSize_;
    pageWidthPixels_ = RoundToInt(std::min(inches * pixelsPerInch_, kWidestPagePixels));
}

int TRichRulerModel::PageWidthTwips() const {
    return PixelsToTwips(pageWidthPixels_);
}

int TRichRulerModel::TwipsToPixels(int twips) const {
    return RoundToInt(double(twips) * pixelsPerInch_ / kTwipsPerInch);
}

int TRichRulerModel::PixelsToTwips(int pixels) const {
    return RoundToInt(double(pixels) * kTwipsPerInch / pixelsPerInch_);
}

void TRichRulerModel::ReadParagraph(const rtf::ParaFormat& paragraph) {
    paragraph_ = paragraph;
    first_ = ClampToInt(std::int64_t(paragraph.leftIndent) + paragraph.firstIndent);
    left_ = paragraph.leftIndent;
    right_ = paragraph.rightIndent;
    tabs_ = paragraph.tabs;
    marker_ = TRulerMarker::None;
}

rtf::ParaFormat TRichRulerModel::Paragraph() const {
    rtf::ParaFormat paragraph = paragraph_;
    paragraph.leftIndent = left_;
    paragraph.firstIndent = ClampToInt(std::int64_t(first_) - left_);
    paragraph.rightIndent = right_;
    paragraph.tabs = tabs_;
    return paragraph;
}

bool TRichRulerModel::TabInsidePage(std::size_t index) const {
    int position = tabs_.at(index).position;
    return position > 0 && position < PageWidthTwips();
}

TRulerMarker TRichRulerModel::HitTest(int x, int y, int height, std::size_t& tabIndex) const {
    const int b = buttonSize_;
    auto within = [&](int markerX) { return x >= markerX && x <= markerX + b; };
    if (within(FirstMarkerX()) && y <= b)
        return TRulerMarker::FirstIndent;
    if (within(LeftMarkerX()) && y >= height - b)
        return TRulerMarker::LeftIndent;
    if (within(RightMarkerX()) && y >= height - b)
        return TRulerMarker::RightIndent;
    if (y > height - 2 * b && y < height - b) {
        // A tab marker covers the same box as the indent markers do.
        for (std::size_t i = 0; i < tabs_.size(); ++i) {
            if (within(TabMarkerX(i))) {
                tabIndex = i;
                return TRulerMarker::Tab;
            }
        }
        tabIndex = tabs_.size();
        return TRulerMarker::Tab;
    }
    return TRulerMarker::None;
}

bool TRichRulerModel::Press(int x, int y, int height) {
    if (Dragging())
        return false;
    std::size_t tabIndex = 0;
    TRulerMarker marker = HitTest(x, y, height, tabIndex);
    beforeDrag_ = {first_, left_, right_, tabs_};
    switch (marker) {
    case TRulerMarker::None:
        return false;
    case TRulerMarker::FirstIndent:
        return StartDrag(marker, 0, x, FirstMarkerX());
    case TRulerMarker::LeftIndent:
        return StartDrag(marker, 0, x, LeftMarkerX());
    case TRulerMarker::RightIndent:
        return StartDrag(marker, 0, x, RightMarkerX());
    case TRulerMarker::Tab:
        if (tabIndex < tabs_.size())
            return StartDrag(marker, tabIndex, x, TabMarkerX(tabIndex));
        if (tabs_.size() >= rtf::kMaxTabStops)
            return false;
        {
            int markerX = std::clamp(x - buttonSize_ / 2, 0, pageWidthPixels_);
            rtf::TabStop tab;
            tab.position = std::min(PixelsToTwips(markerX), PageWidthTwips());
            tabs_.push_back(tab);
            return StartDrag(marker, tabs_.size() - 1, x, markerX);
        }
    }
    return false;
}

bool TRichRulerModel::StartDrag(TRulerMarker marker, std::size_t tabIndex, int x, int markerX) {
    marker_ = marker;
    tabIndex_ = tabIndex;
    grabOffset_ = x - markerX;
    startMarkerX_ = markerX;
    startValue_ = DraggedValue();
    return true;
}

int& TRichRulerModel::DraggedValue() {
    switch (marker_) {
    case TRulerMarker::FirstIndent:
        return first_;
    case TRulerMarker::LeftIndent:
        return left_;
    case TRulerMarker::RightIndent:
        return right_;
    default:
        return tabs_.at(tabIndex_).position;
    }
}

int TRichRulerModel::DraggedMarkerX() const {
    switch (marker_) {
    case TRulerMarker::FirstIndent:
        return FirstMarkerX();
    case TRulerMarker::LeftIndent:
        return LeftMarkerX();
    case TRulerMarker::RightIndent:
        return RightMarkerX();
    default:
        return TabMarkerX(tabIndex_);
    }
}

int TRichRulerModel::ClampDragged(int twips) const {
    const std::int64_t page = PageWidthTwips();
    std::int64_t value = twips;
    switch (marker_) {
    case TRulerMarker::FirstIndent:
    case TRulerMarker::LeftIndent:
        value = std::max<std::int64_t>(0, std::min(value, page - right_));
        break;
    case TRulerMarker::RightIndent:
        value = std::max<std::int64_t>(0, std::min(value, page - std::max(first_, left_)));
        break;
    default:
        value = std::clamp<std::int64_t>(value, 0, page);
        break;
    }
    return ClampToInt(value);
}

bool TRichRulerModel::Move(int x) {
    if (!Dragging())
        return false;
    const int markerX = x - grabOffset_;
    int value = startValue_;
    if (markerX != startMarkerX_) {
        int pagePixels =
            marker_ == TRulerMarker::RightIndent ? pageWidthPixels_ - markerX : markerX;
        value = ClampDragged(PixelsToTwips(pagePixels));
    }
    int& current = DraggedValue();
    if (current == value)
        return false;
    current = value;
    return true;
}

std::uint32_t TRichRulerModel::Release() {
    if (!Dragging())
        return 0;
    if (marker_ == TRulerMarker::Tab) {
        int position = tabs_.at(tabIndex_).position;
        if (position <= 0 || position >= PageWidthTwips())
            tabs_.erase(tabs_.begin() + static_cast<std::ptrdiff_t>(tabIndex_));
        std::stable_sort(
            tabs_.begin(), tabs_.end(),
            [](const rtf::TabStop& a, const rtf::TabStop& b) { return a.position < b.position; });
    }
    marker_ = TRulerMarker::None;
    return ChangedMembers();
}

std::uint32_t TRichRulerModel::ChangedMembers() const {
    std::uint32_t mask = 0;
    if (std::int64_t(first_) - left_ != std::int64_t(beforeDrag_.First) - beforeDrag_.Left)
        mask |= rtf::kParaFirstIndent;
    if (left_ != beforeDrag_.Left)
        mask |= rtf::kParaLeftIndent;
    if (right_ != beforeDrag_.Right)
        mask |= rtf::kParaRightIndent;
    if (tabs_ != beforeDrag_.Tabs)
        mask |= rtf::kParaTabs;
    return mask;
}

int TRichRulerModel::GuideX() const {
    return PageOrigin() + (Dragging() ? DraggedMarkerX() : 0);
}

std::vector<TRulerTick> TRichRulerModel::Ticks(int maxX) const {
    std::vector<TRulerTick> ticks;
    const double unitPixels = units_ == TRulerUnits::ruCentimeters
                                  ? pixelsPerInch_ / kCentimetresPerInch
                                  : double(pixelsPerInch_);
    const double quarter = unitPixels / 4;
    const int last = std::min(pageWidthPixels_, maxX - PageOrigin());
    for (int i = 0;; ++i) {
        int offset = RoundToInt(i * quarter);
        if (offset > last)
            break;
        TRulerTick tick;
        tick.X = PageOrigin() + offset;
        switch (i % 4) {
        case 0:
            tick.Kind = TRulerTick::Long;
            tick.Label = i / 4;
            break;
        case 2:
            tick.Kind = TRulerTick::Medium;
            break;
        default:
            tick.Kind = TRulerTick::Short;
            break;
        }
        ticks.push_back(tick);
    }
    return ticks;
}

} // namespace components
