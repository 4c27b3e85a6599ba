// Running the built platix program from the tests, and reading back the PNG files it or the tests write.
#pragma once

#include <png.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct ToolRun { int status = -1; std::string out, err; };

// The whole content of a file ("" when it cannot be read).
inline std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();  // a folder or a missing file gives ""
    return ss.str();
}

inline ToolRun platix(const std::string& args, const std::string& dir) {
    const std::string err_file = dir + "/stderr.txt";
    ToolRun r;
    FILE* p = ::popen((std::string(PLATIX_BINARY) + " " + args + " 2>" + err_file).c_str(), "r");
    if (p == nullptr) return r;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.err = file_text(err_file);
    return r;
}

// A gray (C = 1) or RGB (C = 3) picture of a PNG file; empty when it cannot be read.
template <int C>
struct Picture {
    int w = 0, h = 0;
    std::vector<unsigned char> px;
    std::array<int, 3> at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)) * C;
        return {px[i], px[i + C / 3], px[i + 2 * (C / 3)]};
    }
};
using Gray = Picture<1>;
using Rgb = Picture<3>;

template <int C>
Picture<C> read_png(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture<C> p;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return p;
    image.format = C == 1 ? PNG_FORMAT_GRAY : PNG_FORMAT_RGB;
    p.w = static_cast<int>(image.width), p.h = static_cast<int>(image.height), p.px.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, p.px.data(), 0, nullptr) ? p : Picture<C>{};
}
inline Gray read_gray(const std::string& path) { return read_png<1>(path); }
inline Rgb read_rgb(const std::string& path) { return read_png<3>(path); }

inline void write_gray(const std::string& path, const Gray& g) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION, image.format = PNG_FORMAT_GRAY;
    image.width = static_cast<png_uint_32>(g.w), image.height = static_cast<png_uint_32>(g.h);
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, g.px.data(), 0, nullptr));
}

// The total row of a bench JSON file: images, located %, exact % (-1 when absent).
struct BenchTotals { int images = -1; double located = -1, exact = -1; };
inline BenchTotals bench_totals(const std::string& json_path) {
    const std::string json = file_text(json_path);
    static const std::regex re("\"total\": \\{[^}]*\"images\": (\\d+), \"located\": ([0-9.]+), \"exact\": ([0-9.]+)");
    std::smatch m;
    if (!std::regex_search(json, m, re)) return {};
    return {std::stoi(m[1]), std::stod(m[2]), std::stod(m[3])};
}

// Every "box": [l, t, r, b] of a JSON line, in order.
inline std::vector<std::array<int, 4>> boxes(const std::string& json) {
    std::vector<std::array<int, 4>> out;
    static const std::regex re("\"box\": \\[(-?\\d+), (-?\\d+), (-?\\d+), (-?\\d+)\\]");
    for (auto it = std::sregex_iterator(json.begin(), json.end(), re); it != std::sregex_iterator(); ++it)
        out.push_back({std::stoi((*it)[1]), std::stoi((*it)[2]), std::stoi((*it)[3]), std::stoi((*it)[4])});
    return out;
}

}  // namespace
