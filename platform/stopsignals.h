#pragma once
// Work that owns child processes and temporary files (a make running its
// help compiler) must not leave them behind when the program is told to
// stop. While a TStopSignalScope lives, SIGTERM, SIGINT and SIGHUP only note
// that a stop was asked for; the work polls StopRequested, ends its
// children and unwinds, and when the outermost scope ends the program ends
// by that signal as it would have at once.
#include <csignal>

namespace platform {

class TStopSignalScope {
public:
    TStopSignalScope();
    // Restores the handlers the program had; the outermost scope then ends
    // the program by a stop signal that came while it lived.
    ~TStopSignalScope();
    TStopSignalScope(const TStopSignalScope&) = delete;
    TStopSignalScope& operator=(const TStopSignalScope&) = delete;
};

// The stop signal that came while a scope lived, or 0.
int StopRequested();

// Ends the program by `signalNumber` with its default action (as if no
// handler had been there). Used by the outermost scope.
[[noreturn]] void EndBySignal(int signalNumber);

} // namespace platform
