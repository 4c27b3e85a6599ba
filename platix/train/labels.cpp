// Reading the label files that go with plate photographs.
#include "labels.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "options.h"

namespace fs = std::filesystem;

namespace platix {

namespace {

std::vector<std::string> split_tabs(const std::string& line) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const auto tab = line.find('\t', start);
        if (tab == std::string::npos) {
            parts.push_back(line.substr(start));
            return parts;
        }
        parts.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

bool parse_coordinate(const std::string& text, int* out) {
    if (text.empty() || text.size() > 9) return false;
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '-') {
        negative = true;
        i = 1;
        if (text.size() == 1) return false;
    }
    long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    *out = static_cast<int>(negative ? -v : v);
    return true;
}

}  // namespace

bool parse_label_line(const std::string& raw, LabelledImage* out, std::string* error) {
    error->clear();
    std::string line = raw;
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') return false;  // blank or a comment
    const auto parts = split_tabs(line);
    if (parts.size() != 6) {
        *error = "expected 6 tab-separated columns, found " + std::to_string(parts.size());
        return false;
    }
    if (parts[0].empty()) {
        *error = "empty image name";
        return false;
    }
    LabelledImage l;
    const char* names[4] = {"x", "y", "w", "h"};
    int* fields[4] = {&l.x, &l.y, &l.w, &l.h};
    for (int i = 0; i < 4; ++i) {
        if (!parse_coordinate(parts[1 + i], fields[i])) {
            *error = std::string("column ") + names[i] + " is not a whole number: '" + parts[1 + i] + "'";
            return false;
        }
    }
    if (l.w <= 0 || l.h <= 0) {
        *error = "the box has no area";
        return false;
    }
    l.plate = parts[5];
    if (normalise_plate(l.plate).empty()) {
        *error = "empty plate text";
        return false;
    }
    l.image_path = parts[0];
    *out = l;
    return true;
}

std::vector<LabelledImage> read_label_file(const std::string& path, std::vector<std::string>& problems) {
    std::vector<LabelledImage> labels;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        problems.push_back(path + ": cannot be read");
        return labels;
    }
    const fs::path base = fs::path(path).parent_path();
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        LabelledImage l;
        std::string error;
        if (!parse_label_line(line, &l, &error)) {
            if (error.empty()) continue;
            if (labels.empty()) {
                // Nothing good before it: not a label file at all (an image
                // given in its place, say); one message for the whole file.
                problems.push_back(path + ":" + std::to_string(number) + ": " + error +
                                   "; not a label file, skipped");
                return labels;
            }
            problems.push_back(path + ":" + std::to_string(number) + ": " + error);
            continue;
        }
        fs::path image = l.image_path;
        if (image.is_relative()) image = base / image;
        l.image_path = image.lexically_normal().string();
        l.folder = image.parent_path().lexically_normal().string();
        if (l.folder.empty()) l.folder = ".";
        labels.push_back(std::move(l));
    }
    return labels;
}

std::vector<LabelledImage> collect_labels(const std::vector<std::string>& args, std::vector<std::string>& problems) {
    std::vector<LabelledImage> all;
    for (const std::string& arg : args) {
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            std::vector<std::string> files;
            for (const auto& entry : fs::directory_iterator(arg, ec)) {
                if (entry.path().extension() == ".txt" && entry.is_regular_file(ec)) files.push_back(entry.path().string());
            }
            std::sort(files.begin(), files.end());
            for (const auto& f : files) {
                auto some = read_label_file(f, problems);
                all.insert(all.end(), some.begin(), some.end());
            }
        } else if (fs::exists(arg, ec)) {
            auto some = read_label_file(arg, problems);
            all.insert(all.end(), some.begin(), some.end());
        } else {
            problems.push_back(arg + ": no such file or folder");
        }
    }
    return all;
}

std::string box_outside_note(const LabelledImage& l, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    if (l.x >= 0 && l.y >= 0 && l.x + l.w <= width && l.y + l.h <= height) return {};
    return l.image_path + ": the labelled box " + std::to_string(l.x) + "," + std::to_string(l.y) + " " +
           std::to_string(l.w) + "x" + std::to_string(l.h) + " reaches outside the " + std::to_string(width) + " x " +
           std::to_string(height) + " image";
}

std::string normalise_plate(const std::string& plate) {
    std::string out;
    for (char c : plate) {
        if (c == ' ' || c == '\t') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return out;
}

}  // namespace platix
