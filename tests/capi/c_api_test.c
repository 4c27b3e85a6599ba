/* Drives the shared libraries from C through their public headers: record layouts, a page, the failure paths. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "glyphnet.h"
#include "learner.h"
#include "rasterkit.h"

static int passed, failed;

#define CHECK(cond) \
    ((cond) ? (void)++passed : (void)(++failed, fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #cond)))

static int write_pgm(const char* path, int w, int h, unsigned char value) {
    FILE* f = fopen(path, "wb");
    if (!f) return 0;
    fprintf(f, "P5\n%d\n%d\n255\n", w, h);
    for (int i = 0; i < w * h; ++i) fputc(value, f);
    return fclose(f) == 0;
}

int main(int argc, char** argv) {
    char path[4096];
    snprintf(path, sizeof path, "%s/c_api_page.pgm", argc > 1 ? argv[1] : ".");

    /* The records keep their field order; addresses are native pointers. */
    CHECK(offsetof(seg_result, bitmap) == 0);
    CHECK(offsetof(seg_result, bpl) == sizeof(void*));
    CHECK(offsetof(seg_result, text) == sizeof(void*) + 7 * 4);
    CHECK(offsetof(seg_result, next) > offsetof(seg_result, text) + 2047);
    CHECK(offsetof(ocr_io, kb_mode) == sizeof(void*) + 12);
    CHECK(offsetof(ocr_io, template) == offsetof(ocr_io, kb_mode) + 1);
    CHECK(sizeof(((ocr_io*)0)->template) == 2051);
    CHECK(sizeof(((ocr_io*)0)->boxes) == 32768);

    /* Failure paths. */
    CHECK(SEG_set_image_file("/nonexistent/file.png") == 0);
    CHECK(SEG_open_image() == 0);
    CHECK(videobuffer == NULL);
    CHECK(SEG_do_rotate_image(90) == 0);
    CHECK(SEG_scale_image() == NULL);

    /* A page loads and is described by the exported variables. */
    CHECK(write_pgm(path, 800, 600, 77));
    CHECK(SEG_set_image_file(path) == 1);
    CHECK(SEG_open_image() == 1);
    CHECK(videobuffer != NULL && MAXCOL == 800 && MAXLIN == 600 && BPL == 800);
    CHECK(XSCALE == 1 && YSCALE == 1 && n_pages == 1 && crt_page == 1);
    CHECK(videobuffer != NULL && videobuffer[800 * 600 - 1] == 77);
    CHECK(SEG_do_rotate_image(90) == 1);
    CHECK(MAXCOL == 600 && MAXLIN == 800 && BPL == 600);
    SEG_close_image();
    CHECK(videobuffer == NULL && XSCALE == 1 && MAXCOL == 600);
    remove(path);

    /* A page from memory is held and normalised: 2000 x 1000 is reduced by 2. */
    {
        static unsigned char pixels[2000 * 1000];
        memset(pixels, 90, sizeof pixels);
        CHECK(SEG_open_gray_page(NULL, 10, 10, 10) == 0 && videobuffer == NULL);
        CHECK(SEG_open_gray_page(pixels, 2000, 1000, 2000) == 1);
        CHECK(videobuffer != NULL && MAXCOL == 1000 && MAXLIN == 500 && XSCALE == -2 && YSCALE == -2);
        CHECK(n_pages == 1 && crt_page == 1 && videobuffer != NULL && videobuffer[1000 * 500 - 1] == 90);
        SEG_close_image();
    }

    printf("c_api: %d passed, %d failed\n", passed, failed);
    return failed ? 1 : 0;
}
