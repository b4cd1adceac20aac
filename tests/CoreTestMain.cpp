// The main of a pure core's tests: no window, no application object.
#include "CoreTestSupport.h"

int main(int argc, char** argv) {
    return RunTestsOffscreen(argc, argv, BareTestRuntime, [] { return RUN_ALL_TESTS(); });
}
