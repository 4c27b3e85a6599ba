// The C interface of rasterkit: the exported variables, and exported
// functions that only forward to the core. Nothing is thrown across this
// boundary: every body catches what the core might throw and returns the
// documented failure value.
#include "driver.h"
#include "image_store.h"
#include "instance.h"
#include "rasterkit.h"
#include "results.h"
#include "rotate.h"
#include "scale.h"

extern "C" {

RASTERKIT_API unsigned char* videobuffer = nullptr;
RASTERKIT_API int MAXLIN = 0;
RASTERKIT_API int MAXCOL = 0;
RASTERKIT_API int BPL = 0;
RASTERKIT_API int n_pages = 0;
RASTERKIT_API int crt_page = 0;
RASTERKIT_API int XSCALE = 1;
RASTERKIT_API int YSCALE = 1;
RASTERKIT_API unsigned char* objectbitmap = nullptr;
RASTERKIT_API int BMP_lines = 0;
RASTERKIT_API int BMP_columns = 0;
RASTERKIT_API int BMP_bpl = 0;
RASTERKIT_API seg_result* results = nullptr;

#define RK_TRY try {
#define RK_CATCH(failure) \
    }                     \
    catch (...) {         \
        return failure;   \
    }

RASTERKIT_API int SEG_set_image_file(const char* path) {
    RK_TRY return rk::set_image_file(path);
    RK_CATCH(0)
}

RASTERKIT_API int SEG_open_image(void) {
    RK_TRY return rk::open_image();
    RK_CATCH(0)
}

RASTERKIT_API int SEG_open_gray_page(const unsigned char* pixels, int width, int height, int stride) {
    RK_TRY return rk::open_gray_page(pixels, width, height, stride);
    RK_CATCH(0)
}

RASTERKIT_API void SEG_close_image(void) {
    RK_TRY rk::close_image();
    RK_CATCH()
}

RASTERKIT_API unsigned char* SEG_scale_image(void) {
    RK_TRY return rk::scale_image();
    RK_CATCH(nullptr)
}

RASTERKIT_API void SEG_free_temp_scaled_image(void) {
    RK_TRY rk::free_temp_scaled_image();
    RK_CATCH()
}

RASTERKIT_API int SEG_do_rotate_image(int angle) {
    RK_TRY return rk::rotate_image(angle);
    RK_CATCH(0)
}

RASTERKIT_API int SEG_analyze_image(int depth) {
    RK_TRY return rk::analyze_image(depth);
    RK_CATCH(1)
}

RASTERKIT_API int SEG_set_analysis_mode(int mode) {
    RK_TRY return rk::set_analysis_mode(mode);
    RK_CATCH(-1)
}

RASTERKIT_API int SEG_get_results_number(void) {
    RK_TRY return rk::results_number(rk::main_instance());
    RK_CATCH(0)
}

RASTERKIT_API int SEG_get_result(int direction, seg_result** cursor) {
    RK_TRY return rk::get_result(rk::main_instance(), direction, cursor);
    RK_CATCH(0)
}

RASTERKIT_API seg_result* SEG_select_bmap(int x, int y) {
    RK_TRY return rk::select_bmap(rk::main_instance(), x, y);
    RK_CATCH(nullptr)
}

RASTERKIT_API void SEG_clear_analysis_results(void) {
    RK_TRY rk::clear_results(rk::main_instance());
    RK_CATCH()
}

}  // extern "C"
