#pragma once
// The TextBar: font, size, colour, the four styles, alignment and bullets
// of the topic editor's selection, over TFormatBar. It mirrors the caret
// (Mirror(), run on every change of the editor's text or selection; Follow()
// connects a rich edit's signals to it) and never writes into the text
// while doing so, so moving the caret never marks the topic modified. The
// bar's actions (with their captions and keys) are for the window's Text
// menu too.
#include <QToolBar>

#include "editor/formatbar.h"

class QAction;
class QComboBox;
class QFont;
class QFontComboBox;
class QSpinBox;

namespace components::ui {
class TRicherEdit;
}

namespace editor::ui {

class TFormatBarWidget : public QToolBar, public IFormatBarView {
    Q_OBJECT
public:
    explicit TFormatBarWidget(TTopicEditor& editor, QWidget* parent = nullptr);

    // Mirrors `edit`'s caret from now on; Enter in the font boxes and a
    // colour choice give it the focus back.
    void Follow(components::ui::TRicherEdit* edit);
    void Mirror() { bar_.Mirror(); }
    const TFormatBarState& State() const { return bar_.State(); }
    TFormatBar& Bar() { return bar_; }

    QAction* ActionTextBold() const { return bold_; }
    QAction* ActionTextItalic() const { return italic_; }
    QAction* ActionTextUnderline() const { return underline_; }
    QAction* ActionTextStrikeout() const { return strikeout_; }
    QAction* ActionTextJustLeft() const { return justLeft_; }
    QAction* ActionTextJustCenter() const { return justCenter_; }
    QAction* ActionTextJustRight() const { return justRight_; }
    QAction* ActionTextBullet() const { return bullet_; }
    QAction* FontItem() const { return fontItem_; }
    QFontComboBox* ComboFont() const { return comboFont_; }
    QSpinBox* SpinFontSize() const { return spinFontSize_; }
    QComboBox* ComboColor() const { return comboColor_; }

    void ShowFormat(const TFormatBarState& state) override;
    // Gives the keyboard focus back to the editor the bar follows.
    void ReturnToEditor();

signals:
    // The selection became empty or not (Delete and Link... follow it).
    void SelectionPresenceChanged(bool hasSelection);

private:
    QAction* AddToggle(const QString& caption, const QKeySequence& key, const char* name,
                       void (TFormatBar::*toggle)());
    void FontDialog();
    // Sets on the selection what `font` changes from `shown` (the font the
    // dialog showed or last applied), which then becomes `font`.
    void ApplyFont(const QFont& font, QFont& shown);

    TFormatBar bar_;
    components::ui::TRicherEdit* edit_ = nullptr;
    QAction* bold_;
    QAction* italic_;
    QAction* underline_;
    QAction* strikeout_;
    QAction* justLeft_;
    QAction* justCenter_;
    QAction* justRight_;
    QAction* bullet_;
    QAction* fontItem_;
    QFontComboBox* comboFont_;
    QSpinBox* spinFontSize_;
    QComboBox* comboColor_;
    bool hadSelection_ = false;
};

} // namespace editor::ui
