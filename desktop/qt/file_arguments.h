// Files named outside the open dialogs (beyond the classic programs): the
// program's arguments and files dropped on its window, and the note that
// names the loaded knowledge base.
#pragma once

#include <QMimeData>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace desk {

// The absolute paths (local 8-bit) of those of `paths` that name existing
// regular files, in the order given.
std::vector<std::string> existing_files(const QStringList& paths);

// The local files a drag carries (empty when it carries none).
QStringList dropped_files(const QMimeData* data);

// Checks a program's arguments before its window opens: "-h" or "--help"
// prints the usage and returns false (the program ends with 0); each
// argument that names no file is reported on standard error ("PROGRAM: no
// such file: NAME"). True when the program goes on.
bool report_file_arguments(const char* program, const QStringList& args);

// "KB: NAME" for an existing file, else "KB: none".
QString kb_note(const std::string& kb_path);

}  // namespace desk
