#pragma once
// "Include Bitmap in Topic": how a chosen picture sits in the text (as a
// character, at the left or at the right margin) and whether it is drawn
// transparently.
#include "editor/markupcommands.h"
#include "editor/ui/dialogs/editordialog.h"

class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace editor::ui {

class TFormInsertBitmap : public TEditorDialog {
    Q_OBJECT

public:
    explicit TFormInsertBitmap(QWidget* parent = nullptr);

    QGroupBox* RadioAlignment = nullptr;
    QRadioButton* RadioCharacter = nullptr;
    QRadioButton* RadioLeft = nullptr;
    QRadioButton* RadioRight = nullptr;
    QCheckBox* CheckTransparent = nullptr;

    // Shows the dialog; the choices stay from the last use. True for OK.
    bool Execute();
    TBitmapAlign Alignment() const;
    bool Transparent() const;
};

} // namespace editor::ui
