// The C interface of glyphnet: exported functions that only forward to the
// engine core. The engine itself is not built yet, so nothing is exported.
#include "glyphnet.h"
