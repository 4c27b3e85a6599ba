// The knowledge bases of the process: the entries of the list file, the
// nets loaded for each, which of them a request selects, and which one is
// current (the one learning writes and single-character reading asks).
#pragma once

#include "kb/kb_list.h"
#include "kb/net.h"
#include "kb/patterns.h"

namespace gn {

struct KbEntry {
    char path[kMaxPath + 1];
    char patterns_path[kMaxPath + 8];
    int type;
    bool loaded;
    bool selected;
    bool damaged;  // the file exists but could not be read as a knowledge base
    int net_count;
    Net* nets;  // newest first
};

struct KbStore {
    KbEntry entries[kMaxEntries];
    int entry_count;
    int loaded_count;
    int selected_count;
    int current;  // index into entries, -1 for none
};

KbStore& kb_store();

// Replaces the entries by the list (patterns paths derived from the
// knowledge-base paths); nets already loaded are released first.
void set_entries(const ListEntry* list, int count);
// Releases every loaded net (entries stay).
void release_all_kbs();
// Loads every entry with a non-empty path; an entry with at least one net
// is marked loaded. Returns the number of damaged files met.
int load_all_kbs();

// Selects the bases for a request (kb_mode, kb_index, gap_tolerant); the
// current base becomes entry kb_index or the first selected one. False when
// nothing is selected.
bool select_kbs(int kb_mode, int kb_index, bool gap_tolerant);
// The current entry, or null.
KbEntry* current_kb();
// Makes entry `index` (0-based) current.
void make_current(int index);

// Writes the patterns table and the current entry's nets to their files,
// both or neither: each new file is staged beside the old one and renamed
// over it only when both were written. With no samples the patterns file is
// deleted, with no nets the knowledge-base file (and the entry is marked
// not loaded). A damaged knowledge-base file is first copied to
// "<path>.damaged"; *kept_damaged tells when that happened. False when
// anything could not be written; the old files then stay as they were.
bool save_current_kb(const PatternTable& patterns, bool* kept_damaged);

// Brings the current entry's net count and its loaded and selected marks
// to what its nets in memory mean (as a save leaves them): with no nets the
// entry is no longer loaded, with some it is loaded and selected.
void settle_current_kb();

// Re-reads the current entry's nets from its file (after a failed learning
// call, so that memory matches the disk again).
void reload_current_kb();

}  // namespace gn
