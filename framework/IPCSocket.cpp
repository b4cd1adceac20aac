#include "IPCSocket.h"

#include <fcntl.h>
#include <poll.h>
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

// The socket has no visible part: a hidden widget stands in for it among the
// window's controls (its name, its place in the creation order).
QWidget* NewHiddenStandIn(QWidget* parent) {
    auto* place = new QWidget(parent);
    place->hide();
    return place;
}

void Warn(const QString& path, const QString& reason) {
    qCWarning(lcVeltrane).noquote() << QStringLiteral("not listening on %1: %2").arg(path, reason);
}

QString ErrnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool FillAddress(const QByteArray& path, sockaddr_un* address) {
    if (path.size() >= static_cast<qsizetype>(sizeof(address->sun_path))) return false;
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, path.constData(), static_cast<size_t>(path.size()));
    return true;
}

enum class PeerProbe { Listening, Stale, Unknown };

// Whether some program accepts connections on the socket file at `path`. A
// non-blocking connect answers at once: refused means nobody listens there.
PeerProbe ProbePeer(const QByteArray& path) {
    sockaddr_un address{};
    if (!FillAddress(path, &address)) return PeerProbe::Unknown;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return PeerProbe::Unknown;
    const int rc = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    const int error = errno;
    ::close(fd);
    if (rc == 0 || error == EAGAIN || error == EINPROGRESS) return PeerProbe::Listening;
    if (error == ECONNREFUSED) return PeerProbe::Stale;
    return PeerProbe::Unknown;
}

FileIdentity IdentityOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }

bool IsFile(const QByteArray& path, const FileIdentity& identity) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0 && info.st_dev == identity.Device &&
           info.st_ino == identity.Inode;
}

// What a path holds, for a new socket file.
enum class Occupant { Nothing, OwnStaleSocket, Other };

// Only a socket file of this user's that nobody listens on may be replaced;
// for anything else `reason` says why it stays.
Occupant LookAt(const QByteArray& path, QString* reason) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        if (errno == ENOENT) return Occupant::Nothing;
        *reason = ErrnoText();
        return Occupant::Other;
    }
    if (!S_ISSOCK(info.st_mode)) {
        *reason = QStringLiteral("the path exists and is not a socket; it is left untouched");
        return Occupant::Other;
    }
    if (info.st_uid != ::geteuid()) {
        *reason =
            QStringLiteral("the socket file there belongs to another user; it is left untouched");
        return Occupant::Other;
    }
    switch (ProbePeer(path)) {
        case PeerProbe::Listening:
            *reason = QStringLiteral("another program is listening there");
            return Occupant::Other;
        case PeerProbe::Unknown:
            *reason = QStringLiteral("the socket file there may be in use; it is left untouched");
            return Occupant::Other;
        case PeerProbe::Stale:
            break;
    }
    return Occupant::OwnStaleSocket;
}

bool Rename(const QByteArray& from, const QByteArray& to, unsigned int flags) {
    return ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), flags) == 0;
}

// Moves the socket file `inside` (in a private folder) to `target`, where
// nothing may be but a stale socket file of this user's. Nothing at the target
// is ever removed by its name: a stale file is exchanged with ours, looked at
// again where it came out (the private folder, where nobody else can change
// it) and only then removed; whatever came out that is not stale goes back.
bool PlaceSocket(const QByteArray& inside, const QByteArray& target, QString* reason) {
    // A path that keeps changing under us is given up after a few rounds.
    for (int round = 0; round < 4; ++round) {
        if (Rename(inside, target, RENAME_NOREPLACE)) return true;
        if (errno != EEXIST) {
            *reason = ErrnoText();
            return false;
        }
        switch (LookAt(target, reason)) {
            case Occupant::Nothing:
                continue;  // it went meanwhile
            case Occupant::Other:
                return false;
            case Occupant::OwnStaleSocket:
                break;
        }
        if (!Rename(inside, target, RENAME_EXCHANGE)) {
            if (errno == ENOENT) continue;
            *reason = ErrnoText();
            return false;
        }
        if (LookAt(inside, reason) == Occupant::OwnStaleSocket) {
            ::unlink(inside.constData());
            return true;
        }
        // Between the look and the exchange another program placed its
        // socket there: it goes back, and ours comes out again.
        if (!Rename(inside, target, RENAME_EXCHANGE))
            *reason = QStringLiteral("%1; putting it back failed: %2").arg(*reason, ErrnoText());
        return false;
    }
    *reason = QStringLiteral("the path keeps changing; it is left untouched");
    return false;
}

// How many connecting peers wait for accept; one is served, the others are
// closed at once.
constexpr int kBacklog = 4;

// A listening socket file made at `path`: bound in a private folder beside the
// path, given its mode there, and only then moved into place (PlaceSocket).
// `placed` is the socket file's identity, taken before the move (the move
// keeps it).
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
               ::lstat(inside.constData(), &info) != 0 ||
               ::chmod(inside.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, kBacklog) != 0) {
        *reason = ErrnoText();
    } else if (PlaceSocket(inside, target, reason)) {
        *placed = IdentityOf(info);
        ok = true;
    }
    // Only our own file is removed from the folder; should another program's
    // file have been left there, the folder stays and the warning names it.
    if (IsFile(inside, IdentityOf(info))) ::unlink(inside.constData());
    if (::rmdir(folder.constData()) != 0 && errno == ENOTEMPTY)
        *reason += QStringLiteral("; what came out of the path is kept in %1")
                       .arg(QFile::decodeName(folder));
    if (!ok && fd >= 0) ::close(fd);
    return ok ? fd : -1;
}

