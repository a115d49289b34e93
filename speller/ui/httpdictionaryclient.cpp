#include "speller/ui/httpdictionaryclient.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>
#include <stdexcept>

#include "components/messengerseam.h"
#include "components/ui/ansiqt.h"
#include "components/ui/networkproxy.h"
#include "platform/codepage.h"

namespace speller::ui {

namespace {

// The body of a reply is limited: a catalogue is a few kilobytes, the
// largest dictionaries a few megabytes.
constexpr qint64 kMaxCatalogueBytes = 1 << 20;
constexpr qint64 kMaxDictionaryBytes = qint64(256) << 20;

QString StatusError(QNetworkReply* reply) {
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return {};
    const int code = status.toInt();
    if (code >= 200 && code < 300)
        return {};
    const QString reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    return QString("The server answered %1 %2.").arg(code).arg(reason).trimmed();
}

} // namespace

THttpDictionaryClient::THttpDictionaryClient(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)) {
    // The proxy settings say which proxy; none is used until they are applied.
    manager_->setProxy(QNetworkProxy(QNetworkProxy::NoProxy));
}

THttpDictionaryClient::~THttpDictionaryClient() = default;

void THttpDictionaryClient::ApplyProxy(const components::TProxySettings& settings) {
    components::ui::ApplyTo(settings, *manager_);
}

QNetworkRequest THttpDictionaryClient::MakeRequest(const QString& path) const {
    QString base = server_;
    while (base.endsWith('/'))
        base.chop(1);
    QNetworkRequest request(QUrl(base + path, QUrl::TolerantMode));
    request.setHeader(QNetworkRequest::UserAgentHeader, QString::fromLatin1(kSpellGetUserAgent));
    request.setRawHeader(
        "Accept", QByteArray(kSpellGetAccept.data(), static_cast<int>(kSpellGetAccept.size())));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(5);
    return request;
}

void THttpDictionaryClient::Cancel() {
    cancelled_ = true;
    if (current_)
        current_->abort();
}

void THttpDictionaryClient::ThrowIfCancelled() const {
    if (cancelled_)
        throw components::EAbort("");
}

QString THttpDictionaryClient::Wait(QNetworkReply* reply, std::int64_t maxBytes,
                                    const std::function<void(QNetworkReply*)>& onData,
                                    bool* tooSlow) {
    QEventLoop loop;
    std::int64_t received = 0;
    TTransferWatch watch(limits_, maxBytes);
    QElapsedTimer clock;
    clock.start();
    QString ended;
    // Counted as it is read: the progress signal is held back while data
    // comes quickly, and may never come for what arrived in one burst.
    connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        received += reply->bytesAvailable();
        onData(reply);
    });
    // The bar starts empty, and takes the size once the server announced one.
    if (OnWorkBegin)
        OnWorkBegin(-1);
    connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        watch.SetAnnounced(length.isValid() ? length.toLongLong() : -1);
        if (length.isValid() && OnWorkBegin)
            OnWorkBegin(length.toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 done, qint64) {
        if (OnWork)
            OnWork(done);
    });
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The watch, not a timeout that every byte restarts, decides when the
    // server is too slow.
    QTimer tick;
    tick.setInterval(static_cast<int>(watch.TickMs()));
    connect(&tick, &QTimer::timeout, &loop, [&] {
        if (reply->isFinished() || !ended.isEmpty())
            return;
        const std::string why = watch.Check(clock.elapsed(), received);
        if (!why.empty()) {
            ended = QString::fromStdString(why);
            reply->abort();
        }
    });
    current_ = reply;
    if (!reply->isFinished() && !cancelled_) {
        tick.start();
        loop.exec();
    }
    current_ = nullptr;
    if (cancelled_ && !reply->isFinished())
        reply->abort();
    if (reply->isOpen())
        onData(reply);
    if (OnWorkEnd)
        OnWorkEnd();
    if (tooSlow)
        *tooSlow = !ended.isEmpty();
    if (!ended.isEmpty())
        return ended;
    const QString status = StatusError(reply);
    if (!status.isEmpty())
        return status;
    if (reply->error() != QNetworkReply::NoError)
        return reply->errorString();
    return {};
}

std::string THttpDictionaryClient::RequestCatalogue() {
    ThrowIfCancelled();
    QNetworkReply* reply = manager_->get(MakeRequest(QString::fromLatin1(kCatalogueRequest)));
    QByteArray body;
    bool tooLong = false;
    const QString error = Wait(reply, kMaxCatalogueBytes, [&](QNetworkReply* r) {
        body += r->readAll();
        if (body.size() > kMaxCatalogueBytes && !tooLong) {
            tooLong = true;
            r->abort();
        }
    });
    reply->deleteLater();
    ThrowIfCancelled();
    if (tooLong)
        throw std::runtime_error("The server's answer is too long for a list of dictionaries.");
    if (!error.isEmpty())
        throw std::runtime_error(components::ui::FromQString(error));
    return std::string(body.constData(), static_cast<std::size_t>(body.size()));
}

void THttpDictionaryClient::Fetch(const std::string& fileName,
                                  const std::filesystem::path& target) {
    ThrowIfCancelled();
    if (!IsPlainFileName(fileName))
        throw std::runtime_error("The name is not a plain file name.");
    QSaveFile file(QString::fromStdString(target.string()));
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(components::ui::FromQString(file.errorString()));
    const QString path = QString::fromLatin1(kDictionaryFileFolder) +
                         QString::fromUtf8(QUrl::toPercentEncoding(
                             QString::fromStdString(platform::Cp1252ToUtf8(fileName))));
    QNetworkReply* reply = manager_->get(MakeRequest(path));
    qint64 written = 0;
    bool writeFailed = false;
    bool tooLong = false;
    bool tooSlow = false;
    QString error = Wait(
        reply, kMaxDictionaryBytes,
        [&](QNetworkReply* r) {
            const QByteArray data = r->readAll();
            if (data.isEmpty() || writeFailed || tooLong)
                return;
            if (written + data.size() > kMaxDictionaryBytes) {
                tooLong = true;
                r->abort();
                return;
            }
            if (file.write(data) != data.size()) {
                writeFailed = true;
                r->abort();
            }
            written += data.size();
        },
        &tooSlow);
    const bool statusOk = StatusError(reply).isEmpty();
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    reply->deleteLater();
    if (cancelled_) {
        file.cancelWriting();
        ThrowIfCancelled();
    }
    if (writeFailed)
        error = file.errorString();
    else if (tooLong)
        error = QString("The file is larger than a dictionary can be (%1 MB).")
                    .arg(kMaxDictionaryBytes >> 20);
    else if (statusOk && !tooSlow && length.isValid() && length.toLongLong() != written)
        error = QString("The transfer broke off after %1 of %2 bytes.")
                    .arg(written)
                    .arg(length.toLongLong());
    if (!error.isEmpty()) {
        file.cancelWriting();
        throw std::runtime_error(components::ui::FromQString(error));
    }
    if (!file.commit())
        throw std::runtime_error(components::ui::FromQString(file.errorString()));
}

} // namespace speller::ui
