#pragma once
// The backdrop behind the setup wizard: a full-screen window painted with a
// gradient from the package's first colour (top) to its second (bottom),
// the package's picture at the top left, a caption beside it and one at
// the bottom, each with an optional shadow.
#include <QColor>
#include <QFont>
#include <QWidget>
#include <cstdint>
#include <string>

class QPainter;

class QLabel;

namespace setup {
struct TBackdropRecord;
}

namespace setup::ui {

class TFormBackground : public QWidget {
    Q_OBJECT

public:
    explicit TFormBackground(QWidget* wizard);

    // Colours, fonts, shadows, picture and captions (Windows-1252 texts);
    // then the captions are laid out.
    void Setup(const TBackdropRecord& record, const QString& picturePath,
               const std::string& topCaption, const std::string& bottomCaption);
    void LayoutCaptions();

    QLabel* Image() const { return image_; }
    QLabel* LabelTop() const { return labelTop_; }
    QLabel* LabelBottom() const { return labelBottom_; }
    QLabel* LabelTopShadow() const { return labelTopShadow_; }
    QLabel* LabelBottomShadow() const { return labelBottomShadow_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    QWidget* wizard_;
    QColor color1_ = Qt::blue;
    QColor color2_ = Qt::black;
    QLabel* image_;
    QLabel* labelTopShadow_;
    QLabel* labelBottomShadow_;
    QLabel* labelTop_;
    QLabel* labelBottom_;
};

// A colour of the package (0x00BBGGRR) as a QColor.
QColor PackageColor(std::uint32_t bgr);
// A font record of the package (name, size, style bits) applied to a font.
QFont PackageFont(const QFont& base, const std::string& name, int size, std::uint8_t style);
// Paints the 4-pixel band gradient of the wizard and the backdrop.
void PaintBandGradient(QPainter& painter, const QRect& rect, const QColor& top,
                       const QColor& bottom);

} // namespace setup::ui
