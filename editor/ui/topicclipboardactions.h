#pragma once
// Topic Cut, Copy and Paste through the system clipboard: the topic format
// ("Brindlewoven topic") together with the title as plain text, so that
// topics move between projects and between running copies of the program.
// Paste is enabled exactly while the clipboard holds the topic format.
#include <QObject>
#include <cstdint>
#include <memory>

namespace editor {
class TEditorContext;
class TTopicClipboardCommands;
} // namespace editor

namespace editor::ui {

class TMainActions;

class TTopicClipboardActions : public QObject {
    Q_OBJECT

public:
    TTopicClipboardActions(TEditorContext& context, TMainActions& actions, QObject* parent);
    ~TTopicClipboardActions() override;

    // Binds Cut, Copy and Paste of the Topic menu (the current topic).
    void BindActions();

    // The commands for any topic (the grid's rows).
    void Copy(std::int32_t number);
    void Cut(std::int32_t number);
    void Paste(std::int32_t number);
    bool PasteAvailable() const;

private:
    void UpdatePaste();
    std::int32_t CurrentNumber() const;

    TEditorContext& context_;
    TMainActions& actions_;
    std::unique_ptr<TTopicClipboardCommands> commands_;
};

} // namespace editor::ui
