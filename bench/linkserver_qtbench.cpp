// The client link over its real socket, with the main window serving a
// 5,000-topic project (offscreen, release build):
//   ShowTopicRoundTrip  10,000 show-topic commands from a client thread,
//                       each waiting for its result; the counters give the
//                       median and 90th percentile in microseconds
//   RequestTopicRoundTrip the same with request-topic commands, each until
//                       its reply with the nine fields: the link's own cost
//                       without the window showing a topic
//   NotifySixteen       16 registered clients on their own connections; one
//                       stored title edit until every client has its fresh
//                       list (a 5,000-line reply each); median microseconds
//   FloodWithoutReading a client of a 50-topic project sends 160,000
//                       list requests and never reads, staying connected;
//                       the counters give the resident memory before, at its
//                       highest, once every request was served (the client
//                       still connected) and after it left (freed memory
//                       handed back), and whether the window closed it
//   CreateWithTitle     command 6 with a one-word title of that many
//                       characters, until its result and the window idle
//                       again (the new topic laid out and painted); the
//                       longest title the window's title box takes is 127
//   PasteRecord         Paste of a topic record of about that many bytes
//                       onto the current topic, until its text is laid out:
//                       text:0 prose paragraphs as a copied topic holds
//                       them, text:1 a single word without a break, text:2
//                       words of 2,000 characters; the counter "pasted" is
//                       0 when the paste was refused
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QApplication>
#include <QTextDocument>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <thread>
#include <vector>

#include "components/scriptedmessenger.h"
#include "components/ui/richeredit.h"
#include "editor/linkprotocol.h"
#include "editor/topicclipboardcommands.h"
#include "editor/ui/brindlewovenform.h"
#include "editor/ui/linklistener.h"
#include "generatedproject.h"
#include "helpproject/topicclipboard.h"
#include "platform/registry.h"
#include "platform/tempfolder.h"

namespace {

using Clock = std::chrono::steady_clock;
using editor::TLinkFrame;
using editor::TLinkFrameKind;
using editor::TLinkFrameReader;

std::string NumberData(std::int32_t n) {
    std::string data(4, '\0');
    for (int i = 0; i < 4; ++i)
        data[static_cast<std::size_t>(i)] =
            static_cast<char>((static_cast<std::uint32_t>(n) >> (8 * i)) & 0xFF);
    return data;
}

class TBlockingClient {
public:
    explicit TBlockingClient(const std::string& path) {
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    ~TBlockingClient() { ::close(fd_); }
    int Fd() const { return fd_; }
    void Send(std::uint32_t command, const std::string& data) {
        const std::string bytes =
            editor::EncodeLinkFrame({TLinkFrameKind::Command, 1, command, 0, data});
        ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    }
    // The next frame; false when the connection ended.
    bool Next(TLinkFrame& frame) {
        char buffer[1 << 16];
        while (reader_.Next(frame) != TLinkFrameReader::TStatus::Frame) {
            const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return false;
            reader_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
        return true;
    }
    // Reads what has arrived without waiting; true when a frame is complete.
    bool TryNext(TLinkFrame& frame) {
        char buffer[1 << 16];
        for (;;) {
            if (reader_.Next(frame) == TLinkFrameReader::TStatus::Frame)
                return true;
            const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), MSG_DONTWAIT);
            if (n <= 0)
                return false;
            reader_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
    }

private:
    int fd_ = -1;
    TLinkFrameReader reader_;
};

struct TWindow {
    components::TScriptedMessenger messenger;
    std::unique_ptr<platform::Registry> registry = platform::OpenMemoryRegistry();
    editor::TEditorContext context{messenger, *registry};
    std::unique_ptr<editor::ui::TBrindlewovenForm> form;
    platform::TempFolder folder{"bwlinkbench"};
    std::string path;

