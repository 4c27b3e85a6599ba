// The file choices both programs make: the images of the Files command
// (the multiple-selection dialog with the seven image filters, repeated on
// an overflow, the image folder moved to the folder chosen and made the
// current directory, the image list read back from the list file), the
// knowledge base of the KBase command, and the knowledge-base list file.
#pragma once

#include <string>
#include <vector>

#include "file_selection.h"
#include "image_list.h"
#include "library_port.h"

namespace platix {

// Parts of a '/'-separated path: the folder ("/" for the root, empty
// without a '/'), the name after the last '/', the extension after the
// last '.' of a name (empty without one).
std::string folder_part(const std::string& path);
std::string name_part(const std::string& path);
std::string extension_part(const std::string& name);

// The filters of the image dialog, in their order.
const std::vector<desk::FileFilter>& image_filters();

// Runs the dialog (default extension: that of `image_name`, "jpg" without
// one). False when it was cancelled or failed: nothing is changed. Else
// `chosen` holds the count and the first path, the image folder is the one
// chosen, and `list` holds the chosen paths (its list file is then deleted,
// or kept when the list could not be allocated).
bool choose_image_files(desk::MultiFileSelection& dialog, desk::OpenFilePort& port, const std::string& image_name,
                        std::string& image_folder, const std::string& list_path, desk::ImageList& list,
                        desk::MultiSelection& chosen);

// The single-selection dialog for a knowledge base ("KBF files", "All
// files"), repeated on an overflow. False when cancelled or failed; else
// `kb_path` is the chosen file and `kb_folder` its folder.
bool choose_kb_file(desk::SingleFileSelection& dialog, desk::OpenFilePort& port, const char* title,
                    std::string& kb_folder, std::string& kb_path);

// Writes the knowledge-base list file anew: the one line "[type] path\r\n"
// with the type the engine gives the file. Nothing is written when the
// file cannot be created.
void write_kb_list(LibraryPort& libs, const std::string& list_path, const std::string& kb_path);

}  // namespace platix
