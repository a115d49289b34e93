#pragma once
// "Brindlewoven Macro Editor": composes WinHelp macro strings over
// TMacroEditorModel. The caller sets MacroText, runs exec() and on
// QDialog::Accepted reads MacroText back. A macro parameter is composed in a
// second editor opened on top.
#include "editor/ui/dialogs/editordialog.h"
#include <array>
#include <string>

#include "editor/dialogs/macroeditormodel.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace editor::ui {

class TMacroForm : public TEditorDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 25000;

    explicit TMacroForm(QWidget* parent = nullptr);

    const std::string& MacroText() const { return model_.MacroText; }
    void SetMacroText(const std::string& text) { model_.MacroText = text; }
    const TMacroEditorModel& Model() const { return model_; }

    QListWidget* ListMacro() const { return listMacro_; }
    QLabel* LabelMacro() const { return labelMacro_; }
    QLabel* LabelWin95() const { return labelWin95_; }
    QLabel* LabelHint() const { return labelHint_; }
    QLabel* ParamLabel(std::size_t slot) const { return labels_.at(slot); }
    QLineEdit* ParamEdit(std::size_t slot) const { return edits_.at(slot); }
    QPushButton* ParamButton(std::size_t slot) const { return buttons_.at(slot); }
    QLineEdit* MemoMacro() const { return memoMacro_; }
    QPushButton* AddBtn() const { return addBtn_; }
    QPushButton* ClearBtn() const { return clearBtn_; }

    // OK: an empty result takes the selected macro's call first.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowMacro();
    void AddClicked();
    void ParamButtonClicked(std::size_t slot);
    void ChooseHelpFile(std::size_t slot);
    void ComposeNestedMacro(std::size_t slot);

    TMacroEditorModel model_;
    QListWidget* listMacro_;
    QLabel* labelMacro_;
    QLabel* labelWin95_;
    std::array<QLabel*, TMacroRecord::kParameters> labels_{};
    std::array<QLineEdit*, TMacroRecord::kParameters> edits_{};
    std::array<QPushButton*, TMacroRecord::kParameters> buttons_{};
    QLabel* labelHint_;
    QLineEdit* memoMacro_;
    QPushButton* addBtn_;
    QPushButton* clearBtn_;
};

} // namespace editor::ui
