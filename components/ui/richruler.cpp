#include "components/ui/richruler.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

namespace components::ui {

namespace {

using components::TRulerTick;

constexpr double kScaleFontPoints = 6;

// The dotted line over the edit while a marker is dragged: white under black
// dots, so that it shows on text and on paper alike.
class TGuideLine : public QWidget {
public:
    explicit TGuideLine(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawLine(0, 0, 0, height());
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawLine(0, 0, 0, height());
    }
};

int TickLength(TRulerTick::TKind kind) {
    switch (kind) {
    case TRulerTick::Short:
        return 1;
    case TRulerTick::Medium:
        return 3;
    default:
        return 4;
    }
}

} // namespace

TRichRuler::TRichRuler(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    resize(200, 25);
    FollowScreen();
}

TRichRuler::~TRichRuler() {
    delete guide_.data(); // a child of the edit, which may outlive the ruler
}

void TRichRuler::SetButtonSize(int size) {
    model_.SetButtonSize(size);
    update();
}

void TRichRuler::SetPageSize(double size) {
    model_.SetPageSize(size);
    update();
}

void TRichRuler::SetUnits(components::TRulerUnits units) {
    model_.SetUnits(units);
    update();
}

void TRichRuler::SetRichEdit(QWidget* edit, TParagraphReader reader) {
    if (richEdit_)
        disconnect(richEdit_, nullptr, this, nullptr);
    delete guide_.data();
    richEdit_ = edit;
    reader_ = std::move(reader);
    if (!edit)
        return;
    connect(edit, &QObject::destroyed, this, [this] { reader_ = {}; });
    ConnectEdit();
    ReadParagraph();
}

void TRichRuler::ConnectEdit() {
    if (!reader_)
        return;
    const QMetaObject* editMeta = richEdit_->metaObject();
    QMetaMethod slot = metaObject()->method(metaObject()->indexOfSlot("ReadParagraph()"));
    for (const char* signature : {"cursorPositionChanged()", "selectionChanged()"}) {
        int index = editMeta->indexOfSignal(signature);
        if (index >= 0) {
            connect(richEdit_, editMeta->method(index), this, slot);
            return;
        }
    }
}

void TRichRuler::ReadParagraph() {
    if (reader_)
        ShowParagraph(reader_());
}

void TRichRuler::ShowParagraph(const rtf::ParaFormat& paragraph) {
    model_.ReadParagraph(paragraph);
    DrawGuideLine();
    update();
}

QWidget* TRichRuler::GuideLine() const {
    return guide_ && guide_->isVisible() ? guide_.data() : nullptr;
}

QSize TRichRuler::sizeHint() const {
    return QSize(200, 25);
}

void TRichRuler::DrawGuideLine() {
    if (!richEdit_ || !model_.Dragging()) {
        if (guide_)
            guide_->hide();
        return;
    }
    if (!guide_)
        guide_ = new TGuideLine(richEdit_);
    int x = richEdit_->mapFromGlobal(mapToGlobal(QPoint(model_.GuideX(), 0))).x();
    guide_->setGeometry(x, 0, 1, richEdit_->height());
    guide_->show();
    guide_->raise();
}

void TRichRuler::WriteParagraph(std::uint32_t members) {
    emit ParagraphEdited(model_.Paragraph(), members);
}

void TRichRuler::mousePressEvent(QMouseEvent* event) {
    QPoint at = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !model_.Press(at.x(), at.y(), height())) {
        QWidget::mousePressEvent(event);
        return;
    }
    DrawGuideLine();
    update();
}

void TRichRuler::mouseMoveEvent(QMouseEvent* event) {
    if (!model_.Dragging()) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    if (model_.Move(event->position().toPoint().x())) {
        DrawGuideLine();
        update();
    }
}

void TRichRuler::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !model_.Dragging()) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    std::uint32_t members = model_.Release();
    DrawGuideLine();
    update();
    if (members != 0)
        WriteParagraph(members);
}

void TRichRuler::showEvent(QShowEvent* event) {
    FollowScreen();
    QWidget::showEvent(event);
}

void TRichRuler::FollowScreen() {
    model_.SetPixelsPerInch(logicalDpiX());
}

void TRichRuler::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    DrawScale(painter);
    DrawMarkers(painter);
}

