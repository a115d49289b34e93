#include "editor/linkserver.h"

#include <charconv>

#include "components/messengerseam.h"
#include "editor/defaulttextstyles.h"
#include "editor/editorcontext.h"
#include "editor/topicfieldlimits.h"
#include "editor/topicnumbering.h"
#include "helpproject/brindlewovenerror.h"
#include "helpproject/helputils.h"

namespace editor {

using helpproject::TBrindlewovenProject;
using helpproject::TBrindlewovenTopic;

namespace {

// A whole decimal number, 0 for anything else.
std::int32_t NumberOrZero(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return 0;
    return value;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += lines[i];
    }
    out.push_back('\0');
    return out;
}

// A topic list as reply 1 carries it. A list the wire cannot carry whole
// is cut after the last line that fits, and a last line of its own,
// "[N more topics not listed]", says what is missing: it reads as neither
// "Title (n)" nor "n: Title", so no client takes it for a topic.
std::string JoinListLines(const std::vector<std::string>& lines) {
    std::size_t whole = lines.empty() ? 1 : 2 * lines.size() - 1;
    for (const std::string& line : lines)
        whole += line.size();
    if (whole <= kMaxLinkPayload)
        return JoinLines(lines);
    // Room for the last line with any count, its line break and the zero.
    constexpr std::size_t kCutLineRoom = 64;
    std::string out;
    std::size_t taken = 0;
    for (; taken < lines.size(); ++taken) {
        const std::size_t grown = out.size() + (taken > 0 ? 2 : 0) + lines[taken].size();
        if (grown + kCutLineRoom > kMaxLinkPayload)
            break;
        if (taken > 0)
            out += "\r\n";
        out += lines[taken];
    }
    if (taken > 0)
        out += "\r\n";
    out += "[" + std::to_string(lines.size() - taken) + " more topics not listed]";
    out.push_back('\0');
    return out;
}

rtf::CharFormat Colored(helpproject::TColor color) {
    rtf::CharFormat format;
    format.color = rtf::Color::FromTColor(static_cast<std::uint32_t>(color));
    return format;
}

} // namespace

std::vector<std::string> SplitLinkLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        lines.emplace_back(text.substr(start, end - start));
        if (end == text.size())
            return lines;
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
}

TLinkServer::TLinkServer(TEditorContext& context, TSend send)
    : context_(context), send_(std::move(send)) {}

TLinkServer::TSlot* TLinkServer::FindSlot(const TLinkClient& client) {
    for (TSlot& slot : slots_)
        if (slot.Used && slot.Client == client)
            return &slot;
    return nullptr;
}

bool TLinkServer::AnyClientRegistered() const {
    for (const TSlot& slot : slots_)
        if (slot.Used)
            return true;
    return false;
}

bool TLinkServer::CloseQuery() {
    if (!AnyClientRegistered())
        return true;
    context_.Messenger().ShowMessage(components::TMessageKind::Error, "Error",
                                     std::string(kActiveLinkMessage));
    return false;
}

bool TLinkServer::Idle() const {
    if (context_.Busy())
        return false;
    if (context_.HasTopicEditor() && context_.TopicEditor().BulkUpdate())
        return false;
    return !idle_ || idle_();
}

// ---- queues -------------------------------------------------------------------

void TLinkServer::Submit(std::uint64_t connection, TLinkFrame frame) {
    if (frame.Kind != TLinkFrameKind::Command)
        return;
    queuedBytes_[connection] += kLinkHeaderSize + frame.Payload.size();
    requests_.push_back({connection, std::move(frame)});
    if (workQueued_)
        workQueued_();
}

void TLinkServer::Post(std::uint32_t reply, const TLinkClient& client, std::int32_t value) {
    posted_.push_back({reply, client, value});
    if (workQueued_)
        workQueued_();
}

bool TLinkServer::Pump() {
    if (pumping_)
        return HasWork();
    pumping_ = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } reset{pumping_};
    while (HasWork() && Idle()) {
        // A command's replies go out before the next command runs, as the
        // window's posted messages would.
        if (!posted_.empty()) {
            const TPost post = posted_.front();
            posted_.pop_front();
            RunPost(post);
        } else {
            const TRequest request = std::move(requests_.front());
            requests_.pop_front();
            const auto queued = queuedBytes_.find(request.Connection);
            if (queued != queuedBytes_.end() &&
                (queued->second -= kLinkHeaderSize + request.Frame.Payload.size()) == 0)
                queuedBytes_.erase(queued);
            RunRequest(request);
        }
    }
    return HasWork();
}

