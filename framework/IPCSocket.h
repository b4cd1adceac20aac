#pragma once
#include <sys/types.h>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "Control.h"

class QLocalSocket;
class QSocketNotifier;

// Which file a path names: device and inode.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

// A local stream socket at a file-system path, on the listening side: Listen
// accepts one peer; Connected, DataAvailable and Error (also when the peer goes
// away); ReadAll returns all unread data; Write sends without waiting.
//
// The socket file is the user's alone (owner read and write only). A stale
// socket file left at the path by an earlier run is replaced; a path that is
// not a socket, or on which another program listens, is left untouched and
// Listen logs one warning (Logging.h). A second peer that connects while one
// is served is closed at once, unread. Closing, or destroying the socket,
// removes the socket file, but only while the path still names the file that
// Listen placed there. Events run on the thread of the event loop, never
// nested inside one another.
class IPCSocket : public QObject, public Control {
    Q_OBJECT
public:
    explicit IPCSocket(QWidget* parent = nullptr);
    ~IPCSocket() override;

    Event<void()> Connected{this};
    Event<void()> DataAvailable{this};
    Event<void()> Error{this};

    QString Path;

    void Listen();
    void Close();
    bool IsConnected() const;
    QByteArray ReadAll();
    void Write(const QByteArray& data);

    // The path listened on now (Path after the redirect); empty when not listening.
    QString ListeningPath() const;

    // Test seam: maps every Path to the path that Listen really uses, so that
    // test programs never touch the product's path. An empty function restores
    // the identity. Gives back the redirect before.
    using PathRedirect = std::function<QString(const QString& path)>;
    static PathRedirect SetPathRedirect(PathRedirect redirect);

private:
    void AcceptPeers();
    void StopListening();
    void PeerDataReady();
    void PeerGone();
    void RaiseError();
    void RaiseDueError();
    void DropPeer();

    int listenFd_ = -1;
    QSocketNotifier* acceptNotifier_ = nullptr;
    QString listeningPath_;
    FileIdentity placed_;  // the socket file Listen put at listeningPath_
    QPointer<QLocalSocket> peer_;
    bool inDataAvailable_ = false;
    bool inWrite_ = false;
    bool dataAgain_ = false;  // data came while DataAvailable ran
    bool errorDue_ = false;   // the peer went away during DataAvailable or Write
};
