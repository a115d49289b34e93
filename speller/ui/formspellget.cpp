#include "speller/ui/formspellget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "components/messengerseam.h"
#include "components/proxysettings.h"
#include "components/ui/ansiqt.h"
#include "components/ui/formdirsel.h"
#include "components/ui/formproxysettings.h"
#include "components/ui/powerprogressbar.h"
#include "speller/ui/httpdictionaryclient.h"

namespace speller::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

constexpr const char* kConnectError =
    "Cannot connect to the Internet server storing the spell check dictionaries.\r\n"
    "Please make sure you are connected to the Internet.\r\n"
    "If your Internet connection requires a proxy server, please click the Settings button to "
    "configure it.";
constexpr const char* kNoAnswer =
    "The Internet server storing the spell check dictionaries did not return any answer.";

QString FolderText(const std::filesystem::path& folder) {
    QString text = QString::fromStdString(folder.string());
    if (!text.isEmpty() && !text.endsWith('/'))
        text += '/';
    return text;
}

} // namespace

TFormSpellGet::TFormSpellGet(TDictionaryRegistration& registration,
                             components::TProxySettings& proxy, components::IMessenger& messenger,
                             QWidget* parent)
    : QDialog(parent), model_(registration), proxy_(proxy), messenger_(messenger),
      client_(new THttpDictionaryClient(this)) {
    setObjectName("FormSpellGet");
    setWindowTitle(tr("Download Spell Check Dictionaries"));
    setMinimumSize(360, 280);

    auto* top = new QVBoxLayout(this);
    labelFolder_ = new QLabel(tr("&Folder where the dictionaries should be installed:"), this);
    labelFolder_->setObjectName("LabelFolder");
    auto* folderRow = new QHBoxLayout;
    editFolder_ = new QLineEdit(this);
    editFolder_->setObjectName("EditFolder");
    labelFolder_->setBuddy(editFolder_);
    btnBrowse_ = new QPushButton(tr("..."), this);
    btnBrowse_->setObjectName("BtnBrowse");
    btnBrowse_->setFixedWidth(btnBrowse_->fontMetrics().horizontalAdvance("...") + 24);
    folderRow->addWidget(editFolder_, 1);
    folderRow->addWidget(btnBrowse_);
    top->addWidget(labelFolder_);
    top->addLayout(folderRow);

    auto* label2 = new QLabel(tr("&Available dictionaries:"), this);
    list_ = new QTreeWidget(this);
    list_->setObjectName("List");
    list_->setColumnCount(2);
    list_->setHeaderLabels({tr("Language"), tr("Installed")});
    list_->setRootIsDecorated(false);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    label2->setBuddy(list_);
    top->addWidget(label2);

    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    auto* side = new QVBoxLayout;
    btnInstall_ = new QPushButton(tr("&Install"), this);
    btnInstall_->setObjectName("BtnInstall");
    btnUninstall_ = new QPushButton(tr("&Uninstall"), this);
    btnUninstall_->setObjectName("BtnUninstall");
    btnInstall_->setEnabled(false);
    btnUninstall_->setEnabled(false);
    side->addWidget(btnInstall_);
    side->addWidget(btnUninstall_);
    side->addStretch(1);
    body->addLayout(side);
    top->addLayout(body, 1);

    progress_ = new components::ui::TPowerProgressBar(this);
    progress_->setObjectName("Progress");
    progress_->SetMinSpeed(0);
    progress_->SetMaxSpeed(1'000'000); // bytes per second: a megabyte a second is fast
    progress_->hide();
    top->addWidget(progress_);

    auto* buttons = new QHBoxLayout;
    btnSettings_ = new QPushButton(tr("&Settings..."), this);
    btnSettings_->setObjectName("BtnSettings");
    btnClose_ = new QPushButton(tr("&Close"), this);
    btnClose_->setObjectName("BtnClose");
    btnHelp_ = new QPushButton(tr("&Help"), this);
    btnHelp_->setObjectName("BtnHelp");
    buttons->addWidget(btnSettings_);
    buttons->addStretch(1);
    buttons->addWidget(btnClose_);
    buttons->addWidget(btnHelp_);
    top->addLayout(buttons);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { ListChange(); });
    connect(btnInstall_, &QPushButton::clicked, this, [this] { BtnInstallClick(); });
    connect(btnUninstall_, &QPushButton::clicked, this, [this] { BtnUninstallClick(); });
    connect(btnSettings_, &QPushButton::clicked, this, [this] { BtnSettingsClick(); });
    connect(btnBrowse_, &QPushButton::clicked, this, [this] { BtnBrowseClick(); });
    connect(btnClose_, &QPushButton::clicked, this, [this] { reject(); });
    connect(btnHelp_, &QPushButton::clicked, this, [this] { emit HelpRequested(helpContext_); });

    client_->OnWorkBegin = [this](std::int64_t total) {
        workStart_ = QDateTime::currentMSecsSinceEpoch();
        progress_->SetMinValue(0);
        progress_->SetMaxValue(
            total > 0 ? static_cast<int>(std::min<std::int64_t>(total, INT32_MAX)) : 1);
        progress_->SetProgress(0);
        progress_->SetSecondsDone(0);
    };
    client_->OnWork = [this](std::int64_t done) {
        const qint64 elapsed = QDateTime::currentMSecsSinceEpoch() - workStart_;
        progress_->SetProgress(static_cast<int>(std::min<std::int64_t>(done, INT32_MAX)));
        progress_->SetSecondsDone(static_cast<int>(elapsed / 1000));
        if (elapsed >= 1000)
            progress_->SetSpeed(static_cast<int>(done * 1000 / elapsed));
    };
    client_->OnWorkEnd = [this] { progress_->SetProgress(progress_->MaxValue()); };

    editFolder_->setText(FolderText(model_.Folder()));
    if (model_.FolderFixed())
        for (QWidget* widget :
             {static_cast<QWidget*>(labelFolder_), static_cast<QWidget*>(editFolder_),
              static_cast<QWidget*>(btnBrowse_)})
            widget->setEnabled(false);
    FillList();
    resize(480, 360);
}

