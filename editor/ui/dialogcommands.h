#pragma once
// The main window's commands that run an editing dialog: the link dialog
// (Link...), the button dialog (Insert Button...) and topic properties.
// Each dialog is created on first use and kept, so it keeps its state
// between uses; the model it edits is made for each use from the open
// project.
#include <QObject>
#include <cstdint>

namespace editor {
class TEditorContext;
}

class QWidget;

namespace editor::ui {
class TButtonForm;
class TFootnoteForm;
class TLinkForm;
} // namespace editor::ui

namespace editor::ui {

class TMainActions;
class TMarkupActions;

class TDialogCommands : public QObject {
    Q_OBJECT

public:
    // The dialogs open over `window`.
    TDialogCommands(TEditorContext& context, TMainActions& actions, TMarkupActions& markup,
                    QWidget& window);

    // Binds Link..., Insert Button... and Properties... of the window.
    void BindActions();

    // The link dialog over the selection; OK inserts its code.
    void InsertLinkSpecial();
    // The button dialog; OK inserts "{button caption,action}".
    void InsertButton();
    // The properties of a topic (the current one for the Topic menu).
    void TopicProperties(std::int32_t number);

    // The dialogs, once created (nullptr before the first use).
    ui::TLinkForm* LinkForm() const { return linkForm_; }
    ui::TButtonForm* ButtonForm() const { return buttonForm_; }
    ui::TFootnoteForm* FootnoteForm() const { return footnoteForm_; }

private:
    TEditorContext& context_;
    TMainActions& actions_;
    TMarkupActions& markup_;
    QWidget& window_;
    ui::TLinkForm* linkForm_ = nullptr;
    ui::TButtonForm* buttonForm_ = nullptr;
    ui::TFootnoteForm* footnoteForm_ = nullptr;
};

} // namespace editor::ui
