// Batched learning: between OCR_begin_learning_batch and
// OCR_end_learning_batch the learning and unlearning calls change the
// current base's nets and patterns in memory only; the end writes both files
// once, with the same staged save a single call uses. A batch holds one
// knowledge base.
#pragma once

#include "kb/patterns.h"

namespace gn {

int ocr_begin_learning_batch();
int ocr_end_learning_batch();

// True while a batch is open (also after a failed call broke it).
bool batch_open();
// True when a call inside the open batch failed: the batch's changes were
// dropped and the files were never touched; further calls are refused until
// the end, which reports the failure.
bool batch_broken();

// The patterns table the batch holds for entry `index` (0-based), or null
// when the batch holds none for it.
const PatternTable* batch_table_for(int index);

// True when the batch already holds a base other than the current one.
bool batch_holds_other_base();
// For a learning call inside the open, unbroken batch: the table the batch
// holds for the current base, which it takes on as its base when it holds
// none yet; *fresh is then true and the caller fills the (empty) table from
// the patterns file.
PatternTable* batch_table(bool* fresh);
// Records that the current base's files are due at the end, after the
// call's changes (the table is brought to the form a reload of its file
// would give, and the entry's counts to what a save would leave).
void batch_hold_save();
// Records that a call inside the batch learned nothing new: its patterns
// file is to exist at the end (made empty if missing), unless a later call
// changes the base.
void batch_need_patterns_file();
// A call inside the batch failed: drops the held table, re-reads the base
// from its file and marks the batch broken.
void batch_break();
// Closes the batch without writing (the record is being freed, cleared or
// set up again). With `reload`, the base is re-read from its file so that
// memory matches the disk again.
void batch_discard(bool reload);

}  // namespace gn
