// The learning and unlearning calls.
#include "learn/learn_char.h"

#include <string>

#include "charclass/cp1252_classes.h"
#include "classify/groups.h"
#include "engine/messages.h"
#include "engine/ocr_interface.h"
#include "field/height_rules.h"
#include "kb/kb_store.h"
#include "kb/patterns.h"
#include "image/framing.h"
#include "learn/learning_batch.h"
#include "learn/net_rebuild.h"
#include "path_helpers.h"

namespace gn {
namespace {

const char* kLearnError = "OCR_learn_char: Error";
const char* kUnlearnError = "OCR_unlearn_char: Error";

unsigned char lowered(unsigned char c) { return size_ambiguous(c) ? cp1252::to_lower(c) : c; }

// Loads the current base's patterns: a missing file is an empty table.
bool load_current_patterns(PatternTable* t, const char* title) {
    KbEntry* e = current_kb();
    const int rc = load_patterns(e->patterns_path, t);
    if (rc > 0) return true;
    if (rc == 0 && !pathutil::file_exists(e->patterns_path)) return true;
    show_message(rc < 0 ? "Couldn't load patterns file\n(Memory allocation error)"
                        : "Couldn't load patterns file\n(File doesn't exist or opening error)",
                 title, Icon::error);
    return false;
}

// The table a call works on: its own, loaded from the file, or inside a
// learning batch the one the batch holds. Null (message shown) when there is
// none to work on.
PatternTable* call_patterns(PatternTable* own, const char* title) {
    if (!batch_open()) return load_current_patterns(own, title) ? own : nullptr;
    if (batch_broken()) {
        show_message("A call of the learning batch failed: nothing more is learned\nuntil "
                     "the batch ends",
                     title, Icon::error);
        return nullptr;
    }
    if (batch_holds_other_base()) {
        show_message("A learning batch teaches one knowledge base\n(end it before teaching "
                     "another one)",
                     title, Icon::error);
        return nullptr;
    }
    bool fresh = false;
    PatternTable* t = batch_table(&fresh);
    if (fresh && !load_current_patterns(t, title)) {
        batch_break();
        return nullptr;
    }
    return t;
}

// Done with a call's table without saving (a batch keeps its own).
void put_back(PatternTable* t) {
    if (!batch_open()) release_patterns(t);
}

// Writes both files; on failure the files stay and memory is re-read.
// Inside a learning batch the writing waits for the batch's end.
bool save_all(PatternTable* t, const char* error_title, const char* warning_title) {
    if (batch_open()) {
        batch_hold_save();
        return true;
    }
    bool kept = false;
    const bool ok = save_current_kb(*t, &kept);
    if (kept) {
        const std::string text = std::string("The damaged knowledge base file was kept as\n") +
                                 current_kb()->path + ".damaged";
        show_message(text.c_str(), warning_title, Icon::warning);
    }
    if (!ok) {
        show_message("Couldn't save the knowledge base files\n(the previous files were kept)",
                     error_title, Icon::error);
        reload_current_kb();
    }
    release_patterns(t);
    return ok;
}

// A failed call: memory goes back to what the files hold (inside a batch,
// to what they held before the batch).
int fail(PatternTable* t, const char* text) {
    if (text != nullptr) show_message(text, kLearnError, Icon::error);
    if (batch_open()) {
        batch_break();
    } else {
        release_patterns(t);
        reload_current_kb();
    }
    return 0;
}

// The learning call on the current base, from its patterns on.
int learn_on_current(ocr_io* io) {
    PatternTable own;
    PatternTable* t = call_patterns(&own, kLearnError);
    if (t == nullptr) return 0;

    unsigned char t1 = static_cast<unsigned char>(io->taught_class[0]);
    // An empty taught class stays empty (and is refused as invalid).
    unsigned char t2 = io->taught_class[0] == '\0'   ? 0
                       : io->taught_class[1] != '\0' ? static_cast<unsigned char>(io->taught_class[1])
                                                     : '_';
    unsigned char s1 = '^', s2 = '_';
    if (io->shown_class[0] != '\0') {
        s1 = static_cast<unsigned char>(io->shown_class[0]);
        if (io->shown_class[1] != '\0') s2 = static_cast<unsigned char>(io->shown_class[1]);
    }
    t1 = lowered(t1);
    t2 = lowered(t2);
    s1 = lowered(s1);
    s2 = lowered(s2);

    const int l = io->left, tp = io->top, w = io->right - io->left, h = io->bottom - io->top;
    const int* pf = io->prior_frame;
    const bool separate = pf[2] > 0 && pf[3] > 0 && !(pf[0] >= io->left && pf[2] <= io->right);
    const bool shown = !(s1 == '^' && s2 == '_');
    const bool differ = s1 != t1 || s2 != t2;

    if (shown && !differ && !separate) {
        if (batch_open()) batch_need_patterns_file();
        put_back(t);
        show_message("Didn't learn anything new\n[character(s) already recognized]",
                     "OCR_learn_char: Info", Icon::information);
        return 1;
    }
    // A region without a character to frame is refused before anything
    // changes, so a learning batch goes on without this call.
    if (batch_open() && !frame_char(l, tp, w, h)) {
        show_message("Couldn't adjust a framing window on character/group", "Error", Icon::error);
        show_message("Couldn't learn current pattern", kLearnError, Icon::error);
        put_back(t);
        return 0;
    }
    if (shown) {
        if (separate) {
            if (!add_sample(t, s1, s2, kCounter, pf[0], pf[1], pf[2] - pf[0], pf[3] - pf[1]) ||
                !rebuild_class(t, s1, s2))
                return fail(t, "Couldn't unlearn confused pattern");
            if (!add_sample(t, t1, t2, kPositive, l, tp, w, h))
                return fail(t, "Couldn't learn current pattern");
        } else {
            const int gt = confusion_group(t1, t2), gs = confusion_group(s1, s2);
            // The base's classes are those of its samples.
            const bool known = has_class(*t, t1, t2);
            if (!known || gt != gs || gt == 0) {
                if (!add_sample(t, t1, t2, kPositive, l, tp, w, h))
                    return fail(t, "Couldn't learn current pattern");
                if (!rebuild_class(t, s1, s2)) return fail(t, "Couldn't learn current pattern");
            } else {
                if (!add_sample(t, s1, s2, kCounter, l, tp, w, h) || !rebuild_class(t, s1, s2))
                    return fail(t, "Couldn't unlearn confused pattern");
                if (!add_sample(t, t1, t2, kPositive, l, tp, w, h))
                    return fail(t, "Couldn't learn current pattern");
            }
        }
    } else if (!add_sample(t, t1, t2, kPositive, l, tp, w, h)) {
        return fail(t, "Couldn't learn current pattern");
    }
    if (!rebuild_class(t, t1, t2)) return fail(t, "Couldn't learn current pattern");
    return save_all(t, kLearnError, "OCR_learn_char: Warning") ? 1 : 0;
}

}  // namespace

int ocr_learn_char() {
    ocr_io* io = record();
    KbStore& s = kb_store();
    const int idx = io != nullptr ? io->kb_index : 0;
    if (idx <= 0 || idx > s.entry_count || s.entries[idx - 1].path[0] == '\0' ||
        s.entries[idx - 1].patterns_path[0] == '\0') {
        show_message("Current knowledge base unspecified\n(index / path / name)", kLearnError,
                     Icon::error);
        return 0;
    }
    take_request(io);
    if (!select_kbs(io->kb_mode, idx, io->gap_tolerant != 0)) make_current(idx - 1);
    // Inside a batch the files wait for its end; a failed call leaves them
    // as it found them.
    const bool created = !batch_open() && create_patterns_file(current_kb()->patterns_path);
    const int result = learn_on_current(io);
    if (created && result == 0) remove_empty_patterns_file(current_kb()->patterns_path);
    return result;
}

int ocr_unlearn_char() {
    ocr_io* io = record();
    if (io == nullptr) {
        show_message("Current knowledge base unspecified or not present", kUnlearnError,
                     Icon::error);
        return 0;
    }
    const unsigned char u1 = static_cast<unsigned char>(io->taught_class[0]);
    const unsigned char u2 =
        (io->taught_class[0] == '\0' || io->taught_class[1] == '\0' || io->taught_class[1] == ' ')
            ? '_'
            : static_cast<unsigned char>(io->taught_class[1]);
    take_request(io);
    if (io->kb_index <= 0 || !select_kbs(io->kb_mode, io->kb_index, io->gap_tolerant != 0)) {
        show_message("Current knowledge base unspecified or not present", kUnlearnError,
                     Icon::error);
        return 0;
    }
    PatternTable own;
    PatternTable* t = call_patterns(&own, kUnlearnError);
    if (t == nullptr) return 0;
    KbEntry* e = current_kb();
    if (!has_class(*t, u1, u2) && find_net(e->nets, u1, u2) == nullptr) {
        put_back(t);
        show_message("Character/group to be unlearned\nnot found in current knowledge base",
                     "OCR_unlearn_char: Warning", Icon::warning);
        return 0;
    }
    if (!remove_class_samples(t, u1, u2)) {
        if (batch_open()) {
            batch_break();
        } else {
            release_patterns(t);
        }
        return 0;
    }
    if (remove_net(&e->nets, u1, u2)) --e->net_count;
    return save_all(t, kUnlearnError, "OCR_unlearn_char: Warning") ? 1 : 0;
}

}  // namespace gn
