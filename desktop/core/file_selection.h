// The open-file dialogs as the programs use them: the request handed to
// the toolkit's dialog, the composition of the answer into the classic
// name buffer with its size limit, the messages on overflow and failure,
// the filter preselection and the image list file written from a multiple
// selection.
#pragma once

#include <string>
#include <vector>

namespace desk {

struct FileFilter {
    std::string description;
    std::string pattern;
};

struct OpenFileRequest {
    std::string title;
    std::vector<FileFilter> filters;
    std::string initial_folder;  // empty: none
    std::string default_ext;     // empty: none
    int filter_index = 1;        // 1-based
    bool multiple = false;
};

// Error reported by a dialog whose answer does not fit the name buffer.
inline constexpr int kBufferTooSmall = 0x3003;

struct OpenFileAnswer {
    bool chosen = false;
    std::vector<std::string> paths;  // full paths, in the dialog's order
    int filter_index = 1;
    int error = 0;  // nonzero: the dialog failed with this code
};

// The toolkit's open-file dialog (or a scripted one in tests).
class OpenFilePort {
public:
    virtual ~OpenFilePort() = default;
    virtual OpenFileAnswer run(const OpenFileRequest& request) = 0;
};

// Beyond the classic dialogs: files named beforehand (program arguments,
// files dropped on the view) answer the next request as if they had been
// chosen in the dialog; every other request goes to the wrapped dialog.
class PresetFilePort : public OpenFilePort {
public:
    explicit PresetFilePort(OpenFilePort& dialog) : dialog_(&dialog) {}
    void set_dialog(OpenFilePort& dialog) { dialog_ = &dialog; }
    // Full paths of existing files, in the order given.
    void preset(std::vector<std::string> paths) { preset_ = std::move(paths); }
    OpenFileAnswer run(const OpenFileRequest& request) override;

private:
    OpenFilePort* dialog_;
    std::vector<std::string> preset_;
};

// Size of a single selection's path buffer, and of a multiple selection's
// name buffer, in bytes.
inline constexpr std::size_t kPathBuffer = 260;
inline constexpr std::size_t kMultiNameBuffer = 20480;

// Bytes the classic name buffer needs for an answer: one full path, or the
// folder followed by the names, each NUL-terminated, plus the closing NUL.
std::size_t name_buffer_bytes(const std::vector<std::string>& paths);

// The 1-based filter pair in whose description or pattern `ext` occurs
// first, searching the classic 256-byte filter list ("desc\0pattern\0...")
// from its start, case-sensitively; the last pair when it does not occur.
int preselect_filter(const std::vector<FileFilter>& filters, const std::string& ext);

// Single selection: returns 0 with the chosen path, 1 when cancelled or
// failed, 2 when the path overflowed its buffer (the caller asks again).
class SingleFileSelection {
public:
    int run(OpenFilePort& port, const std::string& title, const std::vector<FileFilter>& filters,
            const std::string& folder, const std::string& ext, std::string& path);
    int filter_index() const { return filter_index_; }

private:
    int filter_index_ = 1;
};

// What a multiple selection leaves to its caller.
struct MultiSelection {
    int count = 0;
    std::string first_path;
    std::string folder;  // without a trailing '/', except the root "/"
};

// Multiple selection: writes the list file (one path a line, "\r\n", sorted
// by name) and returns 0, or 1 when cancelled or failed, 2 on overflow; the
// outcome is changed only on 0.
class MultiFileSelection {
public:
    int run(OpenFilePort& port, const std::string& title, const std::vector<FileFilter>& filters,
            const std::string& folder, const std::string& ext, const std::string& list_path,
            MultiSelection& outcome);
    int filter_index() const { return filter_index_; }

private:
    bool first_use_ = true;
    int filter_index_ = 1;
};

}  // namespace desk
