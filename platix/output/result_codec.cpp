// A plain length-prefixed encoding of image results.
#include "result_codec.h"

#include <cstring>
#include <string>

namespace platix {

namespace {

class Writer {
public:
    void i32(std::int64_t v) {
        const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(v));
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(u >> (8 * k)));
    }
    void str(const std::string& s) {
        i32(static_cast<std::int64_t>(s.size()));
        out.insert(out.end(), s.begin(), s.end());
    }
    void bytes(const std::vector<std::uint8_t>& b) {
        i32(static_cast<std::int64_t>(b.size()));
        out.insert(out.end(), b.begin(), b.end());
    }
    void box(const Box& b) {
        i32(b.left);
        i32(b.top);
        i32(b.right);
        i32(b.bottom);
    }
    std::vector<std::uint8_t> out;
};

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}
    bool i32(int* v) {
        if (b_.size() - pos_ < 4) return false;
        std::uint32_t u = 0;
        for (int k = 0; k < 4; ++k) u |= std::uint32_t(b_[pos_ + k]) << (8 * k);
        pos_ += 4;
        *v = static_cast<std::int32_t>(u);
        return true;
    }
    bool count(std::size_t* n) {
        int v = 0;
        if (!i32(&v) || v < 0 || static_cast<std::size_t>(v) > b_.size() - pos_) return false;
        *n = static_cast<std::size_t>(v);
        return true;
    }
    bool str(std::string* s) {
        std::size_t n = 0;
        if (!count(&n)) return false;
        s->assign(reinterpret_cast<const char*>(b_.data() + pos_), n);
        pos_ += n;
        return true;
    }
    bool bytes(std::vector<std::uint8_t>* v) {
        std::size_t n = 0;
        if (!count(&n)) return false;
        v->assign(b_.begin() + static_cast<long>(pos_), b_.begin() + static_cast<long>(pos_ + n));
        pos_ += n;
        return true;
    }
    bool box(Box* b) { return i32(&b->left) && i32(&b->top) && i32(&b->right) && i32(&b->bottom); }
    bool done() const { return pos_ == b_.size(); }

private:
    const std::vector<std::uint8_t>& b_;
    std::size_t pos_ = 0;
};

}  // namespace

std::vector<std::uint8_t> encode_result(const ImageResult& r) {
    Writer w;
    w.str(r.path);
    w.i32(static_cast<int>(r.status));
    w.str(r.error);
    w.i32(r.width);
    w.i32(r.height);
    w.i32(r.maxcol);
    w.i32(r.maxlin);
    w.i32(r.xscale);
    w.i32(r.yscale);
    w.i32(r.ms);
    w.i32(static_cast<std::int64_t>(r.fields.size()));
    for (const auto& f : r.fields) {
        w.box(f.page_box);
        w.box(f.file_box);
        w.str(f.text);
        w.str(f.raw);
        w.str(f.syntax);
        w.str(f.reader);
        w.i32(f.confidence_ppm);
        w.i32(static_cast<std::int64_t>(f.candidates.size()));
        for (const auto& c : f.candidates) {
            w.str(c.text);
            w.i32(c.confidence_ppm);
        }
        w.i32(f.columns);
        w.i32(f.lines);
        w.i32(f.bpl);
        w.bytes(f.bitmap);
        w.i32(static_cast<std::int64_t>(f.chars.size()));
        for (const auto& c : f.chars) {
            w.str(c.c);
            w.str(c.raw);
            for (int k = 0; k < 4; ++k) w.i32(c.bitmap_box[k]);
            w.box(c.page_box);
            w.box(c.file_box);
            w.i32(c.confidence_ppm);
        }
    }
    return w.out;
}

bool decode_result(const std::vector<std::uint8_t>& bytes, ImageResult* out) {
    Reader rd(bytes);
    ImageResult r;
    int status = 0, ms = 0;
    std::size_t nfields = 0;
    if (!rd.str(&r.path) || !rd.i32(&status) || !rd.str(&r.error) || !rd.i32(&r.width) || !rd.i32(&r.height) ||
        !rd.i32(&r.maxcol) || !rd.i32(&r.maxlin) || !rd.i32(&r.xscale) || !rd.i32(&r.yscale) || !rd.i32(&ms) ||
        !rd.count(&nfields))
        return false;
    if (status < 0 || status > 2) return false;
    r.status = static_cast<ImageStatus>(status);
    r.ms = ms;
    for (std::size_t i = 0; i < nfields; ++i) {
        FieldResult f;
        std::size_t nchars = 0, ncandidates = 0;
        if (!rd.box(&f.page_box) || !rd.box(&f.file_box) || !rd.str(&f.text) || !rd.str(&f.raw) ||
            !rd.str(&f.syntax) || !rd.str(&f.reader) || !rd.i32(&f.confidence_ppm) || !rd.count(&ncandidates))
            return false;
        for (std::size_t k = 0; k < ncandidates; ++k) {
            NetCandidate c;
            if (!rd.str(&c.text) || !rd.i32(&c.confidence_ppm)) return false;
            f.candidates.push_back(std::move(c));
        }
        if (!rd.i32(&f.columns) || !rd.i32(&f.lines) || !rd.i32(&f.bpl) || !rd.bytes(&f.bitmap) || !rd.count(&nchars))
            return false;
        for (std::size_t k = 0; k < nchars; ++k) {
            CharResult c;
            if (!rd.str(&c.c) || !rd.str(&c.raw)) return false;
            for (int j = 0; j < 4; ++j)
                if (!rd.i32(&c.bitmap_box[j])) return false;
            if (!rd.box(&c.page_box) || !rd.box(&c.file_box) || !rd.i32(&c.confidence_ppm)) return false;
            f.chars.push_back(std::move(c));
        }
        r.fields.push_back(std::move(f));
    }
    if (!rd.done()) return false;
    *out = std::move(r);
    return true;
}

}  // namespace platix
