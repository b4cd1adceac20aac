#include "IPCSocket.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QFile>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QWidget>
#include <cerrno>
#include <cstring>
#include <utility>

#include "Logging.h"

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
    qCWarning(lcVeltrane).noquote() << QStringLiteral("not listening on %1: %2").arg(path, reason);
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

// How many connecting peers wait for accept; one is served, the others are
// closed at once.
constexpr int kBacklog = 4;

bool FillAddress(const QByteArray& path, sockaddr_un* address) {
    if (path.size() >= static_cast<qsizetype>(sizeof(address->sun_path))) return false;
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// A listening socket file made at `path`: bound in a private folder beside the
// path, given its mode there, and only then moved into place, never over
// anything that appeared at the path meanwhile. `placed` is the socket file's
// identity, taken before the move (the move keeps it).
int ListenAt(const QString& path, FileIdentity* placed, QString* reason) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray folder = target + "-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        *reason = QStringLiteral("cannot make a folder beside the path: %1").arg(ErrnoText());
        return -1;
    }
    const QByteArray inside = folder + "/s";
    sockaddr_un address{};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    struct stat info {};
    bool ok = false;
    if (fd < 0 || !FillAddress(inside, &address)) {
        *reason = fd < 0 ? ErrnoText() : QStringLiteral("the path is too long");
    } else if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
               ::chmod(inside.constData(), S_IRUSR | S_IWUSR) != 0 ||
               ::lstat(inside.constData(), &info) != 0 || ::listen(fd, kBacklog) != 0) {
        *reason = ErrnoText();
    } else if (::renameat2(AT_FDCWD, inside.constData(), AT_FDCWD, target.constData(),
                           RENAME_NOREPLACE) != 0) {
        *reason = errno == EEXIST
                      ? QStringLiteral("the path was taken meanwhile; it is left untouched")
                      : ErrnoText();
    } else {
        placed->device = info.st_dev;
        placed->inode = info.st_ino;
        ok = true;
    }
    ::unlink(inside.constData());  // only when the move did not happen
    ::rmdir(folder.constData());
    if (!ok && fd >= 0) ::close(fd);
    return ok ? fd : -1;
}

// Removes the socket file at `path` only while it still is the one we placed
// there: whatever took the path since (a file, another program's socket) stays.
void RemoveIfOurs(const QString& path, const FileIdentity& placed) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) return;
    if (!S_ISSOCK(info.st_mode) || info.st_dev != placed.device || info.st_ino != placed.inode)
        return;
    ::unlink(native.constData());
}
}  // namespace

IPCSocket::IPCSocket(QWidget* parent) : QObject(parent), Control(HiddenPlace(parent)) {}

IPCSocket::~IPCSocket() {
    // No event may reach the window that is going away.
    DropPeer();
    StopListening();
}

IPCSocket::PathRedirect IPCSocket::SetPathRedirect(PathRedirect redirect) {
    return std::exchange(Redirect(), std::move(redirect));
}

void IPCSocket::Listen() {
    if (listenFd_ >= 0) return;
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
    FileIdentity placed;
    const int fd = ListenAt(path, &placed, &reason);
    if (fd < 0) {
        Warn(path, reason);
        return;
    }
    listenFd_ = fd;
    listeningPath_ = path;
    placed_ = placed;
    acceptNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(acceptNotifier_, &QSocketNotifier::activated, this, &IPCSocket::AcceptPeers);
}

void IPCSocket::Close() {
    DropPeer();
    errorDue_ = false;  // the connection ends by the owner's own choice
    StopListening();
}

void IPCSocket::StopListening() {
    if (listenFd_ < 0) return;
    if (acceptNotifier_) {
        acceptNotifier_->setEnabled(false);
        // Close may run inside the notifier's own signal.
        acceptNotifier_->deleteLater();
        acceptNotifier_ = nullptr;
    }
    ::close(listenFd_);
    listenFd_ = -1;
    RemoveIfOurs(listeningPath_, placed_);
    listeningPath_.clear();
}

bool IPCSocket::IsConnected() const {
    return peer_ && peer_->state() == QLocalSocket::ConnectedState;
}

QByteArray IPCSocket::ReadAll() { return peer_ ? peer_->readAll() : QByteArray(); }

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

QString IPCSocket::ListeningPath() const { return listeningPath_; }

void IPCSocket::AcceptPeers() {
    while (listenFd_ >= 0) {
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) break;  // none waiting (or the peer gave up already)
        if (peer_ || errorDue_) {
            // One peer at a time: a second one is closed at once, unread (also
            // while the first one's going away is still to be reported).
            ::close(fd);
            continue;
        }
        auto* socket = new QLocalSocket(this);
        if (!socket->setSocketDescriptor(fd)) {
            ::close(fd);
            delete socket;
            continue;
        }
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
