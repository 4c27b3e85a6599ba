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

// True, after printing the usage, when the arguments ask for it ("-h" or
// "--help"); the program then ends with 0 before it needs a display.
bool usage_asked(const char* program, int argc, char** argv);

// Reports on standard error each argument that names no file ("PROGRAM: no
// such file: NAME").
void report_missing_files(const char* program, const QStringList& args);

// "KB: NAME" for an existing file, else "KB: none".
QString kb_note(const std::string& kb_path);

}  // namespace desk
