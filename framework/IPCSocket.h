#pragma once
#include <sys/types.h>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

#include "Control.h"

class QLocalSocket;
class QSocketNotifier;

// Which file a path names: device and inode.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
};

// A local stream socket at a file-system path, on the listening side: Listen
// accepts one peer; Connected, DataAvailable and Error (also when the peer goes
// away); ReadAll returns all unread data; Write sends without waiting.
//
// The socket file is the user's alone (owner read and write only) and stays at
// its path from Listen to Close, also between peers. A stale socket file of
// the same user's, left at the path by an earlier run, is replaced; anything
// else there (a file, another program's socket, another user's socket) is
// left untouched and Listen logs one warning (Logging.h). The new file is
// exchanged in, never placed after removing the old one by name, so two
// programs starting at once never remove each other's socket file.
//
// One peer is served at a time. A second peer that connects while the first
// one is still connected is closed at once, unread; when the first one has
// gone already (its end of stream is waiting to be read), its session ends
// first (its data, then Error) and the second one is served. Disconnect ends
// the session and goes on listening; Close, or destroying the socket, ends the
// listening too and removes the socket file, but only while the path still
// names the file that Listen placed there. Events run on the thread of the
// event loop, never nested inside one another.
class IPCSocket : public QObject, public Control {
    Q_OBJECT
public:
    explicit IPCSocket(QWidget* parent = nullptr);
    ~IPCSocket() override;

    Event<void()> Connected{this};
    Event<void()> DataAvailable{this};
    Event<void()> Error{this};

    QString Path;

    // Starts listening; while listening already, listens anew only when the
    // path no longer names this socket's file.
    void Listen();
    // Ends the connection with the peer; the socket goes on listening.
    void Disconnect();
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
    bool PeerHasEnded() const;
    void EndGonePeer();
    void DeferAccepting();
    void ResumeAccepting();
    bool StillPlaced() const;
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
    bool dataAgain_ = false;       // data came while DataAvailable ran
    bool errorDue_ = false;        // the peer went away during DataAvailable or Write
    bool acceptDeferred_ = false;  // a peer waits until the last session's end is reported
    QPointer<QWidget> standIn_;    // the hidden widget that stands for the socket
};
