#pragma once
// The dictionary server over HTTP: the catalogue request and the file
// requests, with the program's user agent and accept header, the proxy
// settings, the transfer reported to a progress callback, and an end to a
// transfer that is too slow (see TTransferWatch) or that the person
// cancels. A file is streamed to a temporary file and takes its name only
// when a 2xx answer arrived in full.
#include <QObject>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <string>

#include "components/proxysettings.h"
#include "speller/spellgetmodel.h"
#include "speller/transferwatch.h"

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
    // The slowest transfer that is let go on (tests shorten the window).
    void SetLimits(const TTransferLimits& limits) { limits_ = limits; }
    const TTransferLimits& Limits() const { return limits_; }
    // Used by every later request.
    void ApplyProxy(const components::TProxySettings& settings);

    // The catalogue's bytes. Throws std::runtime_error with the reason, and
    // components::EAbort when cancelled.
    std::string RequestCatalogue();
    void Fetch(const std::string& fileName, const std::filesystem::path& target) override;

    // Ends the transfer under way, and refuses every later request until
    // Rearm: a language of several files stops as a whole.
    void Cancel();
    void Rearm() { cancelled_ = false; }

    // Told when a transfer starts (-1: no size yet) and again when the
    // server announced its size, as it goes (bytes so far) and when it ends.
    std::function<void(std::int64_t total)> OnWorkBegin;
    std::function<void(std::int64_t done)> OnWork;
    std::function<void()> OnWorkEnd;

private:
    QNetworkRequest MakeRequest(const QString& path) const;
    // Runs the reply to its end in a local event loop; returns the error
    // text, empty on success. `maxBytes` bounds what the reply may bring;
    // `tooSlow` tells whether the transfer was ended for its rate.
    QString Wait(QNetworkReply* reply, std::int64_t maxBytes,
                 const std::function<void(QNetworkReply*)>& onData, bool* tooSlow = nullptr);
    void ThrowIfCancelled() const;

    QNetworkAccessManager* manager_ = nullptr;
    QString server_;
    TTransferLimits limits_;
    QNetworkReply* current_ = nullptr;
    bool cancelled_ = false;
};

} // namespace speller::ui
