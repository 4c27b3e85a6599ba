// One image: load, analyse, recognise, collect the result.
#include "image_analysis.h"

#include <chrono>
#include <cstring>

#include "annotate.h"
#include "coords.h"
#include "decode/page_loader.h"
#include "image_size.h"
#include "net_reading.h"
#include "rasterkit.h"
#include "window_pass.h"

namespace platix {

namespace {

// The file's size: from its header when that agrees with the page, else
// worked back from the page and its factors.
void file_size(const std::string& path, ImageResult& r) {
    file_size_from_page(r.maxcol, r.maxlin, r.xscale, r.yscale, &r.width, &r.height);
    int w = 0, h = 0;
    if (!image_file_size(path, &w, &h)) return;
    const auto agrees = [](int file, int page, int scale) {
        if (scale > 1) return file * scale == page;
        if (scale < -1) return file / -scale == page;
        return file == page;
    };
    if (agrees(w, r.maxcol, r.xscale) && agrees(h, r.maxlin, r.yscale)) {
        r.width = w;
        r.height = h;
    }
}

// The refusal of an image of width x height over the limit.
std::string too_many_pixels(long long width, long long height, long long limit) {
    return "the image has " + std::to_string(width) + " x " + std::to_string(height) + " pixels, more than " +
           std::to_string(limit) + " (--max-pixels)";
}

}  // namespace

ImageResult analyse_file(const InputFile& input, const AnalysisRequest& request) {
    ImageResult r;
    r.path = input.path;
    if (request.max_pixels > 0) {
        int w = 0, h = 0;
        if (image_file_size(input.path, &w, &h) && static_cast<long long>(w) * h > request.max_pixels) {
            r.error = too_many_pixels(w, h, request.max_pixels);
            r.status = ImageStatus::failed;
            return r;
        }
    }
    SEG_clear_analysis_results();
    const decode::PageLoad load = decode::load_page(input.path);
    if (load.status != decode::PageLoad::Status::held) {
        r.error = load.error;
        const bool not_image = load.status == decode::PageLoad::Status::not_image;
        r.status = input.from_folder && not_image ? ImageStatus::skipped : ImageStatus::failed;
        SEG_close_image();
        return r;
    }
    r.maxcol = MAXCOL;
    r.maxlin = MAXLIN;
    r.xscale = XSCALE;
    r.yscale = YSCALE;
    if (load.width > 0) {
        r.width = load.width;  // decoded here: the upright picture
        r.height = load.height;
    } else {
        file_size(input.path, r);
    }
    if (request.max_pixels > 0 && static_cast<long long>(r.width) * r.height > request.max_pixels) {
        r.error = too_many_pixels(r.width, r.height, request.max_pixels);
        r.status = ImageStatus::failed;
        SEG_close_image();
        return r;
    }
    analyse_held_page(r, request);
    SEG_clear_analysis_results();
    SEG_close_image();
    return r;
}

void analyse_held_page(ImageResult& r, const AnalysisRequest& request) {
    const auto start = std::chrono::steady_clock::now();
    SEG_set_analysis_mode(analysis_mode_of(request.analysis));
    SEG_analyze_image(request.depth);
    for (seg_result* s = results; s != nullptr; s = s->next) {
        FieldResult f;
        f.page_box = {s->left, s->top, s->right, s->bottom};
        f.file_box = page_to_file(f.page_box, r.xscale, r.yscale, r.width, r.height);
        f.columns = s->columns;
        f.lines = s->lines;
        f.bpl = s->bpl;
        const bool readable = s->bitmap != nullptr && s->columns > 0 && s->lines > 0;
        if (request.model != nullptr) {
            read_field_net(request.model, videobuffer, MAXCOL, MAXLIN, BPL, request.recognition, f);
        } else if (request.io != nullptr && readable) {
            f.reader = "box";
            read_field(request.io, s->bitmap, s->columns, s->lines, s->bpl, request.recognition, f, r);
        }
        if (!f.text.empty()) {
            const std::size_t n = f.text.size() < sizeof s->text - 1 ? f.text.size() : sizeof s->text - 1;
            std::memcpy(s->text, f.text.data(), n);
            s->text[n] = '\0';
        }
        if (request.keep_bitmaps && s->bitmap != nullptr && s->bpl > 0 && s->lines > 0)
            f.bitmap.assign(s->bitmap, s->bitmap + static_cast<std::size_t>(s->bpl) * static_cast<std::size_t>(s->lines));
        r.fields.push_back(std::move(f));
    }
    if (request.model != nullptr && request.recognition.join_rows)
        read_row_groups_net(
            request.model, videobuffer, MAXCOL, MAXLIN, BPL, request.recognition,
            [&](const Box& b) { return page_to_file(b, r.xscale, r.yscale, r.width, r.height); }, r.fields);
    if (request.model != nullptr && request.recognition.windows) read_windows_net(r, request);
    r.ms = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count());
    r.status = ImageStatus::ok;

    if (!request.annotate_path.empty()) {
        std::string why;
        if (!write_annotation(request.annotate_path, r, &why)) {
            r.status = ImageStatus::failed;
            r.error = "cannot write the annotated copy: " + why;
        }
    }
}

}  // namespace platix
