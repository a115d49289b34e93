#pragma once
// "Browse Sequence Editor": builds browse sequences by moving topics between
// the available topics and the ordered topics of a sequence, over
// TBrowseSequenceModel. The editor keeps its place under HKCU
// Software\Vexlor\Brindlewoven\Browse.
#include <QDialog>
#include <QListWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

namespace components {
class IMessenger;
}
namespace platform {
class Registry;
}
namespace editor {
class TBrowseSequenceModel;
}

namespace editor::ui {

inline constexpr const char* kBrowseKey = "Software\\Vexlor\\Brindlewoven\\Browse";

// A list of the editor: several items selected at once, dragged to the
// other list or within itself, the drop place drawn in red.
class TBrowseList : public QListWidget {
    Q_OBJECT
public:
    explicit TBrowseList(QWidget* parent = nullptr);
    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // A drop: the list the items came from, their rows, and the row they
    // go before (-1: the end).
    std::function<void(TBrowseList* source, const std::vector<int>& rows, int dropAt)> Dropped;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int DropRow(const QPoint& at) const;
    int dropTarget_ = -2; // -2: no drag over the list
};

class TBrowseForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 23000;

    // `messenger` shows what a command could not do; `registry` keeps the
    // editor's place (nullptr: not kept).
    TBrowseForm(components::IMessenger& messenger, platform::Registry* registry,
                QWidget* parent = nullptr);
    ~TBrowseForm() override;

    // Shows the editor modally over the model (made for the open project).
    void Execute(TBrowseSequenceModel& model);

    QComboBox* ComboBrowse() const { return comboBrowse_; }
    QPushButton* ReadBtn() const { return readBtn_; }
    QPushButton* AppendBtn() const { return appendBtn_; }
    QPushButton* WriteBtn() const { return writeBtn_; }
    QPushButton* NewBtn() const { return newBtn_; }
    QCheckBox* CheckSort() const { return checkSort_; }
    TBrowseList* ListTopic() const { return listTopic_; }
    TBrowseList* ListBrowse() const { return listBrowse_; }
    QPushButton* BtnAdd() const { return btnAdd_; }
    QPushButton* BtnRemove() const { return btnRemove_; }
    QLabel* LabelStatus() const { return labelStatus_; }
    QPushButton* CloseBtn() const { return closeBtn_; }

signals:
    void HelpRequested(int helpContext);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ShowLists();
    void ShowNames();
    void ShowStatus();
    void Act(const std::function<void()>& action);

    components::IMessenger& messenger_;
    platform::Registry* registry_;
    TBrowseSequenceModel* model_ = nullptr;
    QComboBox* comboBrowse_;
    QPushButton *readBtn_, *appendBtn_, *writeBtn_, *newBtn_;
    QCheckBox* checkSort_;
    TBrowseList *listTopic_, *listBrowse_;
    QPushButton *btnAdd_, *btnRemove_;
    QLabel* labelStatus_;
    QTimer* timerStatus_;
    int statusTicks_ = 0;
    QPushButton *closeBtn_, *helpBtn_;
};

} // namespace editor::ui
