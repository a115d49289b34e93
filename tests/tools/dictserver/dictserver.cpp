#include "dictserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dictserver {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool PlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\:") == std::string::npos;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool SendAll(int socket, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

// The bytes of a regular file; nullopt for anything else.
std::optional<std::string> FileBytes(const fs::path& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// The *.dic files of the folder, by name.
std::vector<std::string> DictionaryFiles(const fs::path& root) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(root, ec))
        if (entry.is_regular_file() && Lower(entry.path().extension().string()) == ".dic")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The first of them: the dictionary a hostile server goes after.
std::string Victim(const fs::path& root) {
    std::vector<std::string> names = DictionaryFiles(root);
    return names.empty() ? std::string() : names.front();
}

} // namespace

std::string Base64(std::string_view bytes) {
    static const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += {table[(v >> 18) & 63], table[(v >> 12) & 63], table[(v >> 6) & 63], table[v & 63]};
    }
    if (i + 1 == bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += {table[(v >> 18) & 63], table[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == bytes.size()) {
        unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                     (static_cast<unsigned char>(bytes[i + 1]) << 8);
        out += {table[(v >> 18) & 63], table[(v >> 12) & 63], table[(v >> 6) & 63], '='};
    }
    return out;
}

std::string FolderCatalogue(const fs::path& root) {
    if (std::optional<std::string> given = FileBytes(root / "catalogue.txt"))
        return *given;
    const std::vector<std::string> names = DictionaryFiles(root);
    std::string text = "LIST\r\n" + std::to_string(names.size()) + "\r\n";
    for (const std::string& name : names)
        text += fs::path(name).stem().string() + "\r\n'\r\n';'s\r\n" + name + "\r\nwin1252\r\n";
    return text;
}

std::vector<THostileLanguage> HostileLanguages(const fs::path& root) {
    const std::string victim = Victim(root);
    std::vector<THostileLanguage> languages;
    if (!victim.empty()) {
        languages.push_back({"Word list", fs::path(victim).stem().string() + ".udt"});
        languages.push_back({"Impostor", victim});
    }
    languages.push_back({"Trickle", "trickle.dic"});
    languages.push_back({"Garbage", "garbage.dic"});
    return languages;
}

std::string WithHostileLanguages(const std::string& catalogue,
                                 const std::vector<THostileLanguage>& languages) {
    std::vector<std::string> lines = Lines(catalogue);
    if (lines.size() < 2 || lines[0] != "LIST")
        return catalogue;
    std::size_t count = 0;
    try {
        count = static_cast<std::size_t>(std::stoul(lines[1]));
    } catch (const std::exception&) {
    }
    count = std::min(count, (lines.size() - 2) / 5);
    std::string text = "LIST\r\n" + std::to_string(count + languages.size()) + "\r\n";
    for (std::size_t i = 2; i < 2 + 5 * count; ++i)
        text += lines[i] + "\r\n";
    for (const THostileLanguage& language : languages)
        text += language.Name + "\r\n\r\n\r\n" + language.Files + "\r\nwin1252\r\n";
    return text;
}

std::string GarbageBytes() {
    // The same bytes every time, so that a failure can be repeated.
    std::string bytes(5000, '\0');
    std::uint32_t state = 0x2545F491u;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

TReply ServeFromFolder(const fs::path& root, const TRequest& request) {
    TReply reply;
    if (request.Path == "/cgi-bin/spell3.pl") {
        reply.ContentType = "text/plain";
        reply.Body = FolderCatalogue(root);
        return reply;
    }
    const std::string folder = "/spell/";
    if (request.Path.rfind(folder, 0) == 0) {
        const std::string name = PercentDecoded(request.Path.substr(folder.size()));
        if (PlainName(name))
            if (std::optional<std::string> bytes = FileBytes(root / name)) {
                reply.Body = std::move(*bytes);
                return reply;
            }
    }
    reply.Status = 404;
    reply.Reason = "Not Found";
    reply.ContentType = "text/html";
    reply.Body = "<html><body>Not found</body></html>";
    return reply;
}

TDictServer::TDictServer(fs::path root, std::uint16_t port) : root_(std::move(root)) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0)
        throw std::runtime_error("socket failed");
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0) {
        ::close(listener_);
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    }
    socklen_t length = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

TDictServer::~TDictServer() {
    Stop();
}

void TDictServer::SetOverride(std::function<std::optional<TReply>(const TRequest&)> override) {
    std::lock_guard lock(mutex_);
    override_ = std::move(override);
}

void TDictServer::EnableHostileLanguages(int trickleIntervalMs) {
    std::lock_guard lock(mutex_);
    hostileTrickleMs_ = trickleIntervalMs;
}

std::optional<TReply> TDictServer::HostileAnswer(const TRequest& request) const {
    std::optional<int> trickle;
    {
        std::lock_guard lock(mutex_);
        trickle = hostileTrickleMs_;
    }
    if (!trickle)
        return std::nullopt;
    const std::vector<THostileLanguage> languages = HostileLanguages(root_);
    TReply reply;
    if (request.Path == "/cgi-bin/spell3.pl") {
        reply.ContentType = "text/plain";
        reply.Body = WithHostileLanguages(FolderCatalogue(root_), languages);
        return reply;
    }
    const std::string victim = Victim(root_);
    const std::string name =
        request.Path.rfind("/spell/", 0) == 0 ? PercentDecoded(request.Path.substr(7)) : "";
    if (!victim.empty() && name == fs::path(victim).stem().string() + ".udt") {
        reply.Body = FileBytes(root_ / victim).value_or(GarbageBytes());
        return reply;
    }
    if (name == "trickle.dic") {
        reply.Body = FileBytes(root_ / victim).value_or(GarbageBytes());
        reply.TrickleIntervalMs = *trickle;
        return reply;
    }
    if (name == "garbage.dic") {
        reply.Body = GarbageBytes();
        return reply;
    }
    return std::nullopt; // the impostor's file is the victim, served as it is
}

