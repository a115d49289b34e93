#pragma once
// The main window's commands that run an editing dialog: the link dialog
// (Link...), the button dialog (Insert Button...) and topic properties.
// Each dialog is created on first use and kept, and so is the model the
// link and button dialogs edit: their choices (the link kind, popup, the
// linked-text style, the sort order, the caption, ...) stay as left between
// uses. A model made for a project that is no longer open hands its choices
// on to one made for the open project.
#include <QObject>
#include <cstdint>
#include <memory>

namespace helpproject {
class TBrindlewovenProject;
}

namespace editor {
class TButtonDialogModel;
class TEditorContext;
class TLinkDialogModel;
} // namespace editor

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
    ~TDialogCommands() override;

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
    TLinkDialogModel& LinkModel();
    TButtonDialogModel& ButtonModel();

    TEditorContext& context_;
    TMainActions& actions_;
    TMarkupActions& markup_;
    QWidget& window_;
    ui::TLinkForm* linkForm_ = nullptr;
    ui::TButtonForm* buttonForm_ = nullptr;
    ui::TFootnoteForm* footnoteForm_ = nullptr;
    std::unique_ptr<TLinkDialogModel> linkModel_;
    const helpproject::TBrindlewovenProject* linkProject_ = nullptr;
    std::unique_ptr<TButtonDialogModel> buttonModel_;
    const helpproject::TBrindlewovenProject* buttonProject_ = nullptr;
};

} // namespace editor::ui
