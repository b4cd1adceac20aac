#include "ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {
const QString kRoleMarker = QStringLiteral("--child-role=");
// The capabilities that let root read, write and create files regardless of
// their permissions.
constexpr int kFileCapabilities[] = {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER};

// The steps before exec, named for the report of a failed start.
enum Step : int { kNamespace = 1, kPrivateMounts, kSharedRoot, kBindTmp, kLimit, kExec };

const char* StepName(int step) {
    switch (step) {
        case kNamespace:
            return "unshare(CLONE_NEWNS)";
        case kPrivateMounts:
            return "making the mounts private";
        case kSharedRoot:
            return "/ is no mount point (a chroot) and the mount holding it is shared with "
                   "other namespaces or not to be seen, so the private /tmp would show there; "
                   "making the mounts private";
        case kBindTmp:
            return "mounting the private /tmp";
        case kLimit:
            return "setting the file-size limit";
        default:
            return "exec";
    }
}

// In the child, between fork and exec: system calls only.
[[noreturn]] void FailStep(int reportFd, int step) {
    const int report[2] = {step, errno};
    [[maybe_unused]] const ssize_t written = ::write(reportFd, report, sizeof report);
    ::_exit(127);
}

// `keep`, when not empty, is a folder of the real /tmp that the program lives
// in (a build under /tmp): it is mounted again at its own path on the private
// /tmp, where the host made a folder for it. `rootHeldPrivately` says that /
// is no mount point (a chroot) and the mount that holds it propagates nothing.
void IsolateChild(int reportFd, const char* hostTmp, const char* keep, bool rootHeldPrivately) {
    if (::unshare(CLONE_NEWNS) != 0) FailStep(reportFd, kNamespace);
    // Nothing mounted here may reach the test's own namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        // / is no mount point (a chroot): only the mount that the private
        // /tmp lands on matters. That is /tmp's own, when /tmp is a mount
        // point, made private here; else the one holding /, which must share
        // nothing already.
        if (errno != EINVAL) FailStep(reportFd, kPrivateMounts);
        if (::mount(nullptr, "/tmp", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            if (errno != EINVAL) FailStep(reportFd, kPrivateMounts);
            if (!rootHeldPrivately) FailStep(reportFd, kSharedRoot);
        }
    }
    const int kept = *keep ? ::open(keep, O_PATH | O_DIRECTORY | O_CLOEXEC) : -1;
    if (*keep && kept < 0) FailStep(reportFd, kBindTmp);
    if (::mount(hostTmp, "/tmp", nullptr, MS_BIND, nullptr) != 0) FailStep(reportFd, kBindTmp);
    if (kept >= 0) {
        char source[64];
        std::snprintf(source, sizeof source, "/proc/self/fd/%d", kept);
        if (::mount(source, keep, nullptr, MS_BIND | MS_REC, nullptr) != 0)
            FailStep(reportFd, kBindTmp);
        ::close(kept);
    }
}

// Without them in the bounding and inheritable sets, root's next program does
// not get them back. Where they cannot be dropped, permissions still do not
// bind the child, which it finds out itself.
void DropFileCapabilities() {
    for (const int capability : kFileCapabilities) ::prctl(PR_CAPBSET_DROP, capability, 0, 0, 0);
    ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0) return;
    for (const int capability : kFileCapabilities)
        data[capability / 32].inheritable &= ~(1u << (capability % 32));
    ::syscall(SYS_capset, &header, data);
}

