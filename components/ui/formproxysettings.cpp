#include "components/ui/formproxysettings.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/centeronscreen.h"

namespace components::ui {

namespace {

constexpr int kIndent = 20;

QLabel* BuddyLabel(const QString& caption, QLineEdit* edit, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setBuddy(edit);
    return label;
}

QLineEdit* AnsiEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    RefuseNonAnsiInput(edit);
    return edit;
}

} // namespace

TFormProxySettings::TFormProxySettings(components::TProxySettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("FormProxySettings");
    setWindowTitle(tr("Specify HTTP Proxy Server"));
    checkDetect_ = new QCheckBox(tr("&Automatically detect Internet Explorer's settings"), this);
    checkUseProxy_ = new QCheckBox(tr("&Use a proxy server for HTTP connections"), this);
    editServer_ = AnsiEdit(this);
    editServer_->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QString(28, 'x')));
    labelServer_ = BuddyLabel("&Server:", editServer_, this);
    editPort_ = AnsiEdit(this);
    editPort_->setFixedWidth(QFontMetrics(font()).horizontalAdvance("0000000") + 12);
    labelPort_ = BuddyLabel("&Port:", editPort_, this);
    checkLogin_ = new QCheckBox(tr("&Log onto proxy server with username and password"), this);
    editUsername_ = AnsiEdit(this);
    labelUsername_ = BuddyLabel("User&name:", editUsername_, this);
    editPassword_ = AnsiEdit(this);
    editPassword_->setEchoMode(QLineEdit::Password);
    labelPassword_ = BuddyLabel("Pass&word:", editPassword_, this);
    btnOK_ = new QPushButton(tr("OK"), this);
    btnOK_->setDefault(true);
    btnCancel_ = new QPushButton(tr("Cancel"), this);
    btnHelp_ = new QPushButton(tr("&Help"), this);

    auto* server = new QGridLayout;
    server->setContentsMargins(kIndent, 0, 0, 0);
    server->addWidget(labelServer_, 0, 0);
    server->addWidget(editServer_, 0, 1);
    server->addWidget(labelPort_, 0, 2);
    server->addWidget(editPort_, 0, 3);
    server->setColumnStretch(1, 1);

    auto* login = new QHBoxLayout;
    login->setContentsMargins(kIndent, 0, 0, 0);
    login->addWidget(checkLogin_);

    auto* account = new QGridLayout;
    account->setContentsMargins(2 * kIndent, 0, 0, 0);
    account->addWidget(labelUsername_, 0, 0);
    account->addWidget(editUsername_, 0, 1);
    account->addWidget(labelPassword_, 1, 0);
    account->addWidget(editPassword_, 1, 1);
    account->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK_);
    buttons->addWidget(btnCancel_);
    buttons->addWidget(btnHelp_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(checkDetect_);
    layout->addWidget(checkUseProxy_);
    layout->addLayout(server);
    layout->addLayout(login);
    layout->addLayout(account);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetServerEnabled(false);
    checkLogin_->setEnabled(false);
    LoginClicked();

    connect(checkDetect_, &QCheckBox::clicked, this, &TFormProxySettings::DetectClicked);
    connect(checkUseProxy_, &QCheckBox::clicked, this, &TFormProxySettings::UseProxyClicked);
    connect(checkLogin_, &QCheckBox::clicked, this, &TFormProxySettings::LoginClicked);
    connect(btnOK_, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp_, &QPushButton::clicked, this, &TFormProxySettings::HelpRequested);
}

void TFormProxySettings::showEvent(QShowEvent* event) {
    LoadControls();
    CenterOnScreen(*this);
    QDialog::showEvent(event);
}

void TFormProxySettings::LoadControls() {
    checkDetect_->setChecked(settings_.AutoDetect);
    if (!settings_.AutoDetect) {
        checkUseProxy_->setChecked(settings_.UseProxy);
        editServer_->setText(ToQString(settings_.Server));
        editPort_->setText(QString::number(settings_.Port));
        checkLogin_->setChecked(settings_.Login);
        editUsername_->setText(ToQString(settings_.Username));
        editPassword_->setText(ToQString(settings_.Password));
    }
    DetectClicked();
}

void TFormProxySettings::SetServerEnabled(bool enabled) {
    for (QWidget* control :
         {static_cast<QWidget*>(labelServer_), static_cast<QWidget*>(editServer_),
          static_cast<QWidget*>(labelPort_), static_cast<QWidget*>(editPort_)})
        control->setEnabled(enabled);
}

// Detection shows what was detected, greyed, and allows no log-on of its own.
void TFormProxySettings::DetectClicked() {
    if (!checkDetect_->isChecked()) {
        checkUseProxy_->setEnabled(true);
        UseProxyClicked();
        return;
    }
    checkUseProxy_->setChecked(settings_.DetectedEnabled);
    checkUseProxy_->setEnabled(false);
    editServer_->setText(ToQString(settings_.DetectedServer));
    editPort_->setText(QString::number(settings_.DetectedPort));
    SetServerEnabled(false);
    checkLogin_->setChecked(false);
    checkLogin_->setEnabled(false);
    LoginClicked();
}

void TFormProxySettings::UseProxyClicked() {
    const bool use = checkUseProxy_->isChecked();
    SetServerEnabled(use);
    checkLogin_->setEnabled(use);
    LoginClicked();
}

void TFormProxySettings::LoginClicked() {
    const bool login = checkLogin_->isChecked() && checkLogin_->isEnabled();
    for (QWidget* control :
         {static_cast<QWidget*>(labelUsername_), static_cast<QWidget*>(editUsername_),
          static_cast<QWidget*>(labelPassword_), static_cast<QWidget*>(editPassword_)})
        control->setEnabled(login);
}

void TFormProxySettings::accept() {
    settings_.AutoDetect = checkDetect_->isChecked();
    if (!settings_.AutoDetect) {
        settings_.UseProxy = checkUseProxy_->isChecked();
        settings_.Server = components::ServerWithoutScheme(FromQString(editServer_->text()));
        settings_.Port = components::PortFromText(FromQString(editPort_->text()));
        settings_.Login = checkLogin_->isChecked();
        settings_.Username = FromQString(editUsername_->text());
        settings_.Password = FromQString(editPassword_->text());
    }
    QDialog::accept();
}

} // namespace components::ui
