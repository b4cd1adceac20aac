#include "RemoteController.h"

#include <QTest>

#include "IPCSocket.h"
#include "Main.h"

namespace {
// Superframe IDs no test uses for anything else.
constexpr int32_t kFirstSentinel = 900000;
}  // namespace

Controller::Controller(const QString& path) {
    socket_.connectToServer(path);
    socket_.waitForConnected(2000);
}

bool Controller::Send(const QByteArray& text) {
    socket_.write(text);
    socket_.flush();
    return QTest::qWaitFor([this] { return socket_.bytesToWrite() == 0; }, 20000);
}

QByteArray Controller::NextSentinel() {
    sentinel_ = sentinel_ == 0 ? kFirstSentinel : sentinel_ + 1;
    return "SetSuperframeID:" + QByteArray::number(sentinel_) + "*";
}

bool Controller::WaitForSentinel() {
    return QTest::qWaitFor([this] { return Main::Instance().SuperframeID == sentinel_; });
}

bool Controller::SendSentinel() { return Send(NextSentinel()) && WaitForSentinel(); }

bool Controller::SendBehindSentinel(const QByteArray& start) {
    // A write this small reaches the window in one piece: sentinel and start
    // come in the same read.
    return Send(NextSentinel() + start) && WaitForSentinel();
}

QByteArray Controller::ReadCommands(int count, int timeoutMs) {
    QByteArray received;
    // Whatever came by the bound is the answer; the caller compares it.
    (void)QTest::qWaitFor(
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
    if (!controller->Connected() || !QTest::qWaitFor([socket] { return socket->IsConnected(); }))
        return nullptr;
    return controller;
}
