#pragma once
// The readme and licence page: the licence's title line over a read-only
// rich-text box. The Yes, No and Print buttons sit in the wizard's row.
#include <QWidget>

#include "setup/wizardflow.h"

class QLabel;

namespace components::ui {
class TRicherEdit;
}

namespace setup {
class TUiStrings;
}

namespace setup::ui {

class TPageText : public QWidget {
    Q_OBJECT

public:
    TPageText(TWizardFlow& flow, const TUiStrings& ui, QWidget* parent = nullptr);

    // Loads the licence or the readme; a file that cannot be read shows why.
    void Fill(bool licence);
    components::ui::TRicherEdit* MemoLicense() const { return memoLicense_; }

private:
    TWizardFlow& flow_;
    const TUiStrings& ui_;
    QLabel* labelLicense_ = nullptr;
    components::ui::TRicherEdit* memoLicense_ = nullptr;
};

} // namespace setup::ui
