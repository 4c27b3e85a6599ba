// Open-file dialogs: buffer limits, overflow and failure messages, filter
// preselection and the image list written from a multiple selection.
#include "file_selection.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "orvosys.h"

namespace desk {

namespace {

std::string folder_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string name_of(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void dialog_failed(int error) {
    char text[128];
    std::snprintf(text, sizeof text, "Sorry, it is a problem with the selection dialog.\n\nError code: %d",
                  error);
    osys_message_box(text, "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
}

}  // namespace

OpenFileAnswer PresetFilePort::run(const OpenFileRequest& request) {
    if (preset_.empty()) return dialog_->run(request);
    OpenFileAnswer a;
    a.chosen = true;
    a.paths.swap(preset_);
    a.filter_index = request.filter_index;
    return a;
}

std::size_t name_buffer_bytes(const std::vector<std::string>& paths) {
    if (paths.empty()) return 2;
    if (paths.size() == 1) return paths[0].size() + 2;
    std::size_t n = folder_of(paths[0]).size() + 1;
    for (const auto& p : paths) n += name_of(p).size() + 1;
    return n + 1;
}

int preselect_filter(const std::vector<FileFilter>& filters, const std::string& ext) {
    if (filters.empty()) return 1;
    char list[256] = {};
    std::size_t at = 0;
    for (const auto& f : filters) {
        for (const std::string* s : {&f.description, &f.pattern}) {
            for (char c : *s) {
                if (at < sizeof list) list[at++] = c;
            }
            if (at < sizeof list) list[at++] = '\0';
        }
    }
    const std::size_t n = ext.size();
    const int last = static_cast<int>(filters.size());
    for (std::size_t i = 0; n <= sizeof list && i + n <= sizeof list; ++i) {
        if (std::memcmp(list + i, ext.data(), n) != 0) continue;
        int nuls = 0;
        for (std::size_t k = 0; k < i; ++k)
            if (list[k] == '\0') ++nuls;
        return std::min(nuls / 2 + 1, last);
    }
    return last;
}

int SingleFileSelection::run(OpenFilePort& port, const std::string& title,
                             const std::vector<FileFilter>& filters, const std::string& folder,
                             const std::string& ext, std::string& path) {
    path.clear();
    OpenFileRequest rq{title, filters, folder, ext, filter_index_, false};
    OpenFileAnswer a = port.run(rq);
    int error = a.error;
    if (error == 0 && a.chosen && !a.paths.empty()) {
        if (a.paths[0].size() < kPathBuffer) {
            path = a.paths[0];
            filter_index_ = a.filter_index;
            return 0;
        }
        error = kBufferTooSmall;
    }
    osys_beep();
    if (error == kBufferTooSmall) {
        osys_message_box("Sorry, selected path is too long! Selection buffer exceeded.", "Error",
                         OSYS_MB_OK | OSYS_MB_ICONERROR);
        path.clear();
        return 2;
    }
    if (error != 0) dialog_failed(error);
    return 1;
}

int MultiFileSelection::run(OpenFilePort& port, const std::string& title,
                            const std::vector<FileFilter>& filters, const std::string& folder,
                            const std::string& ext, const std::string& list_path,
                            MultiSelection& outcome) {
    if (first_use_) {
        filter_index_ = preselect_filter(filters, ext);
        first_use_ = false;
    }
    OpenFileRequest rq{title, filters, folder, ext, filter_index_, true};
    OpenFileAnswer a = port.run(rq);
    int error = a.error;
    if (error == 0 && a.chosen && name_buffer_bytes(a.paths) > kMultiNameBuffer)
        error = kBufferTooSmall;
    if (error != 0 || !a.chosen || a.paths.empty()) {
        osys_beep();
        if (error == kBufferTooSmall) {
            osys_message_box("Sorry, too many files selected at once! Selection buffer exceeded.",
                             "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
            return 2;
        }
        if (error != 0) dialog_failed(error);
        return 1;
    }
    std::FILE* f = std::fopen(list_path.c_str(), "wb");
    if (!f) {
        // Without the list file nothing can be loaded: keep the old list.
        osys_beep();
        osys_message_box("Couldn't write the image list file.", "Error",
                         OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 1;
    }
    MultiSelection out;
    bool ok = true;
    if (a.paths.size() == 1) {
        out.count = 1;
        out.first_path = a.paths[0];
        ok = std::fprintf(f, "%s\r\n", a.paths[0].c_str()) >= 0;
        out.folder = folder_of(a.paths[0]);
    } else {
        out.folder = folder_of(a.paths[0]);
        std::vector<std::string> names;
        for (const auto& p : a.paths) names.push_back(name_of(p));
        // Taking the smallest remaining name each time is a stable sort.
        std::stable_sort(names.begin(), names.end(), [](const std::string& x, const std::string& y) {
            return std::strcoll(x.c_str(), y.c_str()) < 0;
        });
        const std::string prefix = out.folder == "/" ? "/" : out.folder + "/";
        for (const auto& n : names) {
            if (std::fprintf(f, "%s%s\r\n", prefix.c_str(), n.c_str()) < 0) ok = false;
            if (out.count == 0) out.first_path = prefix + n;
            ++out.count;
        }
    }
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        osys_beep();
        osys_message_box("Couldn't write the image list file.", "Error",
                         OSYS_MB_OK | OSYS_MB_ICONERROR);
        return 1;
    }
    filter_index_ = a.filter_index;
    outcome = out;
    return 0;
}

}  // namespace desk
