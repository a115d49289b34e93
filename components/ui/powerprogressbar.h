#pragma once
// The speed-aware progress bar: percentage at the left, time left at the
// right, a caption in the middle, the bar coloured by speed. The values and
// the decision when to repaint live in components::TPowerProgress; this
// widget schedules a repaint only when the model asks for one, so callers
// may set the progress on every step of a long loop.
#include <QColor>
#include <QWidget>

#include "components/powerprogress.h"

namespace components::ui {

class TPowerProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit TPowerProgressBar(QWidget* parent = nullptr);

    const components::TPowerProgress& Model() const { return model_; }

    QString Caption() const;
    void SetCaption(const QString& caption);
    // An invalid colour means "none": the speed colour is used.
    QColor ColorFront() const;
    QColor ColorBack() const;
    void SetColorFront(const QColor& color);
    void SetColorBack(const QColor& color);
    int MinSpeed() const { return model_.MinSpeed(); }
    int MaxSpeed() const { return model_.MaxSpeed(); }
    int Speed() const { return model_.Speed(); }
    int MinValue() const { return model_.MinValue(); }
    int MaxValue() const { return model_.MaxValue(); }
    int Progress() const { return model_.Progress(); }
    int SecondsDone() const { return model_.SecondsDone(); }
    int SecondsLeft() const { return model_.SecondsLeft(); }
    void SetMinSpeed(int value) { model_.SetMinSpeed(value); }
    void SetMaxSpeed(int value) { model_.SetMaxSpeed(value); }
    void SetSpeed(int value) { model_.SetSpeed(value); }
    void SetMinValue(int value) { model_.SetMinValue(value); }
    void SetMaxValue(int value) { model_.SetMaxValue(value); }
    void SetProgress(int value) { model_.SetProgress(value); }
    void SetSecondsDone(int value) { model_.SetSecondsDone(value); }
    void SetSecondsLeft(int value) { model_.SetSecondsLeft(value); }

    // Repaints the model asked for since the widget was made.
    int RepaintRequests() const { return repaintRequests_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawShadowedText(QPainter& painter, int x, const QString& text);

    components::TPowerProgress model_;
    int repaintRequests_ = 0;
};

} // namespace components::ui
