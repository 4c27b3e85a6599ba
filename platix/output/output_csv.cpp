// CSV output: one row per field, or one per image without a field or
// that failed.
#include "output_format.h"

namespace platix {

namespace {

std::string csv_cell(const std::string& v) {
    if (v.find_first_of(",\"\r\n") == std::string::npos) return v;
    std::string out = "\"";
    for (char c : v) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string csv_header() { return "file,field,text,left,top,right,bottom,error\n"; }

std::string format_csv_rows(const ImageResult& r) {
    if (r.status != ImageStatus::ok) return csv_cell(r.path) + ",,,,,,," + csv_cell(r.error) + "\n";
    if (r.fields.empty()) return csv_cell(r.path) + ",0,,,,,,\n";
    std::string rows;
    for (std::size_t i = 0; i < r.fields.size(); ++i) {
        const auto& f = r.fields[i];
        rows += csv_cell(r.path) + "," + std::to_string(i + 1) + "," + csv_cell(f.text) + "," +
                std::to_string(f.file_box.left) + "," + std::to_string(f.file_box.top) + "," +
                std::to_string(f.file_box.right) + "," + std::to_string(f.file_box.bottom) + ",\n";
    }
    return rows;
}

}  // namespace platix
