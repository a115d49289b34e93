#include "projecthost_support.h"

#include <stdlib.h>

#include "components/messengerseam.h"
#include "editor/projectoptions.h"

namespace projecttest {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> Take(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty())
        return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

std::optional<std::string> TRecordingHost::PromptOpenFile(const editor::TFileDialogSpec& dialog) {
    DialogTitles.push_back(dialog.Title);
    Dialogs.push_back(dialog);
    return Take(OpenAnswers);
}

std::optional<std::string> TRecordingHost::PromptSaveFile(const editor::TFileDialogSpec& dialog) {
    DialogTitles.push_back(dialog.Title);
    Dialogs.push_back(dialog);
    return Take(SaveAnswers);
}

void TRecordingHost::ShowProgressText(const std::string& text) {
    ProgressText = text;
    ProgressTexts.push_back(text);
}

void TRecordingHost::SetWindowEnabled(bool enabled) {
    Enabled = enabled;
    EverDisabled = EverDisabled || !enabled;
}

void TRecordingHost::OpenProjectOptions() {
    ++OptionsOpened;
    if (!OnOptions)
        throw components::EAbort(editor::kOptionsDialogCanceled);
    OnOptions();
}

std::string CopySample(const fs::path& folder, const std::string& name) {
    fs::create_directories(folder);
    const fs::path target = folder / name;
    fs::copy_file(BW_SOURCE_DIR "/examples/sample/sample.bwv", target,
                  fs::copy_options::overwrite_existing);
    for (const char* picture : {"cup.bmp", "kettle.bmp", "leaf.bmp", "steep.swf"})
        fs::copy_file(fs::path(BW_SOURCE_DIR "/examples/sample") / picture, folder / picture,
                      fs::copy_options::overwrite_existing);
    return target.string();
}

std::string FakeCompiler(const std::string& name) {
    return BW_SOURCE_DIR "/tests/tools/fakes/" + name;
}

TEnvScope::TEnvScope(const char* name, const std::string& value) : name_(name) {
    if (const char* old = ::getenv(name))
        old_ = old;
    ::setenv(name, value.c_str(), 1);
}

TEnvScope::~TEnvScope() {
    if (old_)
        ::setenv(name_, old_->c_str(), 1);
    else
        ::unsetenv(name_);
}

} // namespace projecttest
