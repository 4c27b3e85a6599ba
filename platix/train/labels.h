// Label files of plate photographs: one line per image,
// NAME<TAB>x<TAB>y<TAB>w<TAB>h<TAB>PLATE, NAME relative to the label file,
// the box in the image file's own pixels.
#pragma once

#include <string>
#include <vector>

namespace platix {

struct LabelledImage {
    std::string image_path;  // the image, as reachable from the current directory
    std::string folder;      // the folder the image lies in (groups bench tables)
    int x = 0, y = 0, w = 0, h = 0;
    std::string plate;
};

// Parses one label line (a trailing CR is ignored). Returns false with a
// reason in *error for a malformed line; a blank line or a comment (first
// non-blank character '#') gives false with an empty error.
bool parse_label_line(const std::string& line, LabelledImage* out, std::string* error);

// Reads a label file: every good line, with its image path resolved
// against the label file's folder. Malformed lines are reported in
// `problems` as "FILE:LINE: reason"; a file whose first line that is not
// blank or a comment is malformed is not a label file: that one line is
// reported and the rest of the file is not read.
std::vector<LabelledImage> read_label_file(const std::string& path, std::vector<std::string>& problems);

// Label files and folders (every *.txt in a folder, in name order, is read
// as a label file) into one list, in argument order. Missing arguments and
// bad lines are reported in `problems`.
std::vector<LabelledImage> collect_labels(const std::vector<std::string>& args, std::vector<std::string>& problems);

// A note when the labelled box does not lie inside an image of width x
// height pixels (a label meant for another picture or size), else "".
std::string box_outside_note(const LabelledImage& label, int width, int height);

// The plate text without blanks, upper-cased (ASCII letters).
std::string normalise_plate(const std::string& plate);

}  // namespace platix
