// The recognition program. Its window comes with the desktop layer; until
// then it checks that its libraries load and exits.
#include <cstdio>

#include "glyphnet.h"
#include "rasterkit.h"

int main() {
    SEG_close_image();
    std::printf("orvoplatix: libraries loaded; the desktop program is not built yet\n");
    return 0;
}
