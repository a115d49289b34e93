#pragma once
// The portable page: the drives to install onto (removable ones, or all
// when the package allows and the user asks) and the folder on the drive.
#include <QWidget>

#include "setup/wizardflow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTreeWidget;

namespace setup::ui {

class TPagePortable : public QWidget {
    Q_OBJECT

public:
    TPagePortable(TWizardFlow& flow, TSetupPackage& package, QWidget* parent = nullptr);

    // Captions, the header's folder when none is typed yet, and the drives;
    // with no removable drive the list turns to all drives when allowed.
    void Fill();
    // Hands the chosen drive and folder to the flow.
    TWizardPage Proceed();
    QTreeWidget* ListDrive() const { return listDrive_; }
    QCheckBox* CheckAllDrives() const { return checkAllDrives_; }
    QLineEdit* EditFolder() const { return editFolder_; }

private:
    void FillDriveList();

    TWizardFlow& flow_;
    TSetupPackage& package_;
    QLabel* labelDrive_ = nullptr;
    QTreeWidget* listDrive_ = nullptr;
    QCheckBox* checkAllDrives_ = nullptr;
    QLabel* labelFolder_ = nullptr;
    QLineEdit* editFolder_ = nullptr;
};

} // namespace setup::ui
