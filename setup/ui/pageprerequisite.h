#pragma once
// The prerequisite page: what is missing, why no installer runs when one
// cannot, and where to download it. While it shows, a timer watches the
// installer started for it; its end lets the run go on by itself.
#include <QWidget>

#include "setup/wizardflow.h"

class QLabel;
class QTimer;

namespace components::ui {
class TURLLabel;
}

namespace setup::ui {

class TPagePrerequisite : public QWidget {
    Q_OBJECT

public:
    explicit TPagePrerequisite(TWizardFlow& flow, QWidget* parent = nullptr);

    // The flow's prompt; starts watching the installer.
    void Fill();
    void StopWatching();

signals:
    // The installer ended while the page showed.
    void InstallerEnded();

private:
    TWizardFlow& flow_;
    QLabel* labelPrerequisite_ = nullptr;
    QLabel* labelDetail_ = nullptr;
    components::ui::TURLLabel* label3rdPartyURL_ = nullptr;
    QTimer* timer3rdParty_ = nullptr;
};

} // namespace setup::ui
