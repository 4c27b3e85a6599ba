// JSON Lines output: one object per image.
#include "output_format.h"

#include <cstdio>
#include <cstdlib>

namespace platix {

namespace {

using Json = nlohmann::ordered_json;

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

// A confidence in millionths as a number 0-1 rounded to four decimals.
double confidence_value(int ppm) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", static_cast<double>(ppm < 0 ? 0 : ppm) / 1e6);
    return std::strtod(buf, nullptr);
}

Json box_json(const Box& b) { return Json::array({b.left, b.top, b.right, b.bottom}); }

// `j` on one line, with a space after each ':' and ',' between members.
// Indented output puts every member on its own line, and a raw newline
// occurs nowhere else (inside strings it is escaped), so the newlines
// are joined away.
std::string one_line(const Json& j) {
    const std::string lines = j.dump(0);
    std::string out;
    out.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != '\n') {
            out += lines[i];
            continue;
        }
        const char before = i > 0 ? lines[i - 1] : ' ';
        const char after = i + 1 < lines.size() ? lines[i + 1] : ' ';
        if (before != '{' && before != '[' && after != '}' && after != ']') out += ' ';
    }
    return out;
}

}  // namespace

std::string utf8_text(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
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
    return out;
}

std::string json_string(const std::string& text) {
    const std::string utf8 = utf8_text(text);
    std::string out = "\"";
    for (const char ch : utf8) {
        const auto b = static_cast<unsigned char>(ch);
        if (b == '"' || b == '\\') {
            out += '\\';
            out += ch;
        } else if (b < 0x20 || b == 0x7F) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", b);
            out += esc;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

Json image_json(const ImageResult& r, AnalysisKind analysis, bool with_syntax) {
    Json o;
    o["file"] = utf8_text(r.path);
    if (r.status != ImageStatus::ok) {
        o["ok"] = false;
        o["error"] = utf8_text(r.error);
        return o;
    }
    o["ok"] = true;
    o["width"] = r.width;
    o["height"] = r.height;
    o["page"] = {r.maxcol, r.maxlin};
    o["scale"] = {r.xscale, r.yscale};
    o["ms"] = r.ms;
    o["analysis"] = analysis_name(analysis);
    Json fields = Json::array();
    for (const auto& f : r.fields) {
        Json field;
        field["text"] = utf8_text(f.text);
        field["raw"] = utf8_text(f.raw);
        if (with_syntax) field["syntax"] = f.syntax.empty() ? Json(nullptr) : Json(utf8_text(f.syntax));
        const bool net = f.reader == "net";
        if (net) {
            field["reader"] = "net";
            field["confidence"] = confidence_value(f.confidence_ppm);
            Json candidates = Json::array();
            for (const auto& c : f.candidates)
                candidates.push_back(Json{{"text", utf8_text(c.text)}, {"confidence", confidence_value(c.confidence_ppm)}});
            field["candidates"] = std::move(candidates);
        }
        field["box"] = box_json(f.file_box);
        Json chars = Json::array();
        for (const auto& c : f.chars) {
            Json one;
            one["c"] = utf8_text(c.c);
            if (net) one["confidence"] = confidence_value(c.confidence_ppm);
            one["box"] = box_json(c.file_box);
            chars.push_back(std::move(one));
        }
        field["chars"] = std::move(chars);
        fields.push_back(std::move(field));
    }
    o["fields"] = std::move(fields);
    return o;
}

std::string format_json_line(const ImageResult& r, AnalysisKind analysis, bool with_syntax) {
    return one_line(image_json(r, analysis, with_syntax)) + "\n";
}

}  // namespace platix