void StartAsFromAShell() {
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (int number = 1; number < NSIG; ++number) ::sigaction(number, &byDefault, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

// The fields of the /proc/<pid>/mountinfo line of the mount `id`; empty when
// there is none.
QStringList MountInfo(const QString& file, quint64 id) {
    QFile info(file);
    if (!info.open(QIODevice::ReadOnly)) return {};
    for (const QByteArray& line : info.readAll().split('\n')) {
        QStringList fields = QString::fromLocal8Bit(line).split(u' ');
        if (fields.size() > 4 && fields[0] == QString::number(id)) return fields;
    }
    return {};
}

// True when / is no mount point (a chroot) and the mount that holds it shares
// no mounts with other namespaces, so that what the child mounts under it
// stays in the child's namespace. That mount lies outside the chroot, where
// only a process outside it (the first) still lists it.
bool RootHeldPrivately() {
    struct statx root {};
    if (::statx(AT_FDCWD, "/", 0, STATX_MNT_ID, &root) != 0 || !(root.stx_mask & STATX_MNT_ID))
        return false;
    if (!MountInfo(QStringLiteral("/proc/self/mountinfo"), root.stx_mnt_id).isEmpty())
        return false;  // / is a mount point
    const QStringList fields = MountInfo(QStringLiteral("/proc/1/mountinfo"), root.stx_mnt_id);
    if (fields.isEmpty()) return false;
    // The optional fields, up to "-", name the peer groups.
    for (qsizetype i = 6; i < fields.size() && fields[i] != u'-'; ++i) {
        if (fields[i].startsWith(QStringLiteral("shared:"))) return false;
    }
    return true;
}

// Reads the child's report of a failed start: empty when exec succeeded.
QString ReadStartReport(int fd) {
    int report[2] = {0, 0};
    ssize_t got = 0;
    do {
        got = ::read(fd, report, sizeof report);
    } while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof report)) return {};
    return QStringLiteral("%1 failed: %2")
        .arg(QString::fromLatin1(StepName(report[0])),
             QString::fromLocal8Bit(std::strerror(report[1])));
}
}  // namespace

ChildProcess::ChildProcess() = default;

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && !ended_) {
        ::kill(pid_, SIGKILL);
        Reap(true);
    }
    if (outputFd_ >= 0) ::close(outputFd_);
}

QString ChildProcess::WhyNotIsolated() {
    static const QString reason = [] {
        if (::geteuid() != 0)
            return QStringLiteral("needs root to give the child a mount namespace of its own");
        // One try shows whether this system lets us (a container may not).
        ChildProcess probe;
        const QString failed = probe.Start(QStringLiteral("/bin/true"), {});
        if (!failed.isEmpty())
            return QStringLiteral("cannot give a child a mount namespace of its own: ") + failed;
        probe.WaitForExit();
        return QString();
    }();
    return reason;
}

