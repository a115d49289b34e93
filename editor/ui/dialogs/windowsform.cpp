#include "editor/ui/dialogs/windowsform.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include "components/ui/ansiqt.h"
#include "components/ui/centeronscreen.h"
#include "components/ui/colorqt.h"
#include "editor/dialogs/positionwizard.h"
#include "editor/ui/dialogs/positionwizardform.h"

namespace editor::ui {

using components::ui::FromQString;
using components::ui::ToQString;

namespace {

void PaintShape(QFrame* shape, std::uint32_t colour) {
    shape->setProperty("colour", static_cast<unsigned>(colour));
    shape->setStyleSheet(QString("background-color: %1; border: 1px solid black;")
                             .arg(components::ui::TColorToQColor(colour, shape->palette()).name()));
}

std::uint32_t ShapeColour(const QFrame* shape) {
    return shape->property("colour").toUInt();
}

QSpinBox* Spin(const char* name, int low, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(low, TWindowDefinition::kScale);
    return spin;
}

} // namespace

TWindowsForm::TWindowsForm(QWidget* parent) : QDialog(parent) {
    setObjectName("WindowsForm");
    setWindowTitle("Brindlewoven Windows Editor");
    listWindows_ = new QListWidget(this);
    listWindows_->setObjectName("ListWindows");
    btnAdd_ = new QPushButton("&Add", this);
    btnAdd_->setObjectName("BtnAdd");
    btnDel_ = new QPushButton("&Delete", this);
    btnDel_->setObjectName("BtnDel");
    editName_ = new QLineEdit(this);
    editName_->setObjectName("EditName");
    editName_->setMaxLength(8);
    // Window names are kept in lower case as they are typed.
    components::ui::RefuseNonAnsiInput(editName_, components::ui::TAnsiValidator::TCase::Lower);
    editCaption_ = new QLineEdit(this);
    editCaption_->setObjectName("EditCaption");
    editCaption_->setMaxLength(50);
    components::ui::RefuseNonAnsiInput(editCaption_);
    spinX_ = Spin("SpinX", 0, this);
    spinY_ = Spin("SpinY", 0, this);
    spinWidth_ = Spin("SpinWidth", 1, this);
    spinHeight_ = Spin("SpinHeight", 1, this);
    checkMax_ = new QCheckBox("&Maximize window", this);
    checkMax_->setObjectName("CheckMax");
    checkOnTop_ = new QCheckBox("&Stay on top", this);
    checkOnTop_->setObjectName("CheckOnTop");
    checkDefColors_ = new QCheckBox("&Default colors", this);
    checkDefColors_->setObjectName("CheckDefColors");
    checkDefColors_->setChecked(true);
    btnWin_ = new QPushButton("Window c&olor", this);
    btnWin_->setObjectName("BtnWin");
    btnKeepn_ = new QPushButton("&Non-scrolling region", this);
    btnKeepn_->setObjectName("BtnKeepn");
    shapeWin_ = new QFrame(this);
    shapeWin_->setObjectName("ShapeWin");
    shapeKeepn_ = new QFrame(this);
    shapeKeepn_->setObjectName("ShapeKeepn");
    for (QFrame* shape : {shapeWin_, shapeKeepn_}) {
        shape->setFixedSize(40, 20);
        PaintShape(shape, 0xFFFFFF);
    }
    wizardBtn_ = new QPushButton("&Position wizard", this);
    wizardBtn_->setObjectName("WizardBtn");
    okBtn_ = new QPushButton("OK", this);
    okBtn_->setObjectName("OkBtn");
    okBtn_->setDefault(true);
    cancelBtn_ = new QPushButton("Cancel", this);
    cancelBtn_->setObjectName("CancelBtn");
    helpBtn_ = new QPushButton("&Help", this);
    helpBtn_->setObjectName("HelpBtn");
    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(false);

    btnAdd_->setStatusTip("Add a new window definition");
    btnDel_->setStatusTip("Delete the selected window definition");
    wizardBtn_->setStatusTip("Place the window on the screen with the mouse");
    editName_->setStatusTip("The name of the window, used in links (at most 8 characters)");
    editCaption_->setStatusTip("The caption shown in the window's title bar");

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listWindows_, 1);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(btnAdd_);
    listButtons->addWidget(btnDel_);
    listColumn->addLayout(listButtons);

