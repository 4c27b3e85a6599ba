// File and path helpers: directory, file name, extension, replace extension,
// existence test and deletion.
#include "path_helpers.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace pathutil {
namespace {

thread_local char g_directory[kPathMax];
thread_local char g_file_name[kPathMax];
thread_local char g_with_ext[kPathMax];

const char* store(char* buffer, const std::string& text) {
    if (text.size() + 1 > kPathMax) return nullptr;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

// Absolute form of `name` with "." and ".." components folded and repeated
// separators collapsed; purely textual, so the file need not exist.
bool absolute_path(const char* name, std::string& out) {
    std::string joined;
    if (name[0] != '/') {
        std::vector<char> cwd(kPathMax);
        if (getcwd(cwd.data(), cwd.size()) == nullptr) return false;
        joined = cwd.data();
        joined += '/';
    }
    joined += name;

    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= joined.size()) {
        std::size_t next = joined.find('/', pos);
        if (next == std::string::npos) next = joined.size();
        std::string part = joined.substr(pos, next - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        pos = next + 1;
    }
    out.clear();
    for (const auto& part : parts) {
        out += '/';
        out += part;
    }
    if (out.empty()) out = "/";
    return true;
}

// Index of the '.' that starts the extension of the last component, or npos.
std::size_t extension_dot(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* last = slash ? slash + 1 : path;
    const char* dot = std::strrchr(last, '.');
    return dot ? static_cast<std::size_t>(dot - path) : std::string::npos;
}

}  // namespace

const char* path_directory(const char* file) {
    if (file == nullptr || *file == '\0') return nullptr;
    std::string full;
    if (!absolute_path(file, full)) return nullptr;
    std::size_t slash = full.rfind('/');
    if (slash == 0) return store(g_directory, "/");
    return store(g_directory, full.substr(0, slash));
}

const char* path_file_name(const char* path) {
    if (path == nullptr) return nullptr;
    const char* slash = std::strrchr(path, '/');
    return store(g_file_name, slash ? slash + 1 : path);
}

const char* path_extension(const char* path) {
    if (path == nullptr) return "";
    std::size_t dot = extension_dot(path);
    return dot == std::string::npos ? "" : path + dot + 1;
}

const char* path_with_extension(const char* path, const char* ext) {
    if (path == nullptr) return nullptr;
    std::string result(path);
    std::size_t dot = extension_dot(path);
    if (dot != std::string::npos) result.resize(dot);
    if (ext != nullptr && *ext != '\0') {
        result += '.';
        result += ext;
    }
    return store(g_with_ext, result);
}

int file_exists(const char* name) {
    if (name == nullptr || *name == '\0') return 0;
    struct stat st {};
    if (stat(name, &st) != 0 || S_ISDIR(st.st_mode)) return 0;
    std::FILE* f = std::fopen(name, "rb");
    if (f == nullptr) return 0;
    std::fclose(f);
    return 1;
}

int delete_file(const char* name) {
    if (name == nullptr) return 0;
    return unlink(name) == 0 ? 1 : 0;
}

}  // namespace pathutil
