#pragma once
// The geometry and mouse editing of the SHG editor's picture, free of any
// widget: the zoom level, the mapping between displayed and picture points,
// hit tests against the hotspots, drawing a new hotspot, moving and resizing
// the selected one, and the composition of a hotspot's type, attribute and
// target from the panel's fields. The window paints what this says and
// forwards the mouse to it.
#include <cstdint>
#include <string>
#include <vector>

#include "helpproject/shg.h"

namespace editor {

struct TCanvasPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TCanvasPoint&, const TCanvasPoint&) = default;
};

struct TCanvasRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool Empty() const { return Width <= 0 || Height <= 0; }
    bool Contains(TCanvasPoint p) const {
        return p.X >= Left && p.X < Right() && p.Y >= Top && p.Y < Bottom();
    }
    friend bool operator==(const TCanvasRect&, const TCanvasRect&) = default;
};

// The name a hotspot gets when it is made.
inline constexpr const char* kNewHotspotName = "<new hotspot>";

// The panel's kinds, in the order of its radio buttons.
enum class TSHGHotspotKind { Link = 0, Popup = 1, Macro = 2 };

// What the property panel shows of a hotspot.
struct THotspotFields {
    TSHGHotspotKind Kind = TSHGHotspotKind::Link;
    bool Invisible = false;
    std::string TopicID;
    std::string Window;
    std::string File;
    std::string Macro;
};

// Sets type, attribute and target together from the panel's fields: the
// kind's type, 4 more (and attribute 4) when invisible, 8 more when a link
// or popup names a window or a file; the target "topic[>window][@file]", or
// the macro.
void StoreHotspotFields(helpproject::TBrindlewovenHotspot& hotspot, const THotspotFields& fields);
// The reverse: the kind from the type with the 4 and 8 bits cleared, the
// target split at "@" for the file, then at ">" for the window.
THotspotFields LoadHotspotFields(const helpproject::TBrindlewovenHotspot& hotspot);
// A new visible link hotspot "<new hotspot>" over the rectangle.
helpproject::TBrindlewovenHotspot NewHotspot(const TCanvasRect& rect);
TCanvasRect HotspotRect(const helpproject::TBrindlewovenHotspot& hotspot);
// The rectangle moved (and, when larger than the picture, made smaller) so
// that it lies inside a picture of that size.
TCanvasRect ClampRectInto(const TCanvasRect& rect, int pictureWidth, int pictureHeight);

// The name a hotspot keeps when the panel is stored: the edited name when
// it is neither "<new hotspot>" nor the title of the topic the old target
// named (an automatic name), else the title of the chosen topic, else
// "<new hotspot>".
std::string StoredHotspotName(const std::string& editedName, const std::string& oldTopicTitle,
                              const std::string& chosenTopicTitle);

// The pictures the editor opens: ".shg" (any case) is a hotspot bitmap.
bool IsSHGFileName(const std::string& fileName);
// Reads a plain picture (.bmp, .gif, .png). Throws helpproject::EProjectError
// "Brindlewoven's SHG editor can only open SHG, BMP, GIF and PNG files." for
// any other extension, and the readers' errors for bad files.
helpproject::TBitmap LoadPlainPicture(const std::string& fileName);
inline constexpr const char* kSHGUnsupportedFile =
    "Brindlewoven's SHG editor can only open SHG, BMP, GIF and PNG files.";
// The export formats of Save As.
enum class TPictureExport { BMP, GIF, PNG };
void ExportPicture(const helpproject::TBitmap& bitmap, const std::string& fileName,
                   TPictureExport format);

enum class TCanvasCursor { Arrow, Cross, Move, SizeNWSE, SizeNESW };
enum class TCanvasMode { None, Drawing, Moving, Resizing };
// What releasing the button did.
enum class TCanvasResult { Nothing, Created, Moved, Resized };

