// One image from memory: refuse by header, decode, hand over, analyse.
#include "read_bytes.h"

#include <cstring>
#include <filesystem>

#include <nlohmann/json.hpp>

#include "decode/decoded_page.h"
#include "default_data.h"
#include "kb_check.h"
#include "net_reading.h"
#include "output_format.h"
#include "rasterkit.h"

namespace platix {

namespace {

BytesReading fault(BytesReading::Fault f, std::string why) {
    BytesReading b;
    b.fault = f;
    b.error = std::move(why);
    b.result.error = b.error;
    return b;
}

}  // namespace

BytesReading read_image_bytes(const std::vector<std::uint8_t>& bytes, const AnalysisRequest& request,
                              std::int64_t max_pixels) {
    using F = BytesReading::Fault;
    const auto refusal = [](const decode::Decoded& d) {
        return fault(d.outcome == decode::Outcome::damaged ? F::damaged : F::not_image, d.why);
    };
    const decode::Decoded header = decode::decode_bytes(bytes, true);
    if (header.outcome != decode::Outcome::decoded) return refusal(header);
    const std::int64_t width = header.image.width, height = header.image.height;
    if (width > max_pixels || height > max_pixels || width * height > max_pixels)
        return fault(F::too_large, "the image has " + std::to_string(width) + " x " + std::to_string(height) +
                                       " pixels, more than the " + std::to_string(max_pixels) + " allowed");

    const decode::Decoded d = decode::decode_bytes(bytes, false);
    if (d.outcome != decode::Outcome::decoded) return refusal(d);
    if (d.cut_short) return fault(F::damaged, "damaged JPEG file: the data ends early");

    SEG_clear_analysis_results();
    if (SEG_open_gray_page(d.image.pixels.data(), d.image.width, d.image.height, d.image.width) != 1) {
        SEG_close_image();
        return fault(F::failed, "out of memory for the page");
    }
    ImageResult r;
    r.maxcol = MAXCOL;
    r.maxlin = MAXLIN;
    r.xscale = XSCALE;
    r.yscale = YSCALE;
    r.width = d.image.width;
    r.height = d.image.height;
    AnalysisRequest own = request;
    own.annotate_path.clear();
    BytesReading b;
    analyse_held_page(r, own);
    SEG_clear_analysis_results();
    SEG_close_image();
    b.result = std::move(r);
    b.fault = b.result.status == ImageStatus::ok ? F::none : F::failed;
    b.error = b.result.error;
    return b;
}

std::string image_json_object(const ImageResult& r, AnalysisKind analysis, bool with_syntax) {
    nlohmann::ordered_json j = image_json(r, analysis, with_syntax);
    j.erase("file");
    return j.dump();
}

ReadingEngine::ReadingEngine(const ReadingSetup& setup) {
    request_.depth = setup.depth;
    request_.analysis = setup.analysis;
    request_.recognition = setup.recognition;
    try {
        model_ = model_for(setup.recognition, !setup.kbs.empty(), setup.quiet);
    } catch (const UsageError& e) {
        error_ = e.what();
        return;
    }
    request_.model = model_ ? model_->get() : nullptr;
    // With a model the fields are read by it and no base is loaded.
    if (!model_) kbs_ = resolve_kbs(setup.kbs, setup.quiet);
    for (const auto& kb : kbs_) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(kb.path, ec)) {
            error_ = "--kb: no such file: " + kb.path;
            return;
        }
    }
    session_ = std::make_unique<EngineSession>(kbs_);
    error_ = session_->error();
    if (error_.empty()) error_ = check_knowledge_bases(*session_, kbs_, KbUse::reading);
    request_.io = session_->io();
}

ReadingEngine::~ReadingEngine() = default;

}  // namespace platix
