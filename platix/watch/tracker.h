// Grouping the plates read in successive frames of one video source into
// passages: one per plate that passes. A read joins the open passage whose
// last box it overlaps or lies near (the plate moved little between
// neighbouring analysed frames) and whose text is within a few edits, or
// any open passage with exactly its text; a passage closes when its plate
// has not been read for `gap_s` seconds of stream time. A read that joins
// no passage but repeats the text or overlaps the box of a read placed in
// the same frame is a second field on that plate, and is dropped. The passage's text
// is a vote over its reads, character by character, each read weighing
// its confidence (1 when the reader gives none).
//
// Pure logic on value types: no video, no engine.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "bench_score.h"  // edit_distance
#include "image_result.h"

namespace platix::watch {

// A vote candidate: a text read, and the share of the passage's weight
// that read it.
struct Candidate {
    std::string text;
    double share = 0;
};

// One plate read in one analysed frame.
struct PlateRead {
    double t = 0;          // stream time, seconds
    double wall = 0;       // wall-clock time, seconds since the epoch
    long frame = 0;        // frame number in the source, from 0
    std::string text;      // as read (blanks included)
    double confidence = -1;  // in [0, 1]; negative: the reader gives none
    Box box;               // in frame pixels, inclusive
    // The reader's candidates when it gives them (the learned reader):
    // each text with the reader's confidence in `share`.
    std::vector<Candidate> alternatives;
};

struct Passage {
    long id = 0;              // 1, 2, ... in order of first sight
    std::string text;         // the vote
    double confidence = -1;   // mean confidence of the reads that agree with the vote; -1: none given
    // Distinct texts read, and the reader's other candidates, largest share
    // first: a read adds its weight to its text and each other candidate's
    // confidence to that candidate's text.
    std::vector<Candidate> candidates;
    double first_t = 0, last_t = 0;
    double first_wall = 0, last_wall = 0;
    long reads = 0;           // every read joined, kept or not
    PlateRead best;           // the read that best shows the voted text
};

struct TrackerSettings {
    double gap_s = 2.0;      // unseen this long: the passage closes
    int max_edits = 2;       // text distance within which reads may join
    std::size_t min_chars = 3;  // shorter reads (stray marks) are ignored
    // Boxes whose centres lie within this many box widths are neighbours.
    double reach_widths = 1.5;
    // Reads kept per passage for the vote; later ones are counted and may
    // still become the best, so that memory stays bounded on a parked car.
    std::size_t kept_reads = 200;
};

// Intersection over union of two inclusive boxes, 0 when apart.
double overlap(const Box& a, const Box& b);

// The text with the largest total weight per position among reads of the
// most weighty length (blanks count as characters); an unread character
// ('^') gives its place to any character read there. Empty for no reads.
std::string vote(const std::vector<PlateRead>& reads);

class Tracker {
public:
    explicit Tracker(TrackerSettings settings = {});

    // Adds the reads of one analysed frame at stream time `t` (all reads
    // carry that t). First closes the passages unseen for longer than the
    // gap at `t` and returns them, oldest first.
    std::vector<Passage> add_frame(double t, const std::vector<PlateRead>& reads);

    // Closes every open passage (end of stream, signal) and returns them.
    std::vector<Passage> flush();

    std::size_t open_count() const { return open_.size(); }

    // The frame numbers of the reads each open passage would now give as
    // its best (callers keep those frames, and only those, for pictures).
    std::vector<long> best_frames() const;

private:
    struct Open {
        long id = 0;
        std::vector<PlateRead> kept;
        PlateRead first, last;
        long reads = 0;
        std::vector<PlateRead> best_pool;  // per distinct text (a bounded number), its best read
    };
    bool near(const Box& a, const Box& b) const;
    // Edits (blanks left out) from `text` to the nearest text the passage read.
    int distance(const Open& p, const std::string& text) const;
    bool joins(const Open& p, const PlateRead& r) const;
    void join(Open& p, const PlateRead& r);
    Passage close(const Open& p) const;

    TrackerSettings settings_;
    std::vector<Open> open_;
    long next_id_ = 1;
};

}  // namespace platix::watch
