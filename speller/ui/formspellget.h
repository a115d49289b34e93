#pragma once
// "Download Spell Check Dictionaries": the languages the dictionary server
// offers beside those installed, the folder they go to, Install and
// Uninstall with the transfer on the progress bar, and the proxy settings.
// Errors are shown in the "Oops!" box and leave the window open. During a
// transfer Close reads Cancel: it, Escape and the close box stop the
// transfer (the close box then closes the window).
#include <QDialog>
#include <memory>

#include "speller/spellgetmodel.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace components {
class IMessenger;
class TProxySettings;
} // namespace components
namespace components::ui {
class TPowerProgressBar;
}

namespace speller::ui {

class THttpDictionaryClient;

class TFormSpellGet : public QDialog {
    Q_OBJECT

public:
    TFormSpellGet(TDictionaryRegistration& registration, components::TProxySettings& proxy,
                  components::IMessenger& messenger, QWidget* parent = nullptr);
    ~TFormSpellGet() override;

    void SetServer(const QString& server);
    // The help context its Help button (and the proxy settings' Help button)
    // asks for.
    void SetHelpContext(int context) { helpContext_ = context; }
    THttpDictionaryClient& Client() const { return *client_; }
    TSpellGetModel& Model() { return model_; }

    QLabel* LabelFolder() const { return labelFolder_; }
    QLineEdit* EditFolder() const { return editFolder_; }
    QPushButton* BtnBrowse() const { return btnBrowse_; }
    QTreeWidget* List() const { return list_; }
    QPushButton* BtnInstall() const { return btnInstall_; }
    QPushButton* BtnUninstall() const { return btnUninstall_; }
    QPushButton* BtnSettings() const { return btnSettings_; }
    QPushButton* BtnClose() const { return btnClose_; }
    QPushButton* BtnHelp() const { return btnHelp_; }
    components::ui::TPowerProgressBar* Progress() const { return progress_; }

    // The catalogue is asked for when the list is empty.
    void RequestCatalogue();
    void FillList();
    void BtnInstallClick();
    void BtnUninstallClick();
    void BtnSettingsClick();
    void BtnBrowseClick();

signals:
    void HelpRequested(int context);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void ListChange();
    const TSpellGetRow* ChosenRow() const;
    void ShowError(const std::string& text);
    void SetBusy(bool busy);
    void CancelTransfer();
    // The close box was used during a transfer: the window goes now.
    void CloseIfAsked();

    TSpellGetModel model_;
    components::TProxySettings& proxy_;
    components::IMessenger& messenger_;
    THttpDictionaryClient* client_ = nullptr;
    std::vector<TSpellGetRow> rows_;
    bool busy_ = false;
    bool closeAsked_ = false;
    int helpContext_ = 0;
    qint64 workStart_ = 0;

    QLabel* labelFolder_ = nullptr;
    QLineEdit* editFolder_ = nullptr;
    QPushButton* btnBrowse_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QPushButton* btnInstall_ = nullptr;
    QPushButton* btnUninstall_ = nullptr;
    components::ui::TPowerProgressBar* progress_ = nullptr;
    QPushButton* btnSettings_ = nullptr;
    QPushButton* btnClose_ = nullptr;
    QPushButton* btnHelp_ = nullptr;
};

} // namespace speller::ui
