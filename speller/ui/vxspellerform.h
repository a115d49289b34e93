#pragma once
// The modeless "Check Spelling" tool window: the problem word, the
// replacement field, the suggestions and the action buttons. It knows
// nothing of dictionaries: every click goes back to the engine through the
// callbacks, and the engine decides. Closing it (close box or Escape)
// clicks Abort instead.
#include <QDialog>
#include <map>

#include "speller/spellerform.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace speller::ui {

class TVXSpellerForm : public QDialog, public IVXSpellerForm {
    Q_OBJECT

public:
    explicit TVXSpellerForm(QWidget* parent = nullptr);

    // ---- IVXSpellerForm
    void SetCallbacks(TSpellerFormCallbacks callbacks) override;
    void SetBusy(bool on) override;
    void SetButtonVisible(TSpellButton button, bool visible) override;
    void SetButtonEnabled(TSpellButton button, bool enabled) override;
    void ShowWord(const std::string& word, bool repeated, bool canUndo) override;
    void ShowProblem(const std::string& message) override;
    void SetLearnAllowed(bool allowed) override;
    std::string GetReplacement() const override;
    void AddSuggestion(const std::string& word) override;
    int SuggestionCount() const override;
    void SetSuggestions(const std::vector<std::string>& words) override;
    void ClearSuggestions() override;
    int LanguageIndex() const override;
    void SetLanguages(const std::vector<std::string>& languages, int index) override;
    void DisableAll() override;
    void Place(const TPlacementRequest& request) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;

    // ---- the controls
    QPushButton* Button(TSpellButton button) const { return buttons_.at(button); }
    QComboBox* ComboLanguage() const { return comboLanguage_; }
    QLabel* LabelNotInDict() const { return labelNotInDict_; }
    QLabel* LabelRepeated() const { return labelRepeated_; }
    QLabel* LabelNotFound() const { return labelNotFound_; }
    QLabel* LabelSuggestionsBusy() const { return labelBusy_; }
    QLineEdit* EditReplace() const { return editReplace_; }
    QListWidget* ListSuggestions() const { return listSuggestions_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void showEvent(QShowEvent* event) override;

private:
    void Clicked(TSpellButton button);
    void EditReplaceChange();
    void ListSuggestionsClick();

    TSpellerFormCallbacks callbacks_;
    std::map<TSpellButton, QPushButton*> buttons_;
    QComboBox* comboLanguage_ = nullptr;
    QLabel* labelNotInDict_ = nullptr;
    QLabel* labelRepeated_ = nullptr;
    QLabel* labelNotFound_ = nullptr;
    QLabel* labelBusy_ = nullptr;
    QLineEdit* editReplace_ = nullptr;
    QListWidget* listSuggestions_ = nullptr;
    bool learnAllowed_ = true;
    bool filling_ = false; // the engine sets the field: no rule of the person's typing
};

} // namespace speller::ui
