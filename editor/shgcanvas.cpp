#include "editor/shgcanvas.h"

#include <algorithm>
#include <cstdlib>

#include "helpproject/images/bmpreader.h"
#include "helpproject/images/imagecodecs.h"
#include "platform/codepage.h"
#include "platform/fileio.h"
#include "platform/pathnames.h"

namespace editor {

using helpproject::TBrindlewovenHotspot;

namespace {

std::string LowerExtension(const std::string& fileName) {
    return platform::AnsiLowerCase(platform::ExtractFileExt(fileName));
}

} // namespace

void StoreHotspotFields(TBrindlewovenHotspot& hotspot, const THotspotFields& fields) {
    std::uint8_t type = helpproject::HotspotJump;
    if (fields.Kind == TSHGHotspotKind::Popup)
        type = helpproject::HotspotPopup;
    else if (fields.Kind == TSHGHotspotKind::Macro)
        type = helpproject::HotspotMacro;
    if (fields.Invisible)
        type += helpproject::HotspotInvisible;
    if (fields.Kind == TSHGHotspotKind::Macro) {
        hotspot.Target = fields.Macro;
    } else {
        std::string target = fields.TopicID;
        if (!fields.Window.empty())
            target += ">" + fields.Window;
        if (!fields.File.empty())
            target += "@" + fields.File;
        if (!fields.Window.empty() || !fields.File.empty())
            type += helpproject::HotspotHasWindowOrFile;
        hotspot.Target = std::move(target);
    }
    hotspot.HotspotType = type;
    hotspot.HotspotAttr = fields.Invisible ? helpproject::HotspotInvisible : 0;
}

THotspotFields LoadHotspotFields(const TBrindlewovenHotspot& hotspot) {
    THotspotFields fields;
    const std::uint8_t kind = hotspot.HotspotType & ~(helpproject::HotspotInvisible |
                                                      helpproject::HotspotHasWindowOrFile);
    // 0xC8 with its 8 bit cleared is 0xC0: the macro kind.
    if (kind == (helpproject::HotspotPopup & ~helpproject::HotspotHasWindowOrFile))
        fields.Kind = TSHGHotspotKind::Popup;
    else if (kind == (helpproject::HotspotMacro & ~helpproject::HotspotHasWindowOrFile))
        fields.Kind = TSHGHotspotKind::Macro;
    else
        fields.Kind = TSHGHotspotKind::Link;
    fields.Invisible = (hotspot.HotspotType & helpproject::HotspotInvisible) != 0;
    if (fields.Kind == TSHGHotspotKind::Macro) {
        fields.Macro = hotspot.Target;
        return fields;
    }
    std::string rest = hotspot.Target;
    if (const auto at = rest.find('@'); at != std::string::npos) {
        fields.File = rest.substr(at + 1);
        rest.erase(at);
    }
    if (const auto gt = rest.find('>'); gt != std::string::npos) {
        fields.Window = rest.substr(gt + 1);
        rest.erase(gt);
    }
    fields.TopicID = rest;
    return fields;
}

TBrindlewovenHotspot NewHotspot(const TCanvasRect& rect) {
    TBrindlewovenHotspot hotspot;
    hotspot.Name = kNewHotspotName;
    StoreHotspotFields(hotspot, THotspotFields{});
    hotspot.Left = static_cast<std::uint16_t>(rect.Left);
    hotspot.Top = static_cast<std::uint16_t>(rect.Top);
    hotspot.Width = static_cast<std::uint16_t>(rect.Width);
    hotspot.Height = static_cast<std::uint16_t>(rect.Height);
    return hotspot;
}

TCanvasRect HotspotRect(const TBrindlewovenHotspot& hotspot) {
    return {hotspot.Left, hotspot.Top, hotspot.Width, hotspot.Height};
}

TCanvasRect ClampRectInto(const TCanvasRect& rect, int pictureWidth, int pictureHeight) {
    TCanvasRect r = rect;
    r.Width = std::min(r.Width, std::max(pictureWidth, 0));
    r.Height = std::min(r.Height, std::max(pictureHeight, 0));
    r.Left = std::clamp(r.Left, 0, std::max(pictureWidth - r.Width, 0));
    r.Top = std::clamp(r.Top, 0, std::max(pictureHeight - r.Height, 0));
    return r;
}

std::string StoredHotspotName(const std::string& editedName, const std::string& oldTopicTitle,
                              const std::string& chosenTopicTitle) {
    if (editedName != kNewHotspotName && editedName != oldTopicTitle)
        return editedName;
    if (!chosenTopicTitle.empty())
        return chosenTopicTitle;
    return kNewHotspotName;
}

bool IsSHGFileName(const std::string& fileName) {
    return LowerExtension(fileName) == ".shg";
}

helpproject::TBitmap LoadPlainPicture(const std::string& fileName) {
    const std::string ext = LowerExtension(fileName);
    if (ext == ".bmp")
        return helpproject::LoadBmpFile(fileName);
    if (ext != ".gif" && ext != ".png")
        throw helpproject::EProjectError(kSHGUnsupportedFile);
    std::string bytes;
    try {
        bytes = platform::ReadFileBytes(fileName);
    } catch (const std::exception&) {
        throw helpproject::EImageError("Cannot open " + fileName);
    }
    return ext == ".gif" ? helpproject::DecodeGif(bytes) : helpproject::DecodePng(bytes);
}

void ExportPicture(const helpproject::TBitmap& bitmap, const std::string& fileName,
                   TPictureExport format) {
    std::string bytes;
    switch (format) {
    case TPictureExport::BMP:
        bytes = helpproject::WriteBmp(bitmap);
        break;
    case TPictureExport::GIF:
        bytes = helpproject::EncodeGif(bitmap);
        break;
    case TPictureExport::PNG:
        bytes = helpproject::EncodePng(bitmap);
        break;
    }
    platform::WriteFileAtomic(fileName, bytes);
}

bool TSHGCanvas::ZoomIn() {
    if (DisplayWidth() >= MaxDisplaySize || DisplayHeight() >= MaxDisplaySize)
        return false;
    ++zoom_;
    return true;
}

bool TSHGCanvas::ZoomOut() {
    if (zoom_ <= 1)
        return false;
    --zoom_;
    return true;
}

TCanvasPoint TSHGCanvas::ToPicture(TCanvasPoint displayed) const {
    // Floor division, so points left of or above the picture stay outside.
    const auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    return {floorDiv(displayed.X, Scale()), floorDiv(displayed.Y, Scale())};
}

TCanvasRect TSHGCanvas::ToDisplay(const TCanvasRect& picture) const {
    const int s = Scale();
    return {picture.Left * s, picture.Top * s, picture.Width * s, picture.Height * s};
}

TCanvasRect TSHGCanvas::PictureArea(const TCanvasRect& displayed) const {
    const int s = Scale();
    const int left = std::clamp(displayed.Left / s, 0, PictureWidth());
    const int top = std::clamp(displayed.Top / s, 0, PictureHeight());
    const int right = std::clamp((displayed.Right() + s - 1) / s, 0, PictureWidth());
    const int bottom = std::clamp((displayed.Bottom() + s - 1) / s, 0, PictureHeight());
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

void TSHGCanvas::Select(int index) {
    selected_ = index >= 0 && index < static_cast<int>(shg_->Hotspots.size()) ? index : -1;
}

int TSHGCanvas::HotspotAt(TCanvasPoint picture) const {
    for (std::size_t i = 0; i < shg_->Hotspots.size(); ++i)
        if (HotspotRect(shg_->Hotspots[i]).Contains(picture))
            return static_cast<int>(i);
    return -1;
}

int TSHGCanvas::CornerAt(TCanvasPoint p) const {
    if (selected_ < 0)
        return -1;
    const TCanvasRect r = HotspotRect(shg_->Hotspots[selected_]);
    // From 1 pixel outside to 3 inside on the left and top edges; the 4
    // pixels inside on the right and bottom edges.
    const bool nearLeft = p.X >= r.Left - 1 && p.X <= r.Left + 3;
    const bool nearTop = p.Y >= r.Top - 1 && p.Y <= r.Top + 3;
    const bool nearRight = p.X >= r.Right() - 4 && p.X <= r.Right() - 1;
    const bool nearBottom = p.Y >= r.Bottom() - 4 && p.Y <= r.Bottom() - 1;
    if (nearLeft && nearTop)
        return 0;
    if (nearRight && nearTop)
        return 1;
    if (nearLeft && nearBottom)
        return 2;
    if (nearRight && nearBottom)
        return 3;
    return -1;
}

TCanvasCursor TSHGCanvas::CursorAt(TCanvasPoint displayed) const {
    switch (mode_) {
    case TCanvasMode::Drawing:
        return TCanvasCursor::Cross;
    case TCanvasMode::Moving:
        return TCanvasCursor::Move;
    case TCanvasMode::Resizing:
        return corner_ == 0 || corner_ == 3 ? TCanvasCursor::SizeNWSE : TCanvasCursor::SizeNESW;
    case TCanvasMode::None:
        break;
    }
    const TCanvasPoint p = ToPicture(displayed);
    const int corner = CornerAt(p);
    if (corner == 0 || corner == 3)
        return TCanvasCursor::SizeNWSE;
    if (corner == 1 || corner == 2)
        return TCanvasCursor::SizeNESW;
    if (selected_ >= 0 && HotspotRect(shg_->Hotspots[selected_]).Contains(p))
        return TCanvasCursor::Move;
    if (HotspotAt(p) >= 0)
        return TCanvasCursor::Arrow;
    return TCanvasCursor::Cross;
}

TCanvasPoint TSHGCanvas::ClampToPicture(TCanvasPoint p) const {
    return {std::clamp(p.X, 0, PictureWidth()), std::clamp(p.Y, 0, PictureHeight())};
}

void TSHGCanvas::MouseDown(TCanvasPoint displayed) {
    const TCanvasPoint p = ToPicture(displayed);
    mode_ = TCanvasMode::None;
    const int corner = CornerAt(p);
    if (corner >= 0) {
        const TCanvasRect r = HotspotRect(shg_->Hotspots[selected_]);
        corner_ = corner;
        // Resizing pulls the chosen corner; the opposite one stays.
        anchor_ = {corner == 0 || corner == 2 ? r.Right() : r.Left,
                   corner == 0 || corner == 1 ? r.Bottom() : r.Top};
        current_ = ClampToPicture(p);
        startRect_ = r;
        mode_ = TCanvasMode::Resizing;
        return;
    }
    if (selected_ >= 0 && HotspotRect(shg_->Hotspots[selected_]).Contains(p)) {
        anchor_ = p;
        current_ = p;
        startRect_ = HotspotRect(shg_->Hotspots[selected_]);
        mode_ = TCanvasMode::Moving;
        return;
    }
    if (const int hit = HotspotAt(p); hit >= 0) {
        selected_ = hit;
        return;
    }
    selected_ = -1;
    anchor_ = ClampToPicture(p);
    current_ = anchor_;
    mode_ = TCanvasMode::Drawing;
}

bool TSHGCanvas::MouseMove(TCanvasPoint displayed) {
    if (mode_ == TCanvasMode::None)
        return false;
    const TCanvasPoint p =
        mode_ == TCanvasMode::Moving ? ToPicture(displayed) : ClampToPicture(ToPicture(displayed));
    if (p == current_)
        return false;
    current_ = p;
    return true;
}

TCanvasRect TSHGCanvas::Band() const {
    if (mode_ == TCanvasMode::Moving) {
        TCanvasRect r = startRect_;
        r.Left = std::clamp(startRect_.Left + current_.X - anchor_.X, 0,
                            std::max(0, PictureWidth() - r.Width));
        r.Top = std::clamp(startRect_.Top + current_.Y - anchor_.Y, 0,
                           std::max(0, PictureHeight() - r.Height));
        return r;
    }
    const int left = std::min(anchor_.X, current_.X);
    const int top = std::min(anchor_.Y, current_.Y);
    return {left, top, std::abs(current_.X - anchor_.X), std::abs(current_.Y - anchor_.Y)};
}

TCanvasResult TSHGCanvas::MouseUp(TCanvasPoint displayed) {
    MouseMove(displayed);
    const TCanvasMode mode = mode_;
    const TCanvasRect band = mode == TCanvasMode::None ? TCanvasRect{} : Band();
    mode_ = TCanvasMode::None;
    switch (mode) {
    case TCanvasMode::None:
        return TCanvasResult::Nothing;
    case TCanvasMode::Drawing:
        if (band.Width < MinHotspotSize || band.Height < MinHotspotSize)
            return TCanvasResult::Nothing;
        shg_->Hotspots.push_back(NewHotspot(band));
        selected_ = static_cast<int>(shg_->Hotspots.size()) - 1;
        return TCanvasResult::Created;
    case TCanvasMode::Moving:
        if (band == startRect_)
            return TCanvasResult::Nothing;
        SetSelectedRect(band);
        return TCanvasResult::Moved;
    case TCanvasMode::Resizing:
        // A corner pulled onto its opposite one leaves the old size.
        if (band.Empty() || band == startRect_)
            return TCanvasResult::Nothing;
        SetSelectedRect(band);
        return TCanvasResult::Resized;
    }
    return TCanvasResult::Nothing;
}

int TSHGCanvas::AddHotspot() {
    shg_->Hotspots.push_back(NewHotspot({0, 0, PictureWidth() / 2, PictureHeight() / 2}));
    selected_ = static_cast<int>(shg_->Hotspots.size()) - 1;
    return selected_;
}

int TSHGCanvas::DeleteSelected() {
    if (selected_ < 0)
        return -1;
    shg_->Hotspots.erase(shg_->Hotspots.begin() + selected_);
    const int count = static_cast<int>(shg_->Hotspots.size());
    selected_ = count == 0 ? -1 : std::min(selected_, count - 1);
    return selected_;
}

int TSHGCanvas::Next() const {
    const int count = static_cast<int>(shg_->Hotspots.size());
    return count == 0 ? -1 : (selected_ + 1) % count;
}

int TSHGCanvas::Previous() const {
    const int count = static_cast<int>(shg_->Hotspots.size());
    if (count == 0)
        return -1;
    return selected_ <= 0 ? count - 1 : selected_ - 1;
}

void TSHGCanvas::SetSelectedRect(const TCanvasRect& rect) {
    if (selected_ < 0)
        return;
    auto& h = shg_->Hotspots[selected_];
    const auto u16 = [](int v) { return static_cast<std::uint16_t>(std::clamp(v, 0, 65535)); };
    h.Left = u16(rect.Left);
    h.Top = u16(rect.Top);
    h.Width = u16(rect.Width);
    h.Height = u16(rect.Height);
}

int TSHGCanvas::ReplacePicture(helpproject::TBitmap bitmap) {
    shg_->Bitmap = std::move(bitmap);
    shg_->Width = static_cast<std::uint32_t>(shg_->Bitmap.Width());
    shg_->Height = static_cast<std::uint32_t>(shg_->Bitmap.Height());
    mode_ = TCanvasMode::None;
    pictureChanged_ = true;
    int moved = 0;
    for (TBrindlewovenHotspot& h : shg_->Hotspots) {
        const TCanvasRect was = HotspotRect(h);
        const TCanvasRect now = ClampRectInto(was, PictureWidth(), PictureHeight());
        if (now == was)
            continue;
        // Never larger than before, so the 16-bit fields hold them.
        h.Left = static_cast<std::uint16_t>(now.Left);
        h.Top = static_cast<std::uint16_t>(now.Top);
        h.Width = static_cast<std::uint16_t>(now.Width);
        h.Height = static_cast<std::uint16_t>(now.Height);
        ++moved;
    }
    return moved;
}

namespace {

// What the file keeps of a hotspot; the writer's hash or offset follows
// from the target.
bool SameInFile(const TBrindlewovenHotspot& a, const TBrindlewovenHotspot& b) {
    return a.HotspotType == b.HotspotType && a.HotspotAttr == b.HotspotAttr && a.Left == b.Left &&
           a.Top == b.Top && a.Width == b.Width && a.Height == b.Height && a.Name == b.Name &&
           a.Target == b.Target;
}

} // namespace

bool TSHGCanvas::Modified() const {
    return pictureChanged_ || !std::equal(shg_->Hotspots.begin(), shg_->Hotspots.end(),
                                          saved_.begin(), saved_.end(), SameInFile);
}

void TSHGCanvas::MarkSaved() {
    saved_ = shg_->Hotspots;
    pictureChanged_ = false;
}

} // namespace editor
