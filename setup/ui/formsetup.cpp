#include "setup/ui/formsetup.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/centeronscreen.h"
#include "components/ui/richeredit.h"
#include "components/ui/textprinter.h"
#include "platform/machinerestart.h"
#include "platform/pathnames.h"
#include "setup/restart.h"
#include "setup/setuppackage.h"
#include "setup/setupsession.h"
#include "setup/ui/formbackground.h"
#include "setup/ui/pageadvanced.h"
#include "setup/ui/pagecomponents.h"
#include "setup/ui/pagedone.h"
#include "setup/ui/pagefiletypes.h"
#include "setup/ui/pageportable.h"
#include "setup/ui/pageprerequisite.h"
#include "setup/ui/pageprogress.h"
#include "setup/ui/pagetext.h"
#include "setup/ui/pagewelcome.h"
#include "setup/ui/wizardmessenger.h"
#include "setup/ui/wizardwidgets.h"
#include "setup/volumeprompter.h"

namespace setup::ui {

namespace {

using components::ui::ToQString;

// UI strings of the frame's own buttons.
constexpr std::size_t kLicenceYes = 17, kLicenceNo = 18;
constexpr std::size_t kBack = 28, kProceed = 29, kAbort = 30, kShowDetails = 38;
constexpr std::size_t kAbortHint = 13;

} // namespace

TFormSetup::TFormSetup(TSetupSession& session, TWizardMessenger& messenger,
                       TWizardEnvironment environment, platform::IMachineRestart* restart)
    : QWidget(nullptr), package_(session.Package()), wizardMessenger_(&messenger),
      restart_(restart), flow_(std::make_unique<TWizardFlow>(session, std::move(environment))),
      textPrinter_(std::make_unique<components::ui::TTextPrinter>()) {
    setObjectName("FormSetup");
    resize(600, 420);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kWizardMargin, kWizardMargin, kWizardMargin, kWizardMargin);
    pages_ = new QStackedWidget(this);
    outer->addWidget(pages_, 1);
    const TUiStrings& ui = package_.Ui();
    pages_->addWidget(welcomePage_ = new TPageWelcome(*flow_));
    pages_->addWidget(textPage_ = new TPageText(*flow_, ui));
    pages_->addWidget(componentsPage_ = new TPageComponents(*flow_, package_));
    pages_->addWidget(advancedPage_ = new TPageAdvanced(*flow_, ui));
    pages_->addWidget(fileTypesPage_ = new TPageFileTypes(*flow_, ui));
    pages_->addWidget(portablePage_ = new TPagePortable(*flow_, package_));
    pages_->addWidget(prerequisitePage_ = new TPagePrerequisite(*flow_));
    pages_->addWidget(progressPage_ = new TPageProgress);
    pages_->addWidget(donePage_ = new TPageDone(*flow_));
    BuildButtonRow(outer);
    ConnectPages();
    messenger.Attach(progressPage_);
    // A missing volume is asked for in the wizard's boxes.
    volumePrompter_ = std::make_unique<TMessengerVolumePrompter>(messenger);
    package_.SetVolumePrompter(volumePrompter_.get());
    havePrinter_ = !QPrinterInfo::availablePrinterNames().isEmpty();
    btnBack_->setText(ToQString(ui.Get(kBack)));
    btnProceed_->setText(ToQString(ui.Get(kProceed)));
    btnAbort_->setText(ToQString(ui.Get(kAbort)));
    componentsPage_->CheckComponentsDetail()->setText(ToQString(ui.Get(kShowDetails)));
}

TFormSetup::~TFormSetup() {
    package_.SetVolumePrompter(nullptr);
    delete background_;
}

