#pragma once
// The client link at the window's edge: a local socket that link clients
// connect to, each connection carrying frames for one or more client
// windows. The frames go to the window's link server (editor/linkserver.h);
// what it answers goes back over the connection. A connection that sends a
// frame that is not of the wire is closed; one that closes frees the slots
// of its windows.
//
// A connection may hold so many bytes in the window's memory, both of frames
// that wait to be sent (a client that does not read its replies) and of
// commands that wait to run (a client that floods a busy window); past
// that it is closed like one that left, so memory cannot grow without bound.
//
// The socket is "brindlewoven-link" in $XDG_RUNTIME_DIR, or, without one,
// in a private folder "brindlewoven-<uid>" in the temporary folder. A
// second running copy serves as "brindlewoven-link-2", and so on.
#include <QObject>
#include <QString>
#include <cstdint>
#include <map>
#include <memory>

#include "editor/linkprotocol.h"
#include "editor/linkserver.h"

class QLocalServer;
class QLocalSocket;
class QTimer;

namespace editor {
class TEditorContext;
}

namespace editor::ui {

class TLinkListener : public QObject {
    Q_OBJECT

public:
    // The bytes a connection may hold unless `BRINDLE_LINK_BUFFER_LIMIT`
    // (bytes) says otherwise.
    static constexpr std::size_t kDefaultBufferLimit = std::size_t{4} << 20;
    static std::size_t BufferLimitFromEnvironment();

    TLinkListener(TEditorContext& context, QObject* parent = nullptr,
                  std::size_t bufferLimit = BufferLimitFromEnvironment());
    ~TLinkListener() override;

    TLinkServer& Server() { return server_; }

    // The folder the socket goes in (made private when it is the fallback),
    // empty when none can be had.
    static QString SocketFolder();
    // Starts serving on the first free name in `folder` (the socket folder
    // when empty); a socket left by a crashed copy is replaced. False when
    // no socket could be made.
    bool Listen(const QString& folder = QString());
    // The socket's full path while serving.
    QString SocketPath() const;
    // Open connections.
    std::size_t ConnectionCount() const { return connections_.size(); }

private:
    struct TConnection {
        QLocalSocket* Socket = nullptr;
        TLinkFrameReader Reader;
    };

    void Accept();
    void Read(std::uint64_t id);
    void Drop(std::uint64_t id);
    void Send(std::uint64_t id, const TLinkFrame& frame);
    void SchedulePump(int delay);
    void Pump();

    TLinkServer server_;
    std::size_t bufferLimit_;
    QLocalServer* listener_ = nullptr;
    QTimer* pumpTimer_ = nullptr;
    std::map<std::uint64_t, std::unique_ptr<TConnection>> connections_;
    std::uint64_t nextId_ = 1;
};

} // namespace editor::ui
