// The OCR_ interface: the record's life cycle and messages, the base queries, the image helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "glyphnet.h"
#include "image/bitmap_view.h"
#include "kb/kb_file.h"
#include "kb/kb_store.h"
#include "orvosys.h"
#include "message_log.h"
#include "glyph_font.h"
#include "zero_alloc.h"

namespace {

using testsupport::TempDir;
using testsupport::write_bytes;
using Bytes = std::vector<std::uint8_t>;

class OcrInterface : public ::testing::Test {
protected:
    void TearDown() override { OCR_cleanup(); }
    // A knowledge base of the given classes ("A_B_"), one node each.
    std::string write_kb(const std::string& name, const std::string& classes) {
        return write_bytes(dir.file(name), gntest::kb_image(nullptr, classes)), dir.file(name);
    }
    std::string write_list(const std::string& text) {
        const std::string list = dir.file("list.$$$");
        return write_bytes(list, Bytes(text.begin(), text.end())), list;
    }
    TempDir dir;
    testsupport::MessageLog log;
    std::vector<std::string>& events = log.events;
    std::vector<testsupport::ShownBox>& shown = log.shown;
};

TEST_F(OcrInterface, InitAndRecognitionWarnFailOrReportAsTheMessagesFlagSays) {
    ocr_io* io = OCR_init(nullptr, 1);
    ASSERT_NE(io, nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"beep", "box"}));
    gntest::TestBitmap b(60, 30);
    b.fill(5, 5, 6, 20);
    testsupport::show_whole_field(io, b);
    EXPECT_EQ(OCR_recognize_field(), 1);  // no suitable base: a caret
    EXPECT_EQ(std::string(io->raw_text) + io->text, "^_^");
    io->kb_mode = 7;
    EXPECT_EQ(OCR_init(nullptr, 0), io);  // cleared, same record, silent
    EXPECT_EQ(io->kb_mode, 0);
    io->box_count = 3;
    EXPECT_TRUE(OCR_reset() == 1 && io->box_count == 0);
    OCR_cleanup();
    const std::string missing = dir.file("none.$$$");
    EXPECT_EQ(OCR_init(missing.c_str(), 1), nullptr);
    EXPECT_NE(OCR_init(missing.c_str(), 0), nullptr);
    OCR_cleanup();
    orvo::alloc_fail_at(1);
    EXPECT_EQ(OCR_init(nullptr, 0), nullptr);
    orvo::alloc_fail_at(0);
    const unsigned warning = OSYS_MB_OK | OSYS_MB_ICONWARNING, error = OSYS_MB_OK | OSYS_MB_ICONERROR;
    EXPECT_EQ(shown, (std::vector<testsupport::ShownBox>{
        {"OCR_init: Warning", "No knowledge base loaded for the moment\n(Unspecified / empty / unavailable / unallocated)",
         warning},
        {"OCR_recognize_field: Warning",
         "No knowledge base loaded for the moment\n(Unsuitable / empty / unavailable / unfound)", warning},
        {"OCR_init: Error", "Current knowledge bases list file damaged or missing", error},
        {"OCR_init: Fatal Error", "OCR i/o data structure allocation error", error}}));
}

TEST_F(OcrInterface, LoadsListedBasesAndSkipsEmptyAndDamagedOnes) {
    const std::string a = write_kb("a.kbf", "A_B_");
    write_bytes(dir.file("e.kbf"), {0, 0, 0, 0});
    write_bytes(dir.file("d.kbf"), {1, 0, 0, 0, 9});
    const std::string list =
        write_list("[2] " + a + "\r\n\r\n[0] " + dir.file("e.kbf") + "\r\n[0] " + dir.file("d.kbf") + "\r\n");
    ASSERT_NE(OCR_init(list.c_str(), 1), nullptr);
    const gn::KbStore& st = gn::kb_store();
    // Entries, loaded, loaded first, its nets, the newest first, damaged last.
    EXPECT_EQ(std::vector<int>({st.entry_count, st.loaded_count, st.entries[0].loaded, st.entries[0].net_count,
                                st.entries[0].nets->c1, st.entries[3].damaged}),
              std::vector<int>({4, 1, 1, 2, 'B', 1}));
    EXPECT_STREQ(st.entries[0].patterns_path, dir.file("a.dat").c_str());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "OCR_init: Warning");
    EXPECT_NE(shown[0].text.find(dir.file("d.kbf") + ".damaged"), std::string::npos);
}

