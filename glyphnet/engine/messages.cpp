// Message boxes of the engine through the host layer.
#include "engine/messages.h"

#include "orvosys.h"

namespace gn {
namespace {
bool g_show_messages = true;
}

void show_message(const char* text, const char* title, Icon icon) {
    unsigned style = OSYS_MB_OK;
    switch (icon) {
        case Icon::error: style |= OSYS_MB_ICONERROR; break;
        case Icon::warning: style |= OSYS_MB_ICONWARNING; break;
        case Icon::information: style |= OSYS_MB_ICONINFORMATION; break;
    }
    osys_beep();
    osys_message_box(text, title, style);
}

bool messages_on() { return g_show_messages; }
void set_messages_on(bool on) { g_show_messages = on; }

}  // namespace gn
