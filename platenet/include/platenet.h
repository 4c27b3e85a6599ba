/* platenet: a learned plate reader.
 *
 * Design. A small convolutional network reads a whole plate crop at once,
 * without cutting characters: the gray page region of a field is resampled
 * to the model's fixed input (32 x 256 by default, normalised per crop to
 * zero mean and unit deviation); five 3x3 convolution blocks with batch
 * normalisation (16, 32, 64, 64, 96 channels, pooled to an eighth of the
 * height and a quarter of the width) give one feature column per four input
 * columns, and a 1-D convolution over the width (128 wide) and a 1x1 one
 * give per column (64 frames) the log-probabilities of the model's
 * characters and of "no character" (CTC). About 270,000 parameters, a
 * 1.1 MB file. The width decided by measurement: on 810 synthetic plate
 * crops (90 held out, no augmentation, Adam 3e-3), a 128-wide input (32
 * frames, under three per character of a 7-character plate) still read
 * 0% exactly after 12 epochs (loss 3.2), a 256-wide one (64 frames) read
 * 86% exactly, 97% of characters; doubling the channels at 128 did not
 * help. The wider input doubles the network's time per field.
 * CTC over the width was chosen over fixed character slots because it
 * needs no plate length and reads stacked or split rows as a sequence.
 * The text is decoded by a CTC prefix beam search, which gives the N most
 * probable texts with their probabilities; with plate syntaxes the same
 * beam keeps only prefixes that can still become a text of one of them,
 * and falls back to the unconstrained reading when no complete text fits
 * or the best that fits is under a hundredth of the probability of the
 * unconstrained best (a plate of a series the syntaxes do not list is read
 * as it is, not forced into a wrong one; on 5-fold cross-validations this
 * read two more Brazilian plates of 58 and the same European and US ones).
 * Only the C functions below leave the library; the network runs on
 * libtorch with one intra-op thread per process (callers get parallelism
 * from processes).
 *
 * Plate-shaped regions. A region under two and a half times as wide as it
 * is high cannot be a row of five or more characters: it is a whole plate
 * of the US shape (about twice as wide as high), the characters between a
 * state name and a slogan. Squeezed whole into 32 rows with its margin,
 * its characters kept about 8 of them. Such a region is read from its
 * middle three fifths of rows, and trained alike, which gives the
 * characters two thirds more rows. On 5-fold cross-validations of 111
 * labelled US photographs this read 33.3% of plates exactly -> 36.9% with
 * the default training seed and 43.2% with another (the held-out labelled
 * boxes 45.9% -> 55.9% and 64.9%); European and Brazilian plates, wider
 * than that, are read as before.
 *
 * Unsure readings. When the best text of a reading has a probability
 * under 0.9, the region is read again from four nudged crops (its edges
 * moved out and in by a few percent of its height, in one network run) and
 * the five readings are pooled: a text's probability is its mean over
 * them. A character half cut by a crop's edge, or a stroke the resampling
 * lost, is seen whole in most of them. On 5-fold cross-validations of
 * labelled photographs this read US plates 27.0% -> 32.4% exactly, with
 * European and Brazilian plates within one plate of before; an unsure
 * field costs about five times a sure one.
 *
 * Confidences. A candidate's confidence is its CTC probability (the sum
 * over every frame alignment of the text, 0-1; for a pooled reading, the
 * mean over the crops). A character's confidence is the highest
 * probability the network gives that character on the frames that the
 * most probable alignment of the candidate assigns to it (for a pooled
 * reading, in the crop that gave the text most).
 *
 * Model files. A small little-endian header (magic "PLATENET", format
 * version, input size, layer widths, character set, parameter count and the
 * payload's CRC-32) followed by every parameter and batch-norm
 * statistic as float32 in a fixed order. A loader refuses a foreign,
 * truncated, damaged or inconsistent file with its cause before it builds
 * any network.
 *
 * Ownership. A model belongs to the caller from PNET_load_model* until
 * PNET_free_model. Pages are only read, never kept. Readings are written
 * into a caller-owned record. No function throws; failures are the status
 * codes below.
 *
 * This library is an addition beyond the documented system: the box-net
 * engine (glyphnet) is unchanged.
 */
