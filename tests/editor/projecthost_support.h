#pragma once
// A window stand-in for the project commands and the make pipeline: file
// dialogs answered from a script, every refresh counted, Project Options
// either "OK" through a callback or cancelled; and a copy of the sample
// project in a private folder.
#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "components/reopenlist.h"
#include "editor/makepipeline.h"
#include "editor/projectcommands.h"
#include "helpproject/build/helpviewer.h"

namespace projecttest {

class TRecordingHost : public editor::IProjectCommandHost, public editor::IMakeHost {
public:
    // Answers for the next dialogs; none left: cancelled.
    std::deque<std::optional<std::string>> OpenAnswers, SaveAnswers;
    std::vector<std::string> DialogTitles;
    std::vector<editor::TFileDialogSpec> Dialogs;
    int Replaced = 0, Stored = 0, Shown = 0, OptionsOpened = 0;
    std::vector<std::int32_t> KindChanges;
    bool Enabled = true, Busy = false, EverDisabled = false;
    std::string ProgressText;
    std::vector<std::string> ProgressTexts;
    std::vector<std::string> ErrorLog;
    std::vector<std::string> OpenedDocuments;
    // Project Options "OK": does what the person would; null: Cancel.
    std::function<void()> OnOptions;

    std::optional<std::string> PromptOpenFile(const editor::TFileDialogSpec& dialog) override;
    std::optional<std::string> PromptSaveFile(const editor::TFileDialogSpec& dialog) override;
    void StoreTopic() override { ++Stored; }
    void ShowTopic() override { ++Shown; }
    void ProjectReplaced() override { ++Replaced; }
    void HelpFileKindChanged(std::int32_t kind) override { KindChanges.push_back(kind); }
    void OpenDocument(const std::string& fileName) override { OpenedDocuments.push_back(fileName); }
    void AddRecentFile(const std::string& fileName) override { Recent.AddFile(fileName); }
    void RemoveRecentFile(const std::string& fileName) override { Recent.RemoveFile(fileName); }
    components::TReopenList Recent;
    void ShowProgressText(const std::string& text) override;
    void SetBusy(bool busy) override { Busy = busy; }
    void SetWindowEnabled(bool enabled) override;
    void ShowErrorLog(const std::vector<std::string>& lines) override { ErrorLog = lines; }
    void OpenProjectOptions() override;
};

class TRecordingViewer : public helpproject::IHelpViewer {
public:
    std::vector<helpproject::THelpViewRequest> Requests;
    void Show(const helpproject::THelpViewRequest& request) override {
        Requests.push_back(request);
    }
};

// The sample project copied to `folder`/`name`; its path.
std::string CopySample(const std::filesystem::path& folder, const std::string& name = "sample.bwv");

// The fake compilers of the test tools.
std::string FakeCompiler(const std::string& name);

// Sets an environment variable for the scope.
class TEnvScope {
public:
    TEnvScope(const char* name, const std::string& value);
    ~TEnvScope();
    TEnvScope(const TEnvScope&) = delete;
    TEnvScope& operator=(const TEnvScope&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace projecttest
