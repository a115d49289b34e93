#pragma once
// Running a program and waiting for its end: the seam the compiler runs go
// through, with the owner's event pump or an executor of its own.
#include <functional>
#include <string>
#include <vector>

namespace components {
class TAppRunner;
}

namespace helpproject {

// Runs a program and waits for its end.
class IProgramRunner {
public:
    struct TResult {
        bool Started = false;
        int ErrorNumber = 0; // errno of a failed start
        int ExitCode = 0;
    };
    virtual ~IProgramRunner() = default;
    // `workingFolder` empty keeps the caller's.
    virtual TResult RunAndWait(const std::vector<std::string>& argv,
                               const std::string& workingFolder) = 0;
};

// Runs through the owner's TAppRunner; `pump` processes the owner's events
// until its argument returns true (the UI pumps its event loop, batch runs a
// TQueuedExecutor).
class TAppRunnerProgramRunner : public IProgramRunner {
public:
    using TPump = std::function<void(const std::function<bool()>& done)>;
    TAppRunnerProgramRunner(components::TAppRunner& runner, TPump pump);
    TResult RunAndWait(const std::vector<std::string>& argv,
                       const std::string& workingFolder) override;

private:
    components::TAppRunner& runner_;
    TPump pump_;
};

// A runner with its own executor, for batch runs and tests.
class THeadlessProgramRunner : public IProgramRunner {
public:
    TResult RunAndWait(const std::vector<std::string>& argv,
                       const std::string& workingFolder) override;
};

} // namespace helpproject
