// Turning the raw slot string of a field into the returned text: the '_'
// fillers go, look-alike characters are fixed from their neighbours, and
// the request's character kind and text-form template are applied.
#pragma once

#include <cstddef>

namespace gn {

// Drops the '_' fillers of the slot string (two bytes per slot) into out.
void compact_slots(const char* slots, char* out, std::size_t out_size);
// The context fixes, in place, position by position from the left.
void apply_context_fixes(char* text);
// Character kind 1 (digits) or 2 (letters); other kinds change nothing.
void apply_kind(char* text, int kb_mode);
// The template ("", "noblanks", a decimal template such as ".2", or one
// character per text position); `text` has room for `size` bytes.
void apply_template(char* text, std::size_t size, const char* tmpl, int kb_mode);

// All of the above: slot string -> final text.
void slots_to_text(const char* slots, const char* tmpl, int kb_mode, char* out, std::size_t size);

}  // namespace gn
