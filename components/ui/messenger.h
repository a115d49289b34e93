#pragma once
// The system's one configurable message box. A TMessenger holds what the
// dialog shows (message lines, icon, up to five buttons, an input line,
// radio choices, a progress gauge) and builds a TMessengerForm from it each
// time it is shown: modally (Execute: message, question, prompt, choice) or
// modelessly (Show: progress, updated while the caller works). The layout
// rules are components::LayoutMessenger; the core reaches the dialog only
// through the IMessenger seam (components/ui/windowedmessenger.h).
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QObject>
#include <QPixmap>
#include <QStringList>
#include <array>
#include <memory>

#include "components/messengerlayout.h"

namespace components::ui {

class TMessenger;
class TMessengerForm;

// The kinds of a bitmap button: each but Custom brings its caption, modal
// result, Default or Cancel role and glyph.
enum class TBitBtnKind { Custom, OK, Cancel, Help, Yes, No, Close, Abort, Retry, Ignore, All };

enum class TMessengerBitmapType { None, Custom, Confirmation, Error, Information, Warning };

enum class TEditCharCase { Normal, UpperCase, LowerCase };

enum class TButtonGlyphLayout { GlyphLeft, GlyphRight, GlyphTop, GlyphBottom };

class TMessengerButton {
public:
    TBitBtnKind Kind = TBitBtnKind::Custom;
    bool Cancel = false; // answers Escape and the close box
    QString Caption;
    bool Default = false; // answers Enter; takes the focus
    bool Enabled = true;
    QIcon Glyph; // used when the kind is Custom
    int NumGlyphs = 1;
    QString Hint;
    int ModalResult = 0;
    bool Visible = false;

    // Sets the kind with its caption, modal result, role and glyph.
    void SetKind(TBitBtnKind kind);
    // Copies the kind; the role and glyph only for a Custom kind (the other
    // kinds bring their own); then caption, enabled, hint, result, visible.
    void Assign(const TMessengerButton& source);
};

// A font that follows the messenger's own while ParentFont is set; setting a
// font of its own stops following.
class TMessengerFont {
public:
    QFont Font() const { return font_; }
    void SetFont(const QFont& font);
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

private:
    friend class TMessenger;
    QFont font_;
    bool parentFont_ = true;
    TMessenger* owner_ = nullptr;
};

class TMessengerButtonLayout : public TMessengerFont {
public:
    Qt::CursorShape Cursor = Qt::ArrowCursor;
    TButtonGlyphLayout Layout = TButtonGlyphLayout::GlyphLeft;
    int Margin = -1;
    int Spacing = 4; // between glyph and caption
    int Height = 28;
    int Width = 100;
};

class TMessengerEdit : public TMessengerFont {
public:
    TEditCharCase CharCase = TEditCharCase::Normal;
    QString Hint;
    int MaxLength = -1; // -1 (or 0): no limit
    QChar PasswordChar; // null: the text shows
    bool Visible = false;

    // The open dialog's text while there is one, else the stored text.
    QString Text() const;
    // Stores the text and puts it into the open dialog.
    void SetText(const QString& text);

private:
    friend class TMessenger;
    QString text_;
    TMessenger* dialogOwner_ = nullptr;
};

class TMessengerGauge {
public:
    QColor BackColor = QColor(255, 255, 255);
    QColor ForeColor = QColor(0, 0, 0);
    int Height = 25;
    QString Hint;
    bool Visible = false;

    // Stored, and passed on to the open dialog's progress bar; read from it
    // while there is one (it clamps).
    int MaxValue() const;
    int MinValue() const;
    int Progress() const;
    void SetMaxValue(int value);
    void SetMinValue(int value);
    void SetProgress(int value);

private:
    friend class TMessenger;
    int maxValue_ = 100;
    int minValue_ = 0;
    int progress_ = 0;
    TMessenger* owner_ = nullptr;
};

class TMessenger : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ChoiceIndex READ ChoiceIndex WRITE SetChoiceIndex)
    Q_PROPERTY(QStringList Choices READ Choices WRITE SetChoices)
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)