void TLinkServer::Disconnected(std::uint64_t connection) {
    for (TSlot& slot : slots_)
        if (slot.Used && slot.Client.Connection == connection)
            slot = TSlot{};
    std::erase_if(posted_, [&](const TPost& post) { return post.Client.Connection == connection; });
    std::erase_if(requests_,
                  [&](const TRequest& request) { return request.Connection == connection; });
    queuedBytes_.erase(connection);
}

std::size_t TLinkServer::QueuedBytes(std::uint64_t connection) const {
    const auto queued = queuedBytes_.find(connection);
    return queued == queuedBytes_.end() ? 0 : queued->second;
}

void TLinkServer::RunRequest(const TRequest& request) {
    const TLinkClient client{request.Connection, request.Frame.Window};
    const std::int32_t result = Execute(client, request.Frame.Number, request.Frame.Payload);
    send_(request.Connection,
          {TLinkFrameKind::Result, client.Window, request.Frame.Number, result, std::string()});
}

void TLinkServer::RunPost(const TPost& post) {
    std::string text;
    if (post.Reply == rpTopicList) {
        text = TopicListText(static_cast<std::uint8_t>(post.Value));
    } else {
        if (!context_.Project().FindTopic(post.Value))
            return; // deleted since it was asked for
        text = TopicDataText(post.Value);
    }
    if (text.size() > kMaxLinkPayload)
        return; // a topic's fields grown past the wire since the request
    send_(post.Client.Connection,
          {TLinkFrameKind::Reply, post.Client.Window, post.Reply, 0, std::move(text)});
}

void TLinkServer::NotifyLinkClients() {
    for (const TSlot& slot : slots_)
        if (slot.Used)
            Post(rpTopicList, slot.Client, slot.Flag);
}

// ---- replies -------------------------------------------------------------------

std::string TLinkServer::TopicListText(std::uint8_t flag) const {
    const TBrindlewovenProject& project = context_.Project();
    const helpproject::TTopicList& list =
        flag == 1 ? project.TopicsByNumber() : project.TopicsByTitle();
    std::vector<std::string> lines;
    lines.reserve(list.size());
    // A control character (a zero, a line break from an older file) would
    // end or split the line it stands in.
    for (const auto& item : list)
        lines.push_back(helpproject::StripControlChars(item.Text));
    return JoinListLines(lines);
}

std::string TLinkServer::TopicDataText(std::int32_t number) const {
    const TBrindlewovenTopic& topic = *context_.Project().TopicByNumber(number);
    std::vector<std::string> fields = {std::to_string(topic.Number),
                                       topic.Title,
                                       topic.KKeywords,
                                       topic.BKeywords,
                                       topic.BrowseSequence,
                                       topic.BuildTag,
                                       topic.Status,
                                       topic.Window,
                                       topic.EntryMacro};
    for (std::string& field : fields)
        field = helpproject::StripControlChars(field);
    return JoinLines(fields);
}

// ---- commands ------------------------------------------------------------------

std::int32_t TLinkServer::Execute(const TLinkClient& client, std::uint32_t command,
                                  std::string_view data) {
    TSlot* slot = FindSlot(client);
    std::int32_t number = 0;
    switch (command) {
    case cmRegister: {
        if (slot)
            return 0;
        for (TSlot& free : slots_)
            if (!free.Used) {
                free = {true, client, 0};
                Post(rpTopicList, client, 0);
                return 1;
            }
        return 0;
    }
    case cmUnregister:
        if (!slot)
            return 0;
        *slot = TSlot{};
        return 1;
    case cmSelectList0:
    case cmSelectList1:
        if (!slot)
            return 0;
        slot->Flag = command == cmSelectList1 ? 1 : 0;
        Post(rpTopicList, client, slot->Flag);
        return 1;
    case cmShowTopic:
        return ReadLinkNumber(data, number) ? ShowTopic(number) : 0;
    case cmCreateTopic: {
        const std::size_t end = data.find('\0');
        return end == std::string_view::npos ? 0 : CreateTopic(data.substr(0, end));
    }
    case cmRequestTopic:
        return ReadLinkNumber(data, number) ? RequestTopic(client, number) : 0;
    case cmInsertLink:
        if (ReadLinkNumber(data, number))
            InsertLink(number);
        return 0;
    default:
        return 0;
    }
}

