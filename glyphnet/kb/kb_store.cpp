// Loading, selecting and saving the listed knowledge bases.
#include "kb/kb_store.h"

#include <cstring>
#include <string>

#include "kb/kb_file.h"
#include "kb/staged_file.h"
#include "path_helpers.h"

namespace gn {

KbStore& kb_store() {
    static KbStore s = {{}, 0, 0, 0, -1};
    return s;
}

void release_all_kbs() {
    KbStore& s = kb_store();
    for (int i = 0; i < kMaxEntries; ++i) {
        KbEntry& e = s.entries[i];
        nets_free(e.nets);
        e.nets = nullptr;
        e.net_count = 0;
        e.loaded = false;
        e.selected = false;
        e.damaged = false;
    }
    s.loaded_count = 0;
    s.selected_count = 0;
    s.current = -1;
}

void set_entries(const ListEntry* list, int count) {
    release_all_kbs();
    KbStore& s = kb_store();
    if (count > kMaxEntries) count = kMaxEntries;
    if (count < 0) count = 0;
    for (int i = 0; i < kMaxEntries; ++i) {
        KbEntry& e = s.entries[i];
        std::memset(e.path, 0, sizeof e.path);
        std::memset(e.patterns_path, 0, sizeof e.patterns_path);
        e.type = 0;
        if (i >= count) continue;
        std::strncpy(e.path, list[i].path, kMaxPath);
        e.type = list[i].type;
        if (e.path[0] != '\0') {
            const char* p = pathutil::path_with_extension(e.path, "dat");
            if (p != nullptr && std::strlen(p) < sizeof e.patterns_path)
                std::strcpy(e.patterns_path, p);
        }
    }
    s.entry_count = count;
}

int load_all_kbs() {
    KbStore& s = kb_store();
    release_all_kbs();
    int damaged = 0;
    for (int i = 0; i < s.entry_count; ++i) {
        KbEntry& e = s.entries[i];
        if (e.path[0] == '\0') continue;
        Net* head = nullptr;
        int count = 0;
        const KbLoad r = load_kb_file(e.path, &head, &count);
        if (r == KbLoad::loaded) {
            e.nets = head;
            e.net_count = count;
            e.loaded = true;
            ++s.loaded_count;
        } else if (r == KbLoad::malformed) {
            e.damaged = true;
            ++damaged;
        }
    }
    return damaged;
}

bool select_kbs(int kb_mode, int kb_index, bool gap_tolerant) {
    KbStore& s = kb_store();
    s.selected_count = 0;
    for (int i = 0; i < kMaxEntries; ++i) s.entries[i].selected = false;
    s.current = -1;
    if (kb_index >= 1) {
        if (kb_index > s.entry_count || !s.entries[kb_index - 1].loaded) return false;
        s.entries[kb_index - 1].selected = true;
        s.selected_count = 1;
        s.current = kb_index - 1;
        return true;
    }
    for (int i = 0; i < s.entry_count; ++i) {
        KbEntry& e = s.entries[i];
        if (!e.loaded) continue;
        const int t = e.type;
        bool take;
        if (!gap_tolerant) {
            take = t == 0 || (t != 250 && t != 251 && t != 252 && (kb_mode == 0 || t == kb_mode));
        } else {
            take = t == 250 || ((t == 251 || t == 252) && kb_mode == 0) ||
                   (t == 251 && kb_mode == 1) || (t == 252 && kb_mode == 2);
        }
        if (!take) continue;
        e.selected = true;
        if (s.current < 0) s.current = i;
        ++s.selected_count;
    }
    return s.selected_count > 0;
}

KbEntry* current_kb() {
    KbStore& s = kb_store();
    if (s.current < 0 || s.current >= kMaxEntries) return nullptr;
    return &s.entries[s.current];
}

void make_current(int index) {
    KbStore& s = kb_store();
    s.current = (index >= 0 && index < s.entry_count) ? index : -1;
}

bool save_current_kb(const PatternTable& patterns, bool* kept_damaged) {
    *kept_damaged = false;
    KbEntry* e = current_kb();
    if (e == nullptr || e->path[0] == '\0' || e->patterns_path[0] == '\0') return false;

    StagedFile pat_file, kb_file;
    if (patterns.count > 0) {
        ByteBuffer img;
        if (!build_patterns_image(patterns, &img) ||
            !pat_file.stage(e->patterns_path, img.data(), img.size()))
            return false;
    }
    int nets = 0;
    for (Net* n = e->nets; n != nullptr; n = n->next) ++nets;
    if (nets > 0) {
        ByteBuffer img;
        if (!build_kb_image(e->nets, &img) || !kb_file.stage(e->path, img.data(), img.size()))
            return false;
    }
    if (e->damaged && pathutil::file_exists(e->path)) {
        const std::string copy = std::string(e->path) + ".damaged";
        if (!copy_file(e->path, copy.c_str())) return false;
        *kept_damaged = true;
    }

    // Both files are ready: put them in place.
    if (patterns.count > 0) {
        if (!pat_file.commit()) return false;
    } else if (pathutil::file_exists(e->patterns_path)) {
        pathutil::delete_file(e->patterns_path);
    }
    if (nets > 0) {
        if (!kb_file.commit()) return false;
    } else if (pathutil::file_exists(e->path)) {
        pathutil::delete_file(e->path);
    }
    e->damaged = false;
    settle_current_kb();
    return true;
}

void settle_current_kb() {
    KbEntry* e = current_kb();
    if (e == nullptr) return;
    KbStore& s = kb_store();
    int nets = 0;
    for (Net* n = e->nets; n != nullptr; n = n->next) ++nets;
    e->net_count = nets;
    if (nets == 0) {
        if (e->loaded) --s.loaded_count;
        if (e->selected) --s.selected_count;
        e->loaded = false;
        e->selected = false;
    } else if (!e->loaded) {
        e->loaded = true;
        e->selected = true;
        ++s.loaded_count;
        ++s.selected_count;
    }
}

void reload_current_kb() {
    KbEntry* e = current_kb();
    if (e == nullptr) return;
    KbStore& s = kb_store();
    nets_free(e->nets);
    e->nets = nullptr;
    e->net_count = 0;
    Net* head = nullptr;
    int count = 0;
    const KbLoad r = load_kb_file(e->path, &head, &count);
    const bool was = e->loaded;
    e->loaded = r == KbLoad::loaded;
    e->damaged = r == KbLoad::malformed;
    if (e->loaded) {
        e->nets = head;
        e->net_count = count;
    }
    if (was && !e->loaded) {
        --s.loaded_count;
        if (e->selected) --s.selected_count;
        e->selected = false;
    } else if (!was && e->loaded) {
        ++s.loaded_count;
    }
}

}  // namespace gn
