// Message boxes of the engine: a default beep, then the box through the host
// layer, without owner window. Also holds the process-wide show_messages
// flag that suppresses the warnings of recognition and of start-up.
#pragma once

namespace gn {

enum class Icon { error, warning, information };

// Beeps, then shows `text` under `title` with an OK button and the icon.
void show_message(const char* text, const char* title, Icon icon);

// The show_messages flag (initially 1).
bool messages_on();
void set_messages_on(bool on);

}  // namespace gn