std::int32_t TLinkServer::ShowTopic(std::int32_t number) {
    context_.Run([&] { context_.TopicEditor().GoToNumberFrom(number); });
    return 1;
}

std::int32_t TLinkServer::CreateTopic(std::string_view text) {
    std::vector<std::string> lines = SplitLinkLines(text);
    // What the project file would drop anyway never enters the topic.
    for (std::string& line : lines)
        line = helpproject::StripControlChars(line);
    // A field longer than its box takes is refused before anything is
    // stored or shown: laid out in the window it would hold it for minutes.
    if (lines.size() == 9 && !TopicFieldTooLong({{TTopicField::Title, lines[1]},
                                                 {TTopicField::KKeywords, lines[2]},
                                                 {TTopicField::BKeywords, lines[3]},
                                                 {TTopicField::BrowseSequence, lines[4]},
                                                 {TTopicField::BuildTag, lines[5]},
                                                 {TTopicField::Status, lines[6]},
                                                 {TTopicField::Window, lines[7]},
                                                 {TTopicField::EntryMacro, lines[8]}})
                                  .empty())
        return 0;
    std::int32_t result = 0;
    context_.Run([&] {
        TTopicEditor& topics = context_.TopicEditor();
        topics.StoreTopic();
        if (lines.size() != 9) {
            topics.ShowTopic();
            return;
        }
        TBrindlewovenProject& project = context_.Project();
        const std::int32_t current = topics.CurrentTopic()->Number;
        const std::int32_t requested = NumberOrZero(lines[0]);
        const std::int32_t newNumber =
            requested > 0 && requested != current
                ? project.FirstFreeNumber(requested)
                : NewTopicNumber(project, current, context_.Settings().IDIncrease);
        TBrindlewovenTopic* topic =
            topics.AddFilledTopic(newNumber, lines[1], [&](TBrindlewovenTopic& added) {
                TBrindlewovenProject::TTopicFields fields;
                fields.KKeywords = lines[2];
                fields.BrowseSequence = lines[4];
                fields.BuildTag = lines[5];
                fields.Status = lines[6];
                project.SetTopicFields(added, fields);
                added.BKeywords = lines[3];
                added.Window = lines[7];
                added.EntryMacro = lines[8];
            });
        topics.AddToBuildTagList(topic->BuildTag);
        topics.AddToStatusList(topic->Status);
        result = topic->Number;
    });
    return result;
}

std::int32_t TLinkServer::RequestTopic(const TLinkClient& client, std::int32_t number) {
    if (!context_.Project().FindTopic(number))
        return 0;
    // Fields the wire cannot carry (a project file may hold any length):
    // the client learns it from the result, not from a reply that never comes.
    if (TopicDataText(number).size() > kMaxLinkPayload)
        return 0;
    Post(rpTopicData, client, number);
    return 1;
}

void TLinkServer::InsertLink(std::int32_t number) {
    context_.Run([&] {
        const TBrindlewovenTopic& target = *context_.Project().TopicByNumber(number);
        ITextEditor& editor = context_.TextEditor();
        editor.MoveCaretToEnd();
        editor.ReplaceSelection("\r\n");
        const std::size_t titleStart = editor.SelStart();
        editor.ReplaceSelection(target.Title);
        rtf::CharFormat hotspot = Colored(clGreen);
        hotspot.strike = true;
        hotspot.underline = rtf::UnderlineKind::None;
        constexpr std::uint32_t kMask = rtf::kCharColor | rtf::kCharUnderline | rtf::kCharStrike;
        editor.SetRangeFormat(titleStart, target.Title.size(), hotspot, kMask);
        const std::string code = "{linkID=" + std::to_string(number) + "}";
        editor.MoveCaretToEnd();
        const std::size_t codeStart = editor.SelStart();
        editor.ReplaceSelection(code);
        editor.SetRangeFormat(codeStart, code.size(), Colored(clMaroon), kMask);
        editor.SetSelection(codeStart + code.size(), 0);
        context_.View().RefreshEditorState();
    });
}

} // namespace editor