// One row of buttons under every page: Print at the left, the page's own
// buttons at the right.
void TFormSetup::BuildButtonRow(QLayout* outer) {
    auto* row = new QHBoxLayout;
    btnPrint_ = NewButton(this, "BtnPrint");
    btnPrint_->setText(tr("&Print"));
    row->addWidget(btnPrint_);
    row->addStretch(1);
    btnBack_ = NewButton(this, "BtnBack");
    btnLicenseYes_ = NewButton(this, "BtnLicenseYes");
    btnLicenseNo_ = NewButton(this, "BtnLicenseNo");
    btnProceed_ = NewButton(this, "BtnProceed");
    btnAbort_ = NewButton(this, "BtnAbort");
    row->addWidget(btnBack_);
    row->addWidget(btnLicenseYes_);
    row->addWidget(btnLicenseNo_);
    row->addWidget(btnProceed_);
    row->addWidget(btnAbort_);
    static_cast<QVBoxLayout*>(outer)->addLayout(row);
    connect(btnPrint_, &QPushButton::clicked, this, &TFormSetup::BtnPrintClick);
    connect(btnLicenseYes_, &QPushButton::clicked, this, [this] { ShowPage(flow_->LicenceYes()); });
    connect(btnLicenseNo_, &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
    connect(btnBack_, &QPushButton::clicked, this, [this] { ShowPage(flow_->Back()); });
    connect(btnProceed_, &QPushButton::clicked, this, &TFormSetup::BtnProceedClick);
    connect(btnAbort_, &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
}

void TFormSetup::ConnectPages() {
    connect(welcomePage_->Button(wbInstall), &QPushButton::clicked, this,
            [this] { ShowPage(flow_->Install()); });
    connect(welcomePage_->Button(wbReadme), &QPushButton::clicked, this,
            &TFormSetup::BtnReadmeClick);
    connect(welcomePage_->Button(wbComponents), &QPushButton::clicked, this,
            [this] { ShowPage(flow_->Components()); });
    connect(welcomePage_->Button(wbAdvanced), &QPushButton::clicked, this,
            [this] { ShowPage(flow_->Advanced()); });
    connect(welcomePage_->Button(wbExit), &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
    // The installer ending lets the run go on by itself.
    connect(prerequisitePage_, &TPagePrerequisite::InstallerEnded, this,
            &TFormSetup::BtnProceedClick);
    connect(donePage_->BtnDone(), &QPushButton::clicked, this, &TFormSetup::BtnDoneClick);
    connect(donePage_->BtnRebootNow(), &QPushButton::clicked, this, &TFormSetup::BtnRebootNowClick);
    connect(donePage_->BtnRebootLater(), &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
}

bool TFormSetup::Start() {
    AddAboutAction();
    ApplyWizardFont();
    flow_->BuildWelcome();
    volumePrompter_->SetCaption(flow_->Welcome().windowCaption);
    FillWelcomePage();
    if (package_.Header().backdrop)
        SetupBackground();
    ShowPage(TWizardPage::Welcome);
    if (!flow_->InstallationAllowed())
        return true;
    if (background_ && !flow_->Prepared())
        background_->show();
    CentreWindow();
    raise();
    // The support library gets the wizard's window.
    if (!flow_->PrepareInstallation(reinterpret_cast<void*>(winId())))
        return false;
    FillWelcomePage();
    ShowPage(TWizardPage::Welcome);
    return true;
}

void TFormSetup::AddAboutAction() {
    // The window's own menu on this platform is its context menu.
    auto* about = new QAction(tr("About Packwhistler"), this);
    about->setObjectName("AboutMenuItem");
    connect(about, &QAction::triggered, this, &TFormSetup::ShowAbout);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TFormSetup::ShowAbout() {
    wizardMessenger_->ShowMessage(components::TMessageKind::Information, "Packwhistler",
                                  "Packwhistler Setup\r\rInstalls " + flow_->Welcome().fullTitle +
                                      " from its setup package.");
}

void TFormSetup::ApplyWizardFont() {
    const TFontRecord& f = package_.Header().wizardFont;
    if (!f.name.empty() || f.size > 0)
        setFont(PackageFont(font(), f.name, f.size, f.style));
}

void TFormSetup::FillWelcomePage() {
    const TWelcomeData& w = flow_->Welcome();
    setWindowTitle(ToQString(w.windowCaption));
    QGuiApplication::setApplicationDisplayName(ToQString(w.windowCaption));
    welcomePage_->Fill();
    btnAbort_->setStatusTip(ToQString(package_.Ui().Get(kAbortHint)));
    if (!welcomePage_->Icon().isNull())
        setWindowIcon(QIcon(welcomePage_->Icon()));
}

void TFormSetup::SetupBackground() {
    if (!background_)
        background_ = new TFormBackground(this);
    const TSettings& s = package_.Settings();
    background_->Setup(package_.Header().backdropRecord, NativeText(flow_->BackdropPicturePath()),
                       s.backdropTopCaption, s.backdropBottomCaption);
}

QWidget* TFormSetup::CurrentPage() const {
    return pages_->currentWidget();
}

void TFormSetup::ShowPage(TWizardPage page) {
    for (QPushButton* b :
         {btnPrint_, btnBack_, btnLicenseYes_, btnLicenseNo_, btnProceed_, btnAbort_})
        b->setVisible(false);
    if (page != TWizardPage::Advanced)
        advancedPage_->Clear();
    if (page != TWizardPage::FileTypes)
        fileTypesPage_->Clear();
    // Back, Proceed and Abort: the row of the pages that ask something.
    auto showRow = [this](bool back) {
        btnBack_->setVisible(back);
        btnProceed_->setVisible(true);
        btnAbort_->setVisible(true);
    };
    switch (page) {
    case TWizardPage::Welcome:
        pages_->setCurrentWidget(welcomePage_);
        welcomePage_->PlaceButtons();
        break;
    case TWizardPage::Readme:
        ShowTextPage(false);
        break;
    case TWizardPage::Licence:
        ShowTextPage(true);
        break;
    case TWizardPage::Components:
        componentsPage_->Fill();
        showRow(true);
        pages_->setCurrentWidget(componentsPage_);
        componentsPage_->TreeComponents()->setFocus();
        break;
    case TWizardPage::Advanced:
        advancedPage_->Fill();
        showRow(true);
        pages_->setCurrentWidget(advancedPage_);
        if (!advancedPage_->FolderEdits().empty())
            advancedPage_->FolderEdits().front()->setFocus();
        break;
    case TWizardPage::FileTypes:
        fileTypesPage_->Fill();
        showRow(true);
        pages_->setCurrentWidget(fileTypesPage_);
        break;
    case TWizardPage::Portable:
        portablePage_->Fill();
        showRow(true);
        pages_->setCurrentWidget(portablePage_);
        break;
    case TWizardPage::Prerequisite:
        showRow(false);
        pages_->setCurrentWidget(prerequisitePage_);
        prerequisitePage_->Fill();
        break;
    case TWizardPage::Installing:
        pages_->setCurrentWidget(progressPage_);
        progressPage_->Reset();
        // Abort stops the run at its next step forward.
        wizardMessenger_->ResetAbort();
        btnAbort_->setVisible(true);
        QTimer::singleShot(0, this, &TFormSetup::RunInstallation);
        break;
    case TWizardPage::Done:
        donePage_->Fill();
        pages_->setCurrentWidget(donePage_);
        if (flow_->Done().closeAtOnce)
            QTimer::singleShot(0, this, &TFormSetup::BtnDoneClick);
        break;
    }
    welcomePage_->LabelHint()->setVisible(page == TWizardPage::Welcome);
}

void TFormSetup::ShowTextPage(bool licence) {
    textPage_->Fill(licence);
    const TUiStrings& ui = package_.Ui();
    btnLicenseYes_->setText(ToQString(ui.Get(kLicenceYes)));
    btnLicenseNo_->setText(ToQString(ui.Get(kLicenceNo)));
    btnLicenseYes_->setVisible(licence);
    btnLicenseNo_->setVisible(licence);
    btnPrint_->setVisible(havePrinter_);
    btnBack_->setVisible(true);
    pages_->setCurrentWidget(textPage_);
    textPage_->MemoLicense()->setFocus();
}

void TFormSetup::RunInstallation() {
    if (!flow_->RunPending())
        return;
    ShowPage(flow_->Run());
}

void TFormSetup::BtnReadmeClick() {
    if (flow_->ReadmeShownInside())
        ShowPage(flow_->Readme());
    else if (!flow_->ReadmePath().empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(NativeText(flow_->ReadmePath())));
}

void TFormSetup::BtnProceedClick() {
    const TWizardPage before = flow_->Page();
    TWizardPage next = before;
    switch (before) {
    case TWizardPage::Advanced:
        next = advancedPage_->Proceed();
        break;
    case TWizardPage::FileTypes:
        ShowPage(fileTypesPage_->Proceed());
        return;
    case TWizardPage::Portable:
        next = portablePage_->Proceed();
        break;
    case TWizardPage::Prerequisite:
        prerequisitePage_->StopWatching();
        ShowPage(flow_->Proceed());
        return;
    default:
        next = flow_->Proceed();
        break;
    }
    if (next != before)
        ShowPage(next);
}

void TFormSetup::BtnExitClick() {
    if (flow_->Busy()) {
        wizardMessenger_->RequestAbort();
        return;
    }
    // Closing waits for the event loop, as a posted close message would.
    QTimer::singleShot(0, this, [this] {
        close();
        if (background_)
            background_->close();
    });
}

void TFormSetup::BtnDoneClick() {
    if (flow_->Done().doneExits) {
        BtnExitClick();
        return;
    }
    for (const TFinishAction& action : flow_->FinishActions()) {
        if (action.openFolder)
            QDesktopServices::openUrl(QUrl::fromLocalFile(NativeText(action.path)));
        else
            QProcess::startDetached(NativeText(action.path),
                                    QProcess::splitCommand(NativeText(action.parameters)),
                                    NativeText(action.workingFolder));
    }
    BtnExitClick();
}

void TFormSetup::BtnRebootNowClick() {
    std::unique_ptr<platform::IMachineRestart> own;
    platform::IMachineRestart* restart = restart_;
    TSetupSession& session = flow_->Session();
    if (!restart) {
        own = MachineRestartFor(session.Roots());
        restart = own.get();
    }
    const std::string& caption = flow_->Welcome().windowCaption;
    TRestartOutcome outcome = RestartNow(session.Roots(), caption, *wizardMessenger_, *restart);
    if (outcome.accepted && !outcome.restarted)
        wizardMessenger_->ShowMessage(components::TMessageKind::Error, caption, outcome.error);
    BtnExitClick();
}

void TFormSetup::BtnPrintClick() {
    std::vector<std::string> lines = SplitLines(textPage_->MemoLicense()->GetText());
    try {
        textPrinter_->Print(lines, platform::ExtractFileName(flow_->Page() == TWizardPage::Licence
                                                                 ? flow_->LicencePath()
                                                                 : flow_->ReadmePath()));
    } catch (const components::EAbort&) {
    } catch (const std::exception& e) {
        wizardMessenger_->ShowMessage(components::TMessageKind::Error,
                                      flow_->Welcome().windowCaption, e.what());
    }
}

QPushButton* TFormSetup::WelcomeButton(TWelcomeButtonId id) const {
    return welcomePage_->Button(id);
}
QPushButton* TFormSetup::BtnDone() const {
    return donePage_->BtnDone();
}
QPushButton* TFormSetup::BtnRebootNow() const {
    return donePage_->BtnRebootNow();
}
QPushButton* TFormSetup::BtnRebootLater() const {
    return donePage_->BtnRebootLater();
}
QTreeWidget* TFormSetup::TreeComponents() const {
    return componentsPage_->TreeComponents();
}
QCheckBox* TFormSetup::CheckComponentsDetail() const {
    return componentsPage_->CheckComponentsDetail();
}
QLabel* TFormSetup::SpaceLine() const {
    return componentsPage_->SpaceLine();
}
QLabel* TFormSetup::LabelHint() const {
    return welcomePage_->LabelHint();
}
QLabel* TFormSetup::LabelDone() const {
    return donePage_->LabelDone();
}
components::ui::TRicherEdit* TFormSetup::MemoLicense() const {
    return textPage_->MemoLicense();
}
const std::vector<QLineEdit*>& TFormSetup::FolderEdits() const {
    return advancedPage_->FolderEdits();
}
const std::vector<QCheckBox*>& TFormSetup::FileTypeChecks() const {
    return fileTypesPage_->FileTypeChecks();
}
QTreeWidget* TFormSetup::ListDrive() const {
    return portablePage_->ListDrive();
}
QCheckBox* TFormSetup::CheckAllDrives() const {
    return portablePage_->CheckAllDrives();
}
QLineEdit* TFormSetup::EditFolder() const {
    return portablePage_->EditFolder();
}

void TFormSetup::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!centred_)
        CentreWindow();
}

void TFormSetup::CentreWindow() {
    // In the middle of the backdrop when there is one, else of the screen.
    centred_ = true;
    if (background_ && background_->isVisible()) {
        QRect frame = frameGeometry();
        frame.moveCenter(background_->geometry().center());
        move(frame.topLeft());
    } else {
        components::ui::CenterOnScreen(*this);
    }
}

bool TFormSetup::event(QEvent* event) {
    // Hints of the buttons show in the welcome page's hint line.
    if (event->type() == QEvent::StatusTip) {
        welcomePage_->LabelHint()->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

void TFormSetup::paintEvent(QPaintEvent* event) {
    if (package_.Header().gradient && screen() && screen()->depth() > 14) {
        QPainter painter(this);
        PaintBandGradient(painter, rect(), palette().color(QPalette::Light),
                          palette().color(QPalette::Dark));
        return;
    }
    QWidget::paintEvent(event);
}

void TFormSetup::closeEvent(QCloseEvent* event) {
    if (flow_->Busy()) {
        event->ignore();
        return;
    }
    if (background_)
        background_->close();
    event->accept();
    emit Closed();
}

} // namespace setup::ui
