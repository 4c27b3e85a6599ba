// The text rules: context fixes, character kinds and templates.
#include "text/text_rules.h"

#include <cstdlib>
#include <cstring>

#include "charclass/cp1252_classes.h"

namespace gn {
namespace {

using cp1252::is_alpha;
using cp1252::is_blank;
using cp1252::is_digit;
using cp1252::is_lower;
using cp1252::is_punct;
using cp1252::is_upper;

unsigned char at(const char* t, long n, long i) {
    return (i >= 0 && i < n) ? static_cast<unsigned char>(t[i]) : 0;
}

bool punct_or_blank(unsigned char c) { return c != 0 && (is_punct(c) || is_blank(c)); }

// '0' for 'O'/'o' (or '1' for 'l') after a digit, or after a digit and a
// punctuation or blank, when a digit or a look-alike follows, directly or
// after a punctuation or blank.
bool digit_context(const char* t, long n, long i, bool (*look_alike)(unsigned char)) {
    const unsigned char p = at(t, n, i - 1), pp = at(t, n, i - 2);
    const unsigned char nx = at(t, n, i + 1), nn = at(t, n, i + 2);
    if (is_digit(p)) return true;
    if (!(punct_or_blank(p) && is_digit(pp))) return false;
    if (is_digit(nx) || look_alike(nx)) return true;
    return punct_or_blank(nx) && (is_digit(nn) || look_alike(nn));
}

bool is_o(unsigned char c) { return c == 'O' || c == 'o'; }
bool is_l(unsigned char c) { return c == 'l'; }

}  // namespace

void compact_slots(const char* slots, char* out, std::size_t out_size) {
    std::size_t k = 0;
    for (std::size_t i = 0; slots[i] != '\0' && k + 1 < out_size; ++i)
        if (slots[i] != '_') out[k++] = slots[i];
    if (out_size > 0) out[k] = '\0';
}

void apply_context_fixes(char* t) {
    long n = static_cast<long>(std::strlen(t));
    for (long i = 0; i < n; ++i) {
        const unsigned char c = at(t, n, i);
        const unsigned char p = at(t, n, i - 1), pp = at(t, n, i - 2), ppp = at(t, n, i - 3),
                            pppp = at(t, n, i - 4);
        const unsigned char nx = at(t, n, i + 1);
        char r = static_cast<char>(c);
        switch (c) {
            case '0':
                if (is_upper(p) && is_upper(nx)) r = 'O';
                else if (is_alpha(p) && is_alpha(nx)) r = 'o';
                break;
            case '1':
                if (is_upper(p) && is_upper(nx)) r = 'I';
                else if (is_alpha(p) && is_alpha(nx)) r = 'l';
                break;
            case '9':
                if (is_alpha(p) && is_lower(nx)) r = 'g';
                break;
            case 'I':
                if (is_lower(p)) r = 'l';
                else if (is_digit(p) && is_digit(nx)) r = '1';
                break;
            case 'g':
                if (is_digit(p) && is_digit(nx)) r = '9';
                break;
            case 'O':
            case 'o':
                if (digit_context(t, n, i, is_o)) r = '0';
                break;
            case 'l': {
                const bool starts = i == 0 || is_upper(p) || (is_blank(p) && is_upper(pp)) ||
                                    (is_blank(p) && is_punct(pp) && is_upper(ppp));
                if (is_upper(nx) && starts) r = 'I';
                else if ((is_upper(p) && is_upper(pp)) || (is_blank(p) && pp == '.') ||
                         (is_blank(p) && is_blank(pp) && ppp == '.') ||
                         (is_blank(p) && is_blank(pp) && is_blank(ppp) && pppp == '.'))
                    r = 'I';
                else if (digit_context(t, n, i, is_l))
                    r = '1';
                break;
            }
            case '\'':
            case '`':
            case ',':
                if (nx == c) {
                    r = '"';
                    std::memmove(t + i + 1, t + i + 2, static_cast<std::size_t>(n - i - 1));
                    --n;
                }
                break;
            default: break;
        }
        t[i] = r;
    }
}

void apply_kind(char* t, int kb_mode) {
    for (char* p = t; *p != '\0'; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (kb_mode == 1) {
            if (c == 'O' || c == 'o' || c == 'D' || c == 'Q') *p = '0';
            else if (c == 'I' || c == 'i' || c == 'l') *p = '1';
            else if (c == 'Z' || c == 'z') *p = '2';
            else if (c == 'h' || c == 'A') *p = '4';
            else if (c == 's') *p = '5';
            else if (c == 'b') *p = '6';
            else if (c == 'B') *p = '8';
            else if (c == 'g' || c == 'q') *p = '9';
        } else if (kb_mode == 2) {
            static const char kFrom[] = "01245689";
            static const char kTo[] = "olzhsbBg";
            const char* f = std::strchr(kFrom, c);
            if (c != 0 && f != nullptr) *p = kTo[f - kFrom];
        }
    }
}

namespace {

// Removes every character of the blank class (space, tab, no-break space).
void remove_blanks(char* t) {
    char* w = t;
    for (char* r = t; *r != '\0'; ++r)
        if (!is_blank(static_cast<unsigned char>(*r))) *w++ = *r;
    *w = '\0';
}

char upper_position(unsigned char c) {
    if (is_alpha(c)) return static_cast<char>(cp1252::to_upper(c));
    static const char kFrom[] = "012458";
    static const char kTo[] = "OIZASB";
    const char* f = c != 0 ? std::strchr(kFrom, c) : nullptr;
    return f != nullptr ? kTo[f - kFrom] : '^';
}

char lower_position(unsigned char c) {
    if (is_alpha(c)) return static_cast<char>(cp1252::to_lower(c));
    static const char kFrom[] = "0124569";
    static const char kTo[] = "olzhsbg";
    const char* f = c != 0 ? std::strchr(kFrom, c) : nullptr;
    return f != nullptr ? kTo[f - kFrom] : '^';
}

char digit_position(unsigned char c) {
    if (c == 'O' || c == 'o' || c == 'D' || c == 'Q') return '0';
    if (c == 'I' || c == 'i' || c == 'l') return '1';
    if (c == 'Z' || c == 'z') return '2';
    if (c == 'h') return '4';
    if (c == 's') return '5';
    if (c == 'b') return '6';
    if (c == 'B') return '8';
    if (c == 'g' || c == 'q') return '9';
    if (is_digit(c) || is_alpha(c)) return static_cast<char>(c);
    return '^';
}

}  // namespace

void apply_template(char* t, std::size_t size, const char* tmpl, int kb_mode) {
    if (tmpl == nullptr || tmpl[0] == '\0') return;
    const bool noblanks = std::strstr(tmpl, "noblanks") != nullptr;
    const std::size_t tlen = std::strlen(tmpl);
    if ((kb_mode == 0 || kb_mode == 2) && std::strcmp(tmpl, "noblanks") != 0) {
        const bool has_c = std::strchr(tmpl, 'c') != nullptr;
        const bool has_C = std::strchr(tmpl, 'C') != nullptr;
        for (char* p = t; *p != '\0'; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (has_c && !has_C) *p = static_cast<char>(cp1252::to_lower(c));
            else if (!has_c) *p = static_cast<char>(cp1252::to_upper(c));
        }
    }
    const bool decimal = kb_mode == 1 && tlen >= 2 &&
                         is_punct(static_cast<unsigned char>(tmpl[0])) &&
                         is_digit(static_cast<unsigned char>(tmpl[1]));
    if (noblanks || decimal) remove_blanks(t);
    if (decimal && std::strchr(t, '^') == nullptr && std::strchr(t, tmpl[0]) == nullptr) {
        const long n = std::atol(tmpl + 1);
        const long len = static_cast<long>(std::strlen(t));
        if (n > 0 && len >= n) {
            long k = n;
            if (!is_digit(static_cast<unsigned char>(t[len - 1]))) ++k;
            if (k >= len || is_digit(static_cast<unsigned char>(t[len - k - 1]))) {
                if (static_cast<std::size_t>(len) + 1 < size) {
                    const long at_pos = k >= len ? 0 : len - k;
                    std::memmove(t + at_pos + 1, t + at_pos, static_cast<std::size_t>(len - at_pos + 1));
                    t[at_pos] = tmpl[0];
                }
            } else {
                t[len - k - 1] = tmpl[0];
            }
        }
    }
    if (tlen < 2 || noblanks || is_digit(static_cast<unsigned char>(tmpl[1]))) return;
    if (std::strchr(tmpl, ' ') == nullptr) remove_blanks(t);
    if (std::strlen(t) != tlen) return;
    for (std::size_t i = 0; i < tlen; ++i) {
        const char m = tmpl[i];
        const unsigned char c = static_cast<unsigned char>(t[i]);
        if (m != 'C' && m != 'c' && m != 'N' && (is_alpha(c) || is_digit(c))) return;
    }
    for (std::size_t i = 0; i < tlen; ++i) {
        const unsigned char c = static_cast<unsigned char>(t[i]);
        switch (tmpl[i]) {
            case 'C': t[i] = upper_position(c); break;
            case 'c': t[i] = lower_position(c); break;
            case 'N': t[i] = digit_position(c); break;
            default: t[i] = tmpl[i]; break;
        }
    }
}

void slots_to_text(const char* slots, const char* tmpl, int kb_mode, char* out, std::size_t size) {
    compact_slots(slots, out, size);
    apply_context_fixes(out);
    apply_kind(out, kb_mode);
    apply_template(out, size, tmpl, kb_mode);
}

}  // namespace gn
