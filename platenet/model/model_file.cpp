#include "model/model_file.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace platenet {

namespace {

constexpr char kMagic[8] = {'P', 'L', 'A', 'T', 'E', 'N', 'E', 'T'};

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Reads little-endian words from a span; every read checks what is left.
class Cursor {
public:
    Cursor(const std::uint8_t* p, std::size_t n) : p_(p), n_(n) {}
    bool get32(std::uint32_t* v) {
        if (n_ - pos_ < 4) return false;
        *v = 0;
        for (int i = 0; i < 4; ++i) *v |= static_cast<std::uint32_t>(p_[pos_ + i]) << (8 * i);
        pos_ += 4;
        return true;
    }
    const std::uint8_t* take(std::size_t k) {
        if (n_ - pos_ < k) return nullptr;
        const std::uint8_t* at = p_ + pos_;
        pos_ += k;
        return at;
    }
    std::size_t pos() const { return pos_; }
    std::size_t left() const { return n_ - pos_; }

private:
    const std::uint8_t* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

std::uint32_t crc_of(const std::uint8_t* p, std::size_t n) {
    uLong crc = crc32(0L, Z_NULL, 0);
    while (n > 0) {
        const uInt chunk = n > (1u << 30) ? (1u << 30) : static_cast<uInt>(n);
        crc = crc32(crc, p, chunk);
        p += chunk;
        n -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

bool charset_ok(const std::string& s) {
    if (s.empty() || s.size() > static_cast<std::size_t>(kMaxCharset)) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c <= 0x20 || c >= 0x7F || c == ',') return false;
        if (s.find(s[i]) != i) return false;  // each character once
    }
    return true;
}

}  // namespace

Status check_architecture(const Architecture& a) {
    if (a.input_height < kMinInputHeight || a.input_height > kMaxInputHeight || a.input_height % 8 != 0)
        return Status::bad_header;
    if (a.input_width < kMinInputWidth || a.input_width > kMaxInputWidth || a.input_width % 8 != 0)
        return Status::bad_header;
    if (a.widths.size() != static_cast<std::size_t>(kLayerCount)) return Status::bad_header;
    for (int w : a.widths)
        if (w < 1 || w > kMaxLayerWidth) return Status::bad_header;
    if (!charset_ok(a.charset)) return Status::bad_header;
    return Status::ok;
}

std::uint64_t expected_parameters(const Architecture& a) {
    if (check_architecture(a) != Status::ok) return 0;
    std::uint64_t n = 0;
    std::uint64_t in = 1;
    for (int i = 0; i < 5; ++i) {
        const std::uint64_t out = static_cast<std::uint64_t>(a.widths[static_cast<std::size_t>(i)]);
        n += in * out * 9 + 4 * out;  // convolution without bias; batch norm weight, bias, mean, variance
        in = out;
    }
    const std::uint64_t features = in * static_cast<std::uint64_t>(a.input_height / 8);
    const std::uint64_t hidden = static_cast<std::uint64_t>(a.widths[5]);
    const std::uint64_t classes = a.charset.size() + 1;
    n += features * hidden * 3 + hidden;  // 1-D convolution over the width, kernel 3
    n += hidden * classes + classes;      // per-frame classifier
    return n;
}

std::vector<std::uint8_t> encode_model(const ModelFile& m) {
    std::vector<std::uint8_t> out(kMagic, kMagic + 8);
    put32(out, kFormatVersion);
    const std::uint32_t header_size = static_cast<std::uint32_t>(
        8 + 4 * (4 + 1 + m.arch.widths.size() + 1 + 2) + m.arch.charset.size());
    put32(out, header_size);
    put32(out, static_cast<std::uint32_t>(m.arch.input_height));
    put32(out, static_cast<std::uint32_t>(m.arch.input_width));
    put32(out, static_cast<std::uint32_t>(m.arch.widths.size()));
    for (int w : m.arch.widths) put32(out, static_cast<std::uint32_t>(w));
    put32(out, static_cast<std::uint32_t>(m.arch.charset.size()));
    out.insert(out.end(), m.arch.charset.begin(), m.arch.charset.end());
    put32(out, static_cast<std::uint32_t>(m.parameters.size()));
    std::vector<std::uint8_t> payload;
    payload.reserve(m.parameters.size() * 4);
    for (float f : m.parameters) {
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        put32(payload, bits);
    }
    put32(out, crc_of(payload.data(), payload.size()));
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

Status decode_model(const std::uint8_t* bytes, std::size_t size, ModelFile* out) {
    if (bytes == nullptr && size > 0) return Status::bad_argument;
    Cursor c(bytes, size);
    const std::uint8_t* magic = c.take(8);
    if (magic == nullptr) return size == 0 || std::memcmp(bytes, kMagic, size) != 0 ? Status::foreign
                                                                                      : Status::truncated;
    if (std::memcmp(magic, kMagic, 8) != 0) return Status::foreign;
    std::uint32_t version = 0, header_size = 0, h = 0, w = 0, layers = 0, k = 0;
    if (!c.get32(&version)) return Status::truncated;
    if (version != kFormatVersion) return Status::bad_version;
    if (!c.get32(&header_size) || !c.get32(&h) || !c.get32(&w) || !c.get32(&layers)) return Status::truncated;
    if (layers != static_cast<std::uint32_t>(kLayerCount)) return Status::bad_header;
    Architecture a;
    a.input_height = h > static_cast<std::uint32_t>(kMaxInputHeight) ? 0 : static_cast<int>(h);
    a.input_width = w > static_cast<std::uint32_t>(kMaxInputWidth) ? 0 : static_cast<int>(w);
    a.widths.assign(kLayerCount, 0);
    for (auto& width : a.widths) {
        std::uint32_t v = 0;
        if (!c.get32(&v)) return Status::truncated;
        width = v > static_cast<std::uint32_t>(kMaxLayerWidth) ? 0 : static_cast<int>(v);
    }
    if (!c.get32(&k)) return Status::truncated;
    if (k == 0 || k > static_cast<std::uint32_t>(kMaxCharset)) return Status::bad_header;
    const std::uint8_t* chars = c.take(k);
    if (chars == nullptr) return Status::truncated;
    a.charset.assign(reinterpret_cast<const char*>(chars), k);
    if (check_architecture(a) != Status::ok) return Status::bad_header;
    std::uint32_t count = 0, crc = 0;
    if (!c.get32(&count) || !c.get32(&crc)) return Status::truncated;
    if (header_size != c.pos()) return Status::bad_header;
    if (count > kMaxParameters) return Status::bad_header;
    if (count != expected_parameters(a)) return Status::bad_parameters;
    const std::size_t payload_size = static_cast<std::size_t>(count) * 4;
    if (c.left() < payload_size) return Status::truncated;
    if (c.left() > payload_size) return Status::bad_header;  // trailing bytes: not what was written
    const std::uint8_t* payload = c.take(payload_size);
    if (crc_of(payload, payload_size) != crc) return Status::bad_checksum;
    out->arch = std::move(a);
    out->parameters.resize(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint32_t bits = 0;
        for (int b = 0; b < 4; ++b) bits |= static_cast<std::uint32_t>(payload[4 * i + b]) << (8 * b);
        std::memcpy(&out->parameters[i], &bits, 4);
    }
    return Status::ok;
}

Status load_model_file(const std::string& path, ModelFile* out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Status::cannot_open;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < 0) return Status::cannot_open;
    // A file beyond the largest model is refused before it is read.
    const std::uint64_t cap = 4096 + static_cast<std::uint64_t>(kMaxParameters) * 4;
    if (static_cast<std::uint64_t>(end) > cap) return Status::bad_header;
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end));
    if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), end)) return Status::cannot_open;
    return decode_model(bytes.data(), bytes.size(), out);
}

bool save_model_file(const std::string& path, const ModelFile& m) {
    const auto bytes = encode_model(m);
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace platenet
