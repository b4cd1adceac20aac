// The real program as a process: how signals end it, what it ignores, and
// what it leaves at its socket path. Each run has a /tmp of its own.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSet>
#include <QStandardPaths>
#include <csignal>
#include <cstring>
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

// Whether `pid` runs the program itself, and not yet the launcher that
// becomes it (a test binary catches the same signals as the program does).
bool RunsTheProgram(pid_t pid) {
    struct stat running {};
    struct stat program {};
    return ::stat(QStringLiteral("/proc/%1/exe").arg(pid).toLocal8Bit().constData(), &running) ==
               0 &&
           ::stat(QFile::encodeName(kProgram).constData(), &program) == 0 &&
           running.st_dev == program.st_dev && running.st_ino == program.st_ino;
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

// The socket inodes behind the open files of `pid`.
QSet<QByteArray> SocketInodes(pid_t pid) {
    QSet<QByteArray> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System)) {
        // A link "socket:[<inode>]", read as it is.
        char target[64] = {};
        const QByteArray link = QFile::encodeName(fds.filePath(fd));
        const ssize_t size = ::readlink(link.constData(), target, sizeof target - 1);
        if (size <= 0) continue;
        const QByteArray text(target, size);
        if (text.startsWith("socket:[")) inodes.insert(text.mid(8, text.size() - 9));
    }
    return inodes;
}

// Whether `pid` has a listening local socket open (its remote control).
bool Listens(pid_t pid) {
    const QSet<QByteArray> inodes = SocketInodes(pid);
    QFile table(QStringLiteral("/proc/%1/net/unix").arg(pid));
    if (!table.open(QIODevice::ReadOnly)) return false;
    constexpr qulonglong kAcceptsConnections = 0x10000;
    for (const QByteArray& line : table.readAll().split('\n').mid(1)) {
        // Num RefCount Protocol Flags Type St Inode Path
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 7) continue;
        bool ok = false;
        const qulonglong flags = fields[3].toULongLong(&ok, 16);
        if (ok && (flags & kAcceptsConnections) && inodes.contains(fields[6])) return true;
    }
    return false;
}

