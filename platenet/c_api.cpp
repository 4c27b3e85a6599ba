// The C interface: converts and forwards to Reader; nothing is thrown
// across it.
#include <cstring>
#include <new>

#include "platenet.h"
#include "reader.h"

struct pnet_model {
    std::unique_ptr<platenet::Reader> reader;
};

namespace {

int code(platenet::Status s) { return static_cast<int>(s); }

pnet_model* finish(platenet::Status s, std::unique_ptr<platenet::Reader> r, int* status) {
    if (s != platenet::Status::ok) {
        if (status) *status = code(s);
        return nullptr;
    }
    auto* m = new pnet_model{std::move(r)};
    if (status) *status = PNET_OK;
    return m;
}

}  // namespace

extern "C" {

PNET_API pnet_model* PNET_load_model(const char* path, int* status) {
    try {
        if (path == nullptr) {
            if (status) *status = PNET_BAD_ARGUMENT;
            return nullptr;
        }
        std::unique_ptr<platenet::Reader> r;
        const auto s = platenet::Reader::load_file(path, &r);
        return finish(s, std::move(r), status);
    } catch (const std::bad_alloc&) {
        if (status) *status = PNET_NO_MEMORY;
    } catch (...) {
        if (status) *status = PNET_INTERNAL;
    }
    return nullptr;
}

PNET_API pnet_model* PNET_load_model_bytes(const unsigned char* bytes, size_t size, int* status) {
    try {
        std::unique_ptr<platenet::Reader> r;
        const auto s = platenet::Reader::load(bytes, size, &r);
        return finish(s, std::move(r), status);
    } catch (const std::bad_alloc&) {
        if (status) *status = PNET_NO_MEMORY;
    } catch (...) {
        if (status) *status = PNET_INTERNAL;
    }
    return nullptr;
}

PNET_API void PNET_free_model(pnet_model* model) { delete model; }

PNET_API int PNET_read_region(const pnet_model* model, const unsigned char* page, int width, int height,
                              int stride, int left, int top, int right, int bottom, const char* syntaxes,
                              int topn, pnet_reading* out) {
    if (out == nullptr) return PNET_BAD_ARGUMENT;
    std::memset(out, 0, sizeof *out);
    if (model == nullptr || topn < 1 || topn > PNET_MAX_CANDIDATES) return PNET_BAD_ARGUMENT;
    try {
        std::vector<platenet::Candidate> found;
        const auto s = model->reader->read({page, width, height, stride}, left, top, right, bottom,
                                           syntaxes ? syntaxes : "", topn, &found);
        if (s != platenet::Status::ok) return code(s);
        for (const auto& c : found) {
            if (c.text.size() > PNET_MAX_TEXT) continue;
            auto& o = out->candidates[out->count++];
            std::memcpy(o.text, c.text.data(), c.text.size());
            o.length = static_cast<int>(c.text.size());
            o.confidence = static_cast<float>(c.probability);
            for (std::size_t i = 0; i < c.text.size(); ++i) o.char_confidence[i] = c.char_confidence[i];
            o.fits_syntax = c.fits_syntax ? 1 : 0;
        }
        out->constrained = out->count > 0 && out->candidates[0].fits_syntax ? 1 : 0;
        return PNET_OK;
    } catch (const std::bad_alloc&) {
        std::memset(out, 0, sizeof *out);
        return PNET_NO_MEMORY;
    } catch (...) {
        std::memset(out, 0, sizeof *out);
        return PNET_INTERNAL;
    }
}

PNET_API int PNET_input_height(const pnet_model* m) { return m ? m->reader->arch().input_height : 0; }
PNET_API int PNET_input_width(const pnet_model* m) { return m ? m->reader->arch().input_width : 0; }
PNET_API const char* PNET_charset(const pnet_model* m) { return m ? m->reader->arch().charset.c_str() : nullptr; }

PNET_API const char* PNET_status_text(int status) {
    if (status < 0 || status > PNET_INTERNAL) return "unknown status";
    return platenet::status_text(static_cast<platenet::Status>(status));
}

}  // extern "C"