#ifndef PLATENET_H
#define PLATENET_H

#include <stddef.h>

#if defined(PLATENET_BUILD)
#define PNET_API __attribute__((visibility("default")))
#else
#define PNET_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes: 0 success, one code per cause of failure. */
enum {
    PNET_OK = 0,
    PNET_CANNOT_OPEN = 1,     /* the file could not be opened or read */
    PNET_FOREIGN = 2,         /* not a model file (wrong magic) */
    PNET_BAD_VERSION = 3,     /* a model file of an unsupported format version */
    PNET_TRUNCATED = 4,       /* shorter than its header or payload says */
    PNET_BAD_HEADER = 5,      /* a header field outside its accepted range */
    PNET_BAD_CHECKSUM = 6,    /* the payload does not match its CRC-32 (damaged) */
    PNET_BAD_PARAMETERS = 7,  /* parameter count does not fit the layer widths */
    PNET_NO_MEMORY = 8,
    PNET_BAD_ARGUMENT = 9,    /* a null pointer, an empty or outside region, a bad syntax list */
    PNET_INTERNAL = 10        /* the network failed (should not happen) */
};

#define PNET_MAX_TEXT 16       /* characters of one reading, at most */
#define PNET_MAX_CANDIDATES 32 /* candidates of one reading, at most */

typedef struct pnet_model pnet_model;

typedef struct pnet_candidate {
    char text[PNET_MAX_TEXT + 1];         /* NUL-terminated, characters of the model's set */
    int length;                            /* strlen(text) */
    float confidence;                      /* 0-1, see the design note */
    float char_confidence[PNET_MAX_TEXT];  /* one per character of text */
    int fits_syntax;                       /* 1 when text fits one of the syntaxes asked for */
} pnet_candidate;

typedef struct pnet_reading {
    int count;                   /* candidates filled, best first; 0 when nothing was read */
    int constrained;             /* 1 when syntaxes were given and candidates[0] fits one */
    pnet_candidate candidates[PNET_MAX_CANDIDATES];
} pnet_reading;

/* Loads a model file. Returns the model, or NULL with the cause in *status
 * (status may be NULL). Sets libtorch to one intra-op thread. */
PNET_API pnet_model* PNET_load_model(const char* path, int* status);

/* The same from `size` bytes in memory (copied as needed, not kept). */
PNET_API pnet_model* PNET_load_model_bytes(const unsigned char* bytes, size_t size, int* status);

/* Frees a model; NULL is ignored. */
PNET_API void PNET_free_model(pnet_model* model);

/* Reads the page region left..right-1 x top..bottom-1 of an 8-bit gray
 * page (0 black, 255 white; `height` rows of `width` pixels, `stride` bytes
 * apart) into at most `topn` (1..PNET_MAX_CANDIDATES) candidates, best
 * first. `syntaxes` is NULL or empty for an unconstrained reading, or a
 * comma-separated list of plate syntaxes ('L' letter, 'D' digit per
 * position, e.g. "LLDDDLL,LLLDDDD"). The region is clipped to the page,
 * narrowed to its middle three fifths of rows when plate-shaped (see the
 * design note) and widened by the reader's margin (a quarter of its height
 * above and below, half its height left and right). Returns PNET_OK and
 * fills *out, or a status with *out emptied (count 0). */
PNET_API int PNET_read_region(const pnet_model* model, const unsigned char* page, int width, int height,
                              int stride, int left, int top, int right, int bottom, const char* syntaxes,
                              int topn, pnet_reading* out);

/* The model's input size, and its character set (NUL-terminated, owned by
 * the model). Return 0 / NULL for a NULL model. */
PNET_API int PNET_input_height(const pnet_model* model);
PNET_API int PNET_input_width(const pnet_model* model);
PNET_API const char* PNET_charset(const pnet_model* model);

/* A short English text for a status code ("unknown status" otherwise). */
PNET_API const char* PNET_status_text(int status);

#ifdef __cplusplus
}
#endif

#endif
