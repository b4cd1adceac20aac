#include "Program.h"

int main(int argc, char** argv) {
    Program program(argc, argv);
    Program::OpenMainWindow();
    return Program::Run();
}
