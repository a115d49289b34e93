#include "helpproject/build/programrunner.h"

#include "components/apprunner.h"
#include "components/executor.h"

namespace helpproject {

TAppRunnerProgramRunner::TAppRunnerProgramRunner(components::TAppRunner& runner, TPump pump)
    : runner_(runner), pump_(std::move(pump)) {}

IProgramRunner::TResult TAppRunnerProgramRunner::RunAndWait(const std::vector<std::string>& argv,
                                                            const std::string& workingFolder) {
    TResult result;
    bool ended = false;
    runner_.SetApplicationName("");
    runner_.SetCommandLine(argv);
    runner_.SetCurrentDirectory(workingFolder);
    auto previous = runner_.OnTerminated;
    runner_.OnTerminated = [&ended](components::TAppRunner&) { ended = true; };
    if (!runner_.Run()) {
        runner_.OnTerminated = previous;
        result.ErrorNumber = runner_.LastErrorNumber();
        return result;
    }
    result.Started = true;
    pump_([&ended] { return ended; });
    runner_.OnTerminated = previous;
    result.ExitCode = runner_.ExitCode();
    return result;
}

IProgramRunner::TResult THeadlessProgramRunner::RunAndWait(const std::vector<std::string>& argv,
                                                           const std::string& workingFolder) {
    components::TQueuedExecutor executor;
    components::TAppRunner runner(executor);
    // What a compiler starts ends with it.
    runner.SetEndsDescendants(true);
    TAppRunnerProgramRunner adapter(runner, [&executor](const std::function<bool()>& done) {
        while (!done())
            executor.RunOne(std::chrono::milliseconds(100));
    });
    return adapter.RunAndWait(argv, workingFolder);
}

} // namespace helpproject