// The scale: a white band over the page between the marker strips, the
// ticks in its upper part and the tab stops standing on its bottom edge.
void TRichRuler::DrawScale(QPainter& painter) {
    const int origin = model_.PageOrigin();
    const int pageEnd = origin + model_.PageWidthPixels();
    const QRect band = ScaleBand();
    painter.fillRect(band, palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(band.adjusted(0, 0, -1, -1));

    QFont scaleFont = font();
    scaleFont.setPointSizeF(kScaleFontPoints);
    painter.setFont(scaleFont);
    painter.setPen(palette().color(QPalette::Text));
    const int tickTop = band.top() + 2;
    for (const TRulerTick& tick : model_.Ticks(width())) {
        // The page end has its own mark and no number.
        if (tick.Label > 0 && tick.X < pageEnd) {
            QRect label(tick.X - band.height(), band.top(), 2 * band.height(), band.height());
            painter.drawText(label, Qt::AlignCenter, QString::number(tick.Label));
        } else if (tick.X != origin && tick.X != pageEnd) {
            painter.drawLine(tick.X, tickTop, tick.X, tickTop + TickLength(tick.Kind) - 1);
        }
    }
    if (pageEnd < width())
        painter.drawLine(pageEnd, band.top(), pageEnd, band.bottom());
}

QRect TRichRuler::ScaleBand() const {
    const int b = model_.ButtonSize();
    const int origin = model_.PageOrigin();
    const int pageEnd = origin + model_.PageWidthPixels();
    return QRect(origin, b, std::max(0, std::min(pageEnd, width()) - origin),
                 std::max(1, height() - 2 * b + 1));
}

void TRichRuler::DrawMarkers(QPainter& painter) {
    const int b = model_.ButtonSize();
    const int bottom = height() - 1;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(palette().color(QPalette::Button));
    auto downward = [&](int x) {
        painter.drawPolygon(QPolygon({QPoint(x, 0), QPoint(x + b, 0), QPoint(x + b / 2, b - 1)}));
    };
    auto upward = [&](int x) {
        painter.drawPolygon(QPolygon(
            {QPoint(x, bottom), QPoint(x + b, bottom), QPoint(x + b / 2, bottom - b + 1)}));
    };
    downward(model_.FirstMarkerX());
    upward(model_.LeftMarkerX());
    upward(model_.RightMarkerX());
    for (std::size_t i = 0; i < model_.Tabs().size(); ++i) {
        // A tab dragged off the page vanishes, as it will on release.
        if (model_.TabInsidePage(i))
            DrawTab(painter, model_.Tabs()[i], model_.PageOrigin() + model_.TabMarkerX(i));
    }
}

// A tab stop as the word processors show it: an L for a left tab, its mirror
// for a right one, an upside-down T (with a dot for a decimal tab) for a
// centred one, and a plain stroke for a bar.
void TRichRuler::DrawTab(QPainter& painter, const rtf::TabStop& tab, int x) {
    const QRect band = ScaleBand();
    const int foot = band.bottom() - 2;
    const int top = std::max(band.top() + 1, foot - model_.ButtonSize() / 2);
    const int arm = model_.ButtonSize() / 2;
    int leftArm = 0;
    int rightArm = 0;
    switch (tab.kind) {
    case rtf::TabKind::Left:
        rightArm = arm;
        break;
    case rtf::TabKind::Right:
        leftArm = arm;
        break;
    case rtf::TabKind::Center:
    case rtf::TabKind::Decimal:
        leftArm = rightArm = arm;
        break;
    case rtf::TabKind::Bar:
        break;
    }
    // Cleared behind, so that a tab near a unit number stays readable.
    painter.fillRect(QRect(QPoint(x - leftArm - 1, top - 1), QPoint(x + rightArm + 1, foot)),
                     palette().color(QPalette::Base));
    painter.setPen(QPen(palette().color(QPalette::WindowText), 2, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(x, top, x, foot);
    if (leftArm + rightArm > 0)
        painter.drawLine(x - leftArm, foot, x + rightArm, foot);
    if (tab.kind == rtf::TabKind::Decimal)
        painter.drawPoint(x + arm, top + 1);
}

} // namespace components::ui