    TWindow() {
        form = std::make_unique<editor::ui::TBrindlewovenForm>(context);
        form->show();
        QApplication::processEvents();
        context.Session().ReplaceProject(benchproject::MakeGeneratedProject(5000));
        context.TopicEditor().ProjectReplaced();
        form->LinkListener().Listen(QString::fromStdString(folder.Path().string()));
        path = form->LinkListener().SocketPath().toStdString();
    }
    // Runs the window's events until `done`.
    static void RunUntil(const std::atomic<bool>& done) {
        while (!done.load())
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<std::size_t>(p * (values.size() - 1))];
}

// 10,000 commands of one kind, each until the frame of `last` kind.
void RoundTrip(benchmark::State& state, std::uint32_t command, TLinkFrameKind last) {
    TWindow window;
    for (auto _ : state) {
        std::vector<double> micros;
        std::atomic<bool> done{false};
        std::thread client([&] {
            TBlockingClient link(window.path);
            TLinkFrame frame;
            for (int i = 0; i < 10000; ++i) {
                const auto start = Clock::now();
                link.Send(command, NumberData(10 + (i * 7919 % 5000) * 10));
                while (link.Next(frame) && frame.Kind != last) {
                }
                micros.push_back(
                    std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            }
            done = true;
        });
        TWindow::RunUntil(done);
        client.join();
        state.counters["median_us"] = Percentile(micros, 0.5);
        state.counters["p90_us"] = Percentile(micros, 0.9);
    }
}
void ShowTopicRoundTrip(benchmark::State& state) {
    RoundTrip(state, 5, TLinkFrameKind::Result);
}
BENCHMARK(ShowTopicRoundTrip)->Iterations(1)->Unit(benchmark::kMillisecond);

void RequestTopicRoundTrip(benchmark::State& state) {
    RoundTrip(state, 7, TLinkFrameKind::Reply);
}
BENCHMARK(RequestTopicRoundTrip)->Iterations(1)->Unit(benchmark::kMillisecond);

void NotifySixteen(benchmark::State& state) {
    TWindow window;
    std::vector<std::unique_ptr<TBlockingClient>> clients;
    for (int i = 0; i < 16; ++i) {
        clients.push_back(std::make_unique<TBlockingClient>(window.path));
        clients.back()->Send(1, "");
    }
    // Registered: each has its result and its first list.
    for (auto& client : clients) {
        int frames = 0;
        TLinkFrame frame;
        while (frames < 2) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            while (frames < 2 && client->TryNext(frame))
                ++frames;
        }
    }
    std::vector<double> micros;
    int round = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        editor::TTopicEditor& topics = window.context.TopicEditor();
        topics.TitleTyped("Edited " + std::to_string(++round));
        topics.StoreTopic();
        std::vector<bool> got(clients.size(), false);
        std::size_t count = 0;
        TLinkFrame frame;
        while (count < clients.size()) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            for (std::size_t i = 0; i < clients.size(); ++i)
                while (!got[i] && clients[i]->TryNext(frame))
                    if (frame.Kind == TLinkFrameKind::Reply) {
                        got[i] = true;
                        ++count;
                    }
        }
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    state.counters["median_us"] = Percentile(micros, 0.5);
}
BENCHMARK(NotifySixteen)->Iterations(50)->Unit(benchmark::kMillisecond);

// Resident memory in megabytes.
double RssMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

void FloodWithoutReading(benchmark::State& state) {
    TWindow window;
    window.context.Session().ReplaceProject(benchproject::MakeGeneratedProject(50));
    window.context.TopicEditor().ProjectReplaced();
    auto runFor = [](std::chrono::milliseconds time, double& peak) {
        const auto until = Clock::now() + time;
        while (Clock::now() < until) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            peak = std::max(peak, RssMB());
        }
    };
    for (auto _ : state) {
        ::malloc_trim(0);
        const double before = RssMB();
        double peak = before;
        std::atomic<bool> sent{false};
        std::atomic<bool> release{false};
        std::thread client([&] {
            TBlockingClient link(window.path);
            link.Send(1, "");
            std::string batch;
            for (int i = 0; i < 1000; ++i)
                batch += editor::EncodeLinkFrame({TLinkFrameKind::Command, 1, 3, 0, ""});
            for (int i = 0; i < 160; ++i)
                if (::send(link.Fd(), batch.data(), batch.size(), MSG_NOSIGNAL) < 0)
                    break; // closed by the window
            sent = true;
            while (!release.load()) // connected, never reading
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        });
        while (!sent.load()) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            peak = std::max(peak, RssMB());
        }
        runFor(std::chrono::milliseconds(1000), peak); // every request served
        ::malloc_trim(0);
        const double held = RssMB();
        const bool closed = window.form->LinkListener().ConnectionCount() == 0;
        release = true;
        client.join();
        runFor(std::chrono::milliseconds(500), peak);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ::malloc_trim(0);
        state.counters["RssBeforeMB"] = before;
        state.counters["RssPeakMB"] = peak;
        state.counters["RssConnectedMB"] = held;
        state.counters["RssAfterMB"] = RssMB();
        state.counters["closedByWindow"] = closed ? 1 : 0;
    }
}
BENCHMARK(FloodWithoutReading)->Iterations(1)->Unit(benchmark::kMillisecond);