// Removes the socket file at `path` only while it still is the one we placed
// there: whatever took the path since (a file, another program's socket) stays.
void RemoveIfOurs(const QString& path, const FileIdentity& placed) {
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0) return;
    if (!S_ISSOCK(info.st_mode) || info.st_dev != placed.Device || info.st_ino != placed.Inode)
        return;
    ::unlink(native.constData());
}
}  // namespace

IPCSocket::IPCSocket(QWidget* parent)
    : QObject(parent), Control(NewHiddenStandIn(parent)), standIn_(Widget()) {}

IPCSocket::~IPCSocket() {
    // The peer is let go and the socket file removed; no event is raised.
    DropPeer();
    StopListening();
    // Without a parent nobody else deletes it; with one, it goes with the
    // socket rather than with the window.
    delete standIn_.data();
}

IPCSocket::PathRedirect IPCSocket::SetPathRedirect(PathRedirect redirect) {
    return std::exchange(Redirect(), std::move(redirect));
}

void IPCSocket::Listen() {
    if (listenFd_ >= 0) {
        if (StillPlaced()) return;
        // Someone took the path: this socket cannot be reached any more.
        StopListening();
    }
    const QString path = Redirect() ? Redirect()(Path) : Path;
    if (path.isEmpty()) {
        Warn(path, QStringLiteral("no path"));
        return;
    }
    QString reason;
    FileIdentity placed;
    const int fd = ListenAt(path, &placed, &reason);
    if (fd < 0) {
        Warn(path, reason);
        return;
    }
    listenFd_ = fd;
    listeningPath_ = path;
    placed_ = placed;
    acceptDeferred_ = false;
    acceptNotifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(acceptNotifier_, &QSocketNotifier::activated, EventScope(), [this] { AcceptPeers(); });
}

bool IPCSocket::StillPlaced() const { return IsFile(QFile::encodeName(listeningPath_), placed_); }

void IPCSocket::Disconnect() {
    DropPeer();
    errorDue_ = false;  // the connection ends by the owner's own choice
    ResumeAccepting();
}

void IPCSocket::Close() {
    Disconnect();
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
    acceptDeferred_ = false;
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
    else if (!inDataAvailable_)
        ResumeAccepting();
}

QString IPCSocket::ListeningPath() const { return listeningPath_; }

void IPCSocket::AcceptPeers() {
    while (listenFd_ >= 0) {
        // A peer that has gone, with its end not yet read, is no reason to
        // turn the next one away: its session ends first.
        if (peer_ && PeerHasEnded()) {
            if (inDataAvailable_ || inWrite_) {
                DeferAccepting();
                return;
            }
            EndGonePeer();
            continue;  // Error may have changed the listening
        }
        if (!peer_ && errorDue_) {
            // The last session's end is still to be reported.
            DeferAccepting();
            return;
        }
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) break;  // none waiting (or the peer gave up already)
        if (peer_) {
            // One peer at a time: while the first one is still connected, a
            // second one is closed at once, unread.
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
        connect(socket, &QLocalSocket::readyRead, EventScope(), [this] { PeerDataReady(); });
        connect(socket, &QLocalSocket::disconnected, EventScope(), [this] { PeerGone(); });
        connect(socket, &QLocalSocket::errorOccurred, EventScope(), [this] { PeerGone(); });
        if (Connected) Connected();
    }
}

bool IPCSocket::PeerHasEnded() const {
    if (!peer_) return false;
    pollfd look{static_cast<int>(peer_->socketDescriptor()), POLLRDHUP, 0};
    if (look.fd < 0) return true;
    return ::poll(&look, 1, 0) > 0 && (look.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void IPCSocket::EndGonePeer() {
    // Reading up to the end of the stream delivers what the peer sent
    // (DataAvailable); reading its end raises Error (PeerGone).
    constexpr int kMostReads = 64;
    for (int read = 0; peer_ && read < kMostReads; ++read) {
        if (!peer_->waitForReadyRead(0)) break;
    }
    if (peer_) PeerGone();
}

void IPCSocket::DeferAccepting() {
    acceptDeferred_ = true;
    if (acceptNotifier_) acceptNotifier_->setEnabled(false);
}

void IPCSocket::ResumeAccepting() {
    if (!acceptDeferred_) return;
    acceptDeferred_ = false;
    // The notifier reports a peer still waiting at once.
    if (acceptNotifier_) acceptNotifier_->setEnabled(true);
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
    ResumeAccepting();
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
    ResumeAccepting();
}

void IPCSocket::RaiseDueError() {
    if (!errorDue_) return;
    errorDue_ = false;
    if (Error) Error();
    ResumeAccepting();
}

void IPCSocket::DropPeer() {
    if (!peer_) return;
    QLocalSocket* socket = peer_;
    peer_ = nullptr;
    disconnect(socket, nullptr, EventScope(), nullptr);
    socket->abort();
    socket->deleteLater();
}
