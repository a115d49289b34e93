#pragma once
// The setup wizard window: one window whose pages (welcome, readme,
// licence, components, advanced, file types, portable drive, prerequisite,
// installation, done) are shown in turn. What each page holds and where a
// button leads is decided by setup::TWizardFlow; the window lays it out and
// forwards the clicks.
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "setup/wizardflow.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QVBoxLayout;

namespace platform {
class IMachineRestart;
}
namespace components::ui {
class TFormDirSel;
class TRicherEdit;
class TTextPrinter;
class TURLLabel;
} // namespace components::ui

namespace setup::ui {

class TFormBackground;
class TWizardMessenger;

class TFormSetup : public QWidget {
    Q_OBJECT

public:
    // The session must be open and talk through `messenger`, which the
    // window connects to its installation page. `restart` carries out
    // "Restart now" (null: the platform's own).
    TFormSetup(TSetupSession& session, TWizardMessenger& messenger, TWizardEnvironment environment,
               platform::IMachineRestart* restart = nullptr);
    ~TFormSetup() override;

    // Welcome page, folder variables and backdrop (the first show), then
    // the tables when installation is allowed; false when the support
    // library refused (the window then closes).
    bool Start();

    TWizardFlow& Flow() { return *flow_; }
    TFormBackground* Background() const { return background_; }
    components::ui::TTextPrinter& TextPrinter() { return *textPrinter_; }
    // Whether a printer is installed; tests may pretend one is.
    void SetHavePrinter(bool have) { havePrinter_ = have; }

    // The controls, by their design names.
    QPushButton* WelcomeButton(TWelcomeButtonId id) const { return welcomeButtons_[id]; }
    QPushButton* BtnBack() const { return btnBack_; }
    QPushButton* BtnProceed() const { return btnProceed_; }
    QPushButton* BtnAbort() const { return btnAbort_; }
    QPushButton* BtnLicenseYes() const { return btnLicenseYes_; }
    QPushButton* BtnLicenseNo() const { return btnLicenseNo_; }
    QPushButton* BtnPrint() const { return btnPrint_; }
    QPushButton* BtnDone() const { return btnDone_; }
    QPushButton* BtnRebootNow() const { return btnRebootNow_; }
    QPushButton* BtnRebootLater() const { return btnRebootLater_; }
    QTreeWidget* TreeComponents() const { return treeComponents_; }
    QCheckBox* CheckComponentsDetail() const { return checkComponentsDetail_; }
    QLabel* SpaceLine() const { return labelSpace_; }
    QLabel* LabelHint() const { return labelHint_; }
    QLabel* LabelDone() const { return labelDone_; }
    components::ui::TRicherEdit* MemoLicense() const { return memoLicense_; }
    const std::vector<QLineEdit*>& FolderEdits() const { return folderEdits_; }
    const std::vector<QCheckBox*>& FileTypeChecks() const { return fileTypeChecks_; }
    QTreeWidget* ListDrive() const { return listDrive_; }
    QCheckBox* CheckAllDrives() const { return checkAllDrives_; }
    QLineEdit* EditFolder() const { return editFolder_; }
    QWidget* CurrentPage() const;

signals:
    // The window closed (Exit, Abort, Done, or the close box when not busy).
    void Closed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildWelcomePage();
    QWidget* BuildTextPage();
    QWidget* BuildComponentsPage();
    QWidget* BuildAdvancedPage();
    QWidget* BuildFileTypesPage();
    QWidget* BuildPortablePage();
    QWidget* BuildPrerequisitePage();
    QWidget* BuildProgressPage();
    QWidget* BuildDonePage();
    void ApplyWizardFont();
    void FillWelcomePage();
    void PlaceWelcomeButtons();
    void SetupBackground();
    void AddAboutAction();

    // Shows the flow's page and runs the installation when it is due.
    void ShowPage(TWizardPage page);
    void ShowTextPage(bool licence);
    void ShowComponentsPage();
    void FillComponentTree();
    void RefreshComponentStates();
    void AddComponentDetail();
    void UpdateSpaceLine();
    void ShowAdvancedPage();
    void ClearAdvancedRows();
    void ShowFileTypesPage();
    void ClearFileTypeRows();
    void ShowPortablePage();
    void FillDriveList();
    void ShowPrerequisitePage();
    void ShowDonePage();
    void RunInstallation();

