#pragma once
#include <sys/resource.h>
#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <optional>

// How a child starts (ChildProcess::Start).
struct ChildProcessOptions {
    // A file-size limit for the child, as `ulimit -f` gives it.
    std::optional<rlim_t> fileSizeLimit;
    // Without the capabilities that let root read, write and create files
    // whatever their permissions, so that permissions bind the child as they
    // bind a user.
    bool dropFileCapabilities = false;
};

// A child process for what belongs to the process itself (signals, limits,
// the socket file at exit): the real program, or this test program again for
// one test. The child runs in a private mount namespace whose /tmp is a fresh
// folder of this test, so it never meets another test's, another child's or
// a developer's files there (the program's socket path included). It starts
// as from a shell: every signal at its default, none blocked, the test's
// environment; the test process itself is given no setting.
class ChildProcess {
public:
    using Options = ChildProcessOptions;

    ChildProcess();
    ~ChildProcess();  // a child still running is killed
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Empty when children can be started apart from the rest; else the reason
    // (for GTEST_SKIP).
    static QString WhyNotIsolated();

    // Starts `program`; returns an empty text, or what failed.
    QString Start(const QString& program, const QStringList& arguments,
                  const Options& options = {});
    // Starts this test program again for the running test alone, with
    // `role` as a marker argument and `arguments` after it.
    QString StartThisTest(const QString& role, const QStringList& arguments = {},
                          const Options& options = {});
    // In a child started by StartThisTest: the role and the arguments after
    // it; an empty role in the test program itself.
    static QString Role();
    static QStringList RoleArguments();

    pid_t Pid() const { return pid_; }
    // Where the test reaches a path under the child's /tmp.
    QString HostPath(const QString& childPath) const;

    bool Signal(int number);
    // Waits, at most `timeoutMs`, until `done` holds; false when the time ran
    // out or the child ended first.
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000);
    // Waits for the child's end; false when it is still running after `timeoutMs`.
    bool WaitForExit(int timeoutMs = 10000);

    // After WaitForExit: how the child ended.
    bool ExitedNormally() const;
    int ExitCode() const;
    int TermSignal() const;  // 0 unless a signal ended it
    // Everything the child wrote to standard output and standard error so far.
    const QByteArray& Output();
    QString Describe();  // how it ended and what it wrote, for failure messages

private:
    void Drain();
    bool Reap(bool block);

    QTemporaryDir tmp_;
    pid_t pid_ = -1;
    int outputFd_ = -1;
    bool ended_ = false;
    int status_ = 0;
    QByteArray output_;
};