    auto* fields = new QFormLayout;
    fields->addRow("&Name:", editName_);
    fields->addRow("&Caption:", editCaption_);
    auto* position = new QGridLayout;
    auto place = [this, position](const char* caption, QSpinBox* spin, int row, int column) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(spin);
        position->addWidget(label, row, column);
        position->addWidget(spin, row, column + 1);
    };
    place("&Left:", spinX_, 0, 0);
    place("&Top:", spinY_, 0, 2);
    place("&Width:", spinWidth_, 1, 0);
    place("H&eight:", spinHeight_, 1, 2);
    position->addWidget(wizardBtn_, 2, 0, 1, 4);
    auto* colours = new QGridLayout;
    colours->addWidget(checkDefColors_, 0, 0, 1, 2);
    colours->addWidget(btnWin_, 1, 0);
    colours->addWidget(shapeWin_, 1, 1);
    colours->addWidget(btnKeepn_, 2, 0);
    colours->addWidget(shapeKeepn_, 2, 1);
    auto* controls = new QVBoxLayout;
    controls->addLayout(fields);
    controls->addLayout(position);
    controls->addWidget(checkMax_);
    controls->addWidget(checkOnTop_);
    controls->addLayout(colours);
    controls->addStretch(1);

    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 1);
    body->addLayout(controls, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okBtn_);
    buttons->addWidget(cancelBtn_);
    buttons->addWidget(helpBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    layout->addWidget(statusBar_);

    connect(listWindows_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (loading_ || row < 0 || row == model_.ShownIndex())
            return;
        model_.Select(row);
        ShowControls();
    });
    connect(btnAdd_, &QPushButton::clicked, this, [this] {
        ControlsEdited();
        model_.Add();
        ShowList();
    });
    connect(btnDel_, &QPushButton::clicked, this, [this] {
        ControlsEdited();
        model_.Delete(listWindows_->currentRow());
        ShowList();
    });
    for (QLineEdit* edit : {editName_, editCaption_})
        connect(edit, &QLineEdit::textEdited, this, &TWindowsForm::ControlsEdited);
    for (QSpinBox* spin : {spinX_, spinY_, spinWidth_, spinHeight_})
        connect(spin, &QSpinBox::valueChanged, this, &TWindowsForm::ControlsEdited);
    for (QCheckBox* check : {checkMax_, checkOnTop_})
        connect(check, &QCheckBox::toggled, this, &TWindowsForm::ControlsEdited);
    connect(checkDefColors_, &QCheckBox::toggled, this, [this] {
        CheckDefColorsClick();
        ControlsEdited();
    });
    connect(btnWin_, &QPushButton::clicked, this, [this] { PickShapeColor(true); });
    connect(btnKeepn_, &QPushButton::clicked, this, [this] { PickShapeColor(false); });
    connect(wizardBtn_, &QPushButton::clicked, this, &TWindowsForm::WizardBtnClick);
    connect(okBtn_, &QPushButton::clicked, this, &TWindowsForm::OkBtnClick);
    connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
    connect(helpBtn_, &QPushButton::clicked, this, [this] { emit HelpRequested(kHelpContext); });

    PickColor = [this](std::uint32_t start) -> std::optional<std::uint32_t> {
        const QColor chosen =
            QColorDialog::getColor(components::ui::TColorToQColor(start, palette()), this);
        if (!chosen.isValid())
            return std::nullopt;
        return components::ui::QColorToTColor(chosen);
    };
    CheckDefColorsClick();
}

bool TWindowsForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        statusBar_->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

void TWindowsForm::ShowWindows(const std::vector<std::string>& windows,
                               std::function<void(const std::vector<std::string>&)> onOk) {
    onOk_ = std::move(onOk);
    model_.Show(windows);
    ShowList();
}

void TWindowsForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only now has the form its size: before its first showing it would be
    // centred by a size it does not have.
    components::ui::CenterOnScreen(*this);
}

void TWindowsForm::ShowList() {
    loading_ = true;
    listWindows_->clear();
    for (const std::string& window : model_.Windows())
        listWindows_->addItem(ToQString(TWindowDefinition::Parse(window).Name));
    listWindows_->setCurrentRow(model_.ShownIndex());
    loading_ = false;
    ShowControls();
}

