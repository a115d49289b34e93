#include "setup/ui/formsetup.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QDesktopServices>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <map>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/formdirsel.h"
#include "components/ui/richeredit.h"
#include "components/ui/textprinter.h"
#include "components/ui/urllabel.h"
#include "platform/codepage.h"
#include "platform/machinerestart.h"
#include "platform/pathnames.h"
#include "setup/restart.h"
#include "setup/setuppackage.h"
#include "setup/setupsession.h"
#include "setup/ui/formbackground.h"
#include "setup/ui/wizardmessenger.h"

namespace setup::ui {

namespace {

using components::ui::ToQString;

// UI strings of the window's own controls.
constexpr std::size_t kLicenceTitle = 16, kLicenceYes = 17, kLicenceNo = 18;
constexpr std::size_t kBack = 28, kProceed = 29, kAbort = 30;
constexpr std::size_t kFileTypesTitle = 34, kOk = 35, kCancel = 36, kShowDetails = 38;
constexpr std::size_t kDriveLabel = 79, kDriveColumn = 80, kLabelColumn = 81, kFreeColumn = 82;
constexpr std::size_t kAllDrives = 84, kFolderLabel = 85;
constexpr std::size_t kAbortHint = 13;

constexpr int kMargin = 7;
constexpr int kComponentRole = Qt::UserRole + 1; // component index; -1 for detail nodes

QString Native(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// An engine text whose lines break at "\r" (or CR LF), for a label.
QString LabelText(const std::string& text) {
    QString q = ToQString(text);
    q.replace("\r\n", "\n");
    q.replace('\r', '\n');
    return q;
}

QLabel* NewLabel(QWidget* parent, const char* name, bool wrap = false) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(wrap);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QPushButton* NewButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setMinimumWidth(90);
    return button;
}

// Blue and underlined, as links are.
void StyleAsLink(components::ui::TURLLabel* link) {
    QPalette colors = link->palette();
    colors.setColor(QPalette::WindowText, Qt::blue);
    link->setPalette(colors);
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
}

// A hyperlink label for the first line of the welcome page.
components::ui::TURLLabel* NewLink(QWidget* parent, const QString& text, const QString& url) {
    auto* link = new components::ui::TURLLabel(parent);
    link->setText(text);
    link->SetURL(url);
    link->setToolTip(url + "\n" + text);
    link->setStatusTip(url);
    StyleAsLink(link);
    return link;
}

} // namespace

TFormSetup::TFormSetup(TSetupSession& session, TWizardMessenger& messenger,
                       TWizardEnvironment environment, platform::IMachineRestart* restart)
    : QWidget(nullptr), package_(session.Package()), wizardMessenger_(&messenger),
      restart_(restart), textPrinter_(std::make_unique<components::ui::TTextPrinter>()) {
    setObjectName("FormSetup");
    BuildControls();
    messenger.Attach(labelProgress_, gauge_);
    flow_ = std::make_unique<TWizardFlow>(session, std::move(environment));
    havePrinter_ = !QPrinterInfo::availablePrinterNames().isEmpty();
    const TUiStrings& ui = package_.Ui();
    btnBack_->setText(ToQString(ui.Get(kBack)));
    btnProceed_->setText(ToQString(ui.Get(kProceed)));
    btnAbort_->setText(ToQString(ui.Get(kAbort)));
    checkComponentsDetail_->setText(ToQString(ui.Get(kShowDetails)));
}

TFormSetup::~TFormSetup() {
    delete background_;
}

void TFormSetup::BuildControls() {
    resize(600, 420);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    pages_ = new QStackedWidget(this);
    outer->addWidget(pages_, 1);
    pages_->addWidget(welcomePage_ = BuildWelcomePage());
    pages_->addWidget(textPage_ = BuildTextPage());
    pages_->addWidget(componentsPage_ = BuildComponentsPage());
    pages_->addWidget(advancedPage_ = BuildAdvancedPage());
    pages_->addWidget(fileTypesPage_ = BuildFileTypesPage());
    pages_->addWidget(portablePage_ = BuildPortablePage());
    pages_->addWidget(prerequisitePage_ = BuildPrerequisitePage());
    pages_->addWidget(progressPage_ = BuildProgressPage());
    pages_->addWidget(donePage_ = BuildDonePage());

    // One row of buttons under every page: Print at the left, the page's
    // own buttons at the right.
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
    outer->addLayout(row);
    connect(btnPrint_, &QPushButton::clicked, this, &TFormSetup::BtnPrintClick);
    connect(btnLicenseYes_, &QPushButton::clicked, this, [this] { ShowPage(flow_->LicenceYes()); });
    connect(btnLicenseNo_, &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
    connect(btnBack_, &QPushButton::clicked, this, &TFormSetup::BtnBackClick);
    connect(btnProceed_, &QPushButton::clicked, this, &TFormSetup::BtnProceedClick);
    connect(btnAbort_, &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
}

QWidget* TFormSetup::BuildWelcomePage() {
    auto* page = new QWidget;
    page->setObjectName("WelcomePage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    firstLine_ = new QWidget(page);
    auto* line = new QHBoxLayout(firstLine_);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(0);
    box->addWidget(firstLine_);
    labelRelease_ = NewLabel(page, "LabelRelease");
    labelExtra_ = NewLabel(page, "LabelExtra", true);
    box->addWidget(labelRelease_);
    box->addWidget(labelExtra_);
    noticeLines_ = new QVBoxLayout;
    noticeLines_->setContentsMargins(0, 7, 0, 0);
    box->addLayout(noticeLines_);
    box->addSpacing(kMargin);

    auto* middle = new QHBoxLayout;
    auto* icons = new QVBoxLayout;
    imageIconTop_ = NewLabel(page, "ImageIconTop");
    imageIconBottom_ = NewLabel(page, "ImageIconBottom");
    for (QLabel* icon : {imageIconTop_, imageIconBottom_}) {
        icon->setFixedSize(32, 32);
        icon->setScaledContents(true);
    }
    icons->addWidget(imageIconTop_);
    icons->addStretch(1);
    icons->addWidget(imageIconBottom_);
    middle->addLayout(icons);
    middle->addSpacing(2 * kMargin);
    welcomeGrid_ = new QGridLayout;
    welcomeGrid_->setVerticalSpacing(kMargin);
    static const char* const names[wbCount] = {"BtnInstall", "BtnReadme", "BtnComponents",
                                               "BtnAdvanced", "BtnExit"};
    for (int b = 0; b < wbCount; ++b) {
        welcomeButtons_[b] = NewButton(page, names[b]);
        welcomeButtons_[b]->setMinimumWidth(160);
        welcomeButtons_[b]->installEventFilter(this);
    }
    middle->addLayout(welcomeGrid_);
    middle->addStretch(1);
    box->addLayout(middle);
    box->addStretch(1);
    labelHint_ = NewLabel(page, "LabelHint", true);
    labelHint_->setMinimumHeight(2 * fontMetrics().height());
    box->addWidget(labelHint_);

    connect(welcomeButtons_[wbInstall], &QPushButton::clicked, this,
            [this] { ShowPage(flow_->Install()); });
    connect(welcomeButtons_[wbReadme], &QPushButton::clicked, this, &TFormSetup::BtnReadmeClick);
    connect(welcomeButtons_[wbComponents], &QPushButton::clicked, this,
            [this] { ShowPage(flow_->Components()); });
    connect(welcomeButtons_[wbAdvanced], &QPushButton::clicked, this,
            [this] { ShowPage(flow_->Advanced()); });
    connect(welcomeButtons_[wbExit], &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
    return page;
}

QWidget* TFormSetup::BuildTextPage() {
    auto* page = new QWidget;
    page->setObjectName("TextPage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    labelLicense_ = NewLabel(page, "LabelLicense", true);
    box->addWidget(labelLicense_);
    memoLicense_ = new components::ui::TRicherEdit(page);
    memoLicense_->setObjectName("MemoLicense");
    memoLicense_->setReadOnly(true);
    box->addWidget(memoLicense_, 1);
    return page;
}

QWidget* TFormSetup::BuildComponentsPage() {
    auto* page = new QWidget;
    page->setObjectName("ComponentsPage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    // The tree and the description side by side, the detail switch and the
    // space line in one row under them.
    auto* lists = new QHBoxLayout;
    treeComponents_ = new QTreeWidget(page);
    treeComponents_->setObjectName("TreeComponents");
    treeComponents_->setHeaderHidden(true);
    treeComponents_->setRootIsDecorated(false);
    treeComponents_->installEventFilter(this);
    lists->addWidget(treeComponents_, 3);
    memoComponent_ = new QPlainTextEdit(page);
    memoComponent_->setObjectName("MemoComponent");
    memoComponent_->setReadOnly(true);
    memoComponent_->setFocusPolicy(Qt::NoFocus);
    lists->addWidget(memoComponent_, 2);
    box->addLayout(lists, 1);
    auto* row = new QHBoxLayout;
    checkComponentsDetail_ = new QCheckBox(page);
    checkComponentsDetail_->setObjectName("CheckComponentsDetail");
    row->addWidget(checkComponentsDetail_);
    row->addStretch(1);
    labelSpace_ = NewLabel(page, "LabelSpace");
    row->addWidget(labelSpace_);
    box->addLayout(row);
    connect(treeComponents_, &QTreeWidget::itemChanged, this, &TFormSetup::TreeItemChanged);
    connect(treeComponents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        // The description of the component the selected node belongs to.
        while (item && item->parent())
            item = item->parent();
        std::string text;
        if (item) {
            int index = item->data(0, kComponentRole).toInt();
            text = package_.Tables().components.at(index).description;
        }
        memoComponent_->setPlainText(ToQString(text));
    });
    connect(checkComponentsDetail_, &QCheckBox::toggled, this, [this](bool on) {
        if (on && !detailAdded_ && treeComponents_->topLevelItemCount() > 0)
            AddComponentDetail();
        treeComponents_->setRootIsDecorated(on);
        if (on)
            treeComponents_->expandAll();
        else
            treeComponents_->collapseAll();
    });
    return page;
}

QWidget* TFormSetup::BuildAdvancedPage() {
    auto* page = new QWidget;
    page->setObjectName("AdvancedPage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    folderGrid_ = new QGridLayout;
    folderGrid_->setHorizontalSpacing(kMargin);
    folderGrid_->setVerticalSpacing(kMargin);
    folderGrid_->setColumnStretch(1, 1);
    box->addLayout(folderGrid_);
    box->addStretch(1);
    return page;
}

QWidget* TFormSetup::BuildFileTypesPage() {
    auto* page = new QWidget;
    page->setObjectName("FileTypesPage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    labelIdentity_ = NewLabel(page, "LabelIdentity", true);
    box->addWidget(labelIdentity_);
    fileTypeBox_ = new QVBoxLayout;
    fileTypeBox_->setContentsMargins(28 - kMargin, 0, 0, 0);
    fileTypeBox_->setSpacing(kMargin);
    box->addLayout(fileTypeBox_);
    box->addStretch(1);
    return page;
}

QWidget* TFormSetup::BuildPortablePage() {
    auto* page = new QWidget;
    page->setObjectName("PortablePage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    labelDrive_ = NewLabel(page, "LabelDrive");
    box->addWidget(labelDrive_);
    listDrive_ = new QTreeWidget(page);
    listDrive_->setObjectName("ListDrive");
    listDrive_->setColumnCount(3);
    listDrive_->setRootIsDecorated(false);
    listDrive_->header()->setStretchLastSection(false);
    listDrive_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    listDrive_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    listDrive_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    box->addWidget(listDrive_, 1);
    checkAllDrives_ = new QCheckBox(page);
    checkAllDrives_->setObjectName("CheckAllDrives");
    box->addWidget(checkAllDrives_);
    labelFolder_ = NewLabel(page, "LabelFolder");
    box->addWidget(labelFolder_);
    editFolder_ = new QLineEdit(page);
    editFolder_->setObjectName("EditFolder");
    components::ui::RefuseNonAnsiInput(editFolder_);
    labelFolder_->setBuddy(editFolder_);
    box->addWidget(editFolder_);
    connect(checkAllDrives_, &QCheckBox::toggled, this, [this] { FillDriveList(); });
    return page;
}

QWidget* TFormSetup::BuildPrerequisitePage() {
    auto* page = new QWidget;
    page->setObjectName("PrerequisitePage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    labelPrerequisite_ = NewLabel(page, "LabelPrerequisite", true);
    labelPrerequisiteDetail_ = NewLabel(page, "LabelReboot", true);
    label3rdPartyURL_ = new components::ui::TURLLabel(page);
    label3rdPartyURL_->setObjectName("Label3rdPartyURL");
    StyleAsLink(label3rdPartyURL_);
    box->addWidget(labelPrerequisite_);
    box->addWidget(labelPrerequisiteDetail_);
    box->addWidget(label3rdPartyURL_);
    box->addStretch(1);
    timer3rdParty_ = new QTimer(this);
    timer3rdParty_->setObjectName("Timer3rdParty");
    timer3rdParty_->setInterval(1000);
    // The installer ending lets the run go on by itself.
    connect(timer3rdParty_, &QTimer::timeout, this, [this] {
        if (flow_->Page() != TWizardPage::Prerequisite) {
            timer3rdParty_->stop();
            return;
        }
        if (flow_->PrerequisiteInstallerEnded())
            BtnProceedClick();
    });
    return page;
}

QWidget* TFormSetup::BuildProgressPage() {
    auto* page = new QWidget;
    page->setObjectName("ProgressPage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addStretch(1);
    labelProgress_ = NewLabel(page, "LabelProgress");
    labelProgress_->setMinimumWidth(1);
    box->addWidget(labelProgress_);
    gauge_ = new QProgressBar(page);
    gauge_->setObjectName("Gauge");
    box->addWidget(gauge_);
    box->addStretch(1);
    return page;
}

QWidget* TFormSetup::BuildDonePage() {
    auto* page = new QWidget;
    page->setObjectName("DonePage");
    auto* box = new QVBoxLayout(page);
    box->setContentsMargins(0, 0, 0, 0);
    box->addStretch(1);
    labelDone_ = NewLabel(page, "LabelDone", true);
    labelReboot_ = NewLabel(page, "LabelReboot", true);
    labelDone_->setAlignment(Qt::AlignHCenter);
    labelReboot_->setAlignment(Qt::AlignHCenter);
    box->addWidget(labelDone_);
    box->addWidget(labelReboot_);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    btnDone_ = NewButton(page, "BtnDone");
    btnRebootNow_ = NewButton(page, "BtnRebootNow");
    btnRebootLater_ = NewButton(page, "BtnRebootLater");
    row->addWidget(btnDone_);
    row->addWidget(btnRebootNow_);
    row->addWidget(btnRebootLater_);
    row->addStretch(1);
    box->addLayout(row);
    box->addStretch(1);
    connect(btnDone_, &QPushButton::clicked, this, &TFormSetup::BtnDoneClick);
    connect(btnRebootNow_, &QPushButton::clicked, this, &TFormSetup::BtnRebootNowClick);
    connect(btnRebootLater_, &QPushButton::clicked, this, &TFormSetup::BtnExitClick);
    return page;
}

bool TFormSetup::Start() {
    AddAboutAction();
    ApplyWizardFont();
    flow_->BuildWelcome();
    FillWelcomePage();
    if (package_.Header().backdrop)
        SetupBackground();
    ShowPage(TWizardPage::Welcome);
    if (!flow_->InstallationAllowed())
        return true;
    if (background_ && !flow_->Prepared())
        background_->show();
    raise();
    if (!flow_->PrepareInstallation())
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

    // The first line: intro, publisher, product and version, outro.
    auto* line = static_cast<QHBoxLayout*>(firstLine_->layout());
    while (QLayoutItem* item = line->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    line->addWidget(new QLabel(ToQString(w.intro), firstLine_));
    if (!w.publisher.empty()) {
        if (!w.publisherUrl.empty())
            line->addWidget(NewLink(firstLine_, ToQString(w.publisher), ToQString(w.publisherUrl)));
        else
            line->addWidget(new QLabel(ToQString(w.publisher), firstLine_));
        line->addSpacing(fontMetrics().horizontalAdvance(' '));
    }
    if (!w.productUrl.empty())
        line->addWidget(NewLink(firstLine_, ToQString(w.productLine), ToQString(w.productUrl)));
    else
        line->addWidget(new QLabel(ToQString(w.productLine), firstLine_));
    if (w.outro.size() > 1)
        line->addWidget(new QLabel(ToQString(w.outro), firstLine_));
    line->addStretch(1);
    for (auto* label : firstLine_->findChildren<QLabel*>())
        label->setTextFormat(Qt::PlainText);

    QString date;
    if (w.releaseYear > 0)
        date = QLocale().toString(QDate(w.releaseYear, w.releaseMonth, w.releaseDay),
                                  QLocale::LongFormat);
    labelRelease_->setText(
        ToQString(SafeFormat(w.releaseFormat, {components::ui::FromQString(date)})));
    labelRelease_->setVisible(w.releaseYear > 0);
    labelExtra_->setText(ToQString(w.extraLine));
    labelExtra_->setVisible(!w.extraLine.empty());

    while (QLayoutItem* item = noticeLines_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const auto& text : w.rightsLines) {
        QLabel* l = NewLabel(welcomePage_, "LabelRights", true);
        l->setText(LabelText(text));
        noticeLines_->addWidget(l);
    }
    for (const auto& text : w.earlierLines) {
        QLabel* l = NewLabel(welcomePage_, "LabelEarlier", true);
        l->setText(LabelText(text));
        noticeLines_->addWidget(l);
    }

    for (int b = 0; b < wbCount; ++b) {
        welcomeButtons_[b]->setText(ToQString(w.buttons[b].caption));
        welcomeButtons_[b]->setStatusTip(ToQString(w.buttons[b].hint));
        welcomeButtons_[b]->setEnabled(w.buttons[b].enabled);
    }
    btnAbort_->setStatusTip(ToQString(package_.Ui().Get(kAbortHint)));
    welcomeButtons_[w.defaultButton]->setDefault(true);
    welcomeButtons_[w.defaultButton]->setFocus();
    PlaceWelcomeButtons();

    QPixmap icon;
    if (!flow_->IconPath().empty() && icon.load(Native(flow_->IconPath()))) {
        imageIconTop_->setPixmap(icon);
        imageIconBottom_->setPixmap(icon);
        setWindowIcon(QIcon(icon));
    }
}

void TFormSetup::PlaceWelcomeButtons() {
    const TWelcomeData& w = flow_->Welcome();
    for (int b = 0; b < wbCount; ++b)
        welcomeGrid_->removeWidget(welcomeButtons_[b]);
    for (int b = 0; b < wbCount; ++b) {
        welcomeButtons_[b]->setVisible(w.buttons[b].visible);
        if (w.buttons[b].visible)
            welcomeGrid_->addWidget(welcomeButtons_[b], w.buttons[b].slot, 0);
    }
}

void TFormSetup::SetupBackground() {
    if (!background_)
        background_ = new TFormBackground(this);
    const TSettings& s = package_.Settings();
    background_->Setup(package_.Header().backdropRecord, Native(flow_->BackdropPicturePath()),
                       s.backdropTopCaption, s.backdropBottomCaption);
}

QWidget* TFormSetup::CurrentPage() const {
    return pages_->currentWidget();
}

void TFormSetup::ShowPage(TWizardPage page) {
    const bool welcome = page == TWizardPage::Welcome;
    for (QPushButton* b :
         {btnPrint_, btnBack_, btnLicenseYes_, btnLicenseNo_, btnProceed_, btnAbort_})
        b->setVisible(false);
    if (page != TWizardPage::Advanced)
        ClearAdvancedRows();
    if (page != TWizardPage::FileTypes)
        ClearFileTypeRows();
    switch (page) {
    case TWizardPage::Welcome:
        pages_->setCurrentWidget(welcomePage_);
        PlaceWelcomeButtons();
        break;
    case TWizardPage::Readme:
        ShowTextPage(false);
        break;
    case TWizardPage::Licence:
        ShowTextPage(true);
        break;
    case TWizardPage::Components:
        ShowComponentsPage();
        break;
    case TWizardPage::Advanced:
        ShowAdvancedPage();
        break;
    case TWizardPage::FileTypes:
        ShowFileTypesPage();
        break;
    case TWizardPage::Portable:
        ShowPortablePage();
        break;
    case TWizardPage::Prerequisite:
        ShowPrerequisitePage();
        break;
    case TWizardPage::Installing:
        pages_->setCurrentWidget(progressPage_);
        labelProgress_->clear();
        gauge_->setValue(0);
        QTimer::singleShot(0, this, &TFormSetup::RunInstallation);
        break;
    case TWizardPage::Done:
        ShowDonePage();
        break;
    }
    labelHint_->setVisible(welcome);
}

void TFormSetup::ShowTextPage(bool licence) {
    const std::string path = licence ? flow_->LicencePath() : flow_->ReadmePath();
    try {
        memoLicense_->LoadFromFile(Native(path).toStdString());
    } catch (const std::exception& e) {
        memoLicense_->LoadFromStrings({e.what()});
    }
    const TUiStrings& ui = package_.Ui();
    labelLicense_->setText(ToQString(ui.Get(kLicenceTitle)));
    labelLicense_->setVisible(licence);
    btnLicenseYes_->setText(ToQString(ui.Get(kLicenceYes)));
    btnLicenseNo_->setText(ToQString(ui.Get(kLicenceNo)));
    btnLicenseYes_->setVisible(licence);
    btnLicenseNo_->setVisible(licence);
    btnPrint_->setVisible(havePrinter_);
    btnBack_->setVisible(true);
    pages_->setCurrentWidget(textPage_);
    memoLicense_->setFocus();
}

void TFormSetup::ShowComponentsPage() {
    FillComponentTree();
    checkComponentsDetail_->setChecked(false);
    UpdateSpaceLine();
    btnBack_->setVisible(true);
    btnProceed_->setVisible(true);
    btnAbort_->setVisible(true);
    pages_->setCurrentWidget(componentsPage_);
    treeComponents_->setFocus();
    if (treeComponents_->topLevelItemCount() > 0)
        treeComponents_->setCurrentItem(treeComponents_->topLevelItem(0));
}

void TFormSetup::FillComponentTree() {
    fillingTree_ = true;
    treeComponents_->clear();
    detailAdded_ = false;
    for (std::size_t index : flow_->TreeComponents()) {
        auto* item = new QTreeWidgetItem(treeComponents_);
        item->setText(0, ToQString(package_.Tables().components[index].name));
        item->setData(0, kComponentRole, static_cast<int>(index));
    }
    fillingTree_ = false;
    RefreshComponentStates();
}

void TFormSetup::RefreshComponentStates() {
    fillingTree_ = true;
    const auto& comps = package_.Tables().components;
    for (int i = 0; i < treeComponents_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = treeComponents_->topLevelItem(i);
        const TComponentData& c = comps.at(item->data(0, kComponentRole).toInt());
        const int state = c.StateImage();
        const bool checked = state == 2 || state == 4;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (state == 1 || state == 2 || state == 5)
            flags |= Qt::ItemIsUserCheckable;
        item->setFlags(flags);
        item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
        QFont f = treeComponents_->font();
        f.setItalic(state == 5); // installed by the earlier installation
        item->setFont(0, f);
        item->setForeground(0, state == 3 || state == 4
                                   ? palette().color(QPalette::Disabled, QPalette::Text)
                                   : palette().color(QPalette::Text));
    }
    fillingTree_ = false;
}

void TFormSetup::TreeItemChanged(QTreeWidgetItem* item) {
    if (fillingTree_ || !item || item->parent())
        return;
    flow_->Toggle(item->data(0, kComponentRole).toInt());
    RefreshComponentStates();
    UpdateSpaceLine();
}

void TFormSetup::AddComponentDetail() {
    detailAdded_ = true;
    fillingTree_ = true;
    const auto& tables = package_.Tables();
    const bool portable = flow_->Portable();
    auto fileName = [&](std::uint16_t index) {
        return index < tables.fileTable.files.size() ? ToQString(tables.fileTable.files[index].name)
                                                     : QString();
    };
    for (int i = 0; i < treeComponents_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* node = treeComponents_->topLevelItem(i);
        const TComponentData& c = tables.components.at(node->data(0, kComponentRole).toInt());
        std::function<void(QTreeWidgetItem*, const TComponentFolder&, bool)> addFolder =
            [&](QTreeWidgetItem* parent, const TComponentFolder& folder, bool top) {
                const QString text = top ? Native(folder.path.empty() ? folder.name : folder.path)
                                         : ToQString(folder.name);
                QTreeWidgetItem* folderNode = nullptr;
                for (int k = 0; k < parent->childCount(); ++k)
                    if (parent->child(k)->text(0) == text)
                        folderNode = parent->child(k);
                const bool reused = folderNode != nullptr;
                if (!folderNode) {
                    folderNode = new QTreeWidgetItem(parent, {text});
                    folderNode->setData(0, kComponentRole, -1);
                    folderNode->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
                }
                for (const auto& item : folder.items) {
                    // Files, shortcuts and Internet shortcuts each with their image.
                    QString name;
                    QStyle::StandardPixmap image = QStyle::SP_FileIcon;
                    if (const auto* copy = std::get_if<TCopyItem>(&item)) {
                        name = fileName(copy->fileIndex);
                    } else if (portable) {
                        continue;
                    } else if (const auto* link = std::get_if<TShortcutItem>(&item)) {
                        name = fileName(link->targetIndex);
                        image = QStyle::SP_FileLinkIcon;
                    } else {
                        name = ToQString(std::get<TUrlItem>(item).name);
                        image = QStyle::SP_DriveNetIcon;
                    }
                    auto* leaf = new QTreeWidgetItem(folderNode, {name});
                    leaf->setData(0, kComponentRole, -1);
                    leaf->setIcon(0, style()->standardIcon(image));
                }
                for (const auto& sub : folder.folders)
                    addFolder(folderNode, sub, false);
                if (!reused && folderNode->childCount() == 0)
                    delete folderNode;
            };
        for (const auto& folder : c.folders)
            addFolder(node, folder, true);
    }
    fillingTree_ = false;
}

void TFormSetup::UpdateSpaceLine() {
    TSpaceLine line = flow_->SpaceLine();
    labelSpace_->setText(ToQString(line.text));
    QFont f = font();
    f.setBold(line.warn);
    labelSpace_->setFont(f);
    labelSpace_->setStyleSheet(line.warn ? "color: red" : "");
}

void TFormSetup::ShowAdvancedPage() {
    ClearAdvancedRows();
    const auto rows = flow_->FolderRows();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        auto* label = new QLabel(ToQString(rows[r].caption), advancedPage_);
        label->setObjectName("LabelFolderVariable");
        auto* edit = new QLineEdit(Native(rows[r].path), advancedPage_);
        edit->setObjectName("EditFolderVariable");
        edit->setMaxLength(255);
        label->setBuddy(edit);
        auto* browse = new QPushButton("...", advancedPage_);
        browse->setObjectName("BtnBrowseFolder");
        browse->setFixedWidth(35);
        connect(browse, &QPushButton::clicked, this, [this, r] { BrowseFolder(r); });
        folderGrid_->addWidget(label, static_cast<int>(r), 0, Qt::AlignRight);
        folderGrid_->addWidget(edit, static_cast<int>(r), 1);
        folderGrid_->addWidget(browse, static_cast<int>(r), 2);
        folderRowWidgets_.insert(folderRowWidgets_.end(), {label, edit, browse});
        folderEdits_.push_back(edit);
    }
    btnBack_->setVisible(true);
    btnProceed_->setVisible(true);
    btnAbort_->setVisible(true);
    pages_->setCurrentWidget(advancedPage_);
    if (!folderEdits_.empty())
        folderEdits_.front()->setFocus();
}

void TFormSetup::ClearAdvancedRows() {
    for (QWidget* w : folderRowWidgets_)
        delete w;
    folderRowWidgets_.clear();
    folderEdits_.clear();
}

void TFormSetup::BrowseFolder(std::size_t row) {
    if (row >= folderEdits_.size())
        return;
    const TUiStrings& ui = package_.Ui();
    if (!formDirSel_) {
        formDirSel_ = new components::ui::TFormDirSel(this);
        formDirSel_->setFont(font());
        formDirSel_->BtnOK()->setText(ToQString(ui.Get(kOk)));
        formDirSel_->BtnCancel()->setText(ToQString(ui.Get(kCancel)));
    }
    const auto rows = flow_->FolderRows();
    formDirSel_->setWindowTitle(ToQString(StripAccelerators(rows.at(row).caption)));
    formDirSel_->Edit()->setText(folderEdits_[row]->text());
    if (formDirSel_->exec() != QDialog::Accepted)
        return;
    // A full path only: a drive letter form or an absolute folder.
    QString text = formDirSel_->Edit()->text().trimmed();
    if (text.size() == 1 && text[0].isLetter())
        text += ":\\";
    else if (text.size() == 2 && text[0].isLetter() && text[1] == ':')
        text += "\\";
    const bool accepted = text.startsWith('/') ||
                          (text.size() >= 3 && text[0].isLetter() && text.mid(1, 2) == ":\\") ||
                          (text.startsWith("\\\\") && text.indexOf('\\', 2) > 2);
    if (accepted)
        folderEdits_[row]->setText(text);
}

void TFormSetup::ShowFileTypesPage() {
    ClearFileTypeRows();
    labelIdentity_->setText(ToQString(package_.Ui().Get(kFileTypesTitle)));
    for (const auto& row : flow_->FileTypeRows()) {
        auto* check = new QCheckBox(ToQString(row.text), fileTypesPage_);
        check->setObjectName("CheckFileType");
        check->setChecked(row.checked);
        fileTypeBox_->addWidget(check);
        fileTypeChecks_.push_back(check);
    }
    btnBack_->setVisible(true);
    btnProceed_->setVisible(true);
    btnAbort_->setVisible(true);
    pages_->setCurrentWidget(fileTypesPage_);
}

void TFormSetup::ClearFileTypeRows() {
    for (QCheckBox* c : fileTypeChecks_)
        delete c;
    fileTypeChecks_.clear();
}

void TFormSetup::ShowPortablePage() {
    const TUiStrings& ui = package_.Ui();
    labelDrive_->setText(ToQString(ui.Get(kDriveLabel)));
    listDrive_->setHeaderLabels({ToQString(ui.Get(kDriveColumn)), ToQString(ui.Get(kLabelColumn)),
                                 ToQString(ui.Get(kFreeColumn))});
    listDrive_->headerItem()->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    checkAllDrives_->setText(ToQString(ui.Get(kAllDrives)));
    checkAllDrives_->setVisible(package_.Header().allDrivesOption);
    labelFolder_->setText(ToQString(ui.Get(kFolderLabel)));
    if (editFolder_->text().isEmpty())
        editFolder_->setText(ToQString(flow_->PortableFolderText()));
    FillDriveList();
    if (listDrive_->topLevelItemCount() == 0 && package_.Header().allDrivesOption &&
        !checkAllDrives_->isChecked())
        checkAllDrives_->setChecked(true); // refills the list
    btnBack_->setVisible(true);
    btnProceed_->setVisible(true);
    btnAbort_->setVisible(true);
    pages_->setCurrentWidget(portablePage_);
}

void TFormSetup::FillDriveList() {
    listDrive_->clear();
    for (const auto& d : flow_->FillDriveList(checkAllDrives_->isChecked())) {
        auto* item =
            new QTreeWidgetItem(listDrive_, {Native(d.root), Native(d.label), Native(d.freeText)});
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (listDrive_->topLevelItemCount() > 0)
        listDrive_->setCurrentItem(listDrive_->topLevelItem(0));
}

void TFormSetup::ShowPrerequisitePage() {
    const TPrerequisitePrompt& p = flow_->Prerequisite();
    labelPrerequisite_->setText(LabelText(p.text));
    // Why no installer runs, when one cannot, follows the status line.
    std::string detail = p.statusText;
    if (!p.problem.empty())
        detail += (detail.empty() ? "" : "\r") + p.problem;
    labelPrerequisiteDetail_->setText(LabelText(detail));
    label3rdPartyURL_->setText(ToQString(p.downloadUrl));
    label3rdPartyURL_->SetURL(ToQString(p.downloadUrl));
    label3rdPartyURL_->setVisible(!p.downloadUrl.empty());
    btnProceed_->setVisible(true);
    btnAbort_->setVisible(true);
    pages_->setCurrentWidget(prerequisitePage_);
    timer3rdParty_->start();
}

void TFormSetup::RunInstallation() {
    if (!flow_->RunPending())
        return;
    ShowPage(flow_->Run());
}

void TFormSetup::ShowDonePage() {
    const TDonePage& d = flow_->Done();
    labelDone_->setText(LabelText(d.text));
    labelReboot_->setText(LabelText(d.rebootText));
    labelReboot_->setVisible(d.reboot);
    btnRebootNow_->setText(ToQString(d.rebootNow));
    btnRebootLater_->setText(ToQString(d.rebootLater));
    btnRebootNow_->setVisible(d.reboot);
    btnRebootLater_->setVisible(d.reboot);
    btnDone_->setText(ToQString(d.doneCaption));
    btnDone_->setVisible(!d.reboot);
    pages_->setCurrentWidget(donePage_);
    if (d.closeAtOnce)
        QTimer::singleShot(0, this, &TFormSetup::BtnDoneClick);
}

void TFormSetup::BtnReadmeClick() {
    if (flow_->ReadmeShownInside())
        ShowPage(flow_->Readme());
    else if (!flow_->ReadmePath().empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(Native(flow_->ReadmePath())));
}

void TFormSetup::BtnProceedClick() {
    switch (flow_->Page()) {
    case TWizardPage::Advanced: {
        std::vector<std::string> texts;
        for (QLineEdit* e : folderEdits_)
            texts.push_back(e->text().toStdString());
        int focus = -1;
        TWizardPage next = flow_->ProceedAdvanced(texts, focus);
        if (next == TWizardPage::Advanced) {
            for (std::size_t i = 0; i < texts.size() && i < folderEdits_.size(); ++i)
                folderEdits_[i]->setText(Native(texts[i]));
            if (focus >= 0 && focus < static_cast<int>(folderEdits_.size()))
                folderEdits_[focus]->setFocus();
            return;
        }
        ShowPage(next);
        return;
    }
    case TWizardPage::FileTypes: {
        std::vector<bool> checked;
        for (QCheckBox* c : fileTypeChecks_)
            checked.push_back(c->isChecked());
        ShowPage(flow_->ProceedFileTypes(checked));
        return;
    }
    case TWizardPage::Portable: {
        QTreeWidgetItem* current = listDrive_->currentItem();
        int row = current ? listDrive_->indexOfTopLevelItem(current) : -1;
        TWizardPage next =
            flow_->ProceedPortable(row, components::ui::FromQString(editFolder_->text()));
        if (next != TWizardPage::Portable)
            ShowPage(next);
        return;
    }
    case TWizardPage::Prerequisite:
        timer3rdParty_->stop();
        ShowPage(flow_->Proceed());
        return;
    default: {
        TWizardPage before = flow_->Page();
        TWizardPage next = flow_->Proceed();
        if (next != before)
            ShowPage(next);
    }
    }
}

void TFormSetup::BtnBackClick() {
    ShowPage(flow_->Back());
}

void TFormSetup::BtnExitClick() {
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
            QDesktopServices::openUrl(QUrl::fromLocalFile(Native(action.path)));
        else
            QProcess::startDetached(Native(action.path),
                                    QProcess::splitCommand(Native(action.parameters)),
                                    Native(action.workingFolder));
    }
    BtnExitClick();
}

void TFormSetup::BtnRebootNowClick() {
    std::unique_ptr<platform::IMachineRestart> own;
    platform::IMachineRestart* restart = restart_;
    if (!restart) {
        own = platform::SystemMachineRestart();
        restart = own.get();
    }
    TSetupSession& session = flow_->Session();
    const std::string& caption = flow_->Welcome().windowCaption;
    TRestartOutcome outcome = RestartNow(session.Roots(), caption, *wizardMessenger_, *restart);
    if (outcome.accepted && !outcome.restarted)
        wizardMessenger_->ShowMessage(components::TMessageKind::Error, caption, outcome.error);
    BtnExitClick();
}

void TFormSetup::BtnPrintClick() {
    std::vector<std::string> lines = SplitLines(memoLicense_->GetText());
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

bool TFormSetup::event(QEvent* event) {
    // Hints of the buttons show in LabelHint.
    if (event->type() == QEvent::StatusTip) {
        labelHint_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

bool TFormSetup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == treeComponents_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QTreeWidgetItem* item = treeComponents_->currentItem();
            if (item && !item->parent() && (item->flags() & Qt::ItemIsUserCheckable))
                item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked
                                                                          : Qt::Checked);
            return true; // swallowed
        }
    }
    return QWidget::eventFilter(watched, event);
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
