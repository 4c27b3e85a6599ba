#include "net_reading.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "default_data.h"
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

bool wants_wider_reading(const pnet_reading& r, bool constrained) {
    return r.count > 0 && constrained && !r.constrained;
}

bool reads_better(const pnet_reading& a, const pnet_reading& b) {
    if (b.count == 0) return a.count > 0;
    if (a.count == 0) return false;
    if (a.constrained != b.constrained) return a.constrained != 0;
    return a.candidates[0].confidence > b.candidates[0].confidence;
}

NetModel::NetModel(const std::string& path) {
    int status = PNET_OK;
    model_.reset(PNET_load_model(path.c_str(), &status));
    if (!model_) throw UsageError("--model " + path + ": " + PNET_status_text(status));
}

std::unique_ptr<NetModel> model_for(const RecognitionSettings& settings, bool kb_given, bool quiet) {
    if (settings.reader == ReaderKind::box) return nullptr;
    if (!settings.model.empty()) return std::make_unique<NetModel>(settings.model);
    if (kb_given && settings.reader == ReaderKind::automatic) return nullptr;
    const std::string bundled = bundled_model_path();
    if (bundled.empty()) {
        if (settings.reader == ReaderKind::net)
            throw UsageError("--reader net: no model given (--model FILE) and the bundled model was not found");
        return nullptr;
    }
    if (!quiet) std::fprintf(stderr, "platix: reading with the bundled learned model %s\n", bundled.c_str());
    return std::make_unique<NetModel>(bundled);
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
    const std::string syntaxes = syntax_list(settings.region);
    const int topn = std::clamp(settings.topn, 1, PNET_MAX_CANDIDATES);
    const auto read_box = [&](const Box& b, pnet_reading& r) {
        return PNET_read_region(model, page, width, height, stride, b.left, b.top, b.right + 1, b.bottom + 1,
                                syntaxes.empty() ? nullptr : syntaxes.c_str(), topn, &r) == PNET_OK &&
               r.count > 0;
    };
    pnet_reading reading;
    if (!read_box(field.page_box, reading)) return;
    if (wants_wider_reading(reading, !syntaxes.empty())) {
        const Box& b = field.page_box;
        const int h = b.bottom - b.top + 1;
        const Box wide{std::max(0, b.left - h), b.top, std::min(width - 1, b.right + h), b.bottom};
        pnet_reading w;
        if (read_box(wide, w) && reads_better(w, reading)) reading = w;
    }
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

std::vector<std::vector<std::size_t>> row_groups(const std::vector<Box>& boxes) {
    const std::size_t n = boxes.size();
    std::vector<std::size_t> root(n);
    for (std::size_t i = 0; i < n; ++i) root[i] = i;
    const auto find = [&](std::size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j) {
            const Box& a = boxes[i];
            const Box& b = boxes[j];
            const int ha = a.bottom - a.top + 1, hb = b.bottom - b.top + 1;
            if (ha <= 0 || hb <= 0 || ha * 5 > hb * 8 || hb * 5 > ha * 8) continue;
            const int overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top) + 1;
            if (overlap * 2 < std::min(ha, hb)) continue;
            const int gap = std::max(a.left, b.left) - std::min(a.right, b.right) - 1;
            if (gap > std::max(ha, hb)) continue;
            root[find(j)] = find(i);
        }
    std::vector<std::vector<std::size_t>> groups;
    std::vector<std::size_t> slot(n, n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t r = find(i);
        if (slot[r] == n) {
            slot[r] = groups.size();
            groups.emplace_back();
        }
        groups[slot[r]].push_back(i);
    }
    std::erase_if(groups, [](const auto& g) { return g.size() < 2; });
    return groups;
}

void read_row_groups_net(const pnet_model* model, const unsigned char* page, int width, int height, int stride,
                         const RecognitionSettings& settings, const std::function<Box(const Box&)>& to_file,
                         std::vector<FieldResult>& fields) {
    std::vector<Box> boxes;
    for (const auto& f : fields) boxes.push_back(f.page_box);
    std::vector<char> dropped(fields.size(), 0);
    for (const auto& group : row_groups(boxes)) {
        FieldResult u;
        u.page_box = boxes[group.front()];
        int best_piece = -1;
        for (std::size_t i : group) {
            const Box& b = boxes[i];
            u.page_box = {std::min(u.page_box.left, b.left), std::min(u.page_box.top, b.top),
                          std::max(u.page_box.right, b.right), std::max(u.page_box.bottom, b.bottom)};
            best_piece = std::max(best_piece, fields[i].confidence_ppm);
        }
        u.file_box = to_file(u.page_box);
        read_field_net(model, page, width, height, stride, settings, u);
        if (u.text.empty() || u.confidence_ppm <= best_piece) continue;
        fields[group.front()] = std::move(u);
        for (std::size_t k = 1; k < group.size(); ++k) dropped[group[k]] = 1;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!dropped[i]) {
            if (kept != i) fields[kept] = std::move(fields[i]);
            ++kept;
        }
    fields.resize(kept);
}

}  // namespace platix
