#include "platform/stopsignals.h"

#include <unistd.h>

#include <array>

namespace platform {

namespace {

constexpr std::array<int, 3> kStopSignals{SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t pendingSignal = 0;
int depth = 0;
std::array<struct sigaction, kStopSignals.size()> previous{};

void NoteStop(int signalNumber) {
    if (pendingSignal == 0)
        pendingSignal = signalNumber;
}

} // namespace

TStopSignalScope::TStopSignalScope() {
    if (depth++ > 0)
        return;
    struct sigaction action {};
    action.sa_handler = NoteStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i) {
        ::sigaction(kStopSignals[i], nullptr, &previous[i]);
        // A signal the program was started to ignore stays ignored.
        if (previous[i].sa_handler != SIG_IGN)
            ::sigaction(kStopSignals[i], &action, nullptr);
    }
}

TStopSignalScope::~TStopSignalScope() {
    if (--depth > 0)
        return;
    for (std::size_t i = 0; i < kStopSignals.size(); ++i)
        ::sigaction(kStopSignals[i], &previous[i], nullptr);
    if (const int signalNumber = pendingSignal)
        EndBySignal(signalNumber);
}

int StopRequested() {
    return pendingSignal;
}

void EndBySignal(int signalNumber) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(signalNumber, &action, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signalNumber);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signalNumber);
    ::_exit(128 + signalNumber); // a signal whose default is not to end
}

} // namespace platform
