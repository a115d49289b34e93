#pragma once
// The topic and properties bars: the number box, the title box (its list
// holds every topic by title), K and A keywords, browse sequence, build tag
// and status, and the go-to box with its button. The boxes show the topic
// editor's property bar and hand what a person types to its setters;
// showing never counts as typing.
#include <QObject>
#include <cstdint>
#include <functional>

class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolBar;
class QToolButton;

namespace editor {
class TTopicEditor;
}

namespace editor::ui {

class TBarSizing;

class TPropertyBarWidgets : public QObject {
    Q_OBJECT

public:
    // Fills the two bars with their controls.
    TPropertyBarWidgets(QToolBar& topicBar, QToolBar& propertiesBar, QObject* parent = nullptr);

    // Until an editor is set, typing goes nowhere.
    void SetEditor(TTopicEditor* editor) { editor_ = editor; }
    // What runs the editor's commands (the window's exception guard).
    using TRunner = std::function<void(const std::function<void()>&)>;
    void SetRunner(TRunner runner) { run_ = std::move(runner); }

    // The boxes show the editor's property bar.
    void ShowBar();
    // The title box lists the project's topics by title.
    void FillTopicList();
    // The build-tag and status boxes list the editor's values.
    void FillPropertyLists();

    QSpinBox* SpinID = nullptr;
    QComboBox* ComboTopic = nullptr;
    QLineEdit* EditKeywords = nullptr;
    QLineEdit* EditAKeywords = nullptr;
    QLineEdit* EditBrowse = nullptr;
    QComboBox* ComboBuild = nullptr;
    QComboBox* ComboStatus = nullptr;
    QSpinBox* SpinGo = nullptr;
    QToolButton* BtnGo = nullptr;

signals:
    // A person changed a property (the grid repaints its live cells).
    void PropertyTyped();
    // A topic was chosen from the title box or the go-to box.
    void TopicChosen();
    // Right click on the go button: the history pop-up.
    void HistoryRequested();

private:
    void NumberTyped(int value);
    void TitleEdited(const QString& text);
    void TitleActivated(int index);
    void Go();
    // Runs a setter of the editor unless the boxes are being filled.
    template <class TSetter> void Typed(TSetter setter);

    TTopicEditor* editor_ = nullptr;
    TBarSizing* propertiesSizing_ = nullptr;
    TRunner run_ = [](const std::function<void()>& command) { command(); };
    bool showing_ = false;
};

} // namespace editor::ui
