#pragma once
// "/silent": the installation with no window and no person. Every question
// takes its safe answer (the scripted messenger's), the backdrop and the
// done page are never shown, and the outcome is the exit status.
#include <string>

namespace setup {

class TSetupSession;

enum class TSilentExit : int {
    Done = 0,       // the installation completed
    Aborted = 1,    // an error's safe answer, a prerequisite still missing, a failed run
    NotAllowed = 2, // no rights, or the support library refused
    BadPackage = 3, // usage, or a package that cannot be read
};

// Runs an opened session silently. Prerequisites whose installer can run
// are installed and waited for (`installerTimeoutMs` each); one that is
// still missing afterwards ends the run.
TSilentExit RunSilent(TSetupSession& session, int installerTimeoutMs = 3600 * 1000);

} // namespace setup
