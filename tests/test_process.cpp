// The real program as a process: how signals end it, what it ignores, and
// what it leaves at its socket path. Each run has a /tmp of its own.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <csignal>
#include <memory>

#include "ChildProcess.h"
#include "CoreTestSupport.h"

namespace {
const QString kProgram = QStringLiteral(VELTRANE_EXECUTABLE);
const QString kSocketPath = QStringLiteral("/tmp/testing");

bool IsSocket(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Whether `number` is in a signal set line of /proc/<pid>/status.
bool InSignalSet(pid_t pid, const char* field, int number) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return false;
    const QByteArray prefix = QByteArray(field) + ":";
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (!line.startsWith(prefix)) continue;
        bool ok = false;
        const qulonglong mask = line.mid(prefix.size()).trimmed().toULongLong(&ok, 16);
        return ok && (mask >> (number - 1)) & 1u;
    }
    return false;
}

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override {
        const QString why = ChildProcess::WhyNotIsolated();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    }

    // Starts the program and waits until it listens on its socket.
    void StartProgram() {
        child_ = std::make_unique<ChildProcess>();
        const QString failed = child_->Start(kProgram, {});
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        socket_ = child_->HostPath(kSocketPath);
        ASSERT_TRUE(child_->WaitUntil([this] { return IsSocket(socket_); }))
            << child_->Describe().toStdString();
    }

    // A controller on the program's socket; the program takes it when it
    // next runs its event loop.
    std::unique_ptr<QLocalSocket> Connect() {
        auto controller = std::make_unique<QLocalSocket>();
        controller->connectToServer(socket_);
        EXPECT_TRUE(controller->waitForConnected(5000)) << controller->errorString().toStdString();
        return controller;
    }

    void ExpectQuitCleanly() {
        ASSERT_TRUE(child_->WaitForExit()) << child_->Describe().toStdString();
        EXPECT_TRUE(child_->ExitedNormally()) << child_->Describe().toStdString();
        EXPECT_EQ(child_->ExitCode(), 0) << child_->Describe().toStdString();
    }

    std::unique_ptr<ChildProcess> child_;
    QString socket_;  // the program's socket path, as the test reaches it
};

TEST_F(RealProgram, TerminationSignalsEndItLikeQuit) {
    const struct {
        int signal;
        bool withController;
    } cases[] = {{SIGTERM, false}, {SIGINT, false}, {SIGHUP, false}, {SIGTERM, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "signal " << c.signal << (c.withController ? ", controlled" : ""));
        StartProgram();
        std::unique_ptr<QLocalSocket> controller;
        if (c.withController) {
            controller = Connect();
            controller->write("SetSuperframeID:1*");
            controller->waitForBytesWritten(1000);
        }
        ASSERT_TRUE(child_->Signal(c.signal));
        ExpectQuitCleanly();
        EXPECT_FALSE(QFile::exists(socket_));
        if (controller) {
            // The program's end closes the controller's connection too.
            EXPECT_TRUE(controller->state() == QLocalSocket::UnconnectedState ||
                        controller->waitForDisconnected(5000));
        }
    }
}

TEST_F(RealProgram, IgnoresTheFileSizeSignalAndCatchesTheTerminationSignals) {
    StartProgram();
    EXPECT_TRUE(InSignalSet(child_->Pid(), "SigIgn", SIGXFSZ));
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        EXPECT_TRUE(InSignalSet(child_->Pid(), "SigCgt", number)) << number;
        EXPECT_FALSE(InSignalSet(child_->Pid(), "SigIgn", number)) << number;
    }
    ASSERT_TRUE(child_->Signal(SIGTERM));
    ExpectQuitCleanly();
}

// While a controller is connected, someone else takes the program's socket
// path. Neither the controller's leaving nor the program's end removes it.
TEST_F(RealProgram, WhatTookTheSocketPathSurvives) {
    for (const bool leaveFirst : {true, false}) {
        SCOPED_TRACE(leaveFirst ? "controller leaves, then the program quits"
                                : "the program quits while controlled");
        StartProgram();
        auto controller = Connect();
        ASSERT_TRUE(QFile::remove(socket_));
        {
            QFile file(socket_);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("someone else's file\n");
        }
        if (leaveFirst) {
            controller->disconnectFromServer();
            // Listening again, the program finds the file and says so.
            EXPECT_TRUE(child_->WaitUntil([this] {
                return child_->Output().contains("not listening on /tmp/testing");
            })) << child_->Describe().toStdString();
        }
        ASSERT_TRUE(child_->Signal(SIGTERM));
        ExpectQuitCleanly();
        EXPECT_EQ(ReadBytes(socket_), QByteArray("someone else's file\n"));
    }
}

TEST_F(RealProgram, AnotherListenersSocketSurvives) {
    StartProgram();
    auto controller = Connect();
    ASSERT_TRUE(QFile::remove(socket_));
    QLocalServer other;
    ASSERT_TRUE(other.listen(socket_)) << other.errorString().toStdString();
    controller->disconnectFromServer();
    EXPECT_TRUE(child_->WaitUntil([this] {
        return child_->Output().contains("not listening on /tmp/testing");
    })) << child_->Describe().toStdString();
    ASSERT_TRUE(child_->Signal(SIGTERM));
    ExpectQuitCleanly();

    // The other program's socket is still there and still answers.
    EXPECT_TRUE(IsSocket(socket_));
    QLocalSocket client;
    client.connectToServer(socket_);
    EXPECT_TRUE(client.waitForConnected(2000));
    EXPECT_TRUE(other.waitForNewConnection(2000));
}
}  // namespace