TFormSpellGet::~TFormSpellGet() = default;

void TFormSpellGet::SetServer(const QString& server) {
    client_->SetServer(server);
}

void TFormSpellGet::ShowError(const std::string& text) {
    messenger_.ShowMessage(components::TMessageKind::Error, "Oops!", text);
}

void TFormSpellGet::SetBusy(bool busy) {
    busy_ = busy;
    for (QWidget* widget :
         {static_cast<QWidget*>(btnInstall_), static_cast<QWidget*>(btnUninstall_),
          static_cast<QWidget*>(btnSettings_), static_cast<QWidget*>(list_)})
        widget->setEnabled(!busy);
    // Whatever a transfer does, the person can stop it: Close becomes Cancel.
    btnClose_->setText(busy ? tr("&Cancel") : tr("&Close"));
    if (busy) {
        client_->Rearm();
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
        ListChange();
    }
}

void TFormSpellGet::CancelTransfer() {
    if (busy_)
        client_->Cancel();
}

void TFormSpellGet::CloseIfAsked() {
    if (!closeAsked_)
        return;
    closeAsked_ = false;
    QDialog::reject();
}

void TFormSpellGet::RequestCatalogue() {
    if (busy_)
        return;
    SetBusy(true);
    client_->ApplyProxy(proxy_);
    std::string body;
    std::string failure;
    bool cancelled = false;
    try {
        body = client_->RequestCatalogue();
    } catch (const components::EAbort&) {
        cancelled = true;
    } catch (const std::exception& e) {
        failure = e.what();
    }
    SetBusy(false);
    if (cancelled) {
        FillList();
        CloseIfAsked();
        return;
    }
    if (!failure.empty()) {
        ShowError(std::string(kConnectError) + "\r\n\r\n" + failure);
        return;
    }
    if (body.empty()) {
        ShowError(kNoAnswer);
        return;
    }
    TCatalogueReply reply = ParseCatalogueReply(body);
    switch (reply.Kind) {
    case TCatalogueReply::List:
        model_.SetOffered(std::move(reply.Offered));
        break;
    case TCatalogueReply::Error:
    case TCatalogueReply::Refusal:
        ShowError(reply.Message);
        break;
    case TCatalogueReply::Other:
        break;
    }
    FillList();
}

