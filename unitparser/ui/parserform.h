#pragma once
// The parser dialog: after a Pascal unit has been parsed the person chooses
// what its component help is to contain. One page per kind of declaration;
// on the Classes page one tab per class with the class's options and its
// property, method and event lists. The choices live in TParserDialogModel;
// this form shows it and forwards every click. The form is made once and
// kept; each run starts from the unit it parses.
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "unitparser/parserdialogmodel.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabBar;
class QTabWidget;

namespace components {
class IMessenger;
}

namespace unitparser::ui {

class TParserListBox;

class TParserForm : public QDialog {
    Q_OBJECT
public:
    // Help contexts of the form, its pages and controls.
    static constexpr int kHelpContext = 91000;
    static constexpr int kHelpComment = 91010;
    static constexpr int kHelpClasses = 91100;
    static constexpr int kHelpMembers = 91110;
    static constexpr int kHelpDeclarations = 91200;

    explicit TParserForm(QWidget* parent = nullptr);
    ~TParserForm() override;

    // Parses the unit, shows the dialog and, on OK, writes the topics from
    // the choices through `sink`, numbered from `first`. Returns the first
    // topic's number, or -1 for Cancel. Parse errors pass to the caller;
    // an empty unit is reported through `messenger` (the error box with its
    // "Bummer" button), which also shows the progress of generation.
    int ParsePascalUnit(const std::string& fileName, std::int32_t first, TParsedTopicSink& sink,
                        components::IMessenger& messenger);

    TParserDialogModel& Model() { return model_; }
    // Shows what the model holds, as the dialog does before it is shown.
    void ShowModel();

    // The main window's status while the unit is read: "Parsing unit...",
    // then "" once the dialog shows or the run ends.
    std::function<void(const std::string& text)> StatusText;

    // The bitmap file picker (tests script it): the chosen file, or an
    // empty string for Cancel.
    std::function<QString(const QString& title, const QString& filter, const QString& start)>
        PickBitmap;

    // The help context a control belongs to: its own, else its nearest
    // parent's, else the form's.
    static int HelpContextOf(const QWidget* widget);

    QTabWidget* Pages() const { return pages_; }
    QWidget* Sheet(TParserPage page) const;
    QTabBar* TabObjects() const { return tabObjects_; }
    TParserListBox* MemberList(TMemberKind list) const;
    QGroupBox* GroupObject() const { return groupObject_; }
    QGroupBox* RadioGroupObjectType() const { return radioGroupObjectType_; }
    QButtonGroup* ObjectTypeButtons() const { return objectTypeButtons_; }
    QCheckBox* CheckObjInclude() const { return checkObjInclude_; }
    QCheckBox* CheckObjSeeAlso() const { return checkObjSeeAlso_; }
    QCheckBox* CheckObjTasks() const { return checkObjTasks_; }
    QPushButton* BtnObjBitmap() const { return btnObjBitmap_; }
    QPushButton* BtnObjBitmapClear() const { return btnObjBitmapClear_; }
    QGroupBox* GroupObjSelected() const { return groupObjSelected_; }
    QCheckBox* MemberCheck(TEntryOption option) const;
    QLabel* MemberLabel(TMemberKind list) const;
    TParserListBox* DeclList(TDeclListKind list) const;
    QGroupBox* DeclGroup(TDeclListKind list) const;
    // Null for an option the page does not have.
    QCheckBox* DeclCheck(TDeclListKind list, TEntryOption option) const;
    QCheckBox* CheckComment() const { return checkComment_; }
    QPushButton* OkBtn() const { return okBtn_; }
    QPushButton* CancelBtn() const { return cancelBtn_; }
    QPushButton* HelpBtn() const { return helpBtn_; }

signals:
    void HelpRequested(int helpContext);

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TDeclPage {
        QWidget* sheet = nullptr;
        TParserListBox* list = nullptr;
        QGroupBox* group = nullptr;
        std::map<TEntryOption, QCheckBox*> checks;
    };

    QWidget* BuildClassesPage();
    QWidget*
    BuildDeclPage(TDeclListKind list, const char* sheetName, const char* label,
                  const char* listName, const char* groupName,
                  const std::map<TEntryOption, std::pair<const char*, const char*>>& checks);
    TParserListBox* MakeList(int listId, const char* name);

    // The handlers.
    void TabObjectsChange(int index);
    void RadioGroupObjectTypeClick(int kind);
    void CheckObjClick(QCheckBox* box);
    void ListObjClick(TMemberKind list, int row);
    void CheckObjSelClick(TEntryOption option, bool on);
    void ListDeclClick(TDeclListKind list, int row);
    void CheckDeclClick(TDeclListKind list, TEntryOption option, bool on);
    void BtnObjBitmapClick();
    void BtnObjBitmapClearClick();
    void EntryDropped(int sourceId, int row, int targetId, int at);
    // Places the member lists (equal heights down to the selected group).
    void FormResize();

    void ShowClass();
    void ShowClassEnabling();
    void ShowSelectedMember();
    void ShowDeclPage(TDeclListKind list);
    void ShowBitmap();

    TParserDialogModel model_;
    components::IMessenger* msgError_ = nullptr;
    bool updating_ = false;

    QTabWidget* pages_;
    QWidget* sheetObjects_;
    QTabBar* tabObjects_;
    QWidget* membersPanel_;
    std::array<QLabel*, 3> memberLabels_{};
    std::array<TParserListBox*, 3> memberLists_{};
    QGroupBox* groupObject_;
    QGroupBox* radioGroupObjectType_;
    QButtonGroup* objectTypeButtons_;
    QCheckBox* checkObjInclude_;
    QCheckBox* checkObjSeeAlso_;
    QCheckBox* checkObjTasks_;
    QPushButton* btnObjBitmap_;
    QPushButton* btnObjBitmapClear_;
    QGroupBox* groupObjSelected_;
    std::map<TEntryOption, QCheckBox*> memberChecks_;
    QLabel* imageDefault_;
    QPixmap defaultBitmap_;
    std::array<TDeclPage, 4> declPages_;
    QCheckBox* checkComment_;
    QPushButton* okBtn_;
    QPushButton* cancelBtn_;
    QPushButton* helpBtn_;
};

} // namespace unitparser::ui
