#pragma once
// The components page: the tree of the components the user may choose
// (with their folders and items under "show details"), the description of
// the selected one, and the space line.
#include <QWidget>

#include "setup/wizardflow.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace setup::ui {

class TPageComponents : public QWidget {
    Q_OBJECT

public:
    TPageComponents(TWizardFlow& flow, TSetupPackage& package, QWidget* parent = nullptr);

    // A fresh tree, details off, the first component selected.
    void Fill();
    QTreeWidget* TreeComponents() const { return treeComponents_; }
    QCheckBox* CheckComponentsDetail() const { return checkComponentsDetail_; }
    QLabel* SpaceLine() const { return labelSpace_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillTree();
    void RefreshStates();
    void AddDetail();
    void UpdateSpaceLine();
    void ItemChanged(QTreeWidgetItem* item);
    void ShowDescription(QTreeWidgetItem* item);
    void DetailToggled(bool on);

    TWizardFlow& flow_;
    TSetupPackage& package_;
    bool detailAdded_ = false;
    bool filling_ = false;
    QTreeWidget* treeComponents_ = nullptr;
    QPlainTextEdit* memoComponent_ = nullptr;
    QCheckBox* checkComponentsDetail_ = nullptr;
    QLabel* labelSpace_ = nullptr;
};

} // namespace setup::ui
