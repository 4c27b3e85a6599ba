// Character classes of the Windows-1252 code page, which the programs'
// texts use whatever the locale of the process.
#pragma once

namespace desk {

// 1 for the letters of the code page (ASCII letters, the accented Latin
// letters, Š Œ Ž š œ ž Ÿ ª µ º) and the digits 0-9.
bool is_cp1252_alnum(unsigned char c);

}  // namespace desk
