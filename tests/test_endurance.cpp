// Endurance of the remote control with a real controller on the test socket:
// many controllers one after another, controllers that vanish mid-command,
// and the socket file removed under the running program.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QThreadPool>
#include <functional>
#include <memory>

#include "IPCSocket.h"
#include "Listbox.h"
#include "Main.h"
#include "PushButton.h"
#include "TestSupport.h"

namespace {
const QString kLocalTitle = QStringLiteral("Veltrane");
const QString kRemoteTitle = QStringLiteral("Veltrane - Remote Controlled");
constexpr int kCycles = 1000;

// Runs the event loop, deferred deletions included, until `done` holds, at
// most `timeoutMs`. Polls briefly: a thousand cycles must not wait in
// ten-millisecond steps.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (done()) return true;
        if (deadline.hasExpired()) return false;
        ::usleep(100);
    }
}

// Qt's pool threads (image work of the painters) each hold an event notifier
// while they live; they are let go first, so that only what is really open counts.
int OpenFileDescriptors() {
    QThreadPool::globalInstance()->waitForDone();
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder) return -1;
    int count = 0;
    while (const dirent* entry = ::readdir(folder))
        if (entry->d_name[0] != '.') ++count;
    ::closedir(folder);
    return count;
}

class EnduranceTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        path_ = window().IPCSocket1()->ListeningPath();
        ASSERT_FALSE(path_.isEmpty());
    }

    bool IsRemote() { return window().Title() == kRemoteTitle; }
    // The user's again, and listening for the next controller.
    bool IsLocalAndListening() {
        return window().Title() == kLocalTitle && !window().IPCSocket1()->IsConnected() &&
               window().IPCSocket1()->ListeningPath() == path_;
    }

    // A controller that the window has taken as its controller; nullptr if not.
    std::unique_ptr<QLocalSocket> Connect() {
        auto controller = std::make_unique<QLocalSocket>();
        controller->connectToServer(path_);
        if (!controller->waitForConnected(2000)) return nullptr;
        if (!WaitUntil([this] { return IsRemote(); })) return nullptr;
        return controller;
    }

    static bool Send(QLocalSocket& controller, const QByteArray& text) {
        controller.write(text);
        controller.flush();
        return WaitUntil([&controller] { return controller.bytesToWrite() == 0; });
    }

    // One controller's whole life: connect, one command, disconnect.
    bool Cycle(int n) {
        std::unique_ptr<QLocalSocket> controller = Connect();
        if (!controller || !Send(*controller, "SetSuperframeID:" + QByteArray::number(n) + "*"))
            return false;
        if (!WaitUntil([this, n] { return window().SuperframeID == n; })) return false;
        controller->disconnectFromServer();
        return WaitUntil([this] { return IsLocalAndListening(); });
    }

    // The window serves a new controller: a channel added remotely is listed.
    void ExpectServedAgain() {
        std::unique_ptr<QLocalSocket> controller = Connect();
        ASSERT_TRUE(controller);
        const int rows = window().ChannelListBox()->ListCount();
        ASSERT_TRUE(Send(*controller, "AddChannel:3,4,3208,0,0,0,0,1,0,16,7*"));
        ASSERT_TRUE(WaitUntil([&] { return window().ChannelListBox()->ListCount() == rows + 1; }));
        controller->disconnectFromServer();
        ASSERT_TRUE(WaitUntil([this] { return IsLocalAndListening(); }));
        EXPECT_TRUE(window().AddChannelButton()->Enabled());
    }

    QString path_;
};

TEST_F(EnduranceTest, ThousandControllersLeaveNoFileDescriptorsBehind) {
    // The first cycle makes what Qt keeps for good (the event notifiers).
    ASSERT_TRUE(Cycle(1));
    const int before = OpenFileDescriptors();
    ASSERT_GT(before, 0);
    for (int n = 2; n <= kCycles + 1; ++n) ASSERT_TRUE(Cycle(n)) << "cycle " << n;
    EXPECT_EQ(OpenFileDescriptors(), before);

    EXPECT_EQ(window().SuperframeID, kCycles + 1);
    EXPECT_EQ(window().Title(), kLocalTitle);
    ExpectServedAgain();
}

TEST_F(EnduranceTest, ControllerVanishingMidCommandIsForgotten) {
    {
        std::unique_ptr<QLocalSocket> controller = Connect();
        ASSERT_TRUE(controller);
        ASSERT_TRUE(Send(*controller, "SetSuperframeID:4*AddChannel:3,4,32"));
        ASSERT_TRUE(WaitUntil([&] { return window().SuperframeID == 4; }));
        controller->abort();
    }
    ASSERT_TRUE(WaitUntil([this] { return IsLocalAndListening(); }));

    // The half command went with its controller: the next one's first text
    // does not complete it.
    std::unique_ptr<QLocalSocket> next = Connect();
    ASSERT_TRUE(next);
    ASSERT_TRUE(Send(*next, "08,0,0,0,0,1,0,16,7*SetSuperframeID:5*"));
    ASSERT_TRUE(WaitUntil([&] { return window().SuperframeID == 5; }));
    EXPECT_EQ(window().ChannelListBox()->ListCount(), 0);
    next->disconnectFromServer();
    ASSERT_TRUE(WaitUntil([this] { return IsLocalAndListening(); }));

    // A controller that goes while its long batch is still arriving.
    {
        std::unique_ptr<QLocalSocket> controller = Connect();
        ASSERT_TRUE(controller);
        QByteArray batch;
        for (int n = 0; n < 20000; ++n) batch += "SetSuperframeID:" + QByteArray::number(n) + "*";
        controller->write(batch);
        controller->flush();
        controller->abort();
    }
    ASSERT_TRUE(WaitUntil([this] { return IsLocalAndListening(); }));
    ExpectServedAgain();
}

TEST_F(EnduranceTest, SocketFileRemovedWhileServingIsMadeAgain) {
    const QByteArray native = QFile::encodeName(path_);
    std::unique_ptr<QLocalSocket> controller = Connect();
    ASSERT_TRUE(controller);
    ASSERT_EQ(::unlink(native.constData()), 0);

    // The connected controller is served on.
    ASSERT_TRUE(Send(*controller, "SetSuperframeID:8*"));
    ASSERT_TRUE(WaitUntil([&] { return window().SuperframeID == 8; }));
    EXPECT_TRUE(IsRemote());

    // Listening again after it goes makes the socket file again.
    controller->disconnectFromServer();
    ASSERT_TRUE(WaitUntil([this] { return IsLocalAndListening(); }));
    struct stat info {};
    ASSERT_EQ(::lstat(native.constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ExpectServedAgain();
}
}  // namespace
