#pragma once
// The dictionary server over HTTP: the catalogue request and the file
// requests, with the program's user agent and accept header, the proxy
// settings, a timeout for a server that stops sending, and the transfer
// reported to a progress callback. A file is streamed to a temporary file
// and takes its name only when a 2xx answer arrived in full.
#include <QObject>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <string>

#include "components/proxysettings.h"
#include "speller/spellgetmodel.h"

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

namespace speller::ui {

class THttpDictionaryClient : public QObject, public IDictionaryFetcher {
    Q_OBJECT

public:
    explicit THttpDictionaryClient(QObject* parent = nullptr);
    ~THttpDictionaryClient() override;

    // The server's address ("http://host[:port]"); request paths go after it.
    void SetServer(const QString& server) { server_ = server; }
    const QString& Server() const { return server_; }
    // Milliseconds without data after which a request fails.
    void SetTimeout(int milliseconds) { timeout_ = milliseconds; }
    // Used by every later request.
    void ApplyProxy(const components::TProxySettings& settings);

    // The catalogue's bytes. Throws std::runtime_error with the reason.
    std::string RequestCatalogue();
    void Fetch(const std::string& fileName, const std::filesystem::path& target) override;

    // Told when a transfer starts (announced size, -1 when unknown), as it
    // goes (bytes so far) and when it ends.
    std::function<void(std::int64_t total)> OnWorkBegin;
    std::function<void(std::int64_t done)> OnWork;
    std::function<void()> OnWorkEnd;

private:
    QNetworkRequest MakeRequest(const QString& path) const;
    // Runs the reply to its end in a local event loop; returns the error
    // text, empty on success.
    QString Wait(QNetworkReply* reply, const std::function<void(QNetworkReply*)>& onData);

    QNetworkAccessManager* manager_ = nullptr;
    QString server_;
    int timeout_ = 30000;
};

} // namespace speller::ui
