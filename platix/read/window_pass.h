// A second look for plates that the whole-page analysis passed over. The
// analysis stops at the first of its passes that finds any field, so on a
// page with other lettering (a sign, a sticker, a second car, a bumper
// slogan) the plate can stay unfound. The same analysis run on windows of
// the page, each held as a page of its own (and so enlarged when small, as
// any small page is), meets the plate without the lettering that stopped it.
// An addition beyond the documented system, used with the learned reader.
#pragma once

#include <vector>

#include "image_analysis.h"

namespace platix {

// The windows of a width x height page: half its width by half its height,
// on a 3 x 3 grid at steps of a quarter (inclusive boxes). None for pages
// whose half is under kMinWindowSide pixels on a side.
constexpr int kMinWindowSide = 64;
std::vector<Box> page_windows(int width, int height);

// A box on a window's page (inclusive; the window page's factors as XSCALE
// and YSCALE give them) on the page the window was cut from: the window
// page's box in the window's own pixels (page_to_file), moved to the
// window's corner.
Box window_to_page(const Box& b, const Box& window, int xscale, int yscale);

// A reading that looks like a plate: with a region, its text fits one of
// the region's syntaxes; without one, it is read with a confidence of at
// least kPlateLikePpm millionths.
constexpr int kPlateLikePpm = 500000;
bool plate_like(const FieldResult& f, bool with_region);

// True when no field of `r` surely reads as a plate (looks like one and,
// with a region too, is read with a confidence of at least kPlateLikePpm):
// the windows are looked at. A stray field whose doubtful reading happens
// to fit a syntax does not keep them from the plate. On 5-fold
// cross-validations of labelled photographs this read US plates 36.9% ->
// 44.1% exactly, European and Brazilian ones within a plate of before, at
// the windows' cost on more photographs (about twice the processor time
// of a photograph on average).
bool wants_windows(const ImageResult& r, bool with_region);

// A field a window found (its boxes on the page) into `fields`: when it
// looks like a plate it joins them at a place no field covers (neither
// box holds the other's centre), or replaces the field at its place when
// that one does not look like a plate or is read less confidently (within
// the windows pass, only other windows' readings can look like a plate).
void merge_window_field(std::vector<FieldResult>& fields, FieldResult f, bool with_region);

// When no field of r.fields looks like a plate, runs the analysis of
// `request` on every window of the held page and reads the fields found
// there with request.model, merging them into r.fields (above). Leaves the held page as it was and the
// analysis results cleared. Returns false when memory ran out (r.fields
// then holds what was found so far).
bool read_windows_net(ImageResult& r, const AnalysisRequest& request);

}  // namespace platix
