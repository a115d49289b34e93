#pragma once
// The text bar's font and style boxes share what the bar's other controls
// leave free, the odd pixel going to the font box; run whenever the bar
// changes size.
#include <QObject>

class QToolBar;
class QWidget;

namespace editor::ui {

class TTextBarSharing : public QObject {
    Q_OBJECT

public:
    TTextBarSharing(QToolBar& bar, QWidget& fontBox, QWidget& styleBox);

    // Lays the two boxes out for the bar's present width.
    void Share();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolBar& bar_;
    QWidget& fontBox_;
    QWidget& styleBox_;
};

} // namespace editor::ui
