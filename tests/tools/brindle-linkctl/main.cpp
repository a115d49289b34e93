// brindle-linkctl: a small link client for scripts and tests. It connects
// to the running program's link socket as one client window and runs the
// commands given on the command line in order, printing every frame that
// comes back:
//   result <command> <value>
//   reply <number>
//   | <line>            (each line of the reply's text)
//
// Usage: brindle-linkctl [--socket PATH] [--window N] [--linger MS] COMMAND...
//   register | unregister | list0 | list1
//   show N | request N | link N
//   create NUMBER TITLE K B BROWSE BUILDTAG STATUS WINDOW MACRO
//   wait MS                 (print what arrives within MS milliseconds)
//   flood N                 (send N list requests without reading what comes
//                           back; print "flood: closed by the program" when
//                           the program closes the link within 5 s, else
//                           "flood: still open")
// After the last command it prints the replies that arrive within the
// linger time (default 300 ms). Exit status: 0, or 2 for bad arguments or
// a socket that cannot be reached.
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "editor/linkprotocol.h"
#include "tests/editor/linkdata_support.h"

namespace {

using editor::TLinkFrame;
using editor::TLinkFrameKind;
using editor::TLinkFrameReader;
using editortest::NumberData;

std::string DefaultSocketPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/brindlewoven-link";
    const char* temp = std::getenv("TMPDIR");
    const std::string folder = (temp && *temp) ? temp : "/tmp";
    return folder + "/brindlewoven-" + std::to_string(::getuid()) + "/brindlewoven-link";
}

std::optional<std::int32_t> ParseNumber(const std::string& text) {
    try {
        std::size_t used = 0;
        const long long value = std::stoll(text, &used, 10);
        if (used != text.size() || value < INT32_MIN || value > INT32_MAX)
            return std::nullopt;
        return static_cast<std::int32_t>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

class TClient {
public:
    explicit TClient(std::uint32_t window) : window_(window) {}
    ~TClient() {
        if (fd_ >= 0)
            ::close(fd_);
    }

    bool Connect(const std::string& path) {
        sockaddr_un address{};
        if (path.size() >= sizeof(address.sun_path)) {
            std::cerr << "brindle-linkctl: socket path too long: " << path << "\n";
            return false;
        }
        fd_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        if (fd_ < 0 ||
            ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
            std::cerr << "brindle-linkctl: cannot connect to " << path << ": "
                      << std::strerror(errno) << "\n";
            return false;
        }
        return true;
    }

    // Sends a command and prints what comes back until its result.
    bool Command(std::uint32_t number, const std::string& data) {
        const std::string bytes =
            editor::EncodeLinkFrame({TLinkFrameKind::Command, window_, number, 0, data});
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) {
                std::cerr << "brindle-linkctl: the program closed the link\n";
                return false;
            }
            sent += static_cast<std::size_t>(n);
        }
        for (;;) {
            TLinkFrame frame;
            if (!Receive(frame, 10000)) {
                std::cerr << "brindle-linkctl: no result for command " << number << "\n";
                return false;
            }
            Print(frame);
            if (frame.Kind == TLinkFrameKind::Result && frame.Number == number)
                return true;
        }
    }

    // Sends `count` list requests and reads nothing: a client that does not
    // read. True when the program closed the link (sending failed, or it
    // hung up within 5 s).
    bool Flood(int count) {
        const std::string frame =
            editor::EncodeLinkFrame({TLinkFrameKind::Command, window_, 3, 0, std::string()});
        std::string batch;
        for (int i = 0; i < 1000; ++i)
            batch += frame;
        for (int sent = 0; sent < count; sent += 1000) {
            const std::size_t bytes =
                frame.size() * static_cast<std::size_t>(std::min(1000, count - sent));
            std::size_t done = 0;
            while (done < bytes) {
                const ssize_t n = ::send(fd_, batch.data() + done, bytes - done, MSG_NOSIGNAL);
                if (n <= 0)
                    return true;
                done += static_cast<std::size_t>(n);
            }
        }
        pollfd hangup{fd_, 0, 0};
        return ::poll(&hangup, 1, 5000) > 0 && (hangup.revents & (POLLHUP | POLLERR)) != 0;
    }

    // Prints the frames that arrive within `ms` of each other.
    void Linger(int ms) {
        TLinkFrame frame;
        while (Receive(frame, ms))
            Print(frame);
    }

private:
    bool Receive(TLinkFrame& frame, int ms) {
        for (;;) {
            switch (reader_.Next(frame)) {
            case TLinkFrameReader::TStatus::Frame:
                return true;
            case TLinkFrameReader::TStatus::Error:
                std::cerr << "brindle-linkctl: " << reader_.ErrorText() << "\n";
                return false;
            case TLinkFrameReader::TStatus::NeedMore:
                break;
            }
            pollfd wait{fd_, POLLIN, 0};
            if (::poll(&wait, 1, ms) <= 0)
                return false;
            char buffer[65536];
            const ssize_t n = ::recv(fd_, buffer, sizeof(buffer), 0);
            if (n <= 0)
                return false;
            reader_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)));
        }
    }

    void Print(const TLinkFrame& frame) {
        if (frame.Kind == TLinkFrameKind::Result) {
            std::cout << "result " << frame.Number << " " << frame.Value << "\n";
        } else {
            std::cout << "reply " << frame.Number << "\n";
            std::string text = frame.Payload;
            if (!text.empty() && text.back() == '\0')
                text.pop_back();
            std::size_t start = 0;
            while (!text.empty() && start <= text.size()) {
                std::size_t end = text.find("\r\n", start);
                if (end == std::string::npos)
                    end = text.size();
                std::cout << "| " << text.substr(start, end - start) << "\n";
                start = end + 2;
            }
        }
        std::cout.flush();
    }

    std::uint32_t window_;
    int fd_ = -1;
    TLinkFrameReader reader_;
};

