#pragma once
// The Project Options dialog: the General, Compiler, WinHelp and HTML Help
// pages over TProjectOptionsValues. Its checks, build-tag list and compiler
// search are the Qt-free units beside it; this form lays them out.
#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/compilersearch.h"
#include "editor/dialogs/optionsdialogmodel.h"
#include "editor/projectoptions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QPushButton;
class QTabWidget;

namespace components {
class IMessenger;
}
namespace components::ui {
class TVXColorBox;
}

namespace editor::ui {

class TMacroForm;
class TPositionWizardForm;

class TOptionsForm : public QDialog {
    Q_OBJECT
public:
    // `messenger` shows the checks' messages and the search's progress.
    explicit TOptionsForm(components::IMessenger& messenger, QWidget* parent = nullptr);

    // Fills the pages; `projectTags` are the build tags the topics use.
    void SetValues(const TProjectOptionsValues& values,
                   const std::vector<std::string>& projectTags);
    TProjectOptionsValues Values() const;

    // "Search for help compilers": fills all three compiler boxes with what
    // it finds and chooses, for each kind, the first compiler OK accepts.
    void FindCompilers();
    // What the last search found for the keyword generator (empty: none).
    const std::string& KeywordGenerator() const { return keywordGenerator_; }
    // The folders the search walks (tests give a tree of their own).
    std::function<std::vector<std::string>()> SearchRoots;
    // File and folder pickers (tests script them); empty result: cancelled.
    std::function<QString(const QString& title, const QString& filter, const QString& name)>
        PickCompiler;
    std::function<QString(const QString& start)> PickFolder;
    // The baggage files to add (empty: cancelled).
    std::function<QStringList()> PickBaggage;
    // The macro editor on `text`; its macro on OK, nothing on Cancel.
    std::function<std::optional<std::string>(const std::string& text)> EditMacro;

    QTabWidget* Pages() const { return pages_; }
    QPushButton* WizardBtn() const { return wizardBtn_; }
    // The position wizard, created on first use.
    TPositionWizardForm& PositionWizard();

signals:
    // Help asks for the help topic of the page shown.
    void HelpRequested(int helpContext);

public slots:
    void accept() override;

private:
    void BuildGeneralPage();
    void BuildCompilerPage();
    void BuildWinHelpPage();
    void BuildHtmlHelpPage();
    void BrowseCompiler(QComboBox* combo, const char* filter, const char* title, const char* name);

    components::IMessenger& messenger_;
    QTabWidget* pages_;
    // General
    QLineEdit *editTitle_, *editCopyright_, *editBMRoot_;
    QComboBox* comboLCID_;
    QSpinBox* spinIncr_;
    QCheckBox *checkUpdateLinks_, *checkAutoSave_;
    // Compiler
    QLineEdit* editOutputFolder_;
    QListWidget* listBuildTag_;
    QRadioButton *radioHCWin31_, *radioHCWin95_, *radioHCHTML_;
    QComboBox *comboHCWin31_, *comboHCWin95_, *comboHCHTML_;
    QCheckBox* checkCHeaders_;
    // WinHelp
    QComboBox* comboDelphi_;
    QPlainTextEdit *memoConfig_, *memoBaggage_;
    QLineEdit* editCitation_;
    QCheckBox *checkCompress_, *checkNoImages_;
    // HTML Help
    QRadioButton *radioPng_, *radioGif_;
    components::ui::TVXColorBox *colorBackground_, *colorText_, *colorLinks_, *colorVisited_,
        *colorActive_;
    QCheckBox *checkFullText_, *checkAdvanced_, *checkFavorites_, *checkCollapse_, *checkSavePos_,
        *checkNoPopups_;
    QSpinBox *spinX_, *spinY_, *spinWidth_, *spinHeight_;
    QPushButton* wizardBtn_;
    TPositionWizardForm* positionWizard_ = nullptr;
    QPointer<TMacroForm> macroForm_;

    TBuildTagList buildTags_;
    std::string keywordGenerator_;
};

// Project Options as the command runs it: a search first when none of the
// three compilers exists, the dialog filled from the project, and on OK
// everything copied back (the project marked modified by the caller). From
// code a Cancel throws components::EAbort("Options dialog canceled").
// The lists of found compilers travel in `paths` (HC31, HC95, HCHTML).
bool ExecuteProjectOptions(TOptionsForm& form, helpproject::TBrindlewovenProject& project,
                           helpproject::TCompilerPaths& paths, TEditorSettings& settings,
                           bool fromCode);

} // namespace editor::ui
