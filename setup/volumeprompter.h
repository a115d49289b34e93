#pragma once
// The prompt for a missing volume of a package, asked through the
// messenger: the package's text for it, the folder to look in (an input
// line the person may change, for a volume on another disc or in another
// folder), OK to look again and Cancel to stop the installation.
#include <string>

#include "setup/packagereader.h"

namespace components {
class IMessenger;
}

namespace setup {

class TMessengerVolumePrompter : public IVolumePrompter {
public:
    explicit TMessengerVolumePrompter(components::IMessenger& messenger) : messenger_(messenger) {}
    // The caption of the box (the wizard's).
    void SetCaption(std::string caption) { caption_ = std::move(caption); }

    bool AskForVolume(std::uint32_t number, std::string& fileName,
                      const std::string& prompt) override;

private:
    components::IMessenger& messenger_;
    std::string caption_;
};

} // namespace setup
