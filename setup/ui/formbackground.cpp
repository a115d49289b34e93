#include "setup/ui/formbackground.h"

#include <QBitmap>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include "components/ui/ansiqt.h"
#include "setup/packageheader.h"

namespace setup::ui {

QColor PackageColor(std::uint32_t bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QFont PackageFont(const QFont& base, const std::string& name, int size, std::uint8_t style) {
    QFont font = base;
    if (!name.empty())
        font.setFamily(components::ui::ToQString(name));
    if (size > 0)
        font.setPointSize(size);
    font.setBold(style & 1);
    font.setItalic(style & 2);
    font.setUnderline(style & 4);
    font.setStrikeOut(style & 8);
    return font;
}

void PaintBandGradient(QPainter& painter, const QRect& rect, const QColor& top,
                       const QColor& bottom) {
    const int n = rect.height() / 4;
    if (n <= 0)
        return;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < n; ++i) {
        QColor c((top.red() * (n - i) + bottom.red() * i) / n,
                 (top.green() * (n - i) + bottom.green() * i) / n,
                 (top.blue() * (n - i) + bottom.blue() * i) / n);
        painter.setBrush(c);
        painter.drawRect(QRect(rect.left(), rect.top() + 4 * i, rect.width(), 5));
    }
}

TFormBackground::TFormBackground(QWidget* wizard)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), wizard_(wizard) {
    setObjectName("FormBackground");
    setAttribute(Qt::WA_DeleteOnClose, false);
    image_ = new QLabel(this);
    image_->setObjectName("Image");
    labelTopShadow_ = new QLabel(this);
    labelTopShadow_->setObjectName("LabelTopShadow");
    labelBottomShadow_ = new QLabel(this);
    labelBottomShadow_->setObjectName("LabelBottomShadow");
    labelTop_ = new QLabel(this);
    labelTop_->setObjectName("LabelTop");
    labelBottom_ = new QLabel(this);
    labelBottom_->setObjectName("LabelBottom");
    // The whole screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->geometry());
}

void TFormBackground::Setup(const TBackdropRecord& record, const QString& picturePath,
                            const std::string& topCaption, const std::string& bottomCaption) {
    color1_ = PackageColor(record.gradientColor1);
    color2_ = PackageColor(record.gradientColor2);
    auto styleCaption = [](QLabel* label, QLabel* shadow, const TFontRecord& font, bool showShadow,
                           std::uint32_t shadowColor, const std::string& text) {
        label->setFont(PackageFont(label->font(), font.name, font.size, font.style));
        label->setStyleSheet(QString("color: %1").arg(PackageColor(font.color).name()));
        label->setText(components::ui::ToQString(text));
        shadow->setFont(label->font());
        shadow->setStyleSheet(QString("color: %1").arg(PackageColor(shadowColor).name()));
        shadow->setText(label->text());
        shadow->setVisible(showShadow);
        label->adjustSize();
        shadow->adjustSize();
    };
    styleCaption(labelTop_, labelTopShadow_, record.topFont, record.topShadow,
                 record.topShadowColor, topCaption);
    styleCaption(labelBottom_, labelBottomShadow_, record.bottomFont, record.bottomShadow,
                 record.bottomShadowColor, bottomCaption);
    QPixmap picture;
    if (!picturePath.isEmpty() && picture.load(picturePath)) {
        if (record.pictureTransparent && !picture.hasAlphaChannel()) {
            // The bottom-left pixel's colour is the transparent one.
            QImage img = picture.toImage();
            QColor key = img.pixelColor(0, img.height() - 1);
            picture.setMask(
                QBitmap::fromImage(img.createMaskFromColor(key.rgb(), Qt::MaskInColor)));
        }
        image_->setPixmap(picture);
        image_->adjustSize();
        image_->move(8, 8);
    } else {
        image_->resize(0, 0);
        image_->move(8, 8);
    }
    LayoutCaptions();
}

void TFormBackground::LayoutCaptions() {
    labelTop_->move(2 * image_->x() + image_->width(), image_->y());
    labelBottom_->move((width() - labelBottom_->width()) / 2,
                       height() - labelBottom_->height() - (labelTop_->y() + 3));
    labelTopShadow_->move(labelTop_->pos() + QPoint(3, 3));
    labelBottomShadow_->move(labelBottom_->pos() + QPoint(3, 3));
}

void TFormBackground::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), color2_);
    PaintBandGradient(painter, rect(), color1_, color2_);
}

void TFormBackground::resizeEvent(QResizeEvent*) {
    LayoutCaptions();
}

bool TFormBackground::event(QEvent* event) {
    // The wizard keeps the focus: the backdrop only lies behind it.
    if (event->type() == QEvent::WindowActivate && wizard_ && wizard_->isVisible()) {
        wizard_->raise();
        wizard_->activateWindow();
    }
    return QWidget::event(event);
}

} // namespace setup::ui
