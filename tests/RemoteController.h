#pragma once
// An external controller on the main window's local socket, as tests drive it.
#include <QByteArray>
#include <QLocalSocket>
#include <QString>
#include <cstdint>
#include <memory>

// The external program: connects, writes commands, reads notifications.
class Controller {
public:
    explicit Controller(const QString& path);

    QLocalSocket& Socket() { return socket_; }
    bool Connected() const { return socket_.state() == QLocalSocket::ConnectedState; }

    // One write; returns once every byte has left.
    bool Send(const QByteArray& text);

    // Sends a sentinel command and waits until the window has run it: by then
    // it has read everything sent before. It sets the superframe ID, to a
    // number of its own, and with it resets the marks.
    bool SendSentinel();

    // Sends text that does not end a command (`start`, to be completed by a
    // later write) in one write right behind a sentinel, and waits until the
    // window has run the sentinel: by then it has read `start` too.
    bool SendBehindSentinel(const QByteArray& start);

    // What the system wrote until `count` commands ("*") arrived, within the bound.
    QByteArray ReadCommands(int count, int timeoutMs = 5000);

    // Reads without running the event loop: only text already sent arrives.
    QByteArray ReadWithoutEventLoop();

    void Disconnect();

private:
    QByteArray NextSentinel();
    bool WaitForSentinel();

    QLocalSocket socket_;
    int32_t sentinel_ = 0;
};

// A controller that the main window has taken as its controller; null when
// the window did not take it.
std::unique_ptr<Controller> ConnectController();
