// The Windows-1252 character table: one class byte and one case partner per
// code, built once at compile time.
#include "cp1252_classes.h"

#include <array>

namespace cp1252 {
namespace {

enum : unsigned char { kUpper = 1, kLower = 2, kDigit = 4, kPunct = 8, kBlank = 16 };

struct Table {
    std::array<unsigned char, 256> cls{};
    std::array<unsigned char, 256> partner{};
};

constexpr Table make_table() {
    Table t{};
    for (int c = 0; c < 256; ++c) t.partner[c] = static_cast<unsigned char>(c);
    auto pair = [&t](int up, int low) {
        t.cls[up] = kUpper;
        t.cls[low] = kLower;
        t.partner[up] = static_cast<unsigned char>(low);
        t.partner[low] = static_cast<unsigned char>(up);
    };
    for (int c = 0x21; c <= 0x7E; ++c) t.cls[c] = kPunct;
    for (int c = '0'; c <= '9'; ++c) t.cls[c] = kDigit;
    for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 0x20);
    // 0x80-0xBF: symbols, except the undefined codes and a few letters; the
    // superscript digits 0xB2, 0xB3 and 0xB9 are symbols, not digits.
    for (int c = 0x80; c <= 0xBF; ++c) t.cls[c] = kPunct;
    for (int c : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) t.cls[c] = 0;
    pair(0x8A, 0x9A);  // Š š
    pair(0x8C, 0x9C);  // Œ œ
    pair(0x8E, 0x9E);  // Ž ž
    pair(0x9F, 0xFF);  // Ÿ ÿ
    for (int c : {0x83, 0xAA, 0xB5, 0xBA}) t.cls[c] = kLower;  // ƒ ª µ º
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) pair(c, c + 0x20);
    t.cls[0xD7] = kPunct;  // ×
    t.cls[0xF7] = kPunct;  // ÷
    t.cls[0xDF] = kLower;  // ß
    t.cls[' '] = kBlank;
    t.cls['\t'] = kBlank;
    t.cls[0xA0] = kBlank;
    return t;
}

constexpr Table kTable = make_table();

}  // namespace

bool is_alpha(unsigned char c) { return (kTable.cls[c] & (kUpper | kLower)) != 0; }
bool is_upper(unsigned char c) { return (kTable.cls[c] & kUpper) != 0; }
bool is_lower(unsigned char c) { return (kTable.cls[c] & kLower) != 0; }
bool is_digit(unsigned char c) { return (kTable.cls[c] & kDigit) != 0; }
bool is_punct(unsigned char c) { return (kTable.cls[c] & kPunct) != 0; }
bool is_blank(unsigned char c) { return (kTable.cls[c] & kBlank) != 0; }
unsigned char to_upper(unsigned char c) { return is_lower(c) ? kTable.partner[c] : c; }
unsigned char to_lower(unsigned char c) { return is_upper(c) ? kTable.partner[c] : c; }

}  // namespace cp1252
