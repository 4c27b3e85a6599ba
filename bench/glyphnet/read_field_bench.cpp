// Time to read a 7-character field against a knowledge base of 36 classes:
// the 7 glyphs of the test font and 29 other classes whose boxes lie
// elsewhere in the feature space.
#include <benchmark/benchmark.h>

#include <cstring>

#include "glyph_font.h"
#include "glyphnet.h"
#include "kb/kb_store.h"

namespace {

void BM_ReadSevenCharacterField(benchmark::State& state) {
    ocr_io* io = OCR_init(nullptr, 0);
    gn::ListEntry list[1];
    std::snprintf(list[0].path, sizeof list[0].path, "bench.kbf");
    gn::set_entries(list, 1);
    gn::KbEntry& e = gn::kb_store().entries[0];
    gntest::TestBitmap scratch(1, 1);
    for (char c : std::string("ABC1238")) {
        gn::Net* n = gntest::glyph_net(c, 4, 3, &scratch);
        n->next = e.nets;
        e.nets = n;
    }
    for (int k = 0; k < 29; ++k) {
        gn::Net* n = gn::net_new(static_cast<unsigned char>('a' + k % 26),
                                 static_cast<unsigned char>(k < 26 ? '_' : 'x'), 0);
        n->nodes = static_cast<gn::Node*>(orvo::zero_alloc_array(3, sizeof(gn::Node)));
        n->node_count = 3;
        for (int j = 0; j < 3; ++j)
            for (int m = 0; m < 49; ++m) {
                const int c = ((m * 7 + k * 13 + j * 5) % 33) - 16;
                n->nodes[j].centre[m] = static_cast<std::int16_t>(c);
                n->nodes[j].lo[m] = static_cast<std::int16_t>(c - 2 < -16 ? -16 : c - 2);
                n->nodes[j].hi[m] = static_cast<std::int16_t>(c + 2 > 16 ? 16 : c + 2);
            }
        n->next = e.nets;
        e.nets = n;
    }
    e.loaded = true;
    gn::kb_store().loaded_count = 1;
    gntest::TestBitmap field(200, 44);
    gntest::draw_text(field, "ABC1238", 4, 8, 4, 4, 16);
    io->image_bits = field.bits.data();
    io->rows = field.height;
    io->columns = field.width;
    io->bytes_per_row = field.bpr;
    io->right = field.width;
    io->bottom = field.height;
    for (auto _ : state) {
        benchmark::DoNotOptimize(OCR_recognize_field());
    }
    if (std::strcmp(io->text, "ABC1238") != 0) state.SkipWithError("field misread");
    OCR_cleanup();
}

BENCHMARK(BM_ReadSevenCharacterField)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
