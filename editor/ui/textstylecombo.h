#pragma once
// The text-style box of the TextBar (ComboMacro) over TTextStyleBox: the
// styles by name, sorted, with the four commands beside it. Typing in the
// box names a style for Change (rename) and Apply.
#include <QComboBox>
#include <string>

#include "editor/textstylebox.h"

class QAction;

namespace editor::ui {

class TTextStyleCombo : public QComboBox {
    Q_OBJECT
public:
    TTextStyleCombo(helpproject::TTextStyleList& styles, TTopicEditor& editor,
                    QWidget* parent = nullptr);

    // Lists the styles anew (after the style list changed elsewhere),
    // keeping the shown name.
    void Refresh();
    // Shows a style as the one selected.
    void SelectStyle(const std::string& name);

    // "New TextMacro", "Delete TextMacro", "Change TextMacro" and "Apply
    // TextMacro" (Alt+M); Alt+Shift+M applies the style's font alone.
    QAction* ActionMacroAdd() const { return add_; }
    QAction* ActionMacroDel() const { return delete_; }
    QAction* ActionMacroChange() const { return change_; }
    QAction* ActionMacroApply() const { return apply_; }
    QAction* ActionMacroApplyFont() const { return applyFont_; }

    void AddFromSelection();
    void DeleteSelected();
    void ChangeSelected();
    // False when no style has the name in the box.
    bool ApplySelected();
    bool ApplySelectedFont();

private:
    std::string Typed() const;

    TTextStyleBox box_;
    std::string lastSelected_;
    QAction* add_;
    QAction* delete_;
    QAction* change_;
    QAction* apply_;
    QAction* applyFont_;
};

} // namespace editor::ui
