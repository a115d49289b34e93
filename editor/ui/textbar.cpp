#include "editor/ui/textbar.h"

#include <QAction>
#include <QComboBox>
#include <QFontComboBox>
#include <QMenu>
#include <QToolButton>
#include <string>
#include <utility>

#include "editor/defaulttextstyles.h"
#include "editor/editorcontext.h"
#include "editor/ui/barsizing.h"
#include "editor/ui/formatbarwidget.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/textstylecombo.h"

namespace editor::ui {

TTextStyleCombo* FillTextBar(TFormatBarWidget& bar, TEditorContext& context, TMainActions& actions,
                             QWidget& window) {
    auto* styleCombo = new TTextStyleCombo(context.TextStyles(), context.TopicEditor(), &bar);
    styleCombo->setObjectName("ComboMacro");
    styleCombo->SelectStyle(std::string(kTopicTextStyle));
    // The font and style boxes share what the bar leaves free, so that the
    // whole bar fits a window of about a thousand pixels.
    for (QComboBox* box :
         {static_cast<QComboBox*>(bar.ComboFont()), static_cast<QComboBox*>(styleCombo)}) {
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(6);
    }
    bar.addWidget(styleCombo);
    // Beside the box the style commands go by short names (their hints
    // keep the full ones).
    const std::pair<QAction*, const char*> styleCommands[] = {
        {styleCombo->ActionMacroAdd(), "New"},
        {styleCombo->ActionMacroDel(), "Delete"},
        {styleCombo->ActionMacroChange(), "Change"},
        {styleCombo->ActionMacroApply(), "Apply"}};
    for (const auto& [action, caption] : styleCommands) {
        bar.addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(bar.widgetForAction(action))) {
            button->setText(caption);
            button->setToolTip(action->text());
        }
    }
    window.addAction(styleCombo->ActionMacroApplyFont());
    // A style applied, the person types on in the text it styled.
    for (QAction* apply : {styleCombo->ActionMacroApply(), styleCombo->ActionMacroApplyFont()})
        QObject::connect(apply, &QAction::triggered, &bar, &TFormatBarWidget::ReturnToEditor);
    QMenu* textMenu = actions.Menu("MenuText");
    QAction* before = actions.Action("ActionTextFind");
    for (QAction* action :
         {bar.ActionTextBold(), bar.ActionTextItalic(), bar.ActionTextUnderline(),
          bar.ActionTextStrikeout(), bar.ActionTextJustLeft(), bar.ActionTextJustCenter(),
          bar.ActionTextJustRight(), bar.ActionTextBullet(), bar.FontItem()}) {
        textMenu->insertAction(before, action);
        window.addAction(action); // their keys work with the bar hidden
    }
    textMenu->insertSeparator(before);
    TBarSizing::ShareText(bar, *bar.ComboFont(), *styleCombo);
    return styleCombo;
}

} // namespace editor::ui
