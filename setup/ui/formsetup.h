#pragma once
// The setup wizard window: a frame that shows one page at a time (welcome,
// readme or licence, components, advanced, file types, portable drive,
// prerequisite, installation, done) over one row of buttons. What each page
// holds and where a button leads is decided by setup::TWizardFlow; the pages
// lay it out and the frame forwards the clicks.
#include <QWidget>
#include <memory>
#include <vector>

#include "setup/wizardflow.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace platform {
class IMachineRestart;
}
namespace components::ui {
class TRicherEdit;
class TTextPrinter;
} // namespace components::ui

namespace setup {
class TMessengerVolumePrompter;
}

namespace setup::ui {

class TFormBackground;
class TWizardMessenger;
class TPageWelcome;
class TPageText;
class TPageComponents;
class TPageAdvanced;
class TPageFileTypes;
class TPagePortable;
class TPagePrerequisite;
class TPageProgress;
class TPageDone;

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
    QPushButton* WelcomeButton(TWelcomeButtonId id) const;
    QPushButton* BtnBack() const { return btnBack_; }
    QPushButton* BtnProceed() const { return btnProceed_; }
    QPushButton* BtnAbort() const { return btnAbort_; }
    QPushButton* BtnLicenseYes() const { return btnLicenseYes_; }
    QPushButton* BtnLicenseNo() const { return btnLicenseNo_; }
    QPushButton* BtnPrint() const { return btnPrint_; }
    QPushButton* BtnDone() const;
    QPushButton* BtnRebootNow() const;
    QPushButton* BtnRebootLater() const;
    QTreeWidget* TreeComponents() const;
    QCheckBox* CheckComponentsDetail() const;
    QLabel* SpaceLine() const;
    QLabel* LabelHint() const;
    QLabel* LabelDone() const;
    components::ui::TRicherEdit* MemoLicense() const;
    const std::vector<QLineEdit*>& FolderEdits() const;
    const std::vector<QCheckBox*>& FileTypeChecks() const;
    QTreeWidget* ListDrive() const;
    QCheckBox* CheckAllDrives() const;
    QLineEdit* EditFolder() const;
    QWidget* CurrentPage() const;
    TPageProgress* ProgressPage() const { return progressPage_; }

signals:
    // The window closed (Exit, Abort, Done, or the close box when not busy).
    void Closed();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildButtonRow(QLayout* outer);
    void ConnectPages();
    void ApplyWizardFont();
    void FillWelcomePage();
    void SetupBackground();
    void AddAboutAction();
    void CentreWindow();

    // Shows the flow's page with its buttons and runs the installation
    // when it is due.
    void ShowPage(TWizardPage page);
    void ShowTextPage(bool licence);
    void RunInstallation();

    void BtnReadmeClick();
    void BtnProceedClick();
    void BtnExitClick();
    void BtnDoneClick();
    void BtnRebootNowClick();
    void BtnPrintClick();
    void ShowAbout();

    TSetupPackage& package_;
    TWizardMessenger* wizardMessenger_;
    platform::IMachineRestart* restart_;
    std::unique_ptr<TWizardFlow> flow_;
    std::unique_ptr<components::ui::TTextPrinter> textPrinter_;
    TFormBackground* background_ = nullptr;
    bool havePrinter_ = false;
    bool centred_ = false;
    std::unique_ptr<TMessengerVolumePrompter> volumePrompter_;

    QStackedWidget* pages_ = nullptr;
    TPageWelcome* welcomePage_ = nullptr;
    TPageText* textPage_ = nullptr;
    TPageComponents* componentsPage_ = nullptr;
    TPageAdvanced* advancedPage_ = nullptr;
    TPageFileTypes* fileTypesPage_ = nullptr;
    TPagePortable* portablePage_ = nullptr;
    TPagePrerequisite* prerequisitePage_ = nullptr;
    TPageProgress* progressPage_ = nullptr;
    TPageDone* donePage_ = nullptr;

    // The row under every page but the welcome page.
    QPushButton* btnPrint_ = nullptr;
    QPushButton* btnBack_ = nullptr;
    QPushButton* btnLicenseYes_ = nullptr;
    QPushButton* btnLicenseNo_ = nullptr;
    QPushButton* btnProceed_ = nullptr;
    QPushButton* btnAbort_ = nullptr;
};

} // namespace setup::ui