// A socket file that nobody listens on, as a crashed run leaves it.
void LeaveStaleSocketFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(size_t(native.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

// Whether `pid`, stopped in a system call, is in an openat of `path`: the call
// and its arguments from /proc, the path from the process's memory.
bool OpensNow(pid_t pid, const QByteArray& path) {
    const QList<QByteArray> call =
        ReadBytes(QStringLiteral("/proc/%1/syscall").arg(pid)).trimmed().split(' ');
    if (call.size() < 3 || call[0].toLong() != SYS_openat) return false;
    bool ok = false;
    const qulonglong address = call[2].toULongLong(&ok, 16);
    if (!ok) return false;
    QFile memory(QStringLiteral("/proc/%1/mem").arg(pid));
    if (!memory.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !memory.seek(qint64(address)))
        return false;
    const QByteArray text = memory.read(path.size() + 1);
    return text == path + QByteArray(1, '\0');
}

ino_t InodeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// In the child of a launcher test: what a launcher does before it starts the
// program. Arguments: "ignore=<signal>" (as nohup or a shell's background job
// does), "stderr-reader-gone" (standard error a pipe whose reader has closed),
// then the program. Only returns when the start failed.
void Launch(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(0, arguments.size() - 1)) {
        if (argument.startsWith(QStringLiteral("ignore="))) {
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            sigemptyset(&ignore.sa_mask);
            ::sigaction(argument.mid(7).toInt(), &ignore, nullptr);
        } else if (argument == QStringLiteral("stderr-reader-gone")) {
            int pipe[2];
            if (::pipe(pipe) != 0) return;
            ::close(pipe[0]);
            ::dup2(pipe[1], STDERR_FILENO);
            ::close(pipe[1]);
        }
    }
    const QByteArray program = QFile::encodeName(arguments.value(arguments.size() - 1));
    char* argv[] = {const_cast<char*>(program.constData()), nullptr};
    ::execv(program.constData(), argv);
    std::perror("execv");
}

// The program as a shell in the child started it, with its pid in a file:
// killed at the end of the test should it still run (the harness ends only
// the shell).
class ProgramByPidFile {
public:
    explicit ProgramByPidFile(QString file) : file_(std::move(file)) {}
    ~ProgramByPidFile() {
        const pid_t pid = Pid();
        const QByteArray command = ReadBytes(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (pid > 0 && command.startsWith(QFile::encodeName(kProgram))) ::kill(pid, SIGKILL);
    }
    ProgramByPidFile(const ProgramByPidFile&) = delete;
    ProgramByPidFile& operator=(const ProgramByPidFile&) = delete;
    pid_t Pid() const { return ReadBytes(file_).trimmed().toInt(); }

private:
    QString file_;
};

class RealProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (!ChildProcess::Role().isEmpty()) return;  // a launcher, in the child
        const QString why = ChildProcess::WhyNotIsolated();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
    }

    // Starts the program and waits until it listens on its socket.
    void StartProgram() {
        StartProgramOnly();
        ASSERT_TRUE(child_->WaitUntil([this] {
            return IsSocket(socket_) && Listens(child_->Pid());
        })) << child_->Describe().toStdString();
    }
    // Starts the program, directly or through a launcher (`launch`: the
    // arguments of Launch, without the program).
    void StartProgramOnly(const QStringList& launch = {}) {
        if (!child_ || child_->Pid() > 0) child_ = std::make_unique<ChildProcess>();
        const QString failed =
            launch.isEmpty()
                ? child_->Start(kProgram, {})
                : child_->StartThisTest(QStringLiteral("launch"), launch + QStringList{kProgram});
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        socket_ = child_->HostPath(kSocketPath);
    }
    // A fresh child, whose /tmp the test may fill before the start.
    void NewChild() {
        child_ = std::make_unique<ChildProcess>();
        socket_ = child_->HostPath(kSocketPath);
    }
    // Waits until the program's handling of `number` is in place.
    bool WaitUntilCaught(int number) {
        return child_->WaitUntil([&] {
            return RunsTheProgram(child_->Pid()) && InSignalSet(child_->Pid(), "SigCgt", number);
        });
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
    EXPECT_TRUE(InSignalSet(child_->Pid(), "SigCgt", SIGPIPE));
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

// A signal that comes while the program starts (its handling is in place, its
// window and socket not yet) is acted on once the event loop runs: it quits
// as Quit does, and its socket file goes with it.
TEST_F(RealProgram, SignalDuringStartUpQuitsOnceTheLoopRuns) {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(testing::Message() << "signal " << number);
        NewChild();
        StartProgramOnly();
        // Looked at as often as /proc allows: the signal comes right after
        // the handling is in place, long before the window is up.
        QDeadlineTimer deadline(10000);
        while (!InSignalSet(child_->Pid(), "SigCgt", number) && !deadline.hasExpired()) {
        }
        const bool socketThere = IsSocket(socket_);
        ASSERT_TRUE(child_->Signal(number));
        EXPECT_FALSE(socketThere) << "the signal came after the start-up";
        ExpectQuitCleanly();
        EXPECT_FALSE(QFile::exists(socket_));
    }
}

// The same while the runtime is being made: the start is held (strace) as it
// loads its platform plugin, and the signal comes during the hold.
TEST_F(RealProgram, SignalWhileTheRuntimeStartsQuitsOnceTheLoopRuns) {
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty()) GTEST_SKIP() << "needs strace to hold the start";
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("xcb"));
    const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                           QStringLiteral("/platforms/libq%1.so").arg(platform);
    if (!QFile::exists(plugin)) GTEST_SKIP() << "no platform plugin at " << plugin.toStdString();
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(testing::Message() << "signal " << number);
        NewChild();
        const QString script =
            QStringLiteral(
                // LeakSanitizer (a sanitizer build) cannot run under a tracer.
                "ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0 "
                "%1 -qq -o /dev/null -P %2 -e trace=openat -e inject=openat:delay_enter=500000 "
                "/bin/sh -c 'echo $$ >/tmp/program.pid; exec %3'\n")
                .arg(strace, plugin, kProgram);
        const QString failed =
            child_->Start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        const ProgramByPidFile held(child_->HostPath(QStringLiteral("/tmp/program.pid")));
        pid_t program = 0;
        // Held: stopped by its tracer in the open of the plugin.
        ASSERT_TRUE(child_->WaitUntil([&] {
            program = held.Pid();
            return program > 0 && OpensNow(program, QFile::encodeName(plugin));
        })) << child_->Describe().toStdString();
        EXPECT_FALSE(IsSocket(socket_));
        ASSERT_EQ(::kill(program, number), 0);
        ASSERT_TRUE(child_->WaitForExit(20000)) << child_->Describe().toStdString();
        // The shell passes on how the program ended.
        EXPECT_TRUE(child_->ExitedNormally()) << child_->Describe().toStdString();
        EXPECT_EQ(child_->ExitCode(), 0) << child_->Describe().toStdString();
        EXPECT_FALSE(QFile::exists(socket_));
    }
}

