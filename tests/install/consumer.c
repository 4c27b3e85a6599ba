/* A program built against the installed orvo package: loads an image,
 * analyses it, reads its fields with the installed bundled base, and prints
 * the page size and the field count. */
#include <glyphnet.h>
#include <rasterkit.h>
#include <stdio.h>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    if (SEG_set_image_file(argv[1]) != 1 || SEG_open_image() == 0) return 1;
    SEG_clear_analysis_results();
    SEG_analyze_image(3);
    printf("%d %d %d\n", MAXCOL, MAXLIN, SEG_get_results_number());
    SEG_clear_analysis_results();
    SEG_close_image();
    return OCR_get_kb_type(argc > 2 ? argv[2] : "") >= 0 ? 0 : 3;
}
