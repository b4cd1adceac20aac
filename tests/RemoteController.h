#pragma once
// An external controller on the main window's local socket, as tests drive it.
#include <QByteArray>
#include <QLocalSocket>
#include <QString>
#include <functional>
#include <memory>

// Pumps the event loop until `done` holds, at most `timeoutMs`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// The external program: connects, writes commands, reads notifications.
class Controller {
public:
    explicit Controller(const QString& path);

    QLocalSocket& Socket() { return socket_; }
    bool Connected() const { return socket_.state() == QLocalSocket::ConnectedState; }

    // One write; returns once every byte has left.
    bool Send(const QByteArray& text);

    // Sends text that is to change nothing, and gives the window time to read it.
    void SendAndSettle(const QByteArray& text);

    // What the system wrote until `count` commands ("*") arrived, within the bound.
    QByteArray ReadCommands(int count, int timeoutMs = 5000);

    // Reads without running the event loop: only text already sent arrives.
    QByteArray ReadWithoutEventLoop();

    void Disconnect();

private:
    QLocalSocket socket_;
};

// A controller that the main window has taken as its controller; null when
// the window did not take it.
std::unique_ptr<Controller> ConnectController();
