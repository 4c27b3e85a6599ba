/* rasterkit: the image library and the plate analysis.
 *
 * The library holds one gray image page per process and the results of the
 * last analysis. Both are plain exported variables that callers read in
 * place; they belong to the library: callers never free or relink them,
 * and write only into a result record's text area.
 *
 * The page: `videobuffer` holds MAXLIN rows of MAXCOL bytes, top row first,
 * BPL bytes per row (equal to MAXCOL after an open), 0 = black, 255 = white.
 * Test `videobuffer` for null before using the sizes: they keep their last
 * values after SEG_close_image.
 *
 * Field bitmaps are 1 bit per pixel, rows top first, (width + 7) / 8 bytes
 * per row, the leftmost pixel in the most significant bit; a 0 bit is ink
 * and a 1 bit is background.
 *
 * This is a 64-bit port of a 32-bit interface: the address fields of the
 * records are native pointers, all other fields keep their order and their
 * widths (int is 32 bits).
 *
 * Results are small integers (1 = done, 0 = failed); pointer results are
 * null on failure. Nothing is thrown and nothing is shown. The library is
 * not re-entrant: call it from one thread. */
#ifndef RASTERKIT_H
#define RASTERKIT_H

#if defined(RASTERKIT_BUILD)
#define RASTERKIT_API __attribute__((visibility("default")))
#else
#define RASTERKIT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* One text field found by the analysis (one row of a plate). Records are
 * zero-filled when made, own their bitmap, and are linked through `next`. */
typedef struct seg_result {
    unsigned char* bitmap; /* the field bitmap, `lines` rows of `bpl` bytes */
    int bpl;               /* bytes per bitmap row, (columns + 7) / 8 */
    int columns;           /* bitmap width in pixels */
    int lines;             /* bitmap height in pixels */
    int left;              /* the field in page pixels, all edges inclusive */
    int top;
    int right;
    int bottom;
    char text[2048]; /* NUL-terminated; empty after the analysis */
    struct seg_result* next;
} seg_result;

/* The page and its description. */
RASTERKIT_API extern unsigned char* videobuffer;
RASTERKIT_API extern int MAXLIN;
RASTERKIT_API extern int MAXCOL;
RASTERKIT_API extern int BPL;
/* Pages in the file last set (TIFF directories; 1 for other formats). */
RASTERKIT_API extern int n_pages;
/* Before an open: 0-based page to read; after it: 1-based page held. */
RASTERKIT_API extern int crt_page;
/* Size normalisation: 1 = file size, k > 1 = enlarged k times, -k = reduced
 * k times (a reduction sets both to the same value). */
RASTERKIT_API extern int XSCALE;
RASTERKIT_API extern int YSCALE;

/* The bitmap of the selected result (an alias, valid until the results
 * are cleared). */
RASTERKIT_API extern unsigned char* objectbitmap;
RASTERKIT_API extern int BMP_lines;
RASTERKIT_API extern int BMP_columns;
RASTERKIT_API extern int BMP_bpl;

/* First record of the results list, or null. */
RASTERKIT_API extern seg_result* results;

/* Sets the image file: closes the held image, recognises the format from
 * the first bytes (TIFF, JPEG, PCX, ITEX, BMP, PNG, PGM) and, for TIFF,
 * opens the file and counts its pages. Returns 1 when recognised, else 0. */
RASTERKIT_API int SEG_set_image_file(const char* path);

/* Reads the page of the file set (for TIFF, page `crt_page`), normalises
 * its size and advances `crt_page`. Returns 1 when a page is held, 0 on
 * failure (no page; also after a failed SEG_set_image_file), 2 when a TIFF
 * scanline failed in the middle (the rows read so far are held, zeros
 * after them, not normalised). */
RASTERKIT_API int SEG_open_image(void);

/* Goes beyond the documented interface: holds a page given in memory, for
 * callers that decode images themselves (formats or layouts the readers
 * refuse, standard input, video frames). `pixels` holds `height` rows of
 * `width` 8-bit gray values (0 = black, 255 = white), `stride` bytes apart
 * (stride >= width); it stays the caller's and is copied. The held image is
 * closed and the file set is forgotten first, as a failed
 * SEG_set_image_file leaves it; the copy is then normalised exactly as
 * SEG_open_image normalises a page read from a file, n_pages becomes 1 and
 * crt_page 1. Returns 1 when the page is held; 0 (no page) for a null
 * buffer, a stride below the width, a size the readers refuse (width or
 * height below 1, more than 2^28 pixels) or a shortage of memory. */
RASTERKIT_API int SEG_open_gray_page(const unsigned char* pixels, int width, int height, int stride);

/* Frees the page, closes a held TIFF file and resets XSCALE and YSCALE to
 * 1. The sizes, page count and cursor keep their values. */
RASTERKIT_API void SEG_close_image(void);

/* Normalises the size of the held page into a new page: reduces pages over
 * 1600 pixels, enlarges small or very elongated ones. Sets MAXCOL, MAXLIN,
 * BPL, XSCALE and YSCALE to the new page's values and returns it, without
 * replacing `videobuffer`: the caller installs it or frees it with
 * SEG_free_temp_scaled_image. Returns null when the page is kept as it is
 * or memory ran out (the page stays usable, factors 1). */
RASTERKIT_API unsigned char* SEG_scale_image(void);

/* Releases the page made by SEG_scale_image, if one is still held. */
RASTERKIT_API void SEG_free_temp_scaled_image(void);

/* Rotates the held page by 90 (counter-clockwise), 180 or 270 degrees.
 * Returns 1 after rotating; 0 for other angles or when memory ran out (the
 * page is unchanged). */
RASTERKIT_API int SEG_do_rotate_image(int angle);

/* Runs the plate analysis at depth 1-5 on the held page and pushes the
 * fields found onto `results`. Returns 1; memory shortage ends it early with
 * fewer results. */
RASTERKIT_API int SEG_analyze_image(int depth);

/* Goes beyond the documented analysis: selects the analysis mode of the
 * following calls of SEG_analyze_image. Mode 0 (the default) is the
 * documented analysis; mode 1 is extended to find small plates: it also
 * enlarges candidates up to 60 lines high and wider than 1.5 times their
 * height, and keeps fields in the leftmost fifth of the page. Returns the
 * previous mode; an unknown mode gives -1 and leaves the mode unchanged. */
RASTERKIT_API int SEG_set_analysis_mode(int mode);

/* Number of records in `results`. */
RASTERKIT_API int SEG_get_results_number(void);

/* Steps the caller's cursor (null = start at the first record) forward
 * (direction nonzero) or backward and selects the record reached. Returns
 * 1 when a further record exists in that direction, 0 at the end. */
RASTERKIT_API int SEG_get_result(int direction, seg_result** cursor);

/* Selects the one record whose rectangle holds page point (x, y) and
 * returns it; null (nothing selected) when none or several hold it. */
RASTERKIT_API seg_result* SEG_select_bmap(int x, int y);

/* Frees every result record and its bitmap; `results` becomes null. The
 * selected-bitmap variables are left as they are. */
RASTERKIT_API void SEG_clear_analysis_results(void);

#ifdef __cplusplus
}
#endif

#endif /* RASTERKIT_H */
