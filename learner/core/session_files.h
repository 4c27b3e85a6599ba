// The files of one training session: the knowledge base named in the
// knowledge-base list, its patterns file, and the backup copies of both
// that are made before the dialog opens and either dropped (changes kept)
// or put back (changes discarded) when it ends. No step ever leaves the
// user without the knowledge base: a failed copy or rename stops and
// keeps, or puts back, the original, and says so.
#pragma once

#include <string>

namespace learner {

struct SessionPaths {
    std::string kb;       // the knowledge-base file
    std::string dat;      // its patterns file (extension "dat")
    std::string kb_bak;   // "$kbfbak$.$$$" in the knowledge base's folder
    std::string dat_bak;  // "$datbak$.$$$" in the same folder
};

// Reads line `index` (1-based) of the knowledge-base list file: the text
// after its first ']', without blanks around it and without the line end.
// Derives the other paths from it. False when the list cannot be read, has
// no such line, or the path lacks a file name or an extension.
bool read_session_paths(const std::string& list_path, int index, SessionPaths& out);

// What the backup left on disk, so that finishing knows what to restore.
struct BackupState {
    bool kb_backed_up = false;   // the knowledge base existed and has a backup
    bool dat_backed_up = false;  // the same for the patterns file
};

// Deletes old backups and copies each existing file to its backup. On any
// failure every backup made is removed again, the originals stay as they
// were, a message (title "Error") tells the user, and false is returned.
bool make_backups(const SessionPaths& p, BackupState& state);

// Ends the session. keep: the backups are deleted. Otherwise each file is
// put back from its backup (a file that did not exist before the session
// is deleted). When a backup cannot be put back it is left in place and a
// message names it, so the previous contents are never lost. Returns true
// when everything went as asked.
bool finish_backups(const SessionPaths& p, const BackupState& state, bool keep);

// Copies a file byte for byte through a temporary file in the target's
// folder that then replaces the target; true on success (the target is
// unchanged on failure).
bool copy_file_safely(const std::string& from, const std::string& to);

}  // namespace learner
