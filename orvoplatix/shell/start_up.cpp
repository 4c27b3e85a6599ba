// The screen-size check at start.
#include "start_up.h"

#include "orvosys.h"

namespace platix {

bool display_large_enough(int width, int height) {
    if (width >= 800 && height >= 600) return true;
    osys_message_box("A minimum display resolution of 800 x 600 pixels with 256 colors is required!", "Error",
                     OSYS_MB_OK | OSYS_MB_ICONERROR);
    return false;
}

}  // namespace platix
