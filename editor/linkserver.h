#pragma once
// The main window's side of the client link: a table of 16 client windows,
// each with a flag that chooses the topic list it receives, the eight
// commands clients send and the two replies the window sends back.
//
// Commands arrive as frames (editor/linkprotocol.h) from a connection; a
// client's window is the connection together with the window id it chose.
// Every command gets one result frame; the replies (topic lists, a topic's
// fields) are queued as the window's own posted messages and go out after
// the result. Requests that arrive while the window is busy (a command or
// its modal dialog, a make, a bulk operation) wait in order until it is
// idle. The transport (a local socket) lives at the window's edge.
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "editor/linkprotocol.h"

namespace editor {

class TEditorContext;

struct TLinkClient {
    std::uint64_t Connection = 0;
    std::uint32_t Window = 0;

    bool operator==(const TLinkClient&) const = default;
};

inline constexpr std::string_view kActiveLinkMessage =
    "Brindlewoven has an active link with another application.\n"
    "Please close the link or client application first.";

class TLinkServer {
public:
    static constexpr std::size_t kSlotCount = 16;

    // Command numbers.
    enum : std::uint32_t {
        cmRegister = 1,
        cmUnregister = 2,
        cmSelectList0 = 3,
        cmSelectList1 = 4,
        cmShowTopic = 5,
        cmCreateTopic = 6,
        cmRequestTopic = 7,
        cmInsertLink = 8,
    };
    // Reply numbers.
    enum : std::uint32_t { rpTopicList = 1, rpTopicData = 2 };

    struct TSlot {
        bool Used = false;
        TLinkClient Client;
        std::uint8_t Flag = 0;
    };

    // `send` delivers a frame to a connection (one that is gone drops it).
    using TSend = std::function<void(std::uint64_t connection, const TLinkFrame& frame)>;
    TLinkServer(TEditorContext& context, TSend send);

    // The window's own test of idleness besides the context's Busy and the
    // topic editor's bulk operations (the window adds its modal dialogs).
    void SetIdleCheck(std::function<bool()> idle) { idle_ = std::move(idle); }
    // Called whenever work is queued: the window schedules a Pump.
    void SetWorkQueued(std::function<void()> queued) { workQueued_ = std::move(queued); }

    // A frame from a connection. Commands are queued and run by Pump; other
    // kinds are not for the window and are dropped.
    void Submit(std::uint64_t connection, TLinkFrame frame);
    // Runs queued posted replies and requests, in order, while the window
    // is idle. Returns whether work is left (the window was busy).
    bool Pump();
    bool HasWork() const { return !posted_.empty() || !requests_.empty(); }
    // Bytes of a connection's commands that wait to run (header and
    // payload of each frame).
    std::size_t QueuedBytes(std::uint64_t connection) const;
    bool Idle() const;
    // A connection closed: the slots of its windows are freed and what was
    // queued for or from it is dropped.
    void Disconnected(std::uint64_t connection);

    // Runs one command at once and returns its result; its replies are
    // queued. `data` is the command's payload.
    std::int32_t Execute(const TLinkClient& client, std::uint32_t command, std::string_view data);

    // Queues a topic list for every registered client, in slot order.
    void NotifyLinkClients();
    bool AnyClientRegistered() const;
    // Whether the window may close: not while a client is registered (the
    // two-line error is shown then).
    bool CloseQuery();
    const std::array<TSlot, kSlotCount>& Slots() const { return slots_; }

    // The reply texts, zero-terminated: the picker list of the flag's style
    // and a topic's nine fields, lines joined by CRLF.
    std::string TopicListText(std::uint8_t flag) const;
    std::string TopicDataText(std::int32_t number) const;

private:
    struct TPost {
        std::uint32_t Reply = 0;
        TLinkClient Client;
        std::int32_t Value = 0;
    };
    struct TRequest {
        std::uint64_t Connection = 0;
        TLinkFrame Frame;
    };

    TSlot* FindSlot(const TLinkClient& client);
    void Post(std::uint32_t reply, const TLinkClient& client, std::int32_t value);
    void RunPost(const TPost& post);
    void RunRequest(const TRequest& request);
    std::int32_t ShowTopic(std::int32_t number);
    std::int32_t CreateTopic(std::string_view text);
    std::int32_t RequestTopic(const TLinkClient& client, std::int32_t number);
    void InsertLink(std::int32_t number);

    TEditorContext& context_;
    TSend send_;
    std::function<bool()> idle_;
    std::function<void()> workQueued_;
    std::array<TSlot, kSlotCount> slots_{};
    std::deque<TPost> posted_;
    std::deque<TRequest> requests_;
    std::map<std::uint64_t, std::size_t> queuedBytes_;
    bool pumping_ = false;
};

// The lines of a text between its line breaks (CRLF, LF or CR): n breaks
// make n + 1 lines, so the nine fields of a topic reply read back as nine
// lines even when the last one is empty.
std::vector<std::string> SplitLinkLines(std::string_view text);

} // namespace editor
