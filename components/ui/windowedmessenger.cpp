#include "components/ui/windowedmessenger.h"

#include <QCoreApplication>
#include <algorithm>
#include <climits>

#include "components/scriptedmessenger.h"
#include "components/ui/ansiqt.h"
#include "components/ui/messenger.h"
#include "components/ui/messengerform.h"

namespace components::ui {

namespace {

TMessengerBitmapType BitmapFor(components::TMessageKind kind) {
    switch (kind) {
    case components::TMessageKind::Confirmation:
        return TMessengerBitmapType::Confirmation;
    case components::TMessageKind::Error:
        return TMessengerBitmapType::Error;
    case components::TMessageKind::Information:
        return TMessengerBitmapType::Information;
    case components::TMessageKind::Warning:
        return TMessengerBitmapType::Warning;
    case components::TMessageKind::None:
        break;
    }
    return TMessengerBitmapType::None;
}

void ShowOnlyButton(TMessenger& messenger, const QString& caption, int modalResult) {
    TMessengerButton& button = messenger.GetButton(1);
    button.Caption = caption;
    button.ModalResult = modalResult;
    button.Default = true;
    button.Cancel = true;
    button.Visible = true;
    for (int i = 2; i <= 5; ++i)
        messenger.GetButton(i).Visible = false;
}

} // namespace

void ConfigureMessenger(TMessenger& messenger, const components::TQuestion& question) {
    messenger.SetBitmapType(BitmapFor(question.Kind));
    messenger.SetCaption(ToQString(question.Caption));
    messenger.SetText(ToQString(question.Text));
    for (int i = 1; i <= 5; ++i) {
        TMessengerButton& button = messenger.GetButton(i);
        std::size_t slot = std::size_t(i - 1);
        button.Visible = slot < question.Buttons.size();
        if (!button.Visible)
            continue;
        const components::TMessageButton& source = question.Buttons[slot];
        button.Caption = ToQString(source.Caption);
        button.ModalResult = source.ModalResult;
        button.Default = source.Default;
        button.Cancel = source.Cancel;
    }
    messenger.Edit().Visible = question.HasInput;
    messenger.Edit().SetText(ToQString(question.Input));
    QStringList choices;
    for (const std::string& choice : question.Choices)
        choices << ToQString(choice);
    messenger.SetChoices(choices);
    messenger.SetChoiceIndex(question.Choices.empty() ? -1 : question.ChoiceIndex);
}

TWindowedMessenger::TWindowedMessenger()
    : progress_(std::make_unique<TMessenger>()), warnings_(std::make_unique<TMessenger>()) {
    progress_->Gauge().Visible = true;
    // The gauge shows the speed colours rather than black on white.
    progress_->Gauge().ForeColor = QColor();
    progress_->Gauge().BackColor = QColor();
    ShowOnlyButton(*progress_, QStringLiteral("Cancel"), components::mrCancel);
    QObject::connect(progress_.get(), &TMessenger::OnButtonClick, [this] { abort_ = true; });

    warnings_->SetBitmapType(TMessengerBitmapType::Warning);
    warnings_->SetCaption(QStringLiteral("Warning"));
    ShowOnlyButton(*warnings_, QStringLiteral("OK"), components::mrOk);
    QObject::connect(warnings_.get(), &TMessenger::OnButtonClick, [this] {
        warnings_->SetLines({});
        warnings_->Close();
    });
}

TWindowedMessenger::~TWindowedMessenger() = default;

void TWindowedMessenger::ShowMessage(components::TMessageKind kind, const std::string& caption,
                                     const std::string& text) {
    components::TQuestion question;
    question.Kind = kind;
    question.Caption = caption;
    question.Text = text;
    question.Buttons = components::OkButtons();
    Ask(question);
}

int TWindowedMessenger::Ask(components::TQuestion& question) {
    TMessenger messenger;
    ConfigureMessenger(messenger, question);
    QObject::connect(&messenger, &TMessenger::OnButtonClick,
                     [&question](TMessenger* source, TMessengerButton* button) {
                         for (std::size_t slot = 0; slot < question.Buttons.size(); ++slot)
                             if (&source->GetButton(int(slot) + 1) == button &&
                                 question.Buttons[slot].Action)
                                 question.Buttons[slot].Action();
                     });
    if (question.Place)
        QObject::connect(&messenger, &TMessenger::OnShow,
                         [&question](TMessenger*, TMessengerForm* form) {
                             const QSize size = form->frameGeometry().size();
                             if (const auto at = question.Place(size.width(), size.height()))
                                 form->move(at->Left, at->Top);
                         });
    int result = messenger.Execute();
    if (components::ResultKeepsInput(result)) {
        if (question.HasInput)
            question.Input = FromQString(messenger.Edit().Text());
        if (!question.Choices.empty())
            question.ChoiceIndex = messenger.ChoiceIndex();
    }
    return result;
}

void TWindowedMessenger::Warning(const std::string& text) {
    QStringList lines = warnings_->Lines();
    lines << ToQString(text);
    warnings_->SetLines(lines);
    warnings_->Show();
}

void TWindowedMessenger::BeginProgress(const std::string& text, std::int64_t maximum) {
    abort_ = false;
    maximum = std::max<std::int64_t>(maximum, 1);
    progressDivisor_ = (maximum + INT_MAX - 1) / INT_MAX;
    progress_->SetText(ToQString(text));
    progress_->Gauge().SetMinValue(0);
    progress_->Gauge().SetMaxValue(static_cast<int>(maximum / progressDivisor_));
    progress_->Gauge().SetProgress(0);
    progress_->Show();
}

void TWindowedMessenger::SetProgressText(const std::string& text) {
    QString lines = ToQString(text);
    if (progress_->Lines().join(QLatin1Char('\n')) == lines)
        return;
    progress_->SetText(lines);
    if (progress_->Form())
        progress_->Show();
}

void TWindowedMessenger::SetProgress(std::int64_t position) {
    std::int64_t scaled = std::clamp<std::int64_t>(position / progressDivisor_, 0, INT_MAX);
    progress_->Gauge().SetProgress(static_cast<int>(scaled));
}

void TWindowedMessenger::EndProgress() {
    progress_->Close();
}

void TWindowedMessenger::ProcessEvents() {
    QCoreApplication::processEvents();
}

std::unique_ptr<components::IMessenger> MakeMessenger(bool personPresent, std::ostream* echo) {
    if (personPresent)
        return std::make_unique<TWindowedMessenger>();
    return std::make_unique<components::TScriptedMessenger>(echo);
}

} // namespace components::ui
