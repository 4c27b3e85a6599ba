// The record of one passage in the three output shapes of platix watch.
#pragma once

#include <string>

#include "watch/tracker.h"

namespace platix::watch {

// "2026-12-08T02:15:38.250Z" for seconds since the epoch.
std::string utc_text(double wall);

// One JSON object on one line, newline included: source, text,
// confidence (null when the reader gives none), candidates, first and last
// seen (stream seconds and wall time), reads, and the best read's stream
// time, frame number and box in frame pixels.
std::string event_json(const std::string& source, const Passage& p);

// "SOURCE<TAB>FIRST-LAST<TAB>TEXT" with stream seconds, newline included.
std::string event_text(const std::string& source, const Passage& p);

// The CSV header line, and one row per passage.
std::string event_csv_header();
std::string event_csv_row(const std::string& source, const Passage& p);

}  // namespace platix::watch
