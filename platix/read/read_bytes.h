// Reading one image held in memory (an upload, a queued job) the way
// `platix read` reads a file, without temporary files: JPEG, PNG, TIFF and
// netpbm bytes are decoded here and handed to the library as a gray page. An addition
// of the service and the queue worker.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine_session.h"
#include "image_analysis.h"
#include "service_options.h"

namespace platix {

struct BytesReading {
    enum class Fault {
        none,         // read: `result` holds the fields
        not_image,    // not an image of a format read from memory
        damaged,      // an image that breaks its format's rules, or ends early
        too_large,    // more pixels than allowed
        failed,       // could not be read for another reason (out of memory)
    } fault = Fault::failed;
    std::string error;  // for a fault: a short sentence
    ImageResult result;
};

// Reads `bytes` with `request` (no annotation). Refuses pictures of more
// than `max_pixels` pixels from their header, before decoding.
BytesReading read_image_bytes(const std::vector<std::uint8_t>& bytes, const AnalysisRequest& request,
                              std::int64_t max_pixels);

// The JSON object `platix read --format json` writes for `r`, without the
// "file" member, on one line without a newline.
std::string image_json_object(const ImageResult& r, AnalysisKind analysis, bool with_syntax);

class NetModel;

// One process's reading setup: the knowledge bases loaded and checked (or
// the learned reader's model, which then reads the fields instead), and
// the request every image is read with unless told otherwise.
class ReadingEngine {
public:
    explicit ReadingEngine(const ReadingSetup& setup);
    ~ReadingEngine();
    // Why the bases could not be loaded or used ("" when ready).
    const std::string& error() const { return error_; }
    const AnalysisRequest& request() const { return request_; }
    const std::vector<KbArg>& kbs() const { return kbs_; }

private:
    std::vector<KbArg> kbs_;
    std::unique_ptr<NetModel> model_;
    std::unique_ptr<EngineSession> session_;
    AnalysisRequest request_;
    std::string error_;
};

}  // namespace platix
