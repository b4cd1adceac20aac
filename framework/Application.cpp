#include "Application.h"

#include <fcntl.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace {
// Read end and write end of the pipe from the signal handler to the event loop.
int g_signalPipe[2] = {-1, -1};

void NoteSignal(int) {
    // Only what is safe inside a signal handler: one write, errno kept.
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
    errno = savedErrno;
}

// The pipe exists from the first QuitOnSignals on; the event loop watches it
// from Run on, so a signal that came before is acted on once the loop runs.
bool OpenSignalPipe() {
    if (g_signalPipe[0] >= 0) return true;
    return ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) == 0;
}

void WatchSignalPipe() {
    static QSocketNotifier* watcher = nullptr;
    if (watcher || g_signalPipe[0] < 0) return;
    watcher =
        new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(watcher, &QSocketNotifier::destroyed, [] { watcher = nullptr; });
    QObject::connect(watcher, &QSocketNotifier::activated, [] {
        char drained[64];
        while (::read(g_signalPipe[0], drained, sizeof drained) > 0) {
        }
        Application::Quit(0);
    });
}

// Whether the program was started with `number` ignored (nohup, a shell's
// background job); that stays so.
bool IgnoredAtStart(int number) {
    struct sigaction before {};
    return ::sigaction(number, nullptr, &before) == 0 && (before.sa_flags & SA_SIGINFO) == 0 &&
           before.sa_handler == SIG_IGN;
}
}  // namespace

Application::Application() = default;

Application::~Application() = default;

int Application::Run() {
    WatchSignalPipe();
    if (OpenEvent) OpenEvent();
    return QApplication::exec();
}

void Application::Quit(int code) { QCoreApplication::exit(code); }

void Application::QuitOnSignals(std::initializer_list<int> numbers) {
    if (!OpenSignalPipe()) return;
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : numbers) {
        if (!IgnoredAtStart(number)) ::sigaction(number, &action, nullptr);
    }
}
