// Character classes and case mapping of the Windows-1252 code page, from a
// fixed table of our own, so that the engine and the programs classify
// 8-bit text the same way whatever the process locale says.
#pragma once

namespace cp1252 {

// Letters: A-Z, a-z and the accented and other letters of the code page
// (Š Œ Ž š œ ž Ÿ ƒ ª µ º, 0xC0-0xFF except × and ÷).
bool is_alpha(unsigned char c);
bool is_upper(unsigned char c);
bool is_lower(unsigned char c);
// Decimal digits 0-9 only.
bool is_digit(unsigned char c);
// Printable characters that are neither letters, digits nor blanks.
bool is_punct(unsigned char c);
// Space, tab and the no-break space 0xA0.
bool is_blank(unsigned char c);
// Case mapping; characters without a counterpart are returned unchanged.
unsigned char to_upper(unsigned char c);
unsigned char to_lower(unsigned char c);

}  // namespace cp1252
