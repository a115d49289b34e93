#include "components/ui/messenger.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <exception>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/messengerform.h"
#include "components/ui/powerprogressbar.h"
#include "platform/diagnostics.h"

namespace components::ui {

namespace {

struct TKindPreset {
    const char* Caption;
    int ModalResult;
    bool Default;
    bool Cancel;
    QStyle::StandardPixmap Glyph;
};

TKindPreset KindPreset(TBitBtnKind kind) {
    switch (kind) {
    case TBitBtnKind::OK:
        return {"OK", mrOk, true, false, QStyle::SP_DialogOkButton};
    case TBitBtnKind::Cancel:
        return {"Cancel", mrCancel, false, true, QStyle::SP_DialogCancelButton};
    case TBitBtnKind::Help:
        return {"&Help", mrNone, false, false, QStyle::SP_DialogHelpButton};
    case TBitBtnKind::Yes:
        return {"&Yes", mrYes, true, false, QStyle::SP_DialogYesButton};
    case TBitBtnKind::No:
        return {"&No", mrNo, false, true, QStyle::SP_DialogNoButton};
    case TBitBtnKind::Close:
        return {"&Close", mrNone, false, false, QStyle::SP_DialogCloseButton};
    case TBitBtnKind::Abort:
        return {"Abort", mrAbort, false, false, QStyle::SP_DialogAbortButton};
    case TBitBtnKind::Retry:
        return {"&Retry", mrRetry, false, false, QStyle::SP_DialogRetryButton};
    case TBitBtnKind::Ignore:
        return {"&Ignore", mrIgnore, false, false, QStyle::SP_DialogIgnoreButton};
    case TBitBtnKind::All:
        return {"&All", mrAll, false, false, QStyle::SP_DialogYesToAllButton};
    case TBitBtnKind::Custom:
        break;
    }
    return {"", mrNone, false, false, QStyle::SP_CustomBase};
}

QIcon ButtonGlyph(const TMessengerButton& button) {
    if (button.Kind == TBitBtnKind::Custom)
        return button.Glyph;
    return QApplication::style()->standardIcon(KindPreset(button.Kind).Glyph);
}

QFont DefaultFont() {
    QFont font = QApplication::font();
    font.setPointSize(10);
    return font;
}

QPixmap StockIcon(TMessengerBitmapType type) {
    QStyle::StandardPixmap which;
    switch (type) {
    case TMessengerBitmapType::Confirmation:
        which = QStyle::SP_MessageBoxQuestion;
        break;
    case TMessengerBitmapType::Error:
        which = QStyle::SP_MessageBoxCritical;
        break;
    case TMessengerBitmapType::Information:
        which = QStyle::SP_MessageBoxInformation;
        break;
    case TMessengerBitmapType::Warning:
        which = QStyle::SP_MessageBoxWarning;
        break;
    default:
        return QPixmap();
    }
    return QApplication::style()->standardIcon(which).pixmap(32, 32);
}

QRect ScreenGeometry(const QWidget* form) {
    QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

// The width a line needs in a label of that font, tabs included.
int LineWidth(const QFontMetrics& metrics, const QString& line) {
    return metrics.boundingRect(QRect(0, 0, 1 << 24, 1 << 16), Qt::TextExpandTabs, line).width();
}

QRect ToQRect(const components::TLayoutRect& r) {
    return QRect(r.Left, r.Top, r.Width, r.Height);
}

// The text of the lines, one per line, trimmed of the blanks and line breaks
// around it.
QString MessageText(const QStringList& lines) {
    return lines.join(QLatin1Char('\n')).trimmed();
}

} // namespace

void TMessengerButton::SetKind(TBitBtnKind kind) {
    Kind = kind;
    if (kind == TBitBtnKind::Custom)
        return;
    TKindPreset preset = KindPreset(kind);
    Caption = QString::fromLatin1(preset.Caption);
    ModalResult = preset.ModalResult;
    Default = preset.Default;
    Cancel = preset.Cancel;
}

void TMessengerButton::Assign(const TMessengerButton& source) {
    SetKind(source.Kind);
    if (source.Kind == TBitBtnKind::Custom) {
        Cancel = source.Cancel;
        Default = source.Default;
        Glyph = source.Glyph;
        NumGlyphs = source.NumGlyphs;
    }
    Caption = source.Caption;
    Enabled = source.Enabled;
    Hint = source.Hint;
    ModalResult = source.ModalResult;
    Visible = source.Visible;
}

void TMessengerFont::SetFont(const QFont& font) {
    font_ = font;
    parentFont_ = false;
}

void TMessengerFont::SetParentFont(bool value) {
    parentFont_ = value;
    if (value && owner_)
        font_ = owner_->Font();
}

QString TMessengerEdit::Text() const {
    if (dialogOwner_ && dialogOwner_->Form())
        return dialogOwner_->Form()->Edit()->text();
    return text_;
}

void TMessengerEdit::SetText(const QString& text) {
    text_ = text;
    if (dialogOwner_ && dialogOwner_->Form())
        dialogOwner_->Form()->Edit()->setText(text);
}

int TMessengerGauge::MaxValue() const {
    return owner_ && owner_->Form() ? owner_->Form()->ProgressBar()->MaxValue() : maxValue_;
}

int TMessengerGauge::MinValue() const {
    return owner_ && owner_->Form() ? owner_->Form()->ProgressBar()->MinValue() : minValue_;
}

int TMessengerGauge::Progress() const {
    return owner_ && owner_->Form() ? owner_->Form()->ProgressBar()->Progress() : progress_;
}

void TMessengerGauge::SetMaxValue(int value) {
    maxValue_ = value;
    if (owner_ && owner_->Form())
        owner_->Form()->ProgressBar()->SetMaxValue(value);
}

void TMessengerGauge::SetMinValue(int value) {
    minValue_ = value;
    if (owner_ && owner_->Form())
        owner_->Form()->ProgressBar()->SetMinValue(value);
}

void TMessengerGauge::SetProgress(int value) {
    progress_ = value;
    if (owner_ && owner_->Form())
        owner_->Form()->ProgressBar()->SetProgress(value);
}

TMessenger::TMessenger(QObject* parent) : QObject(parent), font_(DefaultFont()) {
    for (TMessengerFont* follower :
         {static_cast<TMessengerFont*>(&buttonLayout_), static_cast<TMessengerFont*>(&edit_)}) {
        follower->owner_ = this;
        follower->font_ = font_;
    }
    edit_.dialogOwner_ = this;
    gauge_.owner_ = this;
    // A plain message box out of the box: OK answers Enter and Escape.
    buttons_[0].Caption = QStringLiteral("OK");
    buttons_[0].ModalResult = mrOk;
    buttons_[0].Default = true;
    buttons_[0].Cancel = true;
    buttons_[0].Visible = true;
}

TMessenger::~TMessenger() {
    if (form_) {
        form_->disconnect(this);
        form_.reset();
    }
}

void TMessenger::AssignTo(TMessenger& target) const {
    target.alignment_ = alignment_;
    target.bitmapType_ = bitmapType_;
    target.bitmap_ = bitmap_;
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        target.buttons_[i].Assign(buttons_[i]);
    TMessengerButtonLayout layout = buttonLayout_;
    layout.owner_ = &target;
    target.buttonLayout_ = layout;
    target.caption_ = caption_;
    target.choiceIndex_ = choiceIndex_;
    target.choices_ = choices_;
    target.color_ = color_;
    target.cursor_ = cursor_;
    TMessengerEdit edit = edit_;
    edit.TMessengerFont::owner_ = &target;
    edit.dialogOwner_ = &target;
    edit.text_ = edit_.Text();
    target.edit_ = edit;
    target.font_ = font_;
    TMessengerGauge gauge = gauge_;
    gauge.owner_ = &target;
    target.gauge_ = gauge;
    target.helpContext_ = helpContext_;
    target.lines_ = lines_;
    target.showHint_ = showHint_;
    target.spacing_ = spacing_;
    target.left_ = left_;
    target.top_ = top_;
}

namespace {

std::size_t ButtonSlot(int index) {
    if (index < 1 || index > 5)
        throw components::EMessenger("TMessenger.GetButton index out of bounds");
    return static_cast<std::size_t>(index - 1);
}

} // namespace

TMessengerButton& TMessenger::GetButton(int index) {
    return buttons_[ButtonSlot(index)];
}

const TMessengerButton& TMessenger::GetButton(int index) const {
    return buttons_[ButtonSlot(index)];
}

void TMessenger::SetButton(int index, const TMessengerButton& button) {
    GetButton(index).Assign(button);
}

void TMessenger::SetFont(const QFont& value) {
    font_ = value;
    for (TMessengerFont* follower :
         {static_cast<TMessengerFont*>(&buttonLayout_), static_cast<TMessengerFont*>(&edit_)})
        if (follower->parentFont_)
            follower->font_ = value;
}

void TMessenger::SetChoiceIndex(int value) {
    if (form_)
        form_->SetChoiceIndex(value);
    choiceIndex_ = value;
}

void TMessenger::SetPosition(int left, int top) {
    left_ = left;
    top_ = top;
}

void TMessenger::SetText(const QString& text) {
    lines_.clear();
    if (text.isEmpty())
        return;
    const std::u16string utf16 = text.toStdU16String();
    const QString lines =
        QString::fromStdU16String(components::WithLineFeeds<char16_t>(std::u16string_view(utf16)));
    lines_ = lines.split(QLatin1Char('\n'));
    if (lines.endsWith(QLatin1Char('\n')))
        lines_.removeLast();
}

void TMessenger::CreateForm() {
    form_ = std::make_unique<TMessengerForm>();
    TMessengerForm* form = form_.get();
    connect(form, &TMessengerForm::Shown, this, [this, form] {
        DoShow();
        emit OnShow(this, form);
    });
    connect(form, &TMessengerForm::Painted, this, [this, form] { emit OnPaint(this, form); });
    connect(form, &TMessengerForm::Hidden, this, [this, form] {
        DoHide();
        emit OnHide(this, form);
    });
}

// Sets the controls' texts and fonts and measures what the layout needs.
components::TMessengerMeasures TMessenger::Measure() {
    TMessengerForm* form = form_.get();
    components::TMessengerMeasures m;
    m.Spacing = spacing_;
    QRect screen = ScreenGeometry(form);
    m.ScreenWidth = screen.width();
    m.ScreenHeight = screen.height();

    QPixmap icon = bitmapType_ == TMessengerBitmapType::Custom ? bitmap_ : StockIcon(bitmapType_);
    form->Image()->setPixmap(icon);
    m.HasIcon = bitmapType_ != TMessengerBitmapType::None && !icon.isNull();
    QSize iconSize = icon.deviceIndependentSize().toSize();
    m.IconWidth = iconSize.width();
    m.IconHeight = iconSize.height();

    QFontMetrics metrics(font_);
    QLabel* label = form->MessageLabel();
    label->setFont(font_);
    label->setText(MessageText(lines_));
    m.HasText = !lines_.isEmpty();
    for (const QString& line : lines_)
        m.WidestLine = std::max(m.WidestLine, LineWidth(metrics, line));
    m.TextHeight = [label](int width) { return std::max(label->heightForWidth(width), 0); };

    m.ButtonWidth = buttonLayout_.Width;
    // A caption longer than the buttons' width widens them all, so that none
    // is cut ("Download Decompiler").
    const QFontMetrics buttonMetrics(form->font());
    for (const TMessengerButton& button : buttons_)
        if (button.Visible) {
            m.Buttons.push_back({button.Default, button.Enabled});
            QString caption = button.Caption;
            caption.remove('&');
            m.ButtonWidth = std::max(m.ButtonWidth,
                                     buttonMetrics.horizontalAdvance(caption) + 2 * spacing_ + 8);
        }
    m.ButtonHeight = buttonLayout_.Height;

    m.HasGauge = gauge_.Visible;
    m.GaugeHeight = gauge_.Height;
    m.HasEdit = edit_.Visible;
    form->Edit()->setFont(edit_.font_);
    m.EditHeight = form->Edit()->sizeHint().height();

    form->SetRadioCount(static_cast<int>(choices_.size()));
    m.ChoiceCount = static_cast<int>(choices_.size());
    for (int i = 0; i < choices_.size(); ++i) {
        QRadioButton* radio = form->Radios()[i];
        radio->setFont(font_);
        radio->setText(choices_[i]);
        m.WidestChoice = std::max(m.WidestChoice, LineWidth(metrics, choices_[i]));
        m.ChoiceHeight = std::max(m.ChoiceHeight, radio->sizeHint().height());
    }
    m.ChoiceIndex = choiceIndex_;
    return m;
}

void TMessenger::ApplyGauge() {
    TPowerProgressBar* bar = form_->ProgressBar();
    bar->setFont(font_);
    bar->SetColorBack(gauge_.BackColor);
    bar->SetColorFront(gauge_.ForeColor);
    bar->setToolTip(showHint_ ? gauge_.Hint : QString());
    bar->SetMinValue(gauge_.minValue_);
    bar->SetMaxValue(gauge_.maxValue_);
    bar->SetMinValue(gauge_.minValue_);
    bar->SetProgress(gauge_.progress_);
}

void TMessenger::ApplyEdit() {
    QLineEdit* edit = form_->Edit();
    auto charCase = edit_.CharCase == TEditCharCase::UpperCase   ? TAnsiValidator::TCase::Upper
                    : edit_.CharCase == TEditCharCase::LowerCase ? TAnsiValidator::TCase::Lower
                                                                 : TAnsiValidator::TCase::Normal;
    if (auto* validator = qobject_cast<TAnsiValidator*>(const_cast<QValidator*>(edit->validator())))
        validator->SetCharCase(charCase);
    else
        RefuseNonAnsiInput(edit, charCase);
    edit->setToolTip(showHint_ ? edit_.Hint : QString());
    edit->setMaxLength(edit_.MaxLength > 0 ? edit_.MaxLength : 32767);
    edit->setEchoMode(edit_.PasswordChar.isNull() ? QLineEdit::Normal : QLineEdit::Password);
    edit->setText(edit_.text_);
}

void TMessenger::MakeButtons(const components::TMessengerLayout& layout) {
    TMessengerForm* form = form_.get();
    form->ClearButtons();
    std::size_t k = 0;
    for (TMessengerButton& source : buttons_) {
        if (!source.Visible)
            continue;
        QPushButton* button = form->AddButton(&source);
        button->setGeometry(ToQRect(layout.Buttons[k++]));
        button->setText(source.Caption);
        button->setIcon(ButtonGlyph(source));
        button->setDefault(source.Default);
        button->setEnabled(source.Enabled);
        button->setToolTip(showHint_ ? source.Hint : QString());
        button->setFont(buttonLayout_.font_);
        button->setCursor(buttonLayout_.Cursor);
        connect(button, &QPushButton::clicked, this, [this, button] {
            // The person's click must not carry an exception into Qt's
            // event dispatch; what a handler throws becomes a warning.
            try {
                ButtonClick(button);
            } catch (const std::exception& e) {
                platform::Warn(e.what());
            }
        });
        button->show();
    }
}

void TMessenger::PlaceControls(const components::TMessengerLayout& layout) {
    TMessengerForm* form = form_.get();
    form->Image()->setGeometry(ToQRect(layout.Icon));
    form->Image()->setVisible(layout.Icon.Visible);
    form->MessageLabel()->setGeometry(ToQRect(layout.Text));
    form->MessageLabel()->setVisible(layout.Text.Visible);
    form->ProgressBar()->setGeometry(ToQRect(layout.Gauge));
    form->ProgressBar()->setVisible(layout.Gauge.Visible);
    form->Edit()->setGeometry(ToQRect(layout.Edit));
    form->Edit()->setVisible(layout.Edit.Visible);
    for (std::size_t i = 0; i < layout.Choices.size(); ++i) {
        form->Radios()[int(i)]->setGeometry(ToQRect(layout.Choices[i]));
        form->Radios()[int(i)]->show();
    }
    form->SetChoiceIndex(layout.CheckedChoice);
}

// Qt draws nothing before control returns to the event loop, so the form
// need not be hidden while its controls move.
void TMessenger::BuildForm() {
    TMessengerForm* form = form_.get();
    form->setFont(font_);
    components::TMessengerMeasures measures = Measure();
    components::TMessengerLayout layout = components::LayoutMessenger(measures);
    if (gauge_.Visible)
        ApplyGauge();
    if (edit_.Visible)
        ApplyEdit();
    PlaceControls(layout);
    MakeButtons(layout);

    if (layout.FocusEdit) {
        form->Edit()->setFocus();
        form->Edit()->selectAll();
    } else if (layout.FocusButton >= 0) {
        form->DialogButton(layout.FocusButton)->setFocus();
    }

    form->setFixedSize(layout.ClientWidth, layout.ClientHeight);
    QRect screen = ScreenGeometry(form);
    QSize frame = form->frameGeometry().size() - form->geometry().size();
    components::TLayoutPoint position = components::MessengerPosition(
        left_, top_, screen.width(), screen.height(), layout.ClientWidth + frame.width(),
        layout.ClientHeight + frame.height());
    form->move(screen.topLeft() + QPoint(position.X, position.Y));

    form->setWindowTitle(caption_);
    QPalette palette = QApplication::palette(form);
    if (color_.isValid())
        palette.setColor(QPalette::Window, color_);
    form->setPalette(palette);
    form->setCursor(cursor_);
    form->setProperty("helpContext", helpContext_);
}

void TMessenger::CopyEditBack() {
    if (form_ && edit_.Visible)
        edit_.text_ = form_->Edit()->text();
}

void TMessenger::DestroyForm() {
    if (!form_)
        return;
    form_->hide();
    if (inClick_ > 0) {
        form_->disconnect(this);
        form_.release()->deleteLater();
    } else {
        form_.reset();
    }
}

int TMessenger::Execute() {
    if (!form_)
        CreateForm();
    struct TFreeForm {
        TMessenger* messenger;
        ~TFreeForm() { messenger->DestroyForm(); }
    } freeForm{this};
    BuildForm();
    form_->hide(); // a modeless dialog turns modal only while hidden
    int result = form_->exec();
    if (form_ && components::ResultKeepsInput(result)) {
        CopyEditBack();
        if (!choices_.isEmpty())
            choiceIndex_ = form_->CheckedChoice();
    }
    return result;
}

int TMessenger::ExecuteText(const QString& text) {
    lines_.clear();
    SetText(text);
    return Execute();
}

void TMessenger::Show() {
    if (!form_)
        CreateForm();
    BuildForm();
    form_->show();
    form_->repaint();
}

void TMessenger::Repaint() {
    if (form_ && form_->isVisible())
        form_->repaint();
}

void TMessenger::Hide() {
    if (!form_)
        return;
    CopyEditBack();
    form_->hide();
}

void TMessenger::Close() {
    if (!form_)
        return;
    CopyEditBack();
    DestroyForm();
}

void TMessenger::ButtonClick(QObject* sender) {
    int index = form_ ? form_->IndexOfButton(sender) : -1;
    if (index < 0)
        throw components::EMessenger("ButtonClick event generated by unknown button");
    TMessengerButton* source = form_->ButtonSource(index);
    {
        struct TClickDepth {
            int& depth;
            explicit TClickDepth(int& d) : depth(d) { ++depth; }
            ~TClickDepth() { --depth; }
        } depth(inClick_);
        DoButtonClick(*source);
        emit OnButtonClick(this, source);
    }
    if (!form_)
        return;
    if (source->Kind == TBitBtnKind::Close)
        form_->close();
    else if (source->ModalResult != mrNone && form_->isModal())
        form_->done(source->ModalResult);
}

} // namespace components::ui
