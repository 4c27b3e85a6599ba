// Knowledge-base paths from the list file, and the backups of a training
// session with their safe restore.
#include "session_files.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include "orvosys.h"
#include "path_helpers.h"

namespace learner {

namespace {

std::string trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
    return s.substr(b, e - b);
}

bool exists(const std::string& p) { return pathutil::file_exists(p.c_str()) != 0; }

// Removes a file that may not exist; true when it is gone afterwards.
bool remove_if_present(const std::string& p) {
    if (std::remove(p.c_str()) == 0) return true;
    std::FILE* f = std::fopen(p.c_str(), "rb");
    if (!f) return true;
    std::fclose(f);
    return false;
}

void error_box(const std::string& text) {
    osys_beep();
    osys_message_box(text.c_str(), "Error", OSYS_MB_OK | OSYS_MB_ICONERROR);
}

// Puts a backup back over its file: a rename, or a safe copy when the
// rename fails. True when the file holds the backup's bytes afterwards
// and the backup is gone.
bool put_back(const std::string& bak, const std::string& file) {
    if (std::rename(bak.c_str(), file.c_str()) == 0) return true;
    if (!copy_file_safely(bak, file)) return false;
    remove_if_present(bak);
    return true;
}

}  // namespace

bool read_session_paths(const std::string& list_path, int index, SessionPaths& out) {
    if (index < 1) return false;
    std::ifstream in(list_path, std::ios::binary);
    if (!in) return false;
    std::string line;
    for (int n = 1; n <= index; ++n)
        if (!std::getline(in, line)) return false;
    const auto bracket = line.find(']');
    if (bracket == std::string::npos) return false;
    const std::string kb = trim(line.substr(bracket + 1));
    if (kb.empty() || kb.size() >= 260) return false;
    const char* name = pathutil::path_file_name(kb.c_str());
    const char* ext = pathutil::path_extension(kb.c_str());
    if (name == nullptr || ext == nullptr || *ext == '\0') return false;
    // A name made of the extension alone (".kbf") has no file name.
    if (std::strlen(name) <= std::strlen(ext) + 1) return false;
    const char* dir = pathutil::path_directory(kb.c_str());
    const char* dat = pathutil::path_with_extension(kb.c_str(), "dat");
    if (dir == nullptr || dat == nullptr) return false;
    const std::string folder = std::strcmp(dir, "/") == 0 ? std::string() : std::string(dir);
    out.kb = kb;
    out.dat = dat;
    out.kb_bak = folder + "/$kbfbak$.$$$";
    out.dat_bak = folder + "/$datbak$.$$$";
    return true;
}

bool copy_file_safely(const std::string& from, const std::string& to) {
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in) return false;
    const std::string work = to + ".tmp";
    std::FILE* out = std::fopen(work.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    bool ok = true;
    char buf[8192];
    for (;;) {
        const std::size_t n = std::fread(buf, 1, sizeof buf, in);
        if (n > 0 && std::fwrite(buf, 1, n, out) != n) {
            ok = false;
            break;
        }
        if (n < sizeof buf) {
            if (std::ferror(in)) ok = false;
            break;
        }
    }
    std::fclose(in);
    if (std::fclose(out) != 0) ok = false;
    if (ok && std::rename(work.c_str(), to.c_str()) == 0) return true;
    std::remove(work.c_str());
    return false;
}

bool make_backups(const SessionPaths& p, BackupState& state) {
    state = BackupState{};
    if (!remove_if_present(p.kb_bak) || !remove_if_present(p.dat_bak)) {
        error_box("Couldn't remove an old backup of the knowledge base.\n"
                  "The training session is not started.");
        return false;
    }
    if (exists(p.kb)) {
        if (!copy_file_safely(p.kb, p.kb_bak)) {
            error_box("Couldn't back up the knowledge base file.\nThe training session is not started.");
            return false;
        }
        state.kb_backed_up = true;
    }
    if (exists(p.dat)) {
        if (!copy_file_safely(p.dat, p.dat_bak)) {
            if (state.kb_backed_up) remove_if_present(p.kb_bak);
            state = BackupState{};
            error_box("Couldn't back up the patterns file.\nThe training session is not started.");
            return false;
        }
        state.dat_backed_up = true;
    }
    return true;
}

bool finish_backups(const SessionPaths& p, const BackupState& state, bool keep) {
    if (keep) {
        bool ok = true;
        if (state.kb_backed_up) ok = remove_if_present(p.kb_bak) && ok;
        if (state.dat_backed_up) ok = remove_if_present(p.dat_bak) && ok;
        return ok;
    }
    bool ok = true;
    const struct {
        const std::string& file;
        const std::string& bak;
        bool backed_up;
    } pairs[] = {{p.kb, p.kb_bak, state.kb_backed_up}, {p.dat, p.dat_bak, state.dat_backed_up}};
    for (const auto& f : pairs) {
        if (f.backed_up) {
            if (!put_back(f.bak, f.file)) {
                ok = false;
                error_box("Couldn't restore " + f.file + ".\nIts previous contents are kept in " + f.bak + ".");
            }
        } else if (!remove_if_present(f.file)) {
            ok = false;
            error_box("Couldn't remove " + f.file + ", made during the training session.");
        }
    }
    return ok;
}

}  // namespace learner
