// placeholder until the own-format readers land
#include "readers.h"
namespace rk {
ReadResult read_bmp_pgm_itex(const char*) { return read_failure(ReadError::unsupported); }
ReadResult read_pcx(const char*) { return read_failure(ReadError::unsupported); }
}  // namespace rk
