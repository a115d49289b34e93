#include "editor/ui/formatbarwidget.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "components/ui/ansiqt.h"
#include "components/ui/colorqt.h"
#include "components/ui/richeredit.h"
#include "editor/topiceditor.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

constexpr std::array<const char*, 16> kColorNames = {
    "Window text", "Black",  "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal",
    "Gray",        "Silver", "Red",    "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua"};

QIcon Swatch(const QColor& color) {
    QPixmap pixmap(16, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

} // namespace

TFormatBarWidget::TFormatBarWidget(TTopicEditor& editor, QWidget* parent)
    : QToolBar(parent), bar_(editor, *this) {
    setObjectName("TextBar");
    setWindowTitle(tr("Text"));

    comboFont_ = new QFontComboBox(this);
    comboFont_->setObjectName("ComboFont");
    comboFont_->setToolTip(tr("Select a typeface"));
    comboFont_->setInsertPolicy(QComboBox::NoInsert);
    components::ui::RefuseNonAnsiInput(comboFont_->lineEdit());
    addWidget(comboFont_);
    spinFontSize_ = new QSpinBox(this);
    spinFontSize_->setObjectName("SpinFontSize");
    spinFontSize_->setToolTip(tr("Font size"));
    spinFontSize_->setRange(4, 100);
    spinFontSize_->setSingleStep(2);
    // A size counts when it is entered, not at every digit typed on the way.
    spinFontSize_->setKeyboardTracking(false);
    addWidget(spinFontSize_);
    comboColor_ = new QComboBox(this);
    comboColor_->setObjectName("ComboColor");
    comboColor_->setToolTip(tr("Color"));
    for (std::size_t i = 0; i < kTextColors.size(); ++i)
        comboColor_->addItem(Swatch(components::ui::TColorToQColor(kTextColors[i], palette())),
                             kColorNames[i]);
    addWidget(comboColor_);
    addSeparator();

    bold_ = AddToggle("&Bold", QKeySequence("Ctrl+B"), "ActionTextBold", &TFormatBar::ToggleBold);
    italic_ =
        AddToggle("&Italic", QKeySequence("Ctrl+I"), "ActionTextItalic", &TFormatBar::ToggleItalic);
    underline_ = AddToggle("&Underline", QKeySequence("Ctrl+U"), "ActionTextUnderline",
                           &TFormatBar::ToggleUnderline);
    strikeout_ = AddToggle("&Strike out", QKeySequence("Ctrl+S"), "ActionTextStrikeout",
                           &TFormatBar::ToggleStrikeOut);
    addSeparator();
    justLeft_ = AddToggle("&Left", {}, "ActionTextJustLeft", &TFormatBar::AlignLeft);
    justCenter_ = AddToggle("&Center", {}, "ActionTextJustCenter", &TFormatBar::AlignCenter);
    justRight_ = AddToggle("&Right", {}, "ActionTextJustRight", &TFormatBar::AlignRight);
    bullet_ = AddToggle("Bulle&t", {}, "ActionTextBullet", &TFormatBar::ToggleBullet);
    fontItem_ = new QAction(tr("&Font..."), this);
    fontItem_->setObjectName("FontItem");
    fontItem_->setShortcut(QKeySequence("Ctrl+F"));
    connect(fontItem_, &QAction::triggered, this, &TFormatBarWidget::FontDialog);

    connect(comboFont_, &QFontComboBox::currentFontChanged, this,
            [this](const QFont& font) { bar_.SetFontName(FromQString(font.family())); });
    connect(comboFont_->lineEdit(), &QLineEdit::returnPressed, this,
            &TFormatBarWidget::ReturnToEditor);
    connect(spinFontSize_, &QSpinBox::valueChanged, this, [this](int points) {
        bar_.SetFontSize(points);
        // A refused size gives way to the one in effect.
        Mirror();
    });
    connect(spinFontSize_, &QSpinBox::editingFinished, this, [this] {
        if (spinFontSize_->hasFocus())
            ReturnToEditor();
    });
    connect(comboColor_, &QComboBox::activated, this, [this](int index) {
        bar_.SetColorIndex(index);
        ReturnToEditor();
    });
}

QAction* TFormatBarWidget::AddToggle(const QString& caption, const QKeySequence& key,
                                     const char* name, void (TFormatBar::*toggle)()) {
    auto* action = addAction(caption);
    action->setObjectName(name);
    action->setCheckable(true);
    action->setShortcut(key);
    action->setToolTip(QString(caption).remove('&'));
    // The state is the bar's to set: a click asks for the change, and the
    // mirror that follows checks or clears the button.
    connect(action, &QAction::triggered, this, [this, action, toggle] {
        action->setChecked(!action->isChecked());
        (bar_.*toggle)();
    });
    return action;
}

void TFormatBarWidget::Follow(components::ui::TRicherEdit* edit) {
    if (edit_)
        disconnect(edit_, nullptr, this, nullptr);
    edit_ = edit;
    if (!edit)
        return;
    connect(edit, &QTextEdit::cursorPositionChanged, this, &TFormatBarWidget::Mirror);
    connect(edit, &QTextEdit::selectionChanged, this, &TFormatBarWidget::Mirror);
    connect(edit, &QTextEdit::textChanged, this, &TFormatBarWidget::Mirror);
    connect(edit, &QObject::destroyed, this, [this] { edit_ = nullptr; });
    Mirror();
}

void TFormatBarWidget::ShowFormat(const TFormatBarState& state) {
    {
        const QSignalBlocker blockFont(comboFont_);
        const QSignalBlocker blockSize(spinFontSize_);
        const QSignalBlocker blockColor(comboColor_);
        const QString face = ToQString(state.FontName);
        if (comboFont_->currentText() != face) {
            if (!face.isEmpty())
                comboFont_->setCurrentFont(QFont(face));
            // A font this machine lacks (or mixed fonts) still shows the
            // text's own name (or none), not the nearest one installed.
            if (comboFont_->currentText() != face)
                comboFont_->setEditText(face);
        }
        if (state.FontSize > 0)
            spinFontSize_->setValue(state.FontSize);
        else
            spinFontSize_->clear();
        comboColor_->setCurrentIndex(state.ColorIndex);
    }
    bold_->setChecked(state.Bold);
    italic_->setChecked(state.Italic);
    underline_->setChecked(state.Underline);
    strikeout_->setChecked(state.StrikeOut);
    justLeft_->setChecked(state.AlignLeft);
    justCenter_->setChecked(state.AlignCenter);
    justRight_->setChecked(state.AlignRight);
    bullet_->setChecked(state.Bullet);
    if (state.HasSelection != hadSelection_) {
        hadSelection_ = state.HasSelection;
        emit SelectionPresenceChanged(hadSelection_);
    }
}

void TFormatBarWidget::ReturnToEditor() {
    if (edit_)
        edit_->setFocus();
}

void TFormatBarWidget::FontDialog() {
    const TFormatBarState& s = bar_.State();
    QFont initial(ToQString(s.FontName), s.FontSize > 0 ? s.FontSize : 10);
    initial.setBold(s.Bold);
    initial.setItalic(s.Italic);
    initial.setUnderline(s.Underline);
    initial.setStrikeOut(s.StrikeOut);
    // The dialog lists installed fonts only: a font the machine lacks is
    // shown as the one that stands in for it, keeping size and styles.
    initial.setFamily(QFontInfo(initial).family());
    QFontDialog dialog(initial, this);
    dialog.setObjectName("FontDialog");
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // What the dialog shows (it may pick a style of the family that differs
    // from the text's); only what the person changes from it reaches the
    // text, so a face this machine lacks keeps its name unless another one
    // is picked.
    QFont shown = dialog.currentFont();
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        QPushButton* apply = buttons->addButton(QDialogButtonBox::Apply);
        apply->setObjectName("BtnApply");
        connect(apply, &QPushButton::clicked, &dialog,
                [this, &dialog, &shown] { ApplyFont(dialog.currentFont(), shown); });
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyFont(dialog.selectedFont(), shown);
}

void TFormatBarWidget::ApplyFont(const QFont& font, QFont& shown) {
    if (font.family() != shown.family())
        bar_.SetFontName(FromQString(font.family()));
    if (font.pointSize() != shown.pointSize())
        bar_.SetFontSize(font.pointSize());
    if (font.bold() != shown.bold() && font.bold() != bar_.State().Bold)
        bar_.ToggleBold();
    if (font.italic() != shown.italic() && font.italic() != bar_.State().Italic)
        bar_.ToggleItalic();
    if (font.underline() != shown.underline() && font.underline() != bar_.State().Underline)
        bar_.ToggleUnderline();
    if (font.strikeOut() != shown.strikeOut() && font.strikeOut() != bar_.State().StrikeOut)
        bar_.ToggleStrikeOut();
    shown = font;
}

} // namespace editor::ui
