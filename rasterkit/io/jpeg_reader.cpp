// placeholder until the library readers land
#include "readers.h"
namespace rk {
ReadResult read_jpeg(const char*) { return read_failure(ReadError::unsupported); }
ReadResult read_png(const char*) { return read_failure(ReadError::unsupported); }
TIFF* tiff_open(const char*, int*) { return nullptr; }
TiffPageResult read_tiff_page(TIFF*, int, GrayPage&, ReadError*) { return TiffPageResult::failed; }
}  // namespace rk
