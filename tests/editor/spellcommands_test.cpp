#include "editor/spellcommands.h"

#include <gtest/gtest.h>

#include "components/scriptedmessenger.h"
#include "editor/editorcontext.h"
#include "platform/registry.h"
#include "tests/editor/editorfixture_support.h"

namespace editor {
namespace {

using W = std::vector<std::string>;

// Records what the commands ask of the speller; aborts at a chosen check.
struct TSpellerLog {
    W calls;
    int checks = 0;
    int abortAtCheck = -1;
    bool available = true;
    int made = 0;
};

class TFakeSpeller : public ITopicSpeller {
public:
    TFakeSpeller(TSpellerLog& log, TEditorContext& context) : log_(log), context_(context) {
        ++log_.made;
    }
    ~TFakeSpeller() override { log_.calls.push_back("freed"); }
    bool DictionariesAvailable() const override { return log_.available; }
    bool Running() const override { return false; }
    bool CheckEditor() override {
        log_.calls.push_back("check " + std::to_string(context_.Session().CurrentTopic()->Number));
        return ++log_.checks == log_.abortAtCheck;
    }
    void SetKeepFormVisible(bool keep) override { log_.calls.push_back(keep ? "keep" : "unkeep"); }
    void LoadLanguage(std::string_view) override { log_.calls.push_back("load language"); }
    void SaveLanguage(std::string_view) override { log_.calls.push_back("save language"); }
    void LoadUserDictionary() override { log_.calls.push_back("load list"); }
    void ReleaseUserDictionary() override { log_.calls.push_back("release list"); }

private:
    TSpellerLog& log_;
    TEditorContext& context_;
};

class SpellCommandsTest : public ::testing::Test {
protected:
    SpellCommandsTest()
        : registry_(platform::OpenMemoryRegistry()), context_(messenger_, *registry_) {
        context_.CreateTopicEditor(view_);
        context_.Session().ReplaceProject(editortest::ProjectWith({10, 20, 30}));
        context_.TopicEditor().ProjectReplaced();
        commands_ = std::make_unique<TSpellCommands>(
            context_, [this] { return std::make_unique<TFakeSpeller>(log_, context_); },
            [this] { log_.calls.push_back("download window"); });
    }

    components::TScriptedMessenger messenger_;
    std::unique_ptr<platform::Registry> registry_;
    editortest::TFakeView view_;
    TEditorContext context_;
    TSpellerLog log_;
    std::unique_ptr<TSpellCommands> commands_;
};

TEST_F(SpellCommandsTest, SpellerMadeOnFirstUseAndFreedForTheDownload) {
    commands_->TopicSpellExecute();
    commands_->TopicSpellExecute();
    EXPECT_EQ(log_.made, 1);
    commands_->HelpDownloadSpellExecute();
    EXPECT_EQ(commands_->Speller(), nullptr);
    commands_->TopicSpellExecute(); // made again, with the new dictionaries
    EXPECT_EQ(log_.made, 2);
    EXPECT_EQ(log_.calls, (W{"load language", "check 10", "check 10", "save language", "freed",
                             "download window", "load language", "check 10"}));
    EXPECT_EQ(messenger_.Texts(components::TScriptedMessenger::TRecord::Message).size(), 3u);
    commands_->ApplicationDeactivated();
    commands_->ApplicationActivated();
    EXPECT_EQ(log_.calls.back(), "load list");
}

TEST_F(SpellCommandsTest, ProjectCheckStopsAtTheAbort) {
    log_.abortAtCheck = 2;
    commands_->ProjectSpellExecute();
    EXPECT_EQ(log_.calls, (W{"load language", "keep", "check 10", "check 20", "unkeep"}));
    EXPECT_EQ(context_.Session().CurrentTopic()->Number, 20);
    EXPECT_TRUE(messenger_.Records.empty());
}

TEST_F(SpellCommandsTest, NoDictionariesOffersTheDownload) {
    log_.available = false;
    messenger_.QueueAnswer(components::mrOk); // "Download"
    commands_->ProjectSpellExecute();
    ASSERT_EQ(messenger_.Records.size(), 1u);
    EXPECT_EQ(messenger_.Records[0].Caption, "Spell Check");
    EXPECT_EQ(log_.calls, (W{"load language", "save language", "freed", "download window"}));
}

} // namespace
} // namespace editor