int Usage() {
    std::cerr << "usage: brindle-linkctl [--socket PATH] [--window N] [--linger MS] COMMAND...\n"
                 "  register | unregister | list0 | list1 | show N | request N | link N\n"
                 "  create NUMBER TITLE K B BROWSE BUILDTAG STATUS WINDOW MACRO | wait MS\n"
                 "  flood N\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string path = DefaultSocketPath();
    std::uint32_t window = 1;
    int linger = 300;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) == 0; i += 2) {
        if (i + 1 >= args.size())
            return Usage();
        const std::optional<std::int32_t> value = ParseNumber(args[i + 1]);
        if (args[i] == "--socket")
            path = args[i + 1];
        else if (args[i] == "--window" && value && *value >= 0)
            window = static_cast<std::uint32_t>(*value);
        else if (args[i] == "--linger" && value && *value >= 0)
            linger = *value;
        else
            return Usage();
    }
    if (i >= args.size())
        return Usage();

    TClient client(window);
    if (!client.Connect(path))
        return 2;
    while (i < args.size()) {
        const std::string& name = args[i++];
        auto number = [&]() -> std::optional<std::int32_t> {
            return i < args.size() ? ParseNumber(args[i++]) : std::nullopt;
        };
        bool ok = true;
        if (name == "register" || name == "unregister" || name == "list0" || name == "list1") {
            const std::uint32_t command = name == "register"     ? 1
                                          : name == "unregister" ? 2
                                          : name == "list0"      ? 3
                                                                 : 4;
            ok = client.Command(command, "");
        } else if (name == "show" || name == "request" || name == "link") {
            const std::optional<std::int32_t> n = number();
            if (!n)
                return Usage();
            ok = client.Command(name == "show" ? 5 : name == "request" ? 7 : 8, NumberData(*n));
        } else if (name == "create") {
            if (args.size() - i < 9)
                return Usage();
            std::string text;
            for (int line = 0; line < 9; ++line)
                text += (line > 0 ? "\r\n" : "") + args[i++];
            ok = client.Command(6, text + '\0');
        } else if (name == "flood") {
            const std::optional<std::int32_t> count = number();
            if (!count || *count < 0)
                return Usage();
            std::cout << (client.Flood(*count) ? "flood: closed by the program\n"
                                               : "flood: still open\n");
            std::cout.flush();
            return 0;
        } else if (name == "wait") {
            const std::optional<std::int32_t> ms = number();
            if (!ms || *ms < 0)
                return Usage();
            client.Linger(*ms);
        } else {
            return Usage();
        }
        if (!ok)
            return 2;
    }
    client.Linger(linger);
    return 0;
}
