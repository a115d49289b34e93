#include "setup/volumeprompter.h"

#include "components/messengerseam.h"
#include "platform/codepage.h"
#include "platform/textutil.h"

namespace setup {

bool TMessengerVolumePrompter::AskForVolume(std::uint32_t /*number*/, std::string& fileName,
                                            const std::string& prompt) {
    const std::string name = ExtractFileName(fileName);
    components::TQuestion question;
    question.Kind = components::TMessageKind::Information;
    question.Caption = caption_;
    question.Text = prompt + "\r" + platform::Utf8ToCp1252(name);
    question.Buttons = components::OkCancelButtons();
    question.HasInput = true;
    question.Input = platform::Utf8ToCp1252(ExtractFileDir(fileName));
    if (messenger_.Ask(question) != components::mrOk)
        return false;
    std::string folder = platform::Trim(platform::Cp1252ToUtf8(question.Input));
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    if (!folder.empty())
        fileName = (folder == "/" ? folder : folder + "/") + name;
    return true;
}

} // namespace setup
