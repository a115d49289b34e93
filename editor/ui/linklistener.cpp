#include "editor/ui/linklistener.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "editor/editorcontext.h"

namespace editor::ui {

namespace {

constexpr const char* kSocketName = "brindlewoven-link";
// How often queued requests look again whether the window became idle.
constexpr int kBusyRetryMs = 25;

// A folder only its owner may enter: made so, or refused when it belongs
// to someone else.
bool MakePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid())
        return false;
    if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return false;
    return true;
}

// Whether a copy of the program answers on the socket.
bool SomeoneServes(const QString& path) {
    QLocalSocket probe;
    probe.connectToServer(path);
    const bool answered = probe.waitForConnected(500);
    probe.abort();
    return answered;
}

} // namespace

std::size_t TLinkListener::BufferLimitFromEnvironment() {
    bool ok = false;
    const qulonglong limit = qEnvironmentVariable("BRINDLE_LINK_BUFFER_LIMIT").toULongLong(&ok);
    return ok && limit > 0 ? static_cast<std::size_t>(limit) : kDefaultBufferLimit;
}

TLinkListener::TLinkListener(TEditorContext& context, QObject* parent, std::size_t bufferLimit)
    : QObject(parent),
      server_(context, [this](std::uint64_t id, const TLinkFrame& frame) { Send(id, frame); }),
      bufferLimit_(bufferLimit) {
    pumpTimer_ = new QTimer(this);
    pumpTimer_->setSingleShot(true);
    connect(pumpTimer_, &QTimer::timeout, this, &TLinkListener::Pump);
    server_.SetIdleCheck([] { return QApplication::activeModalWidget() == nullptr; });
    server_.SetWorkQueued([this] { SchedulePump(0); });
}

TLinkListener::~TLinkListener() {
    for (auto& [id, connection] : connections_)
        connection->Socket->disconnect(this);
    if (listener_)
        listener_->close();
}

QString TLinkListener::SocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime;
    const QString folder =
        QDir(QDir::tempPath()).filePath(QString("brindlewoven-%1").arg(::getuid()));
    return MakePrivateFolder(folder) ? folder : QString();
}

bool TLinkListener::Listen(const QString& folder) {
    const QString where = folder.isEmpty() ? SocketFolder() : folder;
    if (where.isEmpty())
        return false;
    if (!listener_) {
        listener_ = new QLocalServer(this);
        listener_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(listener_, &QLocalServer::newConnection, this, &TLinkListener::Accept);
    }
    for (int copy = 1; copy <= 64; ++copy) {
        const QString name =
            copy == 1 ? QString(kSocketName) : QString("%1-%2").arg(kSocketName).arg(copy);
        const QString path = QDir(where).filePath(name);
        if (QFile::exists(path)) {
            if (SomeoneServes(path))
                continue;
            QLocalServer::removeServer(path); // left behind by a crash
        }
        if (listener_->listen(path))
            return true;
    }
    return false;
}

QString TLinkListener::SocketPath() const {
    return listener_ && listener_->isListening() ? listener_->fullServerName() : QString();
}

void TLinkListener::Accept() {
    while (QLocalSocket* socket = listener_->nextPendingConnection()) {
        const std::uint64_t id = nextId_++;
        auto connection = std::make_unique<TConnection>();
        connection->Socket = socket;
        connections_[id] = std::move(connection);
        connect(socket, &QLocalSocket::readyRead, this, [this, id] { Read(id); });
        connect(socket, &QLocalSocket::disconnected, this, [this, id] { Drop(id); });
        Read(id); // bytes that came with the connection
    }
}

void TLinkListener::Read(std::uint64_t id) {
    const auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    TConnection& connection = *found->second;
    const QByteArray bytes = connection.Socket->readAll();
    connection.Reader.Feed(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    TLinkFrame frame;
    for (;;) {
        const TLinkFrameReader::TStatus status = connection.Reader.Next(frame);
        if (status == TLinkFrameReader::TStatus::NeedMore)
            return;
        if (status == TLinkFrameReader::TStatus::Error) {
            Drop(id); // not a client of this wire: that connection alone ends
            return;
        }
        server_.Submit(id, std::move(frame));
        if (server_.QueuedBytes(id) > bufferLimit_) {
            Drop(id); // floods a window that cannot run its commands now
            return;
        }
    }
}

void TLinkListener::Drop(std::uint64_t id) {
    const auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    std::unique_ptr<TConnection> connection = std::move(found->second);
    connections_.erase(found);
    server_.Disconnected(id);
    connection->Socket->disconnect(this);
    connection->Socket->abort();
    connection->Socket->deleteLater();
}

void TLinkListener::Send(std::uint64_t id, const TLinkFrame& frame) {
    const auto found = connections_.find(id);
    if (found == connections_.end())
        return;
    QLocalSocket& socket = *found->second->Socket;
    const std::string bytes = EncodeLinkFrame(frame);
    socket.write(bytes.data(), static_cast<qint64>(bytes.size()));
    // Hand the system what it takes now, so that only what the client has
    // not read stays in the window's memory.
    socket.flush();
    if (static_cast<std::size_t>(socket.bytesToWrite()) > bufferLimit_)
        Drop(id); // it does not read what it is sent
}

void TLinkListener::SchedulePump(int delay) {
    if (!pumpTimer_->isActive())
        pumpTimer_->start(delay);
}

void TLinkListener::Pump() {
    if (server_.Pump())
        SchedulePump(kBusyRetryMs); // the window is busy: look again soon
}

} // namespace editor::ui
