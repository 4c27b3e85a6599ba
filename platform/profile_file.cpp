// Settings files: "[section]" headers and "key=value" lines, read on each
// query and rewritten whole (through a temporary file and a rename) on each
// change.
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "orvosys.h"

namespace {

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool same_name(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

bool read_lines(const char* file, std::vector<std::string>& lines) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return true;
}

// Section name of a "[name]" line, or false when the line is no header.
bool section_header(const std::string& line, std::string& name) {
    std::string t = trim(line);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
    name = trim(t.substr(1, t.size() - 2));
    return true;
}

bool key_line(const std::string& line, std::string& key, std::string& value) {
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return !key.empty();
}

bool find_value(const char* section, const char* key, const char* file, std::string& value) {
    if (section == nullptr || key == nullptr || file == nullptr) return false;
    std::vector<std::string> lines;
    if (!read_lines(file, lines)) return false;
    bool in_section = false;
    for (const auto& line : lines) {
        std::string name, k, v;
        if (section_header(line, name)) {
            in_section = same_name(name, section);
        } else if (in_section && key_line(line, k, v) && same_name(k, key)) {
            value = v;
            return true;
        }
    }
    return false;
}

bool write_atomically(const char* file, const std::string& text) {
    std::string tmp = std::string(file) + ".XXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    bool ok = done == text.size() && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok) ok = std::rename(name.data(), file) == 0;
    if (!ok) unlink(name.data());
    return ok;
}

}  // namespace

extern "C" size_t osys_profile_string(const char* section, const char* key, const char* def,
                                      char* out, size_t size, const char* file) {
    if (out == nullptr || size == 0) return 0;
    std::string value;
    if (!find_value(section, key, file, value)) value = def ? def : "";
    std::size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(out, value.data(), n);
    out[n] = '\0';
    return n;
}

extern "C" int osys_profile_int(const char* section, const char* key, int def, const char* file) {
    std::string value;
    if (!find_value(section, key, file, value)) return def;
    const char* p = value.c_str();
    char* end = nullptr;
    long v = std::strtol(p, &end, 10);
    if (end == p) return def;
    if (v > 2147483647L) v = 2147483647L;
    if (v < -2147483647L - 1) v = -2147483647L - 1;
    return static_cast<int>(v);
}

extern "C" int osys_write_profile_string(const char* section, const char* key, const char* value,
                                         const char* file) {
    if (section == nullptr || file == nullptr) return 0;
    std::vector<std::string> lines;
    read_lines(file, lines);  // a missing file is created

    std::vector<std::string> out;
    bool in_section = false, seen_section = false, done = false;
    // Writes the entry once; a replaced key keeps the spelling it had.
    auto add_entry = [&](const std::string& name) {
        if (!done && key != nullptr && value != nullptr) out.push_back(name + "=" + value);
        done = true;
    };
    for (const auto& line : lines) {
        std::string name, k, v;
        if (section_header(line, name)) {
            if (in_section) add_entry(key ? key : "");
            in_section = same_name(name, section);
            if (in_section) {
                seen_section = true;
                if (key == nullptr) continue;  // drop the header of a removed section
            }
            out.push_back(line);
            continue;
        }
        if (in_section) {
            if (key == nullptr) continue;  // drop the whole section
            if (key_line(line, k, v) && same_name(k, key)) {
                add_entry(k);  // replace in place, or drop when value is null
                continue;
            }
        }
        out.push_back(line);
    }
    if (in_section) add_entry(key ? key : "");
    if (!seen_section && key != nullptr && value != nullptr) {
        out.push_back(std::string("[") + section + "]");
        add_entry(key);
    }

    std::ostringstream text;
    for (const auto& line : out) text << line << '\n';
    return write_atomically(file, text.str()) ? 1 : 0;
}
