// Message boxes and beeps, routed through one presenter per process.
#include <cstdio>

#include "orvosys.h"

namespace {

int first_button(unsigned style) {
    switch (style & OSYS_MB_BUTTONS) {
        case OSYS_MB_YESNO:
        case OSYS_MB_YESNOCANCEL:
            return OSYS_IDYES;
        default:
            return OSYS_IDOK;
    }
}

int print_presenter(void*, const char* title, const char* text, unsigned style) {
    std::fprintf(stderr, "%s: %s\n", title ? title : "", text ? text : "");
    return first_button(style);
}

osys_presenter g_presenter = print_presenter;
void* g_presenter_context = nullptr;
osys_beeper g_beeper = nullptr;
void* g_beeper_context = nullptr;

}  // namespace

extern "C" int osys_message_box(const char* text, const char* title, unsigned style) {
    return g_presenter(g_presenter_context, title, text, style);
}

extern "C" osys_presenter osys_set_message_presenter(osys_presenter presenter, void* context,
                                                     void** previous_context) {
    osys_presenter previous = g_presenter;
    if (previous_context != nullptr) *previous_context = g_presenter_context;
    g_presenter = presenter ? presenter : print_presenter;
    g_presenter_context = presenter ? context : nullptr;
    return previous;
}

extern "C" void osys_beep(void) {
    if (g_beeper != nullptr) g_beeper(g_beeper_context);
}

extern "C" void osys_set_beeper(osys_beeper beeper, void* context) {
    g_beeper = beeper;
    g_beeper_context = beeper ? context : nullptr;
}
