// One image: load, analyse, recognise, collect the result.
#include "image_analysis.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "annotate.h"
#include "coords.h"
#include "image_size.h"
#include "net_reading.h"
#include "rasterkit.h"

namespace fs = std::filesystem;

namespace platix {

namespace {

// Why SEG_set_image_file refused the file.
std::string refusal_reason(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return "is a folder";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "cannot open the file";
    in.seekg(0, std::ios::end);
    if (in.tellg() <= 4) return "too short to be an image";
    return "not a recognised image format";
}

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

}  // namespace

ImageResult analyse_file(const InputFile& input, const AnalysisRequest& request) {
    ImageResult r;
    r.path = input.path;
    SEG_clear_analysis_results();
    const int set = SEG_set_image_file(input.path.c_str());
    const int opened = SEG_open_image();
    if (set == 0) {
        r.error = refusal_reason(input.path);
        const bool not_image = r.error == "not a recognised image format" || r.error == "too short to be an image";
        r.status = input.from_folder && not_image ? ImageStatus::skipped : ImageStatus::failed;
        SEG_close_image();
        return r;
    }
    if (opened == 0 || videobuffer == nullptr) {
        r.error = "the image could not be read (damaged or unsupported contents)";
        r.status = ImageStatus::failed;
        SEG_close_image();
        return r;
    }
    r.maxcol = MAXCOL;
    r.maxlin = MAXLIN;
    r.xscale = XSCALE;
    r.yscale = YSCALE;
    file_size(input.path, r);

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
    SEG_clear_analysis_results();
    SEG_close_image();
    return r;
}

}  // namespace platix