void TFormSpellGet::FillList() {
    rows_ = model_.Rows();
    list_->clear();
    for (const TSpellGetRow& row : rows_)
        list_->addTopLevelItem(
            new QTreeWidgetItem({ToQString(row.Language), ToQString(row.InstalledText)}));
    ListChange();
}

const TSpellGetRow* TFormSpellGet::ChosenRow() const {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    const int index = list_->indexOfTopLevelItem(item);
    if (index < 0 || index >= static_cast<int>(rows_.size()))
        return nullptr;
    return &rows_[static_cast<std::size_t>(index)];
}

void TFormSpellGet::ListChange() {
    if (busy_)
        return;
    const TSpellGetModel::TButtons buttons = TSpellGetModel::ButtonsFor(ChosenRow());
    btnInstall_->setEnabled(buttons.Install);
    btnUninstall_->setEnabled(buttons.Uninstall);
}

void TFormSpellGet::BtnInstallClick() {
    const TSpellGetRow* chosen = ChosenRow();
    if (!chosen || busy_)
        return;
    const TSpellGetRow row = *chosen;
    const QString folder = editFolder_->text().trimmed();
    SetBusy(true);
    progress_->show();
    std::string failure;
    try {
        model_.Install(row, std::filesystem::path(folder.toStdString()), *client_);
    } catch (const components::EAbort&) {
        // Cancelled: the files already handled stay, nothing is said.
    } catch (const std::exception& e) {
        failure = e.what();
    }
    progress_->hide();
    SetBusy(false);
    editFolder_->setText(FolderText(model_.Folder()));
    FillList();
    if (!failure.empty())
        ShowError(failure);
    CloseIfAsked();
}

void TFormSpellGet::BtnUninstallClick() {
    const TSpellGetRow* chosen = ChosenRow();
    if (!chosen || busy_)
        return;
    btnUninstall_->setEnabled(false);
    const TSpellGetRow row = *chosen;
    try {
        model_.Uninstall(row);
    } catch (const std::exception& e) {
        FillList();
        ShowError(e.what());
        return;
    }
    FillList();
}

void TFormSpellGet::BtnSettingsClick() {
    components::ui::TFormProxySettings dialog(proxy_, this);
    connect(&dialog, &components::ui::TFormProxySettings::HelpRequested, this,
            [this] { emit HelpRequested(helpContext_); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    client_->ApplyProxy(proxy_);
    if (list_->topLevelItemCount() == 0 || model_.Offered().empty())
        RequestCatalogue();
}

void TFormSpellGet::BtnBrowseClick() {
    editFolder_->setText(components::ui::SelectFolder(editFolder_->text(), this));
}

void TFormSpellGet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (model_.Offered().empty())
        QMetaObject::invokeMethod(
            this, [this] { RequestCatalogue(); }, Qt::QueuedConnection);
}

void TFormSpellGet::closeEvent(QCloseEvent* event) {
    if (busy_) {
        // The transfer runs in a loop of its own below: it is cancelled, and
        // the window goes once that loop has ended.
        event->ignore();
        closeAsked_ = true;
        CancelTransfer();
        return;
    }
    QDialog::closeEvent(event);
}

void TFormSpellGet::reject() {
    // Escape and Cancel stop a transfer and leave the window open; with
    // none under way they close it.
    if (busy_) {
        CancelTransfer();
        return;
    }
    QDialog::reject();
}

} // namespace speller::ui
