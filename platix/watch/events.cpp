// Event records: JSON Lines, text and CSV.
#include "watch/events.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "output_format.h"

namespace platix::watch {

namespace {

std::string seconds(double s) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", s);
    return buf;
}

std::string csv_field(const std::string& s) {
    if (s.find_first_of(",\"\n\r") == std::string::npos) return s;
    std::string out = "\"";
    for (char c : s) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string box_json(const Box& b) {
    return "[" + std::to_string(b.left) + ", " + std::to_string(b.top) + ", " + std::to_string(b.right) + ", " +
           std::to_string(b.bottom) + "]";
}

}  // namespace

std::string utc_text(double wall) {
    const double whole = std::floor(wall);
    const auto t = static_cast<std::time_t>(whole);
    int ms = static_cast<int>(std::lround((wall - whole) * 1000));
    if (ms > 999) ms = 999;
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, ms);
    return buf;
}

std::string event_json(const std::string& source, const Passage& p) {
    std::string o = "{\"source\": " + json_string(source) + ", \"text\": " + json_string(p.text);
    o += ", \"confidence\": " + (p.confidence < 0 ? std::string("null") : seconds(p.confidence));
    o += ", \"candidates\": [";
    for (std::size_t i = 0; i < p.candidates.size(); ++i) {
        if (i) o += ", ";
        o += "{\"text\": " + json_string(p.candidates[i].text) + ", \"share\": " + seconds(p.candidates[i].share) + "}";
    }
    o += "], \"first\": " + seconds(p.first_t) + ", \"last\": " + seconds(p.last_t);
    o += ", \"first_wall\": \"" + utc_text(p.first_wall) + "\", \"last_wall\": \"" + utc_text(p.last_wall) + "\"";
    o += ", \"reads\": " + std::to_string(p.reads);
    o += ", \"best\": {\"t\": " + seconds(p.best.t) + ", \"frame\": " + std::to_string(p.best.frame) +
         ", \"box\": " + box_json(p.best.box) + "}}\n";
    return o;
}

std::string event_text(const std::string& source, const Passage& p) {
    return source + "\t" + seconds(p.first_t) + "-" + seconds(p.last_t) + "\t" + p.text + "\n";
}

std::string event_csv_header() {
    return "source,text,confidence,first,last,first_wall,last_wall,reads,best_t,best_frame,left,top,right,bottom\n";
}

std::string event_csv_row(const std::string& source, const Passage& p) {
    const Box& b = p.best.box;
    return csv_field(source) + "," + csv_field(p.text) + "," + (p.confidence < 0 ? "" : seconds(p.confidence)) + "," +
           seconds(p.first_t) + "," + seconds(p.last_t) + "," + utc_text(p.first_wall) + "," + utc_text(p.last_wall) +
           "," + std::to_string(p.reads) + "," + seconds(p.best.t) + "," + std::to_string(p.best.frame) + "," +
           std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
           std::to_string(b.bottom) + "\n";
}

}  // namespace platix::watch
