/* Host layer: the operating-system services used by the libraries and the
 * programs, behind a small C interface.
 *
 * Message boxes are routed through one presenter per process. The default
 * presenter prints "Title: text" on standard error and answers with the
 * first button of the box; a desktop program installs one that shows a real
 * dialog, and tests install one that records what was shown. Beeps are
 * routed the same way (the default beeper does nothing).
 *
 * All strings are 8-bit, NUL-terminated. Nothing here is thread-safe except
 * the clock and the processor count. */
#ifndef ORVOSYS_H
#define ORVOSYS_H

#include <stddef.h>
#include <stdint.h>

#if defined(ORVOSYS_BUILD)
#define ORVOSYS_API __attribute__((visibility("default")))
#else
#define ORVOSYS_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Milliseconds since an arbitrary start, wrapping at 2^32. */
ORVOSYS_API uint32_t osys_tick_count(void);

typedef struct osys_time {
    int year;   /* e.g. 2026 */
    int month;  /* 1-12 */
    int day;    /* 1-31 */
    int hour;   /* 0-23 */
    int minute; /* 0-59 */
    int second; /* 0-59 */
} osys_time;

/* Fills *t with the local time of day and date. */
ORVOSYS_API void osys_local_time(osys_time* t);

/* Number of processors available to this process (at least 1). */
ORVOSYS_API int osys_processor_count(void);

/* Copies the current directory into buf (size bytes, NUL included).
 * Returns its length, or 0 when it does not fit or cannot be read. */
ORVOSYS_API size_t osys_current_directory(char* buf, size_t size);

/* Settings files of "[section]" headers and "key=value" lines. Sections and
 * keys match case-insensitively; blanks around names and values are
 * ignored. */

/* Copies the value of key in section (or def when absent; null def is "")
 * into out, cut to size - 1 bytes. Returns the number of bytes copied. */
ORVOSYS_API size_t osys_profile_string(const char* section, const char* key, const char* def,
                                       char* out, size_t size, const char* file);

/* The value as a decimal integer (leading digits only), or def when the key
 * is absent or does not start with a number. */
ORVOSYS_API int osys_profile_int(const char* section, const char* key, int def,
                                 const char* file);

/* Sets key in section to value, creating the file, section or key as
 * needed; a null value removes the key, a null key the whole section. The
 * file is replaced atomically, so a crash never leaves it half written.
 * Returns 1 on success, 0 on failure (file unchanged). */
ORVOSYS_API int osys_write_profile_string(const char* section, const char* key,
                                          const char* value, const char* file);

/* Message box styles: one button set, optionally or-ed with one icon. */
enum {
    OSYS_MB_OK = 0x00,
    OSYS_MB_OKCANCEL = 0x01,
    OSYS_MB_YESNOCANCEL = 0x03,
    OSYS_MB_YESNO = 0x04,
    OSYS_MB_BUTTONS = 0x0F,
    OSYS_MB_ICONERROR = 0x10,
    OSYS_MB_ICONQUESTION = 0x20,
    OSYS_MB_ICONWARNING = 0x30,
    OSYS_MB_ICONINFORMATION = 0x40,
    OSYS_MB_ICONS = 0xF0
};

/* Answers of a message box. */
enum { OSYS_IDOK = 1, OSYS_IDCANCEL = 2, OSYS_IDYES = 6, OSYS_IDNO = 7 };

typedef int (*osys_presenter)(void* context, const char* title, const char* text,
                              unsigned style);
typedef void (*osys_beeper)(void* context);

/* Shows a message box through the installed presenter; returns its answer. */
ORVOSYS_API int osys_message_box(const char* text, const char* title, unsigned style);

/* Installs a presenter (null restores the default); returns the previous
 * one, and its context through *previous_context when that is not null. */
ORVOSYS_API osys_presenter osys_set_message_presenter(osys_presenter presenter, void* context,
                                                      void** previous_context);

/* The default beep, through the installed beeper. */
ORVOSYS_API void osys_beep(void);

/* Installs a beeper (null restores the default, which is silent). */
ORVOSYS_API void osys_set_beeper(osys_beeper beeper, void* context);

#ifdef __cplusplus
}
#endif

#endif /* ORVOSYS_H */
