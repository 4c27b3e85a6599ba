#include "net_reading.h"

#include <algorithm>
#include <cmath>

#include "plate_syntax.h"

namespace platix {

namespace {

int ppm(float v) { return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 1e6f)); }

// The first syntax of the region's table that `text` fits, "" for none.
std::string fitting_syntax(Region region, const std::string& text) {
    for (const auto& s : region_syntaxes(region)) {
        const std::string p = s.pattern;
        if (p.size() != text.size()) continue;
        bool ok = true;
        for (std::size_t i = 0; i < p.size() && ok; ++i)
            ok = p[i] == 'L' ? (text[i] >= 'A' && text[i] <= 'Z') : (text[i] >= '0' && text[i] <= '9');
        if (ok) return p;
    }
    return "";
}

}  // namespace

NetModel::NetModel(const std::string& path) {
    int status = PNET_OK;
    model_.reset(PNET_load_model(path.c_str(), &status));
    if (!model_) throw UsageError("--model " + path + ": " + PNET_status_text(status));
}

std::unique_ptr<NetModel> model_for(const RecognitionSettings& settings) {
    if (settings.reader == ReaderKind::box) return nullptr;
    if (settings.model.empty()) {
        if (settings.reader == ReaderKind::net) throw UsageError("--reader net: no model given (--model FILE)");
        return nullptr;
    }
    return std::make_unique<NetModel>(settings.model);
}

std::string syntax_list(Region region) {
    std::string out;
    for (const auto& s : region_syntaxes(region)) {
        const std::string p = s.pattern;
        if (p.find_first_not_of("LD") != std::string::npos) continue;
        if (!out.empty()) out += ',';
        out += p;
    }
    return out;
}

void read_field_net(const pnet_model* model, const unsigned char* page, int width, int height, int stride,
                    const RecognitionSettings& settings, FieldResult& field) {
    field.reader = "net";
    pnet_reading reading;
    const std::string syntaxes = syntax_list(settings.region);
    const int topn = std::clamp(settings.topn, 1, PNET_MAX_CANDIDATES);
    if (PNET_read_region(model, page, width, height, stride, field.page_box.left, field.page_box.top,
                         field.page_box.right + 1, field.page_box.bottom + 1,
                         syntaxes.empty() ? nullptr : syntaxes.c_str(), topn, &reading) != PNET_OK ||
        reading.count == 0)
        return;
    const pnet_candidate& best = reading.candidates[0];
    field.text.assign(best.text, static_cast<std::size_t>(best.length));
    field.raw = field.text;
    field.confidence_ppm = ppm(best.confidence);
    for (int i = 0; i < best.length; ++i) {
        CharResult c;
        c.c = std::string(1, best.text[i]);
        c.raw = c.c;
        c.page_box = field.page_box;
        c.file_box = field.file_box;
        c.confidence_ppm = ppm(best.char_confidence[i]);
        field.chars.push_back(std::move(c));
    }
    if (settings.region != Region::none) field.syntax = fitting_syntax(settings.region, field.text);
    for (int i = 0; i < reading.count; ++i)
        field.candidates.push_back({std::string(reading.candidates[i].text,
                                                static_cast<std::size_t>(reading.candidates[i].length)),
                                    ppm(reading.candidates[i].confidence)});
}

}  // namespace platix
