#include "editor/ui/textstylecombo.h"

#include <QAction>
#include <QSignalBlocker>

#include "components/ui/ansiqt.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

TTextStyleCombo::TTextStyleCombo(helpproject::TTextStyleList& styles, TTopicEditor& editor,
                                 QWidget* parent)
    : QComboBox(parent), box_(styles, editor) {
    setObjectName("ComboMacro");
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    components::ui::RefuseNonAnsiInput(lineEdit());

    auto makeAction = [this](const char* caption, const char* name, const QKeySequence& key) {
        auto* action = new QAction(caption, this);
        action->setObjectName(name);
        action->setShortcut(key);
        return action;
    };
    add_ = makeAction("New TextMacro", "BtnMacroAdd", {});
    delete_ = makeAction("Delete TextMacro", "BtnMacroDel", {});
    change_ = makeAction("Change TextMacro", "BtnMacroChange", {});
    apply_ = makeAction("Apply TextMacro", "BtnMacroApply", QKeySequence("Alt+M"));
    applyFont_ =
        makeAction("Apply TextMacro font", "BtnMacroApplyFont", QKeySequence("Alt+Shift+M"));
    connect(add_, &QAction::triggered, this, &TTextStyleCombo::AddFromSelection);
    connect(delete_, &QAction::triggered, this, &TTextStyleCombo::DeleteSelected);
    connect(change_, &QAction::triggered, this, &TTextStyleCombo::ChangeSelected);
    connect(apply_, &QAction::triggered, this, &TTextStyleCombo::ApplySelected);
    connect(applyFont_, &QAction::triggered, this, &TTextStyleCombo::ApplySelectedFont);
    connect(this, &QComboBox::activated, this,
            [this](int index) { lastSelected_ = FromQString(itemText(index)); });
    Refresh();
}

std::string TTextStyleCombo::Typed() const {
    return FromQString(currentText());
}

void TTextStyleCombo::Refresh() {
    const QString shown = currentText();
    const QSignalBlocker block(this);
    clear();
    for (const std::string& name : box_.Names())
        addItem(ToQString(name));
    setCurrentIndex(findText(shown));
    setEditText(shown);
}

void TTextStyleCombo::SelectStyle(const std::string& name) {
    lastSelected_ = name;
    setCurrentIndex(findText(ToQString(name)));
    setEditText(ToQString(name));
}

void TTextStyleCombo::AddFromSelection() {
    const std::string name = box_.AddFromSelection();
    Refresh();
    SelectStyle(name);
}

void TTextStyleCombo::DeleteSelected() {
    if (!box_.Delete(Typed()))
        return;
    Refresh();
    setCurrentIndex(-1);
    setEditText(QString());
    lastSelected_.clear();
}

void TTextStyleCombo::ChangeSelected() {
    if (lastSelected_.empty())
        return;
    const std::string name = box_.Change(lastSelected_, Typed());
    Refresh();
    SelectStyle(name);
}

bool TTextStyleCombo::ApplySelected() {
    return box_.Apply(Typed());
}

bool TTextStyleCombo::ApplySelectedFont() {
    return box_.ApplyFont(Typed());
}

} // namespace editor::ui
