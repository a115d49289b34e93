#pragma once
// When a transfer from the dictionary server has taken too long. A server
// that sends a byte now and then must not hold the program: a timeout that
// each byte restarts never ends such a transfer. The watch ends it instead
// when, over the last window, fewer bytes arrived than the minimum rate
// asks for, or when the whole transfer takes longer than its size allows at
// that rate.
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

namespace speller {

struct TTransferLimits {
    // The span over which the rate is measured, in milliseconds.
    std::int64_t WindowMs = 30'000;
    // Slower than this over a whole window ends the transfer.
    std::int64_t MinBytesPerSecond = 1024;
};

class TTransferWatch {
public:
    // `maxBytes` is the most the transfer may bring: the size its deadline
    // allows for while the server has not announced one.
    TTransferWatch(TTransferLimits limits, std::int64_t maxBytes);

    // The size the server announced (negative: none).
    void SetAnnounced(std::int64_t bytes);
    // The bytes received `elapsedMs` after the request went out. Returns why
    // the transfer must end now, or an empty text while it may go on.
    std::string Check(std::int64_t elapsedMs, std::int64_t bytes);

    // The time the whole transfer may take.
    std::int64_t DeadlineMs() const;
    // How often Check should be asked: often enough to end a transfer soon
    // after the rule is broken, seldom enough to cost nothing.
    std::int64_t TickMs() const;

private:
    TTransferLimits limits_;
    std::int64_t maxBytes_;
    std::int64_t announced_ = -1;
    // (elapsed, bytes) seen over the last window and a little more.
    std::deque<std::pair<std::int64_t, std::int64_t>> samples_;
};

// "30", "0.4": milliseconds as the seconds a message names.
std::string SecondsText(std::int64_t milliseconds);

} // namespace speller
