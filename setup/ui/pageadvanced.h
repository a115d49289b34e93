#pragma once
// The advanced page: one row per folder variable the user may change, its
// caption, its path and a browse button.
#include <QWidget>
#include <vector>

#include "setup/wizardflow.h"

class QGridLayout;
class QLineEdit;

namespace components::ui {
class TFormDirSel;
}
namespace setup {
class TUiStrings;
}

namespace setup::ui {

class TPageAdvanced : public QWidget {
    Q_OBJECT

public:
    TPageAdvanced(TWizardFlow& flow, const TUiStrings& ui, QWidget* parent = nullptr);

    // One row per folder the flow offers; the first edit takes the focus.
    void Fill();
    void Clear();
    // Hands the edits to the flow: on a refused folder the cleaned texts
    // come back, the focus goes to the row at fault and the page stays.
    TWizardPage Proceed();
    const std::vector<QLineEdit*>& FolderEdits() const { return folderEdits_; }

private:
    void BrowseFolder(std::size_t row);

    TWizardFlow& flow_;
    const TUiStrings& ui_;
    QGridLayout* folderGrid_ = nullptr;
    std::vector<QWidget*> rowWidgets_;
    std::vector<QLineEdit*> folderEdits_;
    components::ui::TFormDirSel* formDirSel_ = nullptr;
};

} // namespace setup::ui
