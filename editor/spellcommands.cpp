#include "editor/spellcommands.h"

#include <string>
#include <vector>

#include "components/messengerseam.h"
#include "editor/editorcontext.h"
#include "speller/brindlewovenspellersettings.h"

namespace editor {

TSpellCommands::TSpellCommands(TEditorContext& context, TSpellerFactory makeSpeller,
                               TDownloadWindow showDownload)
    : context_(context), makeSpeller_(std::move(makeSpeller)),
      showDownload_(std::move(showDownload)) {}

TSpellCommands::~TSpellCommands() {
    try {
        FreeSpeller();
    } catch (...) {
    }
}

ITopicSpeller& TSpellCommands::CreateSpeller() {
    if (!speller_) {
        speller_ = makeSpeller_();
        speller_->LoadLanguage(speller::kSpellKey);
    }
    return *speller_;
}

void TSpellCommands::FreeSpeller() {
    if (!speller_)
        return;
    speller_->SaveLanguage(speller::kSpellKey);
    speller_.reset();
}

bool TSpellCommands::EnsureDictionaries() {
    if (CreateSpeller().DictionariesAvailable())
        return true;
    components::TQuestion question;
    question.Kind = components::TMessageKind::Information;
    question.Caption = std::string(kDownloadSpellCaption);
    question.Text = std::string(kDownloadSpellText);
    question.Buttons = {{"Download", components::mrOk, true, false},
                        {"Cancel", components::mrCancel, false, true}};
    if (context_.Messenger().Ask(question) == components::mrOk)
        HelpDownloadSpellExecute();
    return false;
}

void TSpellCommands::TopicSpellExecute() {
    if (speller_ && speller_->Running())
        return; // the open check goes on in its window
    if (!EnsureDictionaries())
        return;
    if (!speller_->CheckEditor())
        context_.Messenger().ShowMessage(components::TMessageKind::Information,
                                         std::string(kSpellerDoneCaption),
                                         std::string(kSpellerDoneText));
}

void TSpellCommands::ProjectSpellExecute() {
    if (speller_ && speller_->Running())
        return;
    if (!EnsureDictionaries())
        return;
    TTopicEditor& topics = context_.TopicEditor();
    helpproject::TEditingSession& session = context_.Session();
    helpproject::TBrindlewovenTopic* remembered = session.CurrentTopic();
    const std::int32_t rememberedNumber = remembered ? remembered->Number : 0;
    topics.StoreTopic();
    // The grid's order as it stands now; a topic deleted meanwhile is passed.
    std::vector<std::int32_t> numbers;
    for (const helpproject::TBrindlewovenTopic* topic : context_.Project().SortedTopics())
        numbers.push_back(topic->Number);
    ITopicSpeller& speller = *speller_;
    speller.SetKeepFormVisible(true);
    bool aborted = false;
    try {
        for (std::int32_t number : numbers) {
            helpproject::TBrindlewovenTopic* topic = context_.Project().FindTopic(number);
            if (!topic)
                continue;
            session.SetCurrentTopic(topic);
            topics.ShowTopic();
            aborted = speller.CheckEditor();
            topics.StoreTopic();
            if (aborted)
                break;
        }
    } catch (...) {
        speller.SetKeepFormVisible(false);
        throw;
    }
    speller.SetKeepFormVisible(false);
    if (aborted)
        return; // the topic where the check stopped stays on screen
    context_.Messenger().ShowMessage(components::TMessageKind::Information,
                                     std::string(kSpellerDoneCaption),
                                     std::string(kSpellerDoneText));
    if (helpproject::TBrindlewovenTopic* topic = context_.Project().FindTopic(rememberedNumber)) {
        session.SetCurrentTopic(topic);
        topics.ShowTopic();
    }
}

void TSpellCommands::HelpDownloadSpellExecute() {
    if (speller_ && speller_->Running())
        return;
    FreeSpeller(); // no dictionary file stays open while files change
    showDownload_();
}

void TSpellCommands::ApplicationActivated() {
    if (speller_)
        speller_->LoadUserDictionary();
}

void TSpellCommands::ApplicationDeactivated() {
    if (speller_)
        speller_->ReleaseUserDictionary();
}

} // namespace editor
