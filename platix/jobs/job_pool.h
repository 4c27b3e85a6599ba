// Running the per-image work in several processes. The libraries hold one
// image and one engine per process, so parallel work needs processes, not
// threads. Results come back to the caller in index order, whatever order
// the workers finish in, so the output does not depend on the job count.
#pragma once

#include <cstddef>
#include <functional>

#include "image_result.h"

namespace platix {

using ImageWork = std::function<ImageResult(std::size_t index)>;
using ResultSink = std::function<void(std::size_t index, ImageResult&& result)>;

// Calls work(i) for every i in [0, count) and hands each result to sink in
// increasing i. With jobs > 1, work runs in `jobs` forked processes, each
// given the next image as soon as it is idle, so that uneven images keep
// every process busy; a worker that dies is replaced and the image it was
// on is reported as failed with path `path_of(i)`. With jobs <= 1
// everything runs in this process.
void run_images(std::size_t count, int jobs, const ImageWork& work, const ResultSink& sink,
                const std::function<std::string(std::size_t)>& path_of);

}  // namespace platix
