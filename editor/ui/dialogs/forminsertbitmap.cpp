#include "editor/ui/dialogs/forminsertbitmap.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace editor::ui {

TFormInsertBitmap::TFormInsertBitmap(QWidget* parent) : TEditorDialog(parent, 0, TPlace::Owner) {
    setObjectName("FormInsertBitmap");
    setWindowTitle(tr("Include Bitmap in Topic"));
    RadioAlignment = new QGroupBox(tr("Alignment"), this);
    RadioAlignment->setObjectName("RadioAlignment");
    RadioCharacter = new QRadioButton(tr("&Character"), RadioAlignment);
    RadioCharacter->setObjectName("RadioCharacter");
    RadioLeft = new QRadioButton(tr("&Left"), RadioAlignment);
    RadioLeft->setObjectName("RadioLeft");
    RadioRight = new QRadioButton(tr("&Right"), RadioAlignment);
    RadioRight->setObjectName("RadioRight");
    RadioCharacter->setChecked(true);
    auto* radios = new QVBoxLayout(RadioAlignment);
    for (QRadioButton* radio : {RadioCharacter, RadioLeft, RadioRight})
        radios->addWidget(radio);
    CheckTransparent = new QCheckBox(tr("&Transparent"), this);
    CheckTransparent->setObjectName("CheckTransparent");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioAlignment);
    layout->addWidget(CheckTransparent);
    layout->addLayout(ButtonRow());
    HelpBtn()->hide();
}

bool TFormInsertBitmap::Execute() {
    return exec() == QDialog::Accepted;
}

TBitmapAlign TFormInsertBitmap::Alignment() const {
    if (RadioLeft->isChecked())
        return TBitmapAlign::Left;
    if (RadioRight->isChecked())
        return TBitmapAlign::Right;
    return TBitmapAlign::Character;
}

bool TFormInsertBitmap::Transparent() const {
    return CheckTransparent->isChecked();
}

} // namespace editor::ui
