// The listening socket on its own, with a real client at a path of the test's
// own: listen, a peer connects, its data comes, an answer goes back, close.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "CoreTestSupport.h"
#include "IPCSocket.h"
#include "TestSeams.h"

namespace {

class IPCSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        TestSeams::Current().SetSocketPath(path_);  // this test's own path
        socket_ = new IPCSocket(&window_);
        socket_->Path = path_;
        socket_->Connected = [this] { log_ << QStringLiteral("connected"); };
        socket_->DataAvailable = [this] {
            log_ << "data " + QString::fromLatin1(socket_->ReadAll());
        };
        socket_->Error = [this] { log_ << QStringLiteral("error"); };
    }
    void TearDown() override { TestSeams::Current().Reset(); }

    // Waits until the socket has logged `count` events in all.
    bool WaitForLog(int count) {
        return QTest::qWaitFor([&] { return log_.size() >= count; });
    }

    QTemporaryDir dir_;
    const QString path_ = dir_.filePath(QStringLiteral("remote"));
    QWidget window_;
    IPCSocket* socket_ = nullptr;
    QStringList log_;
};

TEST_F(IPCSocketTest, ListenTalkAndClose) {
    socket_->Listen();
    ASSERT_EQ(socket_->ListeningPath(), path_);
    EXPECT_EQ(QFileInfo(path_).permissions() &
                  (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions())
        << "the socket file is the user's alone";
    EXPECT_FALSE(socket_->IsConnected());

    QLocalSocket client;
    client.connectToServer(path_);
    ASSERT_TRUE(client.waitForConnected(5000));
    ASSERT_TRUE(WaitForLog(1));
    EXPECT_EQ(log_, QStringList({"connected"}));
    EXPECT_TRUE(socket_->IsConnected());

    client.write("SetClockGear:9*");
    client.flush();
    ASSERT_TRUE(WaitForLog(2));
    EXPECT_EQ(log_.last(), "data SetClockGear:9*");

    socket_->Write("Ack:1*");
    socket_->Write("Ack:2*");
    QByteArray answer;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        if (client.waitForReadyRead(10)) answer += client.readAll();
        return answer.size() >= 12;
    }));
    EXPECT_EQ(answer, "Ack:1*Ack:2*") << "each write arrives, in order";

    // What a peer sends just before it goes is still delivered, then Error.
    client.write("last*");
    client.flush();
    client.disconnectFromServer();
    ASSERT_TRUE(WaitForLog(4));
    EXPECT_EQ(log_.mid(2), QStringList({"data last*", "error"}));
    EXPECT_FALSE(socket_->IsConnected());

    socket_->Close();
    EXPECT_EQ(socket_->ListeningPath(), QString());
    EXPECT_FALSE(QFileInfo::exists(path_)) << "closing removes the socket file";
}

TEST_F(IPCSocketTest, ASecondPeerIsClosedUnread) {
    socket_->Listen();
    QLocalSocket first;
    first.connectToServer(path_);
    ASSERT_TRUE(first.waitForConnected(5000));
    ASSERT_TRUE(WaitForLog(1));

    QLocalSocket second;
    second.connectToServer(path_);
    second.write("intruder*");
    second.flush();
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QLocalSocket::UnconnectedState; }))
        << "the second peer is dropped";

    // The first one is still served: its data comes, and nothing of the second's.
    first.write("mine*");
    first.flush();
    ASSERT_TRUE(WaitForLog(2));
    EXPECT_EQ(log_, QStringList({"connected", "data mine*"}));
}

// Disconnect ends the session and keeps the socket file listening at its path.
TEST_F(IPCSocketTest, DisconnectKeepsListening) {
    socket_->Listen();
    struct stat placed {};
    ASSERT_EQ(::lstat(QFile::encodeName(path_).constData(), &placed), 0);
    QLocalSocket first;
    first.connectToServer(path_);
    ASSERT_TRUE(first.waitForConnected(5000));
    ASSERT_TRUE(WaitForLog(1));
    socket_->Disconnect();
    EXPECT_FALSE(socket_->IsConnected());
    EXPECT_TRUE(first.state() == QLocalSocket::UnconnectedState || first.waitForDisconnected(5000));
    EXPECT_EQ(socket_->ListeningPath(), path_);
    socket_->Listen();  // listening still: nothing changes
    struct stat now {};
    ASSERT_EQ(::lstat(QFile::encodeName(path_).constData(), &now), 0);
    EXPECT_EQ(now.st_ino, placed.st_ino) << "the same socket file";

    QLocalSocket second;
    second.connectToServer(path_);
    ASSERT_TRUE(second.waitForConnected(5000));
    second.write("again*");
    second.flush();
    ASSERT_TRUE(WaitForLog(3));
    EXPECT_EQ(log_, QStringList({"connected", "connected", "data again*"}));
}

// The hidden widget that stands for the socket goes with it, also when the
// socket has no window.
TEST(IPCSocket, HiddenStandInGoesWithTheSocket) {
    QPointer<QWidget> standIn;
    {
        IPCSocket socket;
        standIn = socket.Widget();
        ASSERT_TRUE(standIn);
        EXPECT_FALSE(standIn->isVisible());
    }
    EXPECT_TRUE(standIn.isNull());
    QWidget window;
    auto* socket = new IPCSocket(&window);
    standIn = socket->Widget();
    delete socket;
    EXPECT_TRUE(standIn.isNull());
}
}  // namespace
