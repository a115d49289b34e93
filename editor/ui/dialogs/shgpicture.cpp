#include "editor/ui/dialogs/shgpicture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "components/ui/programcursors.h"

namespace editor::ui {

QCursor SHGCanvasCursor(TCanvasCursor cursor) {
    switch (cursor) {
    case TCanvasCursor::Cross:
        return components::ui::ProgramCursor(components::ui::TProgramCursor::CrossAdd);
    case TCanvasCursor::Move:
        return components::ui::ProgramCursor(components::ui::TProgramCursor::ArrowMove);
    case TCanvasCursor::SizeNWSE:
        return QCursor(Qt::SizeFDiagCursor);
    case TCanvasCursor::SizeNESW:
        return QCursor(Qt::SizeBDiagCursor);
    case TCanvasCursor::Arrow:
        break;
    }
    return QCursor(Qt::ArrowCursor);
}

QImage SHGImage(const helpproject::TBitmap& bitmap) {
    QImage image(bitmap.Width(), bitmap.Height(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const auto& pixels = bitmap.Pixels();
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const helpproject::TRgb* source =
            pixels.data() + static_cast<std::size_t>(y) * bitmap.Width();
        for (int x = 0; x < bitmap.Width(); ++x)
            line[x] = qRgb(source[x].R, source[x].G, source[x].B);
    }
    return image;
}

helpproject::TBitmap SHGBitmap(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    helpproject::TBitmap bitmap;
    bitmap.SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            bitmap.SetPixel(x, y,
                            {static_cast<std::uint8_t>(qRed(line[x])),
                             static_cast<std::uint8_t>(qGreen(line[x])),
                             static_cast<std::uint8_t>(qBlue(line[x]))});
    }
    return bitmap;
}

TSHGPicture::TSHGPicture(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSHGPicture::SetCanvas(TSHGCanvas* canvas, const QImage* image) {
    canvas_ = canvas;
    image_ = image;
    UpdateSize();
}

QSize TSHGPicture::sizeHint() const {
    if (!canvas_)
        return {0, 0};
    return {static_cast<int>(canvas_->DisplayWidth()), static_cast<int>(canvas_->DisplayHeight())};
}

void TSHGPicture::UpdateSize() {
    setFixedSize(sizeHint());
    update();
}

void TSHGPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.fillRect(exposed, palette().color(QPalette::Window));
    if (!canvas_ || !image_ || image_->isNull())
        return;
    // Only the picture pixels under the exposed area are scaled and drawn.
    const TCanvasRect area =
        canvas_->PictureArea({exposed.x(), exposed.y(), exposed.width(), exposed.height()});
    if (!area.Empty()) {
        const TCanvasRect target = canvas_->ToDisplay(area);
        painter.drawImage(QRect(target.Left, target.Top, target.Width, target.Height), *image_,
                          QRect(area.Left, area.Top, area.Width, area.Height));
    }
    // Outlines are inverted so that they show on any picture.
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setBrush(Qt::NoBrush);
    const auto outline = [&](const TCanvasRect& picture, int width) {
        const TCanvasRect r = canvas_->ToDisplay(picture);
        if (r.Empty() ||
            !exposed.intersects(QRect(r.Left - 2, r.Top - 2, r.Width + 4, r.Height + 4)))
            return;
        QPen pen(Qt::black);
        pen.setWidth(width);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.drawRect(QRect(r.Left, r.Top, r.Width - 1, r.Height - 1));
    };
    const auto& hotspots = canvas_->SHG().Hotspots;
    const bool dragging = canvas_->Mode() != TCanvasMode::None;
    for (std::size_t i = 0; i < hotspots.size(); ++i) {
        const bool selected = static_cast<int>(i) == canvas_->Selected();
        if (selected && dragging && canvas_->Mode() != TCanvasMode::Drawing)
            continue; // shown by the band
        outline(HotspotRect(hotspots[i]), selected ? 3 : 1);
    }
    if (dragging)
        outline(canvas_->Band(), canvas_->Mode() == TCanvasMode::Drawing ? 1 : 3);
}

void TSHGPicture::mousePressEvent(QMouseEvent* event) {
    if (!canvas_ || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int before = canvas_->Selected();
    const QPoint p = event->position().toPoint();
    canvas_->MouseDown({p.x(), p.y()});
    setCursor(SHGCanvasCursor(canvas_->CursorAt({p.x(), p.y()})));
    update();
    if (canvas_->Selected() != before)
        emit SelectionChanged();
}

void TSHGPicture::mouseMoveEvent(QMouseEvent* event) {
    if (!canvas_)
        return;
    const QPoint p = event->position().toPoint();
    if (canvas_->MouseMove({p.x(), p.y()}))
        update();
    setCursor(SHGCanvasCursor(canvas_->CursorAt({p.x(), p.y()})));
}

void TSHGPicture::mouseReleaseEvent(QMouseEvent* event) {
    if (!canvas_ || event->button() != Qt::LeftButton)
        return;
    const QPoint p = event->position().toPoint();
    const TCanvasResult result = canvas_->MouseUp({p.x(), p.y()});
    setCursor(SHGCanvasCursor(canvas_->CursorAt({p.x(), p.y()})));
    update();
    if (result != TCanvasResult::Nothing)
        emit Edited(result);
}

} // namespace editor::ui
