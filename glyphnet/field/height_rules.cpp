// The height rules of field reading.
#include "field/height_rules.h"

#include <cstring>

#include "charclass/cp1252_classes.h"

namespace gn {
namespace {

bool full_height(unsigned char c) {
    return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'Z') ||
           (c != 0 && std::strchr("bdfghjklpqy", c) != nullptr);
}

struct Averages {
    bool any;
    int a, b, c, d;
};

Averages averages(const SlotString* s, const Segment* cells, int n_cells) {
    long sb = 0, st = 0, sh = 0, n = 0;
    for (int i = 0; i < s->len; ++i) {
        const unsigned char ch = static_cast<unsigned char>(s->bytes[i]);
        const int cell = s->cell[i];
        if (!full_height(ch) || cell < 0 || cell >= n_cells) continue;
        sb += cells[cell].bottom;
        st += cells[cell].top;
        sh += s->height[i];
        ++n;
    }
    Averages av{n > 0, 0, 0, 0, 0};
    if (n > 0) {
        av.a = static_cast<int>(sb / n);
        av.b = static_cast<int>(st / n);
        av.c = static_cast<int>(sh / n);
        av.d = av.c * 9 / 10;
    }
    return av;
}

}  // namespace

bool size_ambiguous(unsigned char c) {
    return c != 0 && std::strchr("cCoOsSxXvVwWuUzZ", c) != nullptr;
}

void apply_height_rules(SlotString* s, const Segment* cells, int n_cells) {
    Averages av = averages(s, cells, n_cells);
    if (!av.any) return;
    bool changed = false;
    for (int i = 0; i < s->len; ++i) {
        if (s->bytes[i] != 'l' || s->height[i] > av.d) continue;
        const bool low = s->top[i] > av.b + (av.a - av.b) / 3;
        s->bytes[i] = (low || s->height[i] > 2 * av.c / 3) ? 'i' : '\'';
        changed = true;
    }
    if (changed) {
        av = averages(s, cells, n_cells);
        if (!av.any) return;
    }
    for (int i = 0; i + 1 < s->len; i += 2) {
        if (s->cell[i] < 0) continue;
        auto* b0 = reinterpret_cast<unsigned char*>(&s->bytes[i]);
        auto* b1 = reinterpret_cast<unsigned char*>(&s->bytes[i + 1]);
        if (s->height[i] > av.d) {
            const bool a0 = size_ambiguous(*b0), a1 = size_ambiguous(*b1);
            if (a0 && a1) {
                *b0 = cp1252::to_upper(*b0);
                *b1 = cp1252::to_upper(*b1);
            } else if (a0 && *b1 < 128 && !full_height(*b1)) {
                *b0 = cp1252::to_upper(*b0);
            } else if (a1 && *b0 < 128 && !full_height(*b0)) {
                *b1 = cp1252::to_upper(*b1);
            }
        } else {
            if (size_ambiguous(*b0)) *b0 = cp1252::to_lower(*b0);
            if (size_ambiguous(*b1)) *b1 = cp1252::to_lower(*b1);
        }
    }
    for (int i = 0; i + 1 < s->len; i += 2) {
        const char c = s->bytes[i];
        if (s->bytes[i + 1] != '_' || s->cell[i] < 0) continue;
        if (c != '\'' && c != ',' && c != 'l' && c != 'I') continue;
        const bool low = s->top[i] > av.b + (av.a - av.b) / 3;
        if (low && s->height[i] <= 3 * av.c / 4) s->bytes[i] = ',';
        else if (s->height[i] <= 2 * av.c / 3) s->bytes[i] = '\'';
    }
}

}  // namespace gn
