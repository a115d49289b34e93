#include "speller/transferwatch.h"

#include <gtest/gtest.h>

#include <functional>

namespace speller {
namespace {

// Feeds the watch a transfer sample by sample, every `tick` milliseconds,
// with the bytes `bytesAt` says arrived by then; returns when and why it
// ended the transfer (-1: it let the transfer go on until `until`).
struct TOutcome {
    std::int64_t endedAt = -1;
    std::string reason;
};
TOutcome Feed(TTransferWatch& watch, std::int64_t tick, std::int64_t until,
              const std::function<std::int64_t(std::int64_t)>& bytesAt) {
    for (std::int64_t t = 0; t <= until; t += tick) {
        std::string reason = watch.Check(t, bytesAt(t));
        if (!reason.empty())
            return {t, reason};
    }
    return {};
}

TEST(TransferWatch, EndsWhatIsSlowerThanTheMinimumOverAWindow) {
    const TTransferLimits limits{30'000, 1024};
    struct Case {
        const char* name;
        std::function<std::int64_t(std::int64_t)> bytesAt;
        std::int64_t endedAt; // -1: never within the ten minutes looked at
        const char* reason;
    } cases[] = {
        {"steady 2 KB a second", [](std::int64_t t) { return t * 2; }, -1, ""},
        {"exactly the minimum", [](std::int64_t t) { return t * 1024 / 1000; }, -1, ""},
        // One byte every 5 s: a timeout that each byte restarts never fired.
        {"one byte every five seconds", [](std::int64_t t) { return t / 5000; }, 30'000,
         "sent 6 bytes in the last 30 seconds, less than 1024 bytes a second"},
        {"no answer at all", [](std::int64_t) { return 0; }, 30'000,
         "The server did not answer within 30 seconds."},
        // 4,000 bytes a second for a minute, then nothing: ended as soon as
        // the last 30 s brought less than the minimum asks for.
        {"stops after a minute",
         [](std::int64_t t) { return std::min<std::int64_t>(t, 60'000) * 4; }, 83'000,
         "sent 28000 bytes in the last 30 seconds"},
        // Bursts that keep the average up are let go on.
        {"bursts every ten seconds", [](std::int64_t t) { return (t / 10'000) * 20'000; }, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TTransferWatch watch(limits, std::int64_t(256) << 20);
        TOutcome outcome = Feed(watch, 1000, 600'000, c.bytesAt);
        EXPECT_EQ(outcome.endedAt, c.endedAt);
        EXPECT_NE(outcome.reason.find(c.reason), std::string::npos) << outcome.reason;
    }
}

TEST(TransferWatch, DeadlineScalesWithTheAnnouncedSize) {
    const TTransferLimits limits{30'000, 1000};
    TTransferWatch unknown(limits, 1'000'000);
    EXPECT_EQ(unknown.DeadlineMs(), 30'000 + 1'000'000);
    TTransferWatch announced(limits, 1'000'000);
    announced.SetAnnounced(60'000);
    EXPECT_EQ(announced.DeadlineMs(), 30'000 + 60'000);
    // An announcement beyond what may arrive does not stretch it.
    announced.SetAnnounced(1'000'000'000);
    EXPECT_EQ(announced.DeadlineMs(), 30'000 + 1'000'000);

    // A server that keeps up the minimum rate but never ends (it sends more
    // than it announced) is ended at the deadline.
    TTransferWatch liar(limits, 1'000'000);
    liar.SetAnnounced(10'000);
    TOutcome outcome = Feed(liar, 1000, 600'000, [](std::int64_t t) { return t * 2; });
    EXPECT_EQ(outcome.endedAt, 41'000);
    EXPECT_EQ(outcome.reason,
              "The transfer was ended: it took longer than the 40 seconds its size allows.");
}

TEST(TransferWatch, ShortWindowsForTests) {
    TTransferWatch watch({400, 1024}, 1 << 20);
    EXPECT_EQ(watch.TickMs(), 13);
    TOutcome outcome = Feed(watch, 10, 5000, [](std::int64_t t) { return t < 100 ? t : 100; });
    EXPECT_EQ(outcome.endedAt, 400);
    EXPECT_NE(outcome.reason.find("in the last 0.4 seconds"), std::string::npos) << outcome.reason;
    EXPECT_EQ(SecondsText(30'000), "30");
    EXPECT_EQ(SecondsText(1'500), "1.5");
}

} // namespace
} // namespace speller
