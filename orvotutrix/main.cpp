// The training program. Its window comes with the desktop layer; until then
// it checks that its libraries load and exits.
#include <cstdio>

#include "learner.h"

int main() {
    SEG_close_image();
    std::printf("orvotutrix: libraries loaded; the training program is not built yet\n");
    return 0;
}