// A launcher started the program with the signal ignored (nohup, a script's
// background job): the signal stays ignored, and the program runs on.
TEST_F(RealProgram, SignalsIgnoredAtStartStayIgnored) {
    if (ChildProcess::Role() == QLatin1String("launch")) {
        Launch(ChildProcess::RoleArguments());
        FAIL() << "the program did not start";
    }
    const struct {
        int ignored;
        int quit;  // caught as always: it ends the run
    } cases[] = {{SIGHUP, SIGTERM}, {SIGINT, SIGTERM}, {SIGTERM, SIGINT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "ignored " << c.ignored);
        NewChild();
        StartProgramOnly({QStringLiteral("ignore=%1").arg(c.ignored)});
        ASSERT_TRUE(child_->WaitUntil([this] { return IsSocket(socket_); }))
            << child_->Describe().toStdString();
        EXPECT_TRUE(InSignalSet(child_->Pid(), "SigIgn", c.ignored));
        EXPECT_FALSE(InSignalSet(child_->Pid(), "SigCgt", c.ignored));
        EXPECT_TRUE(InSignalSet(child_->Pid(), "SigCgt", c.quit));
        ASSERT_TRUE(child_->Signal(c.ignored));
        // The sentinel: two controllers in turn are served after it, each
        // while the program keeps its socket.
        for (int round = 0; round < 2; ++round) {
            auto controller = Connect();
            ASSERT_TRUE(controller->state() == QLocalSocket::ConnectedState);
            controller->disconnectFromServer();
        }
        auto last = Connect();
        QLocalSocket refused;
        refused.connectToServer(socket_);
        ASSERT_TRUE(refused.waitForConnected(5000));
        EXPECT_TRUE(refused.waitForDisconnected(5000)) << "a second controller is refused";
        EXPECT_EQ(last->state(), QLocalSocket::ConnectedState);
        EXPECT_TRUE(IsSocket(socket_));
        EXPECT_FALSE(child_->WaitForExit(0)) << child_->Describe().toStdString();
        ASSERT_TRUE(child_->Signal(c.quit));
        ExpectQuitCleanly();
        EXPECT_FALSE(QFile::exists(socket_));
    }
}

// Standard error is a pipe whose reader has gone (a launcher that exited).
// The warnings at start-up and during the run fail to be written, and the
// program runs on.
TEST_F(RealProgram, WarningIntoAPipeNobodyReadsIsNoEnd) {
    if (ChildProcess::Role() == QLatin1String("launch")) {
        Launch(ChildProcess::RoleArguments());
        FAIL() << "the program did not start";
    }
    const QStringList launch{QStringLiteral("stderr-reader-gone")};
    {
        SCOPED_TRACE("the path is taken at start-up");
        NewChild();
        WriteBytes(socket_, "someone else's file\n");
        StartProgramOnly(launch);
        // The warning comes before the event loop runs, the signal is acted
        // on only then.
        ASSERT_TRUE(WaitUntilCaught(SIGTERM)) << child_->Describe().toStdString();
        ASSERT_TRUE(child_->Signal(SIGTERM));
        ExpectQuitCleanly();
        EXPECT_EQ(ReadBytes(socket_), QByteArray("someone else's file\n"));
    }
    {
        SCOPED_TRACE("the path is taken while a controller is connected");
        NewChild();
        StartProgramOnly(launch);
        ASSERT_TRUE(child_->WaitUntil([this] { return IsSocket(socket_); }))
            << child_->Describe().toStdString();
        ASSERT_TRUE(child_->WaitUntil([this] { return Listens(child_->Pid()); }));
        auto controller = Connect();
        ASSERT_TRUE(QFile::remove(socket_));
        WriteBytes(socket_, "someone else's file\n");
        controller->disconnectFromServer();
        // Listening again fails: the program closes its socket, then warns.
        ASSERT_TRUE(child_->WaitUntil([this] { return !Listens(child_->Pid()); }))
            << child_->Describe().toStdString();
        ASSERT_TRUE(child_->Signal(SIGTERM));
        ExpectQuitCleanly();
        EXPECT_EQ(ReadBytes(socket_), QByteArray("someone else's file\n"));
    }
}

