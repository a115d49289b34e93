#include "apps/setup/wizardentry.h"

#include <QMessageBox>

#include "platform/registry.h"
#include "platform/systemfolders.h"
#include "setup/setupmain.h"

int RunSetupWizard(const std::string& /*packagePath*/, const std::string& /*selfPath*/,
                   const platform::SystemRoots& /*roots*/, platform::Registry& /*registry*/) {
    QMessageBox::critical(nullptr, QString::fromUtf8(setup::kSetupCaption),
                          "The setup wizard is not part of this build.");
    return 1;
}
