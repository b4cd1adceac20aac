// The main of the window tests: the program's own start-up and end around
// the tests, which build their main windows themselves.
#include "Program.h"
#include "TestSupport.h"

int main(int argc, char** argv) {
    const TestRuntime program = [](int& argc, char** argv) {
        return std::make_shared<Program>(argc, argv);
    };
    return RunTestsOffscreen(argc, argv, program, [] { return RUN_ALL_TESTS(); });
}
