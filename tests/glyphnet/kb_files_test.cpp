// Knowledge-base files: the list reader, the .kbf and patterns layouts, damaged files, base kinds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "kb/kb_file.h"
#include "kb/kb_list.h"
#include "kb/kb_store.h"
#include "kb/patterns.h"
#include "glyph_font.h"
#include "temp_dir.h"
#include "zero_alloc.h"

namespace {

using testsupport::read_bytes;
using testsupport::TempDir;
using testsupport::write_bytes;
using Bytes = std::vector<std::uint8_t>;

TEST(KbListReads, TypesPathsBlanksAndCaps) {
    gn::ListEntry e[gn::kMaxEntries];
    const auto parse = [&](const std::string& text) { return gn::parse_kb_list(text.data(), text.size(), e); };
    ASSERT_EQ(parse("[2] c:\\kb\\letters.kbf\r\n  [ 1 ] = x.kbf  \r\n\r\n[abc] b.kbf"), 4);
    const std::pair<int, const char*> expected[] = {{2, "c:\\kb\\letters.kbf"}, {1, "x.kbf"}, {0, ""}, {0, "b.kbf"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(e[i].type, expected[i].first) << i;  // not numeric: 0
        EXPECT_STREQ(e[i].path, expected[i].second) << i;  // trailing blanks go, the end of file ends it
    }
    std::string text;
    for (int i = 0; i < 35; ++i) text += "[1] k" + std::to_string(i) + ".kbf\r\n";
    EXPECT_EQ(parse(text), 30);
    EXPECT_STREQ(e[29].path, "k29.kbf");
    ASSERT_EQ(parse("[1] " + std::string(300, 'p') + "\r\n[2] ok.kbf\r\n"), 2);
    EXPECT_STREQ(e[0].path, "");  // an overlong path is skipped
    EXPECT_STREQ(e[1].path, "ok.kbf");
}

TEST(KbFileLayout, WritesOldestFirstReadsBackAndRejectsTruncatedAbsurdOrUnallocatedFiles) {
    gn::Net* newest = gntest::pattern_net('A', '_', 2, 1);
    newest->next = gntest::pattern_net('7', '_', 1, 2);  // older
    const Bytes img = gntest::kb_image(newest);
    gn::nets_free(newest);
    ASSERT_EQ(img.size(), 4u + 2 * 7 + 3 * 294);
    // Two nets; the oldest first (one node, '7_', shape 2, first bounds -16 + 2 % 5 = -14 and 16).
    EXPECT_EQ(Bytes(img.begin(), img.begin() + 14), (Bytes{2, 0, 0, 0, 1, 0, 0, 0, '7', '_', 2, 0xF2, 0xFF, 16}));
    gn::Net* back = nullptr;
    int count = 0;
    ASSERT_EQ(gn::parse_kb_image(img.data(), img.size(), &back, &count), gn::KbLoad::loaded);
    EXPECT_EQ(std::make_pair(count, int(back->c1)), std::make_pair(2, int('A')));  // newest first again
    EXPECT_EQ(gntest::kb_image(back), img);
    gn::nets_free(back), back = nullptr;
    const auto edited = [&](std::size_t at, std::uint8_t v) { Bytes b = img; b[at] = v; return b; };
    const std::pair<Bytes, gn::KbLoad> cases[] = {
        {Bytes(img.begin(), img.end() - 10), gn::KbLoad::malformed},
        {edited(4, 200), gn::KbLoad::malformed},    // 200 nodes announced
        {edited(11, 0x80), gn::KbLoad::malformed},  // a low bound of -32640
        {{0xFF, 0xFF, 0xFF, 0xFF}, gn::KbLoad::malformed}, {{0, 0, 0, 0}, gn::KbLoad::empty}};
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(gn::parse_kb_image(bytes.data(), bytes.size(), &back, &count), expected);
        EXPECT_EQ(back, nullptr);
    }
    orvo::alloc_fail_at(3);  // net, nodes, second net fails
    EXPECT_EQ(gn::parse_kb_image(img.data(), img.size(), &back, &count), gn::KbLoad::no_memory);
    orvo::alloc_fail_at(0);
    EXPECT_EQ(std::make_pair(back, count), std::make_pair(static_cast<gn::Net*>(nullptr), 0));
}

TEST(KbFileKind, TellsDigitsLettersAndMixed) {
    TempDir dir;
    const std::pair<const char*, int> cases[] = {{"1_2_", 1}, {"A_\xE9_", 2}, {"A_7_", 0}, {"A1", 0}, {".a", 2}, {"", 0}};
    for (const auto& [classes, kind] : cases) {
        write_bytes(dir.file("k.kbf"), gntest::kb_image(nullptr, classes));
        EXPECT_EQ(gn::kb_type_of_file(dir.file("k.kbf").c_str()), kind) << classes;
    }
    EXPECT_EQ(gn::kb_type_of_file(dir.file("none.kbf").c_str()), 0);
}

Bytes record(unsigned char c1, unsigned char c2, unsigned char kind, int seed) {
    Bytes r = {c1, c2, kind};
    for (int m = 0; m < 49; ++m) r.push_back(static_cast<std::uint8_t>((m + seed) % 33 - 16));
    return r;
}

TEST(PatternsFile, IgnoresPartialRecordAndDropsControlClasses) {
    TempDir dir;
    const Bytes control = record(5, 7, 0, 2), b = record('b', '_', 0xFF, 3);
    Bytes file = record('A', '_', 0, 1);
    for (const Bytes* r : {&control, &b}) file.insert(file.end(), r->begin(), r->end());
    file.push_back(0x41);  // partial record
    write_bytes(dir.file("p.dat"), file);
    gn::PatternTable t;
    ASSERT_EQ(gn::load_patterns(dir.file("p.dat").c_str(), &t), 1);
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(std::vector<int>({t.s[0].c1, t.s[1].c1, t.s[1].kind, t.s[1].f[0]}), std::vector<int>({'A', 'b', 0xFF, -13}));
    gn::release_patterns(&t);
    EXPECT_EQ(gn::load_patterns(dir.file("missing.dat").c_str(), &t), 0);
    orvo::alloc_fail_at(2);  // the file block, then the table
    EXPECT_EQ(gn::load_patterns(dir.file("p.dat").c_str(), &t), -1);
    orvo::alloc_fail_at(0);
}

// Six loaded bases of types any, digits, letters and their gap-tolerant kinds: which are selected.
TEST(KbSelection, FollowsKindAndGapTolerance) {
    gn::ListEntry list[6];
    const int types[6] = {0, 1, 2, 250, 251, 252};
    for (int i = 0; i < 6; ++i) list[i].type = types[i], std::snprintf(list[i].path, sizeof list[i].path, "kb%d.kbf", i);
    gn::set_entries(list, 6);
    for (int i = 0; i < 6; ++i) {
        gn::kb_store().entries[i].loaded = true;
        gn::kb_store().entries[i].nets = gntest::pattern_net('A', '_', 1, i);
    }
    const auto selected = [] {
        std::string s;
        for (int i = 0; i < 6; ++i)
            if (gn::kb_store().entries[i].selected) s += static_cast<char>('0' + i);
        return s;
    };
    const struct { int mode, index; bool tolerant; const char* selected; int current; } cases[] = {
        {0, 0, false, "012", -1}, {1, 0, false, "01", -1}, {2, 0, false, "02", -1},
        {0, 0, true, "345", -1},  {1, 0, true, "34", 3},   {0, 5, false, "4", 4}};
    for (const auto& c : cases) {
        ASSERT_TRUE(gn::select_kbs(c.mode, c.index, c.tolerant));
        EXPECT_EQ(selected(), c.selected) << c.mode << " " << c.index << " " << c.tolerant;
        EXPECT_TRUE(c.current < 0 || gn::kb_store().current == c.current);
    }
    EXPECT_FALSE(gn::select_kbs(0, 7, false));
    gn::kb_store().entries[0].loaded = false;
    EXPECT_FALSE(gn::select_kbs(0, 1, false));
    gn::release_all_kbs();
}

}  // namespace
