#pragma once
// The "Specify HTTP Proxy Server" dialog: automatic detection, or a proxy
// host, port and log-on typed by the person. It edits the program's one
// components::TProxySettings; OK writes the controls back into it.
#include <QDialog>

#include "components/proxysettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace components::ui {

class TFormProxySettings : public QDialog {
    Q_OBJECT
public:
    explicit TFormProxySettings(components::TProxySettings& settings, QWidget* parent = nullptr);

    components::TProxySettings& Settings() const { return settings_; }

    QCheckBox* CheckDetect() const { return checkDetect_; }
    QCheckBox* CheckUseProxy() const { return checkUseProxy_; }
    QLabel* LabelServer() const { return labelServer_; }
    QLineEdit* EditServer() const { return editServer_; }
    QLabel* LabelPort() const { return labelPort_; }
    QLineEdit* EditPort() const { return editPort_; }
    QCheckBox* CheckLogin() const { return checkLogin_; }
    QLabel* LabelUsername() const { return labelUsername_; }
    QLineEdit* EditUsername() const { return editUsername_; }
    QLabel* LabelPassword() const { return labelPassword_; }
    QLineEdit* EditPassword() const { return editPassword_; }
    QPushButton* BtnOK() const { return btnOK_; }
    QPushButton* BtnCancel() const { return btnCancel_; }
    QPushButton* BtnHelp() const { return btnHelp_; }

    // OK: the controls go into the settings.
    void accept() override;

signals:
    void HelpRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadControls();
    void DetectClicked();
    void UseProxyClicked();
    void LoginClicked();
    void SetServerEnabled(bool enabled);

    components::TProxySettings& settings_;
    QCheckBox* checkDetect_;
    QCheckBox* checkUseProxy_;
    QLabel* labelServer_;
    QLineEdit* editServer_;
    QLabel* labelPort_;
    QLineEdit* editPort_;
    QCheckBox* checkLogin_;
    QLabel* labelUsername_;
    QLineEdit* editUsername_;
    QLabel* labelPassword_;
    QLineEdit* editPassword_;
    QPushButton* btnOK_;
    QPushButton* btnCancel_;
    QPushButton* btnHelp_;
};

} // namespace components::ui
