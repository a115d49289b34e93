#pragma once
// A label that works as a hyperlink: it lights up under the pointer, turns
// red while pressed and opens its address through the desktop when it is
// clicked. The opener is injectable so that tests record the call instead of
// starting a browser.
#include <QColor>
#include <QLabel>
#include <QUrl>
#include <functional>

namespace components::ui {

class TURLLabel : public QLabel {
    Q_OBJECT
public:
    // Opens an address; true when it could.
    using TOpener = std::function<bool(const QUrl&)>;

    static constexpr const char* kDefaultUrl = "https://www.vexlor.example/";

    explicit TURLLabel(QWidget* parent = nullptr);

    // Empty: the caption is the address.
    const QString& URL() const { return url_; }
    void SetURL(const QString& url) { url_ = url; }
    const QColor& ColorMoveOver() const { return colorMoveOver_; }
    void SetColorMoveOver(const QColor& color) { colorMoveOver_ = color; }
    const QColor& ColorClick() const { return colorClick_; }
    void SetColorClick(const QColor& color) { colorClick_ = color; }
    // The default opener is QDesktopServices::openUrl.
    void SetOpener(TOpener opener) { opener_ = std::move(opener); }

    QColor FontColor() const;
    // What a click opens: URL, or the caption when URL is empty.
    QUrl Address() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetFontColor(const QColor& color);

    QString url_ = kDefaultUrl;
    QColor colorMoveOver_ = QColor(0, 0, 255);
    QColor colorClick_ = QColor(255, 0, 0);
    QColor savedColor_;
    bool pressed_ = false;
    TOpener opener_;
};

} // namespace components::ui
