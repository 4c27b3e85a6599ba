// The training program.
#include "program_main.h"
#include "tutrix_window.h"

int main(int argc, char** argv) {
    return platix::run_program<tutrix::TutrixWindow, tutrix::TutrixLibraries>(argc, argv, "orvotutrix",
                                                                              tutrix::real_tutrix_libraries);
}
