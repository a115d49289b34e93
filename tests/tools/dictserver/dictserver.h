#pragma once
// A small dictionary server for tests and for trying the download window by
// hand: it answers the catalogue request and the file requests from a
// folder, on 127.0.0.1. The folder holds the dictionary files; its
// "catalogue.txt", when present, is the catalogue answered word for word,
// else a LIST of every *.dic file of the folder is answered. Tests may put
// answers of their own in front (errors, short bodies, a stall, a trickle),
// the server can stand in for a proxy that asks for Basic authentication,
// and it can play a hostile server (see EnableHostileLanguages).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace dictserver {

struct TRequest {
    std::string Method;
    std::string Target; // as sent: a path, or an absolute URL through a proxy
    std::string Path;   // the path part, without the query
    std::string Query;
    std::map<std::string, std::string> Headers; // names in lower case
};

struct TReply {
    int Status = 200;
    std::string Reason = "OK";
    std::string ContentType = "application/octet-stream";
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    // Announced in Content-Length when it differs from the body's size (a
    // transfer that breaks off).
    std::optional<std::size_t> DeclaredLength;
    // Sends the headers and half the body, then nothing until the server stops.
    bool Stall = false;
    // Above 0: the body goes one byte at a time, this many milliseconds
    // apart (a server that trickles).
    int TrickleIntervalMs = 0;
};

// The languages a hostile server adds to the catalogue, each named after
// what it tries. The victim is the folder's first *.dic file by name (the
// dictionary of a language the user may have installed):
//   "Word list"  Files names the victim's user word list (its name with
//                ".udt"), served as a dictionary's bytes;
//   "Impostor"   Files names the victim itself: another language's file;
//   "Trickle"    trickle.dic comes one byte every trickle interval;
//   "Garbage"    garbage.dic is 5,000 bytes that are no dictionary.
struct THostileLanguage {
    std::string Name;
    std::string Files;
};
std::vector<THostileLanguage> HostileLanguages(const std::filesystem::path& root);
// `catalogue` with the hostile languages added when it is a LIST.
std::string WithHostileLanguages(const std::string& catalogue,
                                 const std::vector<THostileLanguage>& languages);
// The bytes of garbage.dic.
std::string GarbageBytes();

// The answer of the folder: the catalogue, a file, or 404.
TReply ServeFromFolder(const std::filesystem::path& root, const TRequest& request);
// The catalogue of the folder: catalogue.txt, or a LIST of its *.dic files.
std::string FolderCatalogue(const std::filesystem::path& root);

class TDictServer {
public:
    // Listens on 127.0.0.1:`port` (0: any free port).
    explicit TDictServer(std::filesystem::path root, std::uint16_t port = 0);
    ~TDictServer();
    TDictServer(const TDictServer&) = delete;
    TDictServer& operator=(const TDictServer&) = delete;

    std::uint16_t Port() const { return port_; }
    std::string Address() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // An answer of the test's own; nullopt leaves the request to the folder.
    void SetOverride(std::function<std::optional<TReply>(const TRequest&)> override);
    // Plays a hostile server: the catalogue offers the hostile languages
    // and their files are answered as described above, trickle.dic one byte
    // every `trickleIntervalMs`.
    void EnableHostileLanguages(int trickleIntervalMs = 5000);
    // Answers 407 to every request without these Basic proxy credentials.
    void RequireProxyAuthentication(std::string user, std::string password);
    // The requests received so far.
    std::vector<TRequest> Requests() const;

    void Stop();

private:
    void AcceptLoop();
    void Serve(int socket);
    TReply Answer(const TRequest& request);
    std::optional<TReply> HostileAnswer(const TRequest& request) const;

    std::filesystem::path root_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    std::function<std::optional<TReply>(const TRequest&)> override_;
    std::optional<std::string> proxyCredentials_;
    std::optional<int> hostileTrickleMs_;
    std::vector<TRequest> requests_;
    std::thread acceptThread_;
    std::vector<std::thread> connections_;
};

std::string Base64(std::string_view bytes);

} // namespace dictserver
