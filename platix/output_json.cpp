// JSON Lines output: one object per image.
#include "output_format.h"

#include <cstdio>

namespace platix {

namespace {

// Unicode code points of Windows-1252 bytes 0x80-0x9F (0 = undefined).
const unsigned short kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

void put_utf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the valid UTF-8 sequence starting at s[i], or 0.
std::size_t utf8_length(const std::string& s, std::size_t i) {
    const auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    if (b >= 0xC2 && b <= 0xDF) n = 2;
    else if (b >= 0xE0 && b <= 0xEF) n = 3;
    else if (b >= 0xF0 && b <= 0xF4) n = 4;
    else return 0;
    if (i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

// A confidence in millionths as a number 0-1 with four decimals.
std::string confidence_json(int ppm) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(ppm) / 1e6);
    return buf;
}

void box_json(std::string& out, const Box& b) {
    out += "[" + std::to_string(b.left) + ", " + std::to_string(b.top) + ", " + std::to_string(b.right) + ", " +
           std::to_string(b.bottom) + "]";
}

}  // namespace

std::string json_string(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += static_cast<char>(b);
        } else if (b < 0x20 || b == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", b);
            out += esc;
        } else if (b < 0x80) {
            out += static_cast<char>(b);
        } else if (const std::size_t n = utf8_length(text, i); n > 0) {
            out.append(text, i, n);
            i += n - 1;
        } else if (b < 0xA0) {
            const unsigned cp = kCp1252High[b - 0x80];
            put_utf8(out, cp == 0 ? 0xFFFD : cp);
        } else {
            put_utf8(out, b);
        }
    }
    return out + "\"";
}

std::string format_json_line(const ImageResult& r, AnalysisKind analysis, bool with_syntax) {
    std::string o = "{\"file\": " + json_string(r.path);
    if (r.status != ImageStatus::ok) return o + ", \"ok\": false, \"error\": " + json_string(r.error) + "}\n";
    o += ", \"ok\": true, \"width\": " + std::to_string(r.width) + ", \"height\": " + std::to_string(r.height);
    o += ", \"page\": [" + std::to_string(r.maxcol) + ", " + std::to_string(r.maxlin) + "]";
    o += ", \"scale\": [" + std::to_string(r.xscale) + ", " + std::to_string(r.yscale) + "]";
    o += ", \"ms\": " + std::to_string(r.ms) + ", \"analysis\": " + json_string(analysis_name(analysis));
    o += ", \"fields\": [";
    for (std::size_t i = 0; i < r.fields.size(); ++i) {
        const auto& f = r.fields[i];
        if (i) o += ", ";
        o += "{\"text\": " + json_string(f.text) + ", \"raw\": " + json_string(f.raw);
        if (with_syntax) o += ", \"syntax\": " + (f.syntax.empty() ? std::string("null") : json_string(f.syntax));
        const bool net = f.reader == "net";
        if (net) {
            o += ", \"reader\": \"net\", \"confidence\": " + confidence_json(f.confidence_ppm < 0 ? 0 : f.confidence_ppm);
            o += ", \"candidates\": [";
            for (std::size_t k = 0; k < f.candidates.size(); ++k) {
                if (k) o += ", ";
                o += "{\"text\": " + json_string(f.candidates[k].text) +
                     ", \"confidence\": " + confidence_json(f.candidates[k].confidence_ppm) + "}";
            }
            o += "]";
        }
        o += ", \"box\": ";
        box_json(o, f.file_box);
        o += ", \"chars\": [";
        for (std::size_t k = 0; k < f.chars.size(); ++k) {
            if (k) o += ", ";
            o += "{\"c\": " + json_string(f.chars[k].c);
            if (net) o += ", \"confidence\": " + confidence_json(f.chars[k].confidence_ppm < 0 ? 0 : f.chars[k].confidence_ppm);
            o += ", \"box\": ";
            box_json(o, f.chars[k].file_box);
            o += "}";
        }
        o += "]}";
    }
    return o + "]}\n";
}

}  // namespace platix
