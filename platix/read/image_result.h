// What reading one image produced: the page description, the fields with
// their text and boxes, and (for training) copies of the field bitmaps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platix {

// A rectangle with inclusive edges.
struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const Box&) const = default;
};

struct CharResult {
    std::string c;     // the character as read (one byte, or two for a ligature class)
    std::string raw;   // its class in the raw answer, "" for a blank or unread one
    int bitmap_box[4] = {0, 0, 0, 0};  // in the field bitmap, right and bottom exclusive
    Box page_box;      // in page pixels
    Box file_box;      // in the file's own pixels
    int confidence_ppm = -1;  // learned reader: the character's confidence in millionths; -1 box reader
};

// A text the learned reader also found for a field, with its confidence in
// millionths.
struct NetCandidate {
    std::string text;
    int confidence_ppm = 0;
};

struct FieldResult {
    Box page_box;
    Box file_box;
    std::string text;
    std::string raw;
    std::vector<CharResult> chars;
    std::string syntax;  // the plate syntax the text was read with ("LLDDDLL"), "" for none
    // The learned reader ("net") or the box-net engine ("box", or "" when
    // the field was not read); the learned reader's plate confidence in
    // millionths and its candidates, best first.
    std::string reader;
    int confidence_ppm = -1;
    std::vector<NetCandidate> candidates;
    // The field bitmap, kept only when asked for (training).
    int columns = 0, lines = 0, bpl = 0;
    std::vector<std::uint8_t> bitmap;
};

enum class ImageStatus { ok, failed, skipped };

struct ImageResult {
    std::string path;
    ImageStatus status = ImageStatus::failed;
    std::string error;
    int width = 0, height = 0;     // the file's own size
    int maxcol = 0, maxlin = 0;    // the page analysed
    int xscale = 1, yscale = 1;
    long ms = 0;
    std::vector<FieldResult> fields;
};

}  // namespace platix
