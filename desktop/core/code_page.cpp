// Letter and digit classes of Windows-1252.
#include "code_page.h"

namespace desk {

bool is_cp1252_alnum(unsigned char c) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    switch (c) {
    case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
    case 0xAA: case 0xB5: case 0xBA:
        return true;
    default:
        break;
    }
    return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

}  // namespace desk
