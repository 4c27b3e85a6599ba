/* learner: the training dialogs.
 *
 * LRN_do_training_session opens the modal training dialog over the results
 * of the last analysis: the user walks through the fields and teaches the
 * engine, whose knowledge-base files are backed up first and restored when
 * the changes are not kept. */
#ifndef LEARNER_H
#define LEARNER_H

#include "glyphnet.h"
#include "rasterkit.h"

#if defined(LEARNER_BUILD)
#define LEARNER_API __attribute__((visibility("default")))
#else
#define LEARNER_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* parent: the caller's main window (a QWidget*, or null); io: the engine's
 * record; current: the caller's current-result pointer, read at start and
 * written back with the field shown last; list_path: the knowledge-base
 * list file. Returns nonzero when changes were made and kept. */
LEARNER_API int LRN_do_training_session(void* parent, ocr_io* io, seg_result** current,
                                        const char* list_path);

#ifdef __cplusplus
}
#endif

#endif /* LEARNER_H */
