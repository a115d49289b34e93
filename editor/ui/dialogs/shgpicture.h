#pragma once
// The picture of the SHG editor: paints the part of the picture that is
// visible at the canvas's zoom (never a zoomed copy of the whole picture),
// the hotspot outlines inverted, the selection and the rubber band, and
// hands the mouse to the canvas.
#include <QImage>
#include <QWidget>

#include "editor/shgcanvas.h"

namespace editor::ui {

// The cursor shown for a canvas cursor; one place to swap in the program's
// own cursors.
QCursor SHGCanvasCursor(TCanvasCursor cursor);

class TSHGPicture : public QWidget {
    Q_OBJECT
public:
    explicit TSHGPicture(QWidget* parent = nullptr);

    // Shows a canvas and the picture made from its bitmap (nullptr: none).
    void SetCanvas(TSHGCanvas* canvas, const QImage* image);
    TSHGCanvas* Canvas() const { return canvas_; }
    // The canvas's zoom or picture changed: the widget takes the new size.
    void UpdateSize();

    QSize sizeHint() const override;

signals:
    // A button release changed the hotspots or the selection.
    void Edited(editor::TCanvasResult result);
    void SelectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TSHGCanvas* canvas_ = nullptr;
    const QImage* image_ = nullptr;
};

// The bitmap as a displayable image (32 bits a pixel).
QImage SHGImage(const helpproject::TBitmap& bitmap);
// A bitmap from a pasted image.
helpproject::TBitmap SHGBitmap(const QImage& image);

} // namespace editor::ui
