/* glyphnet: the recognition engine.
 *
 * Callers talk to the engine through one request-and-answer record, the
 * ocr_io record, which OCR_init allocates and OCR_cleanup frees: write the
 * field bitmap and the request into it, call a function, read the answer
 * back from it. The bitmap it points to stays the caller's (normally a
 * rasterkit result's) and must stay valid until the call returns.
 *
 * Regions and boxes here have exclusive right and bottom edges.
 *
 * This is a 64-bit port of a 32-bit interface: `image_bits` is a native
 * pointer; every other field keeps its order and its width (int is 32
 * bits).
 *
 * Failures are reported through message boxes of the host layer (see
 * orvosys.h) and a zero or null result; nothing is thrown. The engine keeps
 * its state in process globals and is not re-entrant: call it from one
 * thread. */
#ifndef GLYPHNET_H
#define GLYPHNET_H

#if defined(GLYPHNET_BUILD)
#define GLYPHNET_API __attribute__((visibility("default")))
#else
#define GLYPHNET_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct ocr_io {
    unsigned char* image_bits; /* first row of the 1-bit field bitmap; 0 bit = ink */
    int rows;                  /* bitmap height */
    int columns;               /* bitmap width (informational) */
    int bytes_per_row;
    unsigned char kb_mode; /* 0 any, 1 digits, 2 letters, 255 one character */
#ifdef __cplusplus
    char template_[2051]; /* `template` in C (a keyword in C++): the text template */
#else
    char template[2051]; /* text template: "", "noblanks" or one char per character */
#endif
    int left;              /* region to read; right and bottom exclusive */
    int top;
    int right;
    int bottom;
    int prior_frame[4];   /* learning: earlier frame left, top, right, bottom */
    char shown_class[3];  /* learning: the class that was read */
    char taught_class[5]; /* learning: the correct class */
    int kb_index;         /* 0 = every listed base, n = only the n-th */
    int gap_tolerant;     /* nonzero: characters may contain gaps */
    int wide_gaps;        /* nonzero: two empty columns separate characters */
    char text[2048];      /* output: the text read */
    char raw_text[2048];  /* output: two bytes per slot, '_' pads one-char classes */
    int box_count;        /* output: number of boxes */
    int boxes[2048][4];   /* output: left, top, right, bottom per character */
} ocr_io;

/* Allocates (or clears) the record, reads the knowledge-base list file
 * (null: none) and loads every listed base. Returns the record or null. */
GLYPHNET_API ocr_io* OCR_init(const char* list_path, int show_messages);
/* Frees the record and every loaded knowledge base. */
GLYPHNET_API void OCR_cleanup(void);
/* Zero-fills the record: 1, or 0 when there is none. */
GLYPHNET_API int OCR_reset(void);
/* 0 = mixed, empty or unreadable; 1 = digits only; 2 = letters only. */
GLYPHNET_API int OCR_get_kb_type(const char* kb_path);
/* Reads the region of the record's bitmap; returns the number of boxes. */
GLYPHNET_API int OCR_recognize_field(void);
/* Teaches the character framed in the record; 1 on success. */
GLYPHNET_API int OCR_learn_char(void);
/* Removes class `taught_class`; 1 when it was removed. */
GLYPHNET_API int OCR_unlearn_char(void);
/* Learning batches: an addition of this port, beyond the documented
 * interface, for trainings that teach many characters. Between
 * OCR_begin_learning_batch and OCR_end_learning_batch, OCR_learn_char and
 * OCR_unlearn_char change the base in memory (recognition already uses the
 * change) but leave its .kbf and .dat files alone; the end writes both once,
 * byte for byte as the same calls made one by one would have left them.
 * A batch teaches one knowledge base: the one its first learning call names.
 * A batch that fails or is abandoned leaves both files as they were before
 * it: a failed call inside it drops all of the batch's changes (the base is
 * read again from its files, further learning calls fail until the end,
 * and the end returns 0), except a learning call whose region holds no
 * character to frame, which fails having changed nothing and leaves the
 * batch going; OCR_cleanup, OCR_reset and OCR_init close an open
 * batch without writing; a failed write at the end keeps the old files.
 * Begin: 1, or 0 when there is no record or a batch is already open (that
 * batch stays open). End: 1 when the files were written (or nothing was
 * learned), 0 when no batch is open, when a call inside it failed, or when
 * the files could not be written. Failures show a message, as elsewhere. */
GLYPHNET_API int OCR_begin_learning_batch(void);
GLYPHNET_API int OCR_end_learning_batch(void);
/* Writes the known classes, 2 bytes each, into a 512-byte buffer; returns
 * the number of bytes written. */
GLYPHNET_API int OCR_get_base_contents(char* buffer);
/* Address of row `row` of the bitmap last installed by a recognition. */
GLYPHNET_API unsigned char* OCR_image_row_address(int row);
/* 1 when bytes [first_byte, end_byte) of the row are all 0xFF. */
GLYPHNET_API int OCR_is_row_empty(int row, int first_byte, int end_byte);
/* 1 when the column has no ink in rows [first_row, end_row). */
GLYPHNET_API int OCR_is_col_empty(int column, int first_row, int end_row);
/* Tightens the frame to the character's ink; returns the new width. */
GLYPHNET_API int OCR_adjust_char_frame(int* left, int* top, int* width, int* height);

#ifdef __cplusplus
}
#endif

#endif /* GLYPHNET_H */
