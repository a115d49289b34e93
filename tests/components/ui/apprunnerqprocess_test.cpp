// Qt starts programs of its own (QProcess, the desktop opener's detached
// launch). While a runner that ends descendants makes this process the
// child subreaper, those keep their own way: QProcess still learns how its
// child ended, and a detached program that comes back here runs on.
#include <QProcess>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "components/apprunner.h"
#include "components/executor.h"
#include "platform/processtree.h"

namespace {

using namespace std::chrono_literals;

TEST(AppRunnerBesideQProcess, QtsOwnChildrenKeepTheirWay) {
    QProcess process;
    process.start("/bin/sh", {"-c", "sleep 0.5; exit 5"});
    ASSERT_TRUE(process.waitForStarted());

    components::TQueuedExecutor executor;
    components::TAppRunner runner(executor);
    runner.SetEndsDescendants(true);
    runner.SetKillGrace(200ms);
    runner.SetCommandLine(
        {"/bin/sh", "-c", "(setsid sleep 60 </dev/null >/dev/null 2>&1 &); exec sleep 60"});
    ASSERT_TRUE(runner.Run());
    ASSERT_TRUE(platform::IsChildSubreaper());
    qint64 detached = 0;
    ASSERT_TRUE(QProcess::startDetached("/bin/sleep", {"60"}, {}, &detached));

    runner.Cancel();
    ASSERT_TRUE(executor.PumpUntil([&] { return runner.Terminated(); }, 20s));
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 5);

    const auto entry = platform::ReadProcess(static_cast<pid_t>(detached));
    ASSERT_TRUE(entry.has_value());
    EXPECT_NE(entry->State, 'Z');
    ::kill(static_cast<pid_t>(detached), SIGKILL);
    if (entry->ParentPid == ::getpid()) {
        int status = 0;
        while (::waitpid(static_cast<pid_t>(detached), &status, 0) < 0 && errno == EINTR) {
        }
    }
}

} // namespace
