// The recognition program.
#include "main_window.h"
#include "program_main.h"

int main(int argc, char** argv) {
    return platix::run_program<platix::MainWindow, platix::LibraryPort>(argc, argv, "orvoplatix", platix::real_libraries);
}