class TSHGCanvas {
public:
    // The largest displayed width or height zooming in may reach.
    static constexpr int MaxDisplaySize = 16384;
    // The smallest hotspot drawn with the mouse, in picture pixels.
    static constexpr int MinHotspotSize = 4;

    explicit TSHGCanvas(helpproject::TSHG& shg) : shg_(&shg) {}

    helpproject::TSHG& SHG() const { return *shg_; }
    int PictureWidth() const { return shg_->Bitmap.Width(); }
    int PictureHeight() const { return shg_->Bitmap.Height(); }

    // 1 shows 100 %; level n shows the picture 2^(n-1) times its size.
    int ZoomLevel() const { return zoom_; }
    int Scale() const { return 1 << (zoom_ - 1); }
    std::int64_t DisplayWidth() const { return std::int64_t{PictureWidth()} * Scale(); }
    std::int64_t DisplayHeight() const { return std::int64_t{PictureHeight()} * Scale(); }
    // Doubles the displayed size while both sides are below MaxDisplaySize.
    bool ZoomIn();
    bool ZoomOut();
    void ResetZoom() { zoom_ = 1; }

    TCanvasPoint ToPicture(TCanvasPoint displayed) const;
    TCanvasRect ToDisplay(const TCanvasRect& picture) const;
    // The picture pixels that cover a displayed area, clipped to the picture:
    // what painting that area needs.
    TCanvasRect PictureArea(const TCanvasRect& displayed) const;

    // The selected hotspot (-1 none).
    int Selected() const { return selected_; }
    void Select(int index);
    // The first hotspot in list order that contains the picture point.
    int HotspotAt(TCanvasPoint picture) const;
    // The cursor the mouse shows over a displayed point while no button is
    // held, or the one of the current drag.
    TCanvasCursor CursorAt(TCanvasPoint displayed) const;

    // Mouse editing, in displayed points.
    void MouseDown(TCanvasPoint displayed);
    // True when something to be repainted changed.
    bool MouseMove(TCanvasPoint displayed);
    TCanvasResult MouseUp(TCanvasPoint displayed);
    TCanvasMode Mode() const { return mode_; }
    // The rectangle being drawn, or the selected hotspot's new place while
    // it is moved or resized, in picture pixels, normalised.
    TCanvasRect Band() const;

    // "Add": a new hotspot at the top-left corner, half the picture's size.
    int AddHotspot();
    // Deletes the selected hotspot and selects the one now at its place (or
    // the new last); returns the new selection.
    int DeleteSelected();
    int Next() const;
    int Previous() const;
    // Sets the selected hotspot's rectangle (from the spin boxes).
    void SetSelectedRect(const TCanvasRect& rect);

    // Puts another picture in, keeping the hotspots; every hotspot that
    // reaches beyond the new picture is moved into it (and made smaller
    // where it is larger than the picture). Returns how many were moved.
    int ReplacePicture(helpproject::TBitmap bitmap);

    // Whether the picture or the hotspots differ from the file as last
    // opened or saved (the hotspots by what the file keeps of them).
    bool Modified() const;
    // What the SHG holds now is what its file holds.
    void MarkSaved();
    // The picture came from outside its file (pasted, or replaced).
    void MarkPictureChanged() { pictureChanged_ = true; }

private:
    TCanvasPoint ClampToPicture(TCanvasPoint p) const;
    // The corner of the selected hotspot under the point: 0 top-left,
    // 1 top-right, 2 bottom-left, 3 bottom-right, -1 none.
    int CornerAt(TCanvasPoint picture) const;

    helpproject::TSHG* shg_;
    int zoom_ = 1;
    int selected_ = -1;
    TCanvasMode mode_ = TCanvasMode::None;
    int corner_ = -1;
    TCanvasPoint anchor_;
    TCanvasPoint current_;
    TCanvasRect startRect_;
    std::vector<helpproject::TBrindlewovenHotspot> saved_;
    bool pictureChanged_ = false;
};

} // namespace editor