void TDictServer::RequireProxyAuthentication(std::string user, std::string password) {
    std::lock_guard lock(mutex_);
    proxyCredentials_ = Base64(user + ":" + password);
}

std::vector<TRequest> TDictServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void TDictServer::Stop() {
    if (stopping_.exchange(true))
        return;
    stopped_.notify_all();
    if (acceptThread_.joinable())
        acceptThread_.join();
    for (std::thread& connection : connections_)
        if (connection.joinable())
            connection.join();
    ::close(listener_);
}

void TDictServer::AcceptLoop() {
    while (!stopping_) {
        pollfd fd{listener_, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0)
            continue;
        int socket = ::accept(listener_, nullptr, nullptr);
        if (socket < 0)
            continue;
        std::lock_guard lock(mutex_);
        connections_.emplace_back([this, socket] {
            Serve(socket);
            ::close(socket);
        });
    }
}

TReply TDictServer::Answer(const TRequest& request) {
    std::function<std::optional<TReply>(const TRequest&)> override;
    std::optional<std::string> credentials;
    {
        std::lock_guard lock(mutex_);
        override = override_;
        credentials = proxyCredentials_;
    }
    if (credentials) {
        auto given = request.Headers.find("proxy-authorization");
        if (given == request.Headers.end() || given->second != "Basic " + *credentials) {
            TReply reply;
            reply.Status = 407;
            reply.Reason = "Proxy Authentication Required";
            reply.ContentType = "text/html";
            reply.Headers.emplace_back("Proxy-Authenticate", "Basic realm=\"dictionaries\"");
            reply.Body = "<html>log on first</html>";
            return reply;
        }
    }
    if (override)
        if (std::optional<TReply> reply = override(request))
            return *reply;
    if (std::optional<TReply> reply = HostileAnswer(request))
        return *reply;
    return ServeFromFolder(root_, request);
}

void TDictServer::Serve(int socket) {
    std::string received;
    char buffer[4096];
    while (received.find("\r\n\r\n") == std::string::npos) {
        if (stopping_)
            return;
        pollfd fd{socket, POLLIN, 0};
        if (::poll(&fd, 1, 50) <= 0)
            continue;
        ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got <= 0 || received.size() > 65536)
            return;
        received.append(buffer, static_cast<std::size_t>(got));
    }
    TRequest request;
    std::istringstream head(received.substr(0, received.find("\r\n\r\n")));
    std::string line;
    std::getline(head, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::istringstream first(line);
    first >> request.Method >> request.Target;
    while (std::getline(head, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string value = line.substr(colon + 1);
        value.erase(0, value.find_first_not_of(' '));
        request.Headers[Lower(line.substr(0, colon))] = value;
    }
    std::string target = request.Target;
    if (std::size_t scheme = target.find("://"); scheme != std::string::npos) {
        std::size_t slash = target.find('/', scheme + 3);
        target = slash == std::string::npos ? "/" : target.substr(slash);
    }
    std::size_t question = target.find('?');
    request.Path = target.substr(0, question);
    if (question != std::string::npos)
        request.Query = target.substr(question + 1);
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
    }

    const TReply reply = Answer(request);
    const std::size_t declared = reply.DeclaredLength.value_or(reply.Body.size());
    std::string headers = "HTTP/1.1 " + std::to_string(reply.Status) + " " + reply.Reason +
                          "\r\nContent-Type: " + reply.ContentType +
                          "\r\nContent-Length: " + std::to_string(declared) +
                          "\r\nConnection: close\r\n";
    for (const auto& [name, value] : reply.Headers)
        headers += name + ": " + value + "\r\n";
    headers += "\r\n";
    if (!SendAll(socket, headers))
        return;
    if (reply.TrickleIntervalMs > 0) {
        const std::string_view body =
            std::string_view(reply.Body).substr(0, std::min(declared, reply.Body.size()));
        for (char byte : body) {
            if (!SendAll(socket, std::string_view(&byte, 1)))
                return; // the client went away
            std::unique_lock lock(mutex_);
            if (stopped_.wait_for(lock, std::chrono::milliseconds(reply.TrickleIntervalMs),
                                  [this] { return stopping_.load(); }))
                return;
        }
        ::shutdown(socket, SHUT_WR);
        return;
    }
    if (reply.Stall) {
        SendAll(socket, std::string_view(reply.Body).substr(0, reply.Body.size() / 2));
        std::unique_lock lock(mutex_);
        stopped_.wait(lock, [this] { return stopping_.load(); });
        return;
    }
    SendAll(socket, std::string_view(reply.Body).substr(0, std::min(declared, reply.Body.size())));
    ::shutdown(socket, SHUT_WR);
}

} // namespace dictserver
