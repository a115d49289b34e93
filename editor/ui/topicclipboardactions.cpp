#include "editor/ui/topicclipboardactions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "components/ui/ansiqt.h"
#include "editor/editorcontext.h"
#include "editor/topicclipboardcommands.h"
#include "editor/ui/mainactions.h"
#include "editor/ui/topicclipboardformat.h"

namespace editor::ui {

using components::ui::ToQString;

TTopicClipboardActions::TTopicClipboardActions(TEditorContext& context, TMainActions& actions,
                                               QObject* parent)
    : QObject(parent), context_(context), actions_(actions),
      commands_(std::make_unique<TTopicClipboardCommands>(context.TopicEditor())) {
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TTopicClipboardActions::UpdatePaste);
}

TTopicClipboardActions::~TTopicClipboardActions() = default;

void TTopicClipboardActions::BindActions() {
    auto bind = [this](const char* name, void (TTopicClipboardActions::*command)(std::int32_t)) {
        actions_.Bind(
            name, [this, command] { context_.Run([&] { (this->*command)(CurrentNumber()); }); });
    };
    bind("ActionTopicCopy", &TTopicClipboardActions::Copy);
    bind("ActionTopicCut", &TTopicClipboardActions::Cut);
    bind("ActionTopicPaste", &TTopicClipboardActions::Paste);
    UpdatePaste();
}

std::int32_t TTopicClipboardActions::CurrentNumber() const {
    return context_.Session().CurrentTopic()->Number;
}

namespace {

void PlaceOnClipboard(const TTopicClipboardContent& content) {
    auto* data = new QMimeData;
    data->setData(TopicClipboardMimeType(),
                  QByteArray(content.Record.data(), static_cast<qsizetype>(content.Record.size())));
    data->setText(ToQString(content.Text));
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace

void TTopicClipboardActions::Copy(std::int32_t number) {
    PlaceOnClipboard(commands_->Copy(number));
}

void TTopicClipboardActions::Cut(std::int32_t number) {
    PlaceOnClipboard(commands_->Cut(number));
}

void TTopicClipboardActions::Paste(std::int32_t number) {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data == nullptr || !data->hasFormat(TopicClipboardMimeType()))
        return;
    const QByteArray record = data->data(TopicClipboardMimeType());
    commands_->Paste(number,
                     std::string_view(record.constData(), static_cast<std::size_t>(record.size())));
}

bool TTopicClipboardActions::PasteAvailable() const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data != nullptr && data->hasFormat(TopicClipboardMimeType());
}

void TTopicClipboardActions::UpdatePaste() {
    if (QAction* paste = actions_.Action("ActionTopicPaste"))
        paste->setEnabled(PasteAvailable());
}

} // namespace editor::ui
