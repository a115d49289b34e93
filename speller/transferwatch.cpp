#include "speller/transferwatch.h"

#include <algorithm>

namespace speller {

std::string SecondsText(std::int64_t milliseconds) {
    std::string text = std::to_string(milliseconds / 1000);
    const std::int64_t tenths = (milliseconds % 1000) / 100;
    if (tenths != 0) {
        text += '.';
        text += std::to_string(tenths);
    }
    return text;
}

TTransferWatch::TTransferWatch(TTransferLimits limits, std::int64_t maxBytes)
    : limits_(limits), maxBytes_(maxBytes) {
    limits_.WindowMs = std::max<std::int64_t>(limits_.WindowMs, 1);
    limits_.MinBytesPerSecond = std::max<std::int64_t>(limits_.MinBytesPerSecond, 1);
    samples_.emplace_back(0, 0);
}

void TTransferWatch::SetAnnounced(std::int64_t bytes) {
    announced_ = bytes;
}

std::int64_t TTransferWatch::DeadlineMs() const {
    // A size beyond the most the transfer may bring would only put the
    // deadline out of reach.
    const std::int64_t size = announced_ > 0 ? std::min(announced_, maxBytes_) : maxBytes_;
    return limits_.WindowMs + size * 1000 / limits_.MinBytesPerSecond;
}

std::int64_t TTransferWatch::TickMs() const {
    return std::clamp<std::int64_t>(limits_.WindowMs / 30, 10, 1000);
}

std::string TTransferWatch::Check(std::int64_t elapsedMs, std::int64_t bytes) {
    if (elapsedMs > DeadlineMs())
        return "The transfer was ended: it took longer than the " + SecondsText(DeadlineMs()) +
               " seconds its size allows.";
    samples_.emplace_back(elapsedMs, bytes);
    const std::int64_t windowStart = elapsedMs - limits_.WindowMs;
    if (windowStart < 0)
        return {};
    // The newest sample at or before the window's start is where it is
    // measured from; older ones are no longer needed.
    while (samples_.size() > 1 && samples_[1].first <= windowStart)
        samples_.pop_front();
    const std::int64_t inWindow = bytes - samples_.front().second;
    const std::int64_t spanMs = elapsedMs - samples_.front().first;
    if (inWindow * 1000 >= limits_.MinBytesPerSecond * spanMs)
        return {};
    if (bytes == 0)
        return "The server did not answer within " + SecondsText(limits_.WindowMs) + " seconds.";
    return "The transfer was ended: the server sent " + std::to_string(inWindow) +
           " bytes in the last " + SecondsText(limits_.WindowMs) + " seconds, less than " +
           std::to_string(limits_.MinBytesPerSecond) + " bytes a second.";
}

} // namespace speller
