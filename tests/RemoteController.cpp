#include "RemoteController.h"

#include <QDeadlineTimer>
#include <QTest>

#include "IPCSocket.h"
#include "Main.h"

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(5);
    }
    return true;
}

Controller::Controller(const QString& path) {
    socket_.connectToServer(path);
    socket_.waitForConnected(2000);
}

bool Controller::Send(const QByteArray& text) {
    socket_.write(text);
    socket_.flush();
    return WaitUntil([this] { return socket_.bytesToWrite() == 0; }, 20000);
}

void Controller::SendAndSettle(const QByteArray& text) {
    Send(text);
    QTest::qWait(50);
}

QByteArray Controller::ReadCommands(int count, int timeoutMs) {
    QByteArray received;
    WaitUntil(
        [&] {
            received += socket_.readAll();
            return received.count('*') >= count;
        },
        timeoutMs);
    return received;
}

QByteArray Controller::ReadWithoutEventLoop() {
    socket_.waitForReadyRead(1000);
    return socket_.readAll();
}

void Controller::Disconnect() {
    socket_.disconnectFromServer();
    if (socket_.state() != QLocalSocket::UnconnectedState) socket_.waitForDisconnected(1000);
}

std::unique_ptr<Controller> ConnectController() {
    IPCSocket* socket = Main::Instance().IPCSocket1();
    auto controller = std::make_unique<Controller>(socket->ListeningPath());
    if (!controller->Connected() || !WaitUntil([socket] { return socket->IsConnected(); }))
        return nullptr;
    return controller;
}