    void BtnReadmeClick();
    void BtnProceedClick();
    void BtnBackClick();
    void BtnExitClick();
    void BtnDoneClick();
    void BtnRebootNowClick();
    void BtnPrintClick();
    void BrowseFolder(std::size_t row);
    void TreeItemChanged(QTreeWidgetItem* item);
    void ShowAbout();

    TSetupPackage& package_;
    TWizardMessenger* wizardMessenger_;
    platform::IMachineRestart* restart_;
    std::unique_ptr<TWizardFlow> flow_;
    std::unique_ptr<components::ui::TTextPrinter> textPrinter_;
    TFormBackground* background_ = nullptr;
    bool havePrinter_ = false;
    bool detailAdded_ = false;
    bool fillingTree_ = false;

    QStackedWidget* pages_ = nullptr;
    QWidget* welcomePage_ = nullptr;
    QWidget* textPage_ = nullptr;
    QWidget* componentsPage_ = nullptr;
    QWidget* advancedPage_ = nullptr;
    QWidget* fileTypesPage_ = nullptr;
    QWidget* portablePage_ = nullptr;
    QWidget* prerequisitePage_ = nullptr;
    QWidget* progressPage_ = nullptr;
    QWidget* donePage_ = nullptr;

    // Welcome page.
    QLabel* imageIconTop_ = nullptr;
    QLabel* imageIconBottom_ = nullptr;
    QWidget* firstLine_ = nullptr;
    QLabel* labelRelease_ = nullptr;
    QLabel* labelExtra_ = nullptr;
    QVBoxLayout* noticeLines_ = nullptr; // rights and earlier-installation lines
    QGridLayout* welcomeGrid_ = nullptr;
    std::array<QPushButton*, wbCount> welcomeButtons_{};
    QLabel* labelHint_ = nullptr;
    // Readme and licence.
    QLabel* labelLicense_ = nullptr;
    components::ui::TRicherEdit* memoLicense_ = nullptr;
    QPushButton* btnLicenseYes_ = nullptr;
    QPushButton* btnLicenseNo_ = nullptr;
    QPushButton* btnPrint_ = nullptr;
    // Components.
    QTreeWidget* treeComponents_ = nullptr;
    QPlainTextEdit* memoComponent_ = nullptr;
    QCheckBox* checkComponentsDetail_ = nullptr;
    QLabel* labelSpace_ = nullptr;
    // Advanced and file types.
    QLabel* labelIdentity_ = nullptr;
    QGridLayout* folderGrid_ = nullptr;
    std::vector<QWidget*> folderRowWidgets_;
    std::vector<QLineEdit*> folderEdits_;
    QLabel* labelFileTypes_ = nullptr;
    QVBoxLayout* fileTypeBox_ = nullptr;
    std::vector<QCheckBox*> fileTypeChecks_;
    components::ui::TFormDirSel* formDirSel_ = nullptr;
    // Portable.
    QLabel* labelDrive_ = nullptr;
    QTreeWidget* listDrive_ = nullptr;
    QCheckBox* checkAllDrives_ = nullptr;
    QLabel* labelFolder_ = nullptr;
    QLineEdit* editFolder_ = nullptr;
    // Prerequisite.
    QLabel* labelPrerequisite_ = nullptr;
    QLabel* labelPrerequisiteDetail_ = nullptr;
    components::ui::TURLLabel* label3rdPartyURL_ = nullptr;
    QTimer* timer3rdParty_ = nullptr;
    // Installation and done.
    QLabel* labelProgress_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QLabel* labelDone_ = nullptr;
    QLabel* labelReboot_ = nullptr;
    QPushButton* btnDone_ = nullptr;
    QPushButton* btnRebootNow_ = nullptr;
    QPushButton* btnRebootLater_ = nullptr;
    // The row of every page but the welcome page.
    QPushButton* btnBack_ = nullptr;
    QPushButton* btnProceed_ = nullptr;
    QPushButton* btnAbort_ = nullptr;
};

} // namespace setup::ui
