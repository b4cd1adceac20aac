#include "ProcessSetup.h"

#include <csignal>

#include "Application.h"

namespace {
// A write into a pipe nobody reads any more fails with EPIPE instead. A
// handler rather than "ignore", so that no program started from here inherits
// it.
void OnBrokenPipe(int) {}
}  // namespace

void SetUpProcess() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
    struct sigaction brokenPipe {};
    brokenPipe.sa_handler = OnBrokenPipe;
    sigemptyset(&brokenPipe.sa_mask);
    brokenPipe.sa_flags = SA_RESTART;
    ::sigaction(SIGPIPE, &brokenPipe, nullptr);
    Application::QuitOnSignals({SIGTERM, SIGINT, SIGHUP});
}