public:
    explicit TMessenger(QObject* parent = nullptr);
    ~TMessenger() override;

    // Copies every property and the stored position to `target`.
    virtual void AssignTo(TMessenger& target) const;

    // Shows the dialog modally and returns the modal result. OK, Retry, Yes
    // and All copy the input line and the checked choice back; any other
    // result leaves them. The dialog is freed in every case.
    int Execute();
    // Sets the message to `text`, then Execute.
    int ExecuteText(const QString& text);
    // Sets the message without showing anything.
    void SetText(const QString& text);
    // Shows the dialog modelessly (progress); a second Show lays it out anew.
    void Show();
    // Paints the open dialog now (after a change of the gauge or the text).
    void Repaint();
    // Copies the input line back and hides the dialog, keeping it.
    void Hide();
    // Copies the input line back and frees the dialog.
    void Close();

    // The open dialog, or null.
    TMessengerForm* Form() const { return form_.get(); }

    // Buttons 1 to 5; an index outside throws EMessenger.
    TMessengerButton& GetButton(int index);
    const TMessengerButton& GetButton(int index) const;
    void SetButton(int index, const TMessengerButton& button);
    TMessengerButtonLayout& ButtonLayout() { return buttonLayout_; }
    TMessengerEdit& Edit() { return edit_; }
    const TMessengerEdit& Edit() const { return edit_; }
    TMessengerGauge& Gauge() { return gauge_; }
    const TMessengerGauge& Gauge() const { return gauge_; }

    Qt::Alignment Alignment() const { return alignment_; } // stored; the dialog ignores it
    void SetAlignment(Qt::Alignment value) { alignment_ = value; }
    TMessengerBitmapType BitmapType() const { return bitmapType_; }
    void SetBitmapType(TMessengerBitmapType value) { bitmapType_ = value; }
    QPixmap Bitmap() const { return bitmap_; }
    void SetBitmap(const QPixmap& value) { bitmap_ = value; }
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value) { caption_ = value; }
    // The checked radio button, 0-based; -1 checks none.
    int ChoiceIndex() const { return choiceIndex_; }
    void SetChoiceIndex(int value);
    QStringList Choices() const { return choices_; }
    void SetChoices(const QStringList& value) { choices_ = value; }
    QColor Color() const { return color_; } // invalid: the style's window colour
    void SetColor(const QColor& value) { color_ = value; }
    Qt::CursorShape Cursor() const { return cursor_; }
    void SetCursor(Qt::CursorShape value) { cursor_ = value; }
    QFont Font() const { return font_; }
    void SetFont(const QFont& value);
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }
    QStringList Lines() const { return lines_; }
    void SetLines(const QStringList& value) { lines_ = value; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool value) { showHint_ = value; }
    int Spacing() const { return spacing_; }
    void SetSpacing(int value) { spacing_ = value; }
    // The dialog's stored position; -1 centres it on the screen.
    int Left() const { return left_; }
    int Top() const { return top_; }
    void SetPosition(int left, int top);

    // The click of a dialog button: hooks, OnButtonClick, then its modal
    // result closes a modal dialog. A sender that is none of the dialog's
    // buttons throws EMessenger.
    void ButtonClick(QObject* sender);

signals:
    void OnButtonClick(components::ui::TMessenger* messenger,
                       components::ui::TMessengerButton* button);
    void OnShow(components::ui::TMessenger* messenger, components::ui::TMessengerForm* form);
    void OnHide(components::ui::TMessenger* messenger, components::ui::TMessengerForm* form);
    void OnPaint(components::ui::TMessenger* messenger, components::ui::TMessengerForm* form);

protected:
    virtual void CreateForm();
    virtual void BuildForm();
    // Hooks for descendants; they run before the signals.
    virtual void DoShow() {}
    virtual void DoHide() {}
    virtual void DoButtonClick(TMessengerButton&) {}

private:
    friend class TMessengerEdit;
    friend class TMessengerGauge;

    components::TMessengerMeasures Measure();
    void PlaceControls(const components::TMessengerLayout& layout);
    void MakeButtons(const components::TMessengerLayout& layout);
    void ApplyEdit();
    void ApplyGauge();
    void DestroyForm();
    void CopyEditBack();

    std::unique_ptr<TMessengerForm> form_;
    // Depth of button-click handling: a dialog freed from inside its own
    // click is deleted once the click has returned.
    int inClick_ = 0;

    Qt::Alignment alignment_ = Qt::AlignLeft;
    TMessengerBitmapType bitmapType_ = TMessengerBitmapType::None;
    QPixmap bitmap_;
    std::array<TMessengerButton, 5> buttons_;
    TMessengerButtonLayout buttonLayout_;
    QString caption_;
    int choiceIndex_ = 0;
    QStringList choices_;
    QColor color_;
    Qt::CursorShape cursor_ = Qt::ArrowCursor;
    TMessengerEdit edit_;
    QFont font_;
    TMessengerGauge gauge_;
    int helpContext_ = 0;
    QStringList lines_;
    bool showHint_ = false;
    int spacing_ = 12;
    int left_ = -1;
    int top_ = -1;
};

} // namespace components::ui
