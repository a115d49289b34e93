#pragma once
// The installation page: one row per step of the run, stacked from the top,
// each its label (the step's name, then what it is doing) over its gauge;
// the wizard's messenger adds the rows and moves the gauges.
#include <QWidget>
#include <vector>

class QLabel;
class QProgressBar;
class QVBoxLayout;

namespace setup::ui {

class TPageProgress : public QWidget {
    Q_OBJECT

public:
    explicit TPageProgress(QWidget* parent = nullptr);

    // Removes every step.
    void Reset();
    // Adds a step below the last one and makes it current.
    void AddStep(const QString& text);
    // The current step's label and gauge; null before the first step.
    QLabel* Status() const { return labels_.empty() ? nullptr : labels_.back(); }
    QProgressBar* Gauge() const { return gauges_.empty() ? nullptr : gauges_.back(); }
    int StepCount() const { return static_cast<int>(labels_.size()); }
    QLabel* StepLabel(int step) const { return labels_.at(static_cast<std::size_t>(step)); }
    QProgressBar* StepGauge(int step) const { return gauges_.at(static_cast<std::size_t>(step)); }

private:
    QVBoxLayout* steps_ = nullptr;
    std::vector<QWidget*> rows_;
    std::vector<QLabel*> labels_;
    std::vector<QProgressBar*> gauges_;
};

} // namespace setup::ui
