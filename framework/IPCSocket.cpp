#include "IPCSocket.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QWidget>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
IPCSocket::PathRedirect& Redirect() {
    static IPCSocket::PathRedirect redirect;
    return redirect;
}

// The socket has no visible part; the hidden widget only gives it a place
// among the window's controls.
QWidget* HiddenPlace(QWidget* parent) {
    auto* place = new QWidget(parent);
    place->hide();
    return place;
}

void Warn(const QString& path, const QString& reason) {
    const QString line = QStringLiteral("%1: not listening on %2: %3")
                             .arg(QCoreApplication::applicationName(), path, reason);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

enum class PeerProbe { Listening, Stale, Unknown };

// Whether some program accepts connections on the socket file at `path`. A
// non-blocking connect answers at once: refused means nobody listens there.
PeerProbe ProbePeer(const QByteArray& path) {
    sockaddr_un address{};
    if (path.size() >= static_cast<qsizetype>(sizeof(address.sun_path))) return PeerProbe::Unknown;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return PeerProbe::Unknown;
    const int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    const int error = errno;
    ::close(fd);
    if (rc == 0 || error == EAGAIN || error == EINPROGRESS) return PeerProbe::Listening;
    if (error == ECONNREFUSED) return PeerProbe::Stale;
    return PeerProbe::Unknown;
}

// Makes the path free for a new socket file: nothing there, or a stale socket
// file that is removed. Anything else stays as it is; `reason` says why.
bool ClearPath(const QString& path, QString* reason) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) {
        if (errno == ENOENT) return true;
        *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!S_ISSOCK(info.st_mode)) {
        *reason = QStringLiteral("the path exists and is not a socket; it is left untouched");
        return false;
    }
    switch (ProbePeer(native)) {
        case PeerProbe::Listening:
            *reason = QStringLiteral("another program is listening there");
            return false;
        case PeerProbe::Unknown:
            *reason = QStringLiteral("the socket file there may be in use; it is left untouched");
            return false;
        case PeerProbe::Stale:
            break;
    }
    if (::unlink(native.constData()) != 0 && errno != ENOENT) {
        *reason = QStringLiteral("cannot remove the stale socket file: %1")
                      .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}
}  // namespace

IPCSocket::IPCSocket(QWidget* parent) : QObject(parent), Control(HiddenPlace(parent)) {}

IPCSocket::~IPCSocket() {
    // No event may reach the window that is going away.
    DropPeer();
    if (server_) server_->close();  // removes the socket file
}

void IPCSocket::SetPathRedirect(PathRedirect redirect) {
    Redirect() = std::move(redirect);
}

void IPCSocket::Listen() {
    if (server_ && server_->isListening()) return;
    const QString path = Redirect() ? Redirect()(Path) : Path;
    if (path.isEmpty()) {
        Warn(path, QStringLiteral("no path"));
        return;
    }
    QString reason;
    if (!ClearPath(path, &reason)) {
        Warn(path, reason);
        return;
    }
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        Warn(path, server->errorString());
        delete server;
        return;
    }
    // Owner read and write only; the execute bit means nothing on a socket.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    connect(server, &QLocalServer::newConnection, this, &IPCSocket::AcceptPeers);
    server_ = server;
}

void IPCSocket::Close() {
    DropPeer();
    errorDue_ = false;  // the connection ends by the owner's own choice
    if (server_) {
        server_->close();
        // Close may run inside the server's own signal.
        server_->deleteLater();
        server_ = nullptr;
    }
}

bool IPCSocket::IsConnected() const {
    return peer_ && peer_->state() == QLocalSocket::ConnectedState;
}

QByteArray IPCSocket::ReadAll() {
    return peer_ ? peer_->readAll() : QByteArray();
}

void IPCSocket::Write(const QByteArray& data) {
    if (!IsConnected()) return;
    inWrite_ = true;
    peer_->write(data);
    // Each Write leaves as its own write, in order.
    if (peer_) peer_->flush();
    inWrite_ = false;
    // A peer found gone while writing is reported after the writer's handler.
    if (errorDue_ && !inDataAvailable_)
        QMetaObject::invokeMethod(this, &IPCSocket::RaiseDueError, Qt::QueuedConnection);
}

QString IPCSocket::ListeningPath() const {
    return server_ && server_->isListening() ? server_->fullServerName() : QString();
}

void IPCSocket::AcceptPeers() {
    while (server_ && server_->hasPendingConnections()) {
        QLocalSocket* socket = server_->nextPendingConnection();
        if (!socket) break;
        if (peer_ || errorDue_) {
            // One peer at a time: a second one is closed at once, unread (also
            // while the first one's going away is still to be reported).
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);  // outlives the server on Close
        peer_ = socket;
        connect(socket, &QLocalSocket::readyRead, this, &IPCSocket::PeerDataReady);
        connect(socket, &QLocalSocket::disconnected, this, &IPCSocket::PeerGone);
        connect(socket, &QLocalSocket::errorOccurred, this, &IPCSocket::PeerGone);
        if (Connected) Connected();
    }
}

void IPCSocket::PeerDataReady() {
    if (!peer_) return;
    if (inDataAvailable_) {
        dataAgain_ = true;
        return;
    }
    dataAgain_ = false;
    inDataAvailable_ = true;
    if (DataAvailable) DataAvailable();
    inDataAvailable_ = false;
    if (errorDue_) {
        RaiseDueError();
        return;
    }
    // Data that came while the handler ran (in a nested event loop) is not
    // announced again by the socket.
    if (dataAgain_ && peer_ && peer_->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &IPCSocket::PeerDataReady, Qt::QueuedConnection);
}

void IPCSocket::PeerGone() {
    if (!peer_) return;
    // What the peer sent before it went is still delivered.
    if (!inDataAvailable_ && peer_->bytesAvailable() > 0) {
        PeerDataReady();
        if (!peer_) return;
    }
    DropPeer();
    RaiseError();
}

void IPCSocket::RaiseError() {
    if (inDataAvailable_ || inWrite_) {
        errorDue_ = true;
        return;
    }
    if (Error) Error();
}

void IPCSocket::RaiseDueError() {
    if (!errorDue_) return;
    errorDue_ = false;
    if (Error) Error();
}

void IPCSocket::DropPeer() {
    if (!peer_) return;
    QLocalSocket* socket = peer_;
    peer_ = nullptr;
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
}