// Run as root, the program leaves another user's stale socket file alone.
TEST_F(RealProgram, AnotherUsersStaleSocketFileStays) {
    NewChild();
    LeaveStaleSocketFile(socket_);
    const uid_t other = 65534;  // nobody
    ASSERT_EQ(::chown(QFile::encodeName(socket_).constData(), other, other), 0);
    const ino_t inode = InodeOf(socket_);
    StartProgramOnly();
    EXPECT_TRUE(child_->WaitUntil([this] {
        return child_->Output().contains(
            "not listening on /tmp/testing: the socket file there belongs to another user");
    })) << child_->Describe().toStdString();
    ASSERT_TRUE(child_->Signal(SIGTERM));
    ExpectQuitCleanly();
    EXPECT_EQ(InodeOf(socket_), inode);
    // Its own stale socket file, the program replaces.
    NewChild();
    LeaveStaleSocketFile(socket_);
    const ino_t own = InodeOf(socket_);
    StartProgram();
    EXPECT_NE(InodeOf(socket_), own);
    EXPECT_FALSE(child_->Output().contains("not listening")) << child_->Describe().toStdString();
    ASSERT_TRUE(child_->Signal(SIGTERM));
    ExpectQuitCleanly();
}

// Two programs start over a stale socket file at once. The second one looks
// at the path first (stale), then is held before it exchanges its own socket
// file in; meanwhile the first one replaces the stale file. The held one must
// not take the first one's socket file away: it finds it listening, puts it
// back and says so, and the first one stays reachable at the path.
TEST_F(RealProgram, TwoStartsOverAStaleSocketFile) {
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty()) GTEST_SKIP() << "needs strace to hold the second start";
    NewChild();
    LeaveStaleSocketFile(socket_);
    const QString script =
        QStringLiteral(
            // The held one: its second rename (the exchange) waits three seconds.
            // LeakSanitizer (a sanitizer build) cannot run under a tracer.
            "ASAN_OPTIONS=${ASAN_OPTIONS:-}:detect_leaks=0 "
            "%1 -f -qq -o /dev/null -e trace=renameat2 "
            "-e inject=renameat2:delay_enter=3000000:when=2 "
            "/bin/sh -c 'echo $$ >/tmp/held.pid; exec %2' 2>/tmp/held.log &\n"
            // The first one starts once the held one has bound its socket.
            "while ! ls -d /tmp/testing-* >/dev/null 2>&1; do sleep 0.001; done\n"
            "/bin/sh -c 'echo $$ >/tmp/first.pid; exec %2' 2>/tmp/first.log &\n"
            "wait\n")
            .arg(strace, kProgram);
    const ProgramByPidFile heldProgram(child_->HostPath(QStringLiteral("/tmp/held.pid")));
    const ProgramByPidFile firstProgram(child_->HostPath(QStringLiteral("/tmp/first.pid")));
    const QString failed = child_->Start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), script});
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    const QString heldLog = child_->HostPath(QStringLiteral("/tmp/held.log"));
    const QString firstLog = child_->HostPath(QStringLiteral("/tmp/first.log"));
    ASSERT_TRUE(child_->WaitUntil(
        [&] { return ReadBytes(heldLog).contains("not listening on /tmp/testing"); }, 20000))
        << child_->Describe().toStdString() << ReadBytes(heldLog).toStdString();
    EXPECT_TRUE(ReadBytes(heldLog).contains("another program is listening there"))
        << ReadBytes(heldLog).toStdString();
    EXPECT_FALSE(ReadBytes(firstLog).contains("not listening"))
        << ReadBytes(firstLog).toStdString();

    const pid_t first = firstProgram.Pid();
    const pid_t held = heldProgram.Pid();
    ASSERT_GT(first, 0);
    ASSERT_GT(held, 0);
    EXPECT_TRUE(Listens(first));
    EXPECT_FALSE(Listens(held));
    // A controller at the path is served (a second one is refused at once),
    // and only the first program listens: the path leads to it.
    auto controller = Connect();
    QLocalSocket second;
    second.connectToServer(socket_);
    ASSERT_TRUE(second.waitForConnected(5000));
    EXPECT_TRUE(second.waitForDisconnected(5000)) << "a second controller is refused";
    controller.reset();
    // Nothing is left beside the path.
    QDir tmp = QFileInfo(socket_).dir();
    tmp.setFilter(QDir::AllEntries | QDir::System | QDir::CaseSensitive);
    EXPECT_EQ(tmp.entryList({QStringLiteral("testing*")}), QStringList({"testing"}));
    ::kill(held, SIGTERM);
    ::kill(first, SIGTERM);
    ASSERT_TRUE(child_->WaitForExit(20000)) << child_->Describe().toStdString();
    EXPECT_FALSE(QFile::exists(socket_));
}
}  // namespace
