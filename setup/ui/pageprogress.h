#pragma once
// The installation page: the run's status line over its gauge; the wizard's
// messenger writes into both.
#include <QWidget>

class QLabel;
class QProgressBar;

namespace setup::ui {

class TPageProgress : public QWidget {
    Q_OBJECT

public:
    explicit TPageProgress(QWidget* parent = nullptr);

    void Reset();
    QLabel* Status() const { return labelProgress_; }
    QProgressBar* Gauge() const { return gauge_; }

private:
    QLabel* labelProgress_ = nullptr;
    QProgressBar* gauge_ = nullptr;
};

} // namespace setup::ui