// Command 6 with a title of state.range(0) characters.
void CreateWithTitle(benchmark::State& state) {
    TWindow window;
    const std::string title(static_cast<std::size_t>(state.range(0)), 'w');
    std::int32_t result = 0;
    for (auto _ : state) {
        std::atomic<bool> done{false};
        std::thread client([&] {
            TBlockingClient link(window.path);
            link.Send(6, "0\r\n" + title + "\r\n\r\n\r\n\r\n\r\n\r\n\r\n" + '\0');
            TLinkFrame frame;
            while (link.Next(frame) && frame.Kind != TLinkFrameKind::Result) {
            }
            result = frame.Value;
            done = true;
        });
        TWindow::RunUntil(done);
        client.join();
        QApplication::processEvents(); // the new topic laid out and painted
    }
    state.counters["created"] = result > 0 ? 1 : 0;
}
BENCHMARK(CreateWithTitle)
    ->Arg(127)
    ->Arg(32 * 1024)
    ->Arg(128 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// What a pasted record's text holds.
enum TRecordText { kProse, kOneWord, kLongWords };

// A record whose text is about `bytes` bytes: prose paragraphs as a copied
// topic holds, one word without a break, or words of 2,000 characters (the
// longest the editor still breaks at word boundaries) in one paragraph.
std::string MakeRecord(std::size_t bytes, TRecordText kind) {
    helpproject::TBrindlewovenTopic topic(1, "Pasted");
    helpproject::TStringList lines = {
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}",
        "{\\colortbl ;\\red0\\green128\\blue0;\\red128\\green0\\blue0;}",
        "\\pard\\f0\\fs32\\b Pasted\\b0\\fs20\\par"};
    if (kind == kOneWord) {
        lines.push_back("\\pard " + std::string(bytes, 'w') + "\\par }");
    } else if (kind == kLongWords) {
        std::string paragraph = "\\pard ";
        while (paragraph.size() < bytes)
            paragraph += std::string(2000, 'w') + " ";
        lines.push_back(paragraph + "\\par }");
    } else {
        std::size_t size = 0;
        for (int i = 0; size < bytes; ++i) {
            std::string line = "\\pard\\f0\\fs20 Paragraph " + std::to_string(i) +
                               " steeps the leaves with {\\b bold} and {\\i italic} words, "
                               "\\cf1\\strike a link\\strike0\\cf2\\{linkID=20\\}\\cf0  and "
                               "more.\\par";
            size += line.size() + 2;
            lines.push_back(std::move(line));
        }
        lines.back() += " }";
    }
    topic.Text = std::move(lines);
    return helpproject::SaveToClipboardData(topic);
}

// Paste of a record of range(0) bytes (range(1): what its text holds) onto
// the current topic, until its whole text is laid out.
void PasteRecord(benchmark::State& state) {
    TWindow window;
    const std::string record = MakeRecord(static_cast<std::size_t>(state.range(0)),
                                          static_cast<TRecordText>(state.range(1)));
    editor::TTopicClipboardCommands commands(window.context.TopicEditor());
    bool pasted = false;
    for (auto _ : state) {
        pasted = window.context.Run([&] { commands.Paste(10, record); });
        QApplication::processEvents();
        // The editor lays a long text out in steps; a person waits for all.
        window.form->RichEdit().document()->pageCount();
    }
    state.counters["RecordMB"] = static_cast<double>(record.size()) / 1e6;
    state.counters["pasted"] = pasted ? 1 : 0;
}
BENCHMARK(PasteRecord)
    ->ArgNames({"bytes", "text"})
    ->Args({2900000, kProse})
    ->Args({11500000, kProse})
    ->Args({(16 << 20) - 4096, kProse})
    ->Args({200000, kOneWord})
    ->Args({800000, kOneWord})
    ->Args({725000, kLongWords})
    ->Args({2900000, kLongWords})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace
