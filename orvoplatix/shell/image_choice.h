// The image choice of the Files command, as both programs make it: the
// multiple-selection dialog with the seven image filters (repeated on an
// overflow), the image folder moved to the folder chosen (and made the
// current directory), and the image list read back from the list file.
#pragma once

#include <string>
#include <vector>

#include "file_selection.h"
#include "image_list.h"

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

}  // namespace platix
