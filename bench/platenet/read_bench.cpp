// Time of the learned reader per field on one core: the whole reading
// (crop, network, top-10 beam, per-character confidences) of a sure field
// (one crop) and of an unsure one (pooled over the nudged crops), its
// network alone, and the syntax-constrained reading. The model has the default
// architecture; a file given in PLATENET_MODEL is used instead.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "model/network.h"
#include "reader.h"

using namespace platenet;

namespace {

struct Fixture {
    std::unique_ptr<Reader> reader;
    std::vector<std::uint8_t> page;
    int width = 640, height = 480;
    Fixture() {
        if (const char* path = std::getenv("PLATENET_MODEL")) {
            if (Reader::load_file(path, &reader) != Status::ok) std::abort();
        } else {
            std::unique_ptr<Network> net;
            if (Network::create(ModelFile{}, &net) != Status::ok) std::abort();
            Reader::from_network(std::move(net), &reader);
        }
        page.assign(static_cast<std::size_t>(width) * height, 200);
        // Dark bars as strokes of a plate row at 200..420 x 300..330.
        for (int y = 300; y < 330; ++y)
            for (int x = 200; x < 420; ++x)
                if ((x / 6) % 4 == 0) page[static_cast<std::size_t>(y) * width + x] = 30;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_ReadField(benchmark::State& state) {
    auto& f = fixture();
    std::vector<Candidate> out;
    const double pool_below = state.range(0) ? 2.0 : 0.0;
    for (auto _ : state) {
        f.reader->read({f.page.data(), f.width, f.height, f.width}, 200, 300, 420, 330, "", 10, &out, pool_below);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ReadField)->ArgName("pooled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ReadFieldWithSyntaxes(benchmark::State& state) {
    auto& f = fixture();
    std::vector<Candidate> out;
    for (auto _ : state) {
        f.reader->read({f.page.data(), f.width, f.height, f.width}, 200, 300, 420, 330, "LLDDDLL,LLLDDDD,LLLDLDD", 10,
                       &out, 0.0);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ReadFieldWithSyntaxes)->Unit(benchmark::kMillisecond);

void BM_NetworkOnly(benchmark::State& state) {
    auto& f = fixture();
    const auto& a = f.reader->arch();
    std::vector<float> input(static_cast<std::size_t>(a.input_height) * a.input_width, 0.5f);
    for (auto _ : state) {
        auto s = f.reader->scores(input.data(), 1);
        benchmark::DoNotOptimize(s.data());
    }
}
BENCHMARK(BM_NetworkOnly)->Unit(benchmark::kMillisecond);

}  // namespace