TEST_F(OcrInterface, MessagesOffSilencesWarningsButNotErrors) {
    const std::string a = write_kb("a.kbf", "A_");
    ocr_io* io = OCR_init(write_list("[0] " + a + "\r\n").c_str(), 0);
    ASSERT_NE(io, nullptr);
    EXPECT_EQ(OCR_init(dir.file("gone.$$$").c_str(), 0), io);  // a list that cannot be read: the entries stay
    EXPECT_EQ(std::make_pair(gn::kb_store().entry_count, gn::kb_store().loaded_count), std::make_pair(1, 1));
    char buf[512];
    EXPECT_EQ(OCR_get_base_contents(buf), 0);
    OCR_cleanup();  // the flag outlives the record
    EXPECT_EQ(OCR_get_base_contents(buf), 0);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(OCR_reset(), 0);
    EXPECT_EQ(OCR_learn_char(), 0);
    EXPECT_EQ(OCR_unlearn_char(), 0);
    ASSERT_NE(OCR_init(nullptr, 1), nullptr);
    OCR_cleanup();
    EXPECT_EQ(OCR_get_base_contents(buf), 0);
    std::vector<std::string> titles;
    for (const auto& m : shown) titles.push_back(m.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"OCR_reset: Error", "OCR_learn_char: Error", "OCR_unlearn_char: Error",
                                                "OCR_init: Warning", "OCR_get_base_contents: Warning"}));
    EXPECT_EQ(shown[1].text, "Current knowledge base unspecified\n(index / path / name)");
    EXPECT_EQ(shown[2].text, "Current knowledge base unspecified or not present");
}

TEST_F(OcrInterface, ListsTheClassesOfTheCurrentBase) {
    const std::string a = write_kb("a.kbf", "A_B_");
    Bytes pats;
    for (const char* c : {"B_", "A_", "B_"}) {
        pats.insert(pats.end(), {std::uint8_t(c[0]), std::uint8_t(c[1])});
        pats.insert(pats.end(), 50, 0);
    }
    write_bytes(dir.file("a.dat"), pats);
    const std::string list = write_list("[0] " + a + "\r\n[0] " + dir.file("x.kbf") + "\r\n");
    ocr_io* io = OCR_init(list.c_str(), 1);
    ASSERT_NE(io, nullptr);
    char buf[512];
    std::memset(buf, 'z', sizeof buf);
    EXPECT_EQ(OCR_get_base_contents(buf), 0);  // kb_index 0
    EXPECT_EQ(buf[0], 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title + ": " + shown[0].text,
              "OCR_get_base_contents: Warning: Current knowledge base unspecified or not present");
    io->kb_index = 1;
    EXPECT_EQ(OCR_get_base_contents(buf), 4);
    EXPECT_STREQ(buf, "B_A_");
    for (long k = 1; k <= 2; ++k) {  // the file's bytes, then the table
        orvo::alloc_fail_at(k);
        EXPECT_EQ(OCR_get_base_contents(buf), 0) << k;
        orvo::alloc_fail_at(0);
        EXPECT_EQ(shown.back().text, "Couldn't load current patterns file\n(Memory allocation error)");
    }
    std::remove(dir.file("a.dat").c_str());
    EXPECT_EQ(OCR_get_base_contents(buf), 0);
    EXPECT_EQ(shown.back().text, "Couldn't load current patterns file\n(File doesn't exist or opening error)");
    io->kb_index = 2;  // listed but not loaded
    EXPECT_EQ(OCR_get_base_contents(buf), 0);
    EXPECT_EQ(shown.back().text, "Current knowledge base unspecified or not present");
}

TEST_F(OcrInterface, ImageHelpersWorkOnTheInstalledBitmap) {
    gntest::TestBitmap b(12, 6);
    b.fill(3, 2, 2, 2);
    gn::install_bitmap(b.bits.data(), b.height, b.bpr);
    EXPECT_EQ(OCR_image_row_address(2), b.bits.data() + 2 * b.bpr);
    EXPECT_EQ(OCR_image_row_address(50), b.bits.data() + 5 * b.bpr);
    // Rows by whole bytes, padding included; then columns.
    EXPECT_EQ(std::vector<int>({OCR_is_row_empty(2, 0, 2), OCR_is_row_empty(2, 1, 2), OCR_is_col_empty(3, 0, 6),
                                OCR_is_col_empty(3, 4, 6)}),
              std::vector<int>({0, 1, 0, 1}));
    gntest::TestBitmap c(40, 40);
    c.fill(10, 12, 5, 9);
    gn::install_bitmap(c.bits.data(), c.height, c.bpr);
    int l = 0, t = 0, w = 40, h = 40;
    EXPECT_EQ(OCR_adjust_char_frame(&l, &t, &w, &h), 5);
    EXPECT_EQ(std::vector<int>({l, t, h}), std::vector<int>({10, 12, 9}));
    EXPECT_EQ(OCR_adjust_char_frame(nullptr, &t, &w, &h), 0);
}

}  // namespace