QString ChildProcess::Start(const QString& program, const QStringList& arguments,
                            const Options& options) {
    if (pid_ > 0) return QStringLiteral("a child was started already");
    if (!tmp_.isValid()) return QStringLiteral("no folder for the child's /tmp");

    // Everything the child needs is made before the fork: after it, the child
    // only makes system calls.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> texts{path};
    for (const QString& argument : arguments) texts.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    argv.reserve(texts.size() + 1);
    for (QByteArray& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    const QByteArray hostTmp = QFile::encodeName(tmp_.path());
    // A build under /tmp stays reachable in the child: the started program's,
    // or else this test's own (a shell that runs the build's program).
    QByteArray keep;
    QString real = QFileInfo(program).canonicalFilePath();
    if (!real.startsWith(QStringLiteral("/tmp/")))
        real = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    if (real.startsWith(QStringLiteral("/tmp/"))) {
        const QString top = real.section(u'/', 0, 2);  // "/tmp/<folder>"
        keep = QFile::encodeName(top);
        QDir(tmp_.path()).mkpath(top.mid(5));
    }
    static const bool rootHeldPrivately = RootHeldPrivately();
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    if (options.fileSizeLimit) limit.rlim_cur = *options.fileSizeLimit;

    int output[2];
    int report[2];
    if (::pipe2(output, O_CLOEXEC) != 0) return QString::fromLocal8Bit(std::strerror(errno));
    if (::pipe2(report, O_CLOEXEC) != 0) {
        ::close(output[0]);
        ::close(output[1]);
        return QString::fromLocal8Bit(std::strerror(errno));
    }

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(output[1], STDERR_FILENO);
        StartAsFromAShell();
        IsolateChild(report[1], hostTmp.constData(), keep.constData(), rootHeldPrivately);
        if (options.fileSizeLimit && ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            FailStep(report[1], kLimit);
        // Last: making the mount namespace needs root's full set.
        if (options.dropFileCapabilities) DropFileCapabilities();
        ::execv(path.constData(), argv.data());
        FailStep(report[1], kExec);
    }
    ::close(output[1]);
    ::close(report[1]);
    if (pid < 0) {
        ::close(output[0]);
        ::close(report[0]);
        return QString::fromLocal8Bit(std::strerror(errno));
    }
    pid_ = pid;
    outputFd_ = output[0];
    ::fcntl(outputFd_, F_SETFL, ::fcntl(outputFd_, F_GETFL) | O_NONBLOCK);
    QString failed = ReadStartReport(report[0]);
    ::close(report[0]);
    if (!failed.isEmpty()) Reap(true);
    return failed;
}

QString ChildProcess::StartThisTest(const QString& role, const QStringList& arguments,
                                    const Options& options) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    if (!test) return QStringLiteral("no test is running");
    QStringList all{
        QStringLiteral("--gtest_filter=%1.%2")
            .arg(QString::fromLatin1(test->test_suite_name()), QString::fromLatin1(test->name())),
        kRoleMarker + role};
    all += arguments;
    return Start(QCoreApplication::applicationFilePath(), all, options);
}

QString ChildProcess::Role() {
    for (const QString& argument : QCoreApplication::arguments()) {
        if (argument.startsWith(kRoleMarker)) return argument.mid(kRoleMarker.size());
    }
    return QString();
}

QStringList ChildProcess::RoleArguments() {
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (all[i].startsWith(kRoleMarker)) return all.mid(i + 1);
    }
    return {};
}

QString ChildProcess::HostPath(const QString& childPath) const {
    const QString tmp = QStringLiteral("/tmp/");
    if (!childPath.startsWith(tmp)) return QString();
    return tmp_.path() + u'/' + childPath.mid(tmp.size());
}

bool ChildProcess::Signal(int number) { return pid_ > 0 && !ended_ && ::kill(pid_, number) == 0; }

bool ChildProcess::WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        Drain();
        if (done()) return true;
        if (ended_ || Reap(false)) {
            Drain();
            return done();
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(10);
    }
}

bool ChildProcess::WaitForExit(int timeoutMs) {
    return WaitUntil([this] { return ended_; }, timeoutMs) || ended_;
}

bool ChildProcess::ExitedNormally() const { return ended_ && WIFEXITED(status_); }
int ChildProcess::ExitCode() const { return ExitedNormally() ? WEXITSTATUS(status_) : -1; }
int ChildProcess::TermSignal() const {
    return ended_ && WIFSIGNALED(status_) ? WTERMSIG(status_) : 0;
}

const QByteArray& ChildProcess::Output() {
    Drain();
    return output_;
}

QString ChildProcess::Describe() {
    QString how = QStringLiteral("still running");
    if (ExitedNormally()) how = QStringLiteral("exited with %1").arg(ExitCode());
    if (TermSignal() != 0) how = QStringLiteral("ended by signal %1").arg(TermSignal());
    return how + QStringLiteral("; its output:\n") + QString::fromLocal8Bit(Output());
}

void ChildProcess::Drain() {
    if (outputFd_ < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(outputFd_, buffer, sizeof buffer);
        if (got > 0) {
            output_.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return;
    }
}

bool ChildProcess::Reap(bool block) {
    if (pid_ <= 0 || ended_) return ended_;
    pid_t got = 0;
    do {
        got = ::waitpid(pid_, &status_, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got == pid_) ended_ = true;
    return ended_;
}