void TWindowsForm::ShowControls() {
    loading_ = true;
    shown_ = model_.Controls();
    const bool any = model_.ShownIndex() >= 0;
    editName_->setText(ToQString(shown_.Name));
    editCaption_->setText(ToQString(shown_.Caption));
    spinX_->setValue(shown_.X);
    spinY_->setValue(shown_.Y);
    spinWidth_->setValue(shown_.Width);
    spinHeight_->setValue(shown_.Height);
    checkMax_->setChecked(shown_.Maximized);
    checkOnTop_->setChecked(shown_.OnTop);
    checkDefColors_->setChecked(shown_.DefaultColors);
    PaintShape(shapeWin_, shown_.WindowColor);
    PaintShape(shapeKeepn_, shown_.KeepnColor);
    for (QWidget* control : std::initializer_list<QWidget*>{
             editName_, editCaption_, spinX_, spinY_, spinWidth_, spinHeight_, checkMax_,
             checkOnTop_, checkDefColors_, wizardBtn_, btnDel_})
        control->setEnabled(any);
    CheckDefColorsClick();
    loading_ = false;
}

void TWindowsForm::ControlsEdited() {
    if (loading_ || model_.ShownIndex() < 0)
        return;
    TWindowDefinition d = shown_;
    d.Name = FromQString(editName_->text());
    d.Caption = FromQString(editCaption_->text());
    d.X = spinX_->value();
    d.Y = spinY_->value();
    d.Width = spinWidth_->value();
    d.Height = spinHeight_->value();
    d.Maximized = checkMax_->isChecked();
    d.OnTop = checkOnTop_->isChecked();
    d.DefaultColors = checkDefColors_->isChecked();
    d.WindowColor = ShapeColour(shapeWin_);
    d.KeepnColor = ShapeColour(shapeKeepn_);
    // Only what the person changed makes the definition change.
    if (d == shown_)
        return;
    shown_ = d;
    model_.Edit(d);
}

void TWindowsForm::CheckDefColorsClick() {
    const bool own = !checkDefColors_->isChecked() && checkDefColors_->isEnabled();
    for (QWidget* widget : std::initializer_list<QWidget*>{shapeWin_, shapeKeepn_})
        widget->setVisible(own);
    btnWin_->setEnabled(own);
    btnKeepn_->setEnabled(own);
}

void TWindowsForm::PickShapeColor(bool window) {
    QFrame* shape = window ? shapeWin_ : shapeKeepn_;
    if (const auto chosen = PickColor(ShapeColour(shape))) {
        PaintShape(shape, *chosen);
        ControlsEdited();
    }
}

TPositionWizardForm& TWindowsForm::PositionWizard() {
    if (!wizard_)
        wizard_ = new TPositionWizardForm(this);
    return *wizard_;
}

void TWindowsForm::WizardBtnClick() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->geometry();
    const TPixelRect monitor{area.left(), area.top(), area.width(), area.height()};
    const TPixelRect window = ScaledToScreen(
        {spinX_->value(), spinY_->value(), spinWidth_->value(), spinHeight_->value()}, monitor);
    const auto placed =
        PositionWizard().Execute(QRect(window.Left, window.Top, window.Width, window.Height));
    if (!placed)
        return;
    const TPixelRect scaled =
        ScreenToScaled({placed->left(), placed->top(), placed->width(), placed->height()}, monitor);
    // 1024 - X passes the scale by one: stored, it is cut to 1023 - X.
    TWindowDefinition d = shown_;
    d.X = scaled.Left;
    d.Y = scaled.Top;
    d.Width = scaled.Width;
    d.Height = scaled.Height;
    d.HoldToScale();
    loading_ = true;
    spinX_->setValue(d.X);
    spinY_->setValue(d.Y);
    spinWidth_->setValue(d.Width);
    spinHeight_->setValue(d.Height);
    loading_ = false;
    ControlsEdited();
}

void TWindowsForm::OkBtnClick() {
    ControlsEdited();
    const std::vector<std::string> windows = model_.Ok();
    if (onOk_)
        onOk_(windows);
    accept();
}

} // namespace editor::ui
