#pragma once
// The file-type page: one tick box per file type the package can register.
#include <QWidget>
#include <vector>

#include "setup/wizardflow.h"

class QCheckBox;
class QLabel;
class QVBoxLayout;

namespace setup {
class TUiStrings;
}

namespace setup::ui {

class TPageFileTypes : public QWidget {
    Q_OBJECT

public:
    TPageFileTypes(TWizardFlow& flow, const TUiStrings& ui, QWidget* parent = nullptr);

    void Fill();
    void Clear();
    // Hands the ticks to the flow.
    TWizardPage Proceed();
    const std::vector<QCheckBox*>& FileTypeChecks() const { return checks_; }

private:
    TWizardFlow& flow_;
    const TUiStrings& ui_;
    QLabel* labelIdentity_ = nullptr;
    QVBoxLayout* checkBox_ = nullptr;
    std::vector<QCheckBox*> checks_;
};

} // namespace setup::ui
