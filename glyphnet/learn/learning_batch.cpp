// The learning batch: one base's patterns table held in memory across
// learning calls, and the single save at the end.
#include "learn/learning_batch.h"

#include <string>

#include "engine/messages.h"
#include "engine/ocr_interface.h"
#include "kb/kb_store.h"

namespace gn {
namespace {

struct Batch {
    bool open = false;
    bool broken = false;
    bool due = false;  // some call changed the base: its files are to be written
    int entry = -1;    // the base, 0-based; -1 until the first call
    bool patterns_file = false;  // the last call learned nothing new
    PatternTable table;
};

Batch& batch() {
    static Batch b;
    return b;
}

void close_batch() {
    Batch& b = batch();
    release_patterns(&b.table);
    b = Batch{};
}

// The table as a reload of its own file would give it: records without a
// printable class byte dropped, features limited to -16..16, marks cleared.
void settle_table(PatternTable* t) {
    int k = 0;
    for (int i = 0; i < t->count; ++i) {
        Sample s = t->s[i];
        if (s.c1 < 32 && s.c2 < 32) continue;
        for (int m = 0; m < 49; ++m) {
            if (s.f[m] < -16) s.f[m] = -16;
            if (s.f[m] > 16) s.f[m] = 16;
        }
        s.mark = 0;
        t->s[k++] = s;
    }
    t->count = k;
    if (k == 0) release_patterns(t);
}

void reload_entry(int entry) {
    if (entry < 0) return;
    make_current(entry);
    reload_current_kb();
}

}  // namespace

bool batch_open() { return batch().open; }
bool batch_broken() { return batch().broken; }

const PatternTable* batch_table_for(int index) {
    const Batch& b = batch();
    return b.open && !b.broken && b.entry >= 0 && b.entry == index ? &b.table : nullptr;
}

bool batch_holds_other_base() {
    const Batch& b = batch();
    return b.entry >= 0 && b.entry != kb_store().current;
}

PatternTable* batch_table(bool* fresh) {
    Batch& b = batch();
    *fresh = b.entry < 0;
    if (b.entry < 0) {
        release_patterns(&b.table);
        b.entry = kb_store().current;
    }
    return &b.table;
}

void batch_hold_save() {
    Batch& b = batch();
    settle_table(&b.table);
    settle_current_kb();
    b.due = true;
    b.patterns_file = false;
}

void batch_need_patterns_file() { batch().patterns_file = true; }

void batch_break() {
    Batch& b = batch();
    release_patterns(&b.table);
    reload_entry(b.entry);
    b.entry = -1;
    b.due = false;
    b.broken = true;
}

void batch_discard(bool reload) {
    Batch& b = batch();
    if (!b.open) return;
    if (reload && b.due) reload_entry(b.entry);
    close_batch();
}

int ocr_begin_learning_batch() {
    const char* title = "OCR_begin_learning_batch: Error";
    if (record() == nullptr) {
        show_message("OCR i/o structure wasn't previously allocated", title, Icon::error);
        return 0;
    }
    Batch& b = batch();
    if (b.open) {
        show_message("A learning batch is already open", title, Icon::error);
        return 0;
    }
    close_batch();
    b.open = true;
    return 1;
}

int ocr_end_learning_batch() {
    const char* title = "OCR_end_learning_batch: Error";
    Batch& b = batch();
    if (!b.open) {
        show_message("No learning batch is open", title, Icon::error);
        return 0;
    }
    if (b.broken) {
        close_batch();
        show_message("A call of the learning batch failed: nothing was saved\n(the previous "
                     "files were kept)",
                     title, Icon::error);
        return 0;
    }
    if (!b.due) {
        if (b.patterns_file && b.entry >= 0)
            create_patterns_file(kb_store().entries[b.entry].patterns_path);
        close_batch();
        return 1;
    }
    make_current(b.entry);
    bool kept = false;
    const bool ok = save_current_kb(b.table, &kept);
    if (kept) {
        const std::string text = std::string("The damaged knowledge base file was kept as\n") +
                                 current_kb()->path + ".damaged";
        show_message(text.c_str(), "OCR_end_learning_batch: Warning", Icon::warning);
    }
    if (!ok) {
        show_message("Couldn't save the knowledge base files\n(the previous files were kept)",
                     title, Icon::error);
        reload_current_kb();
    } else if (b.patterns_file) {
        create_patterns_file(current_kb()->patterns_path);
    }
    close_batch();
    return ok ? 1 : 0;
}

}  // namespace gn
