#include "ProcessSetup.h"

#include <csignal>

#include "Application.h"

void SetUpProcess() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
    Application::QuitOnSignals({SIGTERM, SIGINT, SIGHUP});
}
