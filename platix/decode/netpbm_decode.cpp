// Netpbm files in their standard form (any white space and comments in the
// header, plain or raw, bitmap, gray or colour, maxval up to 65535), read
// with libnetpbm. Its errors arrive through a jump buffer; the message it
// would print is kept as the reason.
#include <netpbm/pam.h>

#include <csetjmp>
#include <cstdio>
#include <string>

#include "decode/decoded_page.h"

namespace platix::decode {

namespace {

std::string g_last_error;

void keep_error(const char* msg) { g_last_error = msg != nullptr ? msg : ""; }

int scaled(sample v, sample maxval) { return static_cast<int>((v * 255 + maxval / 2) / maxval); }

// Decodes the netpbm image `f` holds and closes it.
Decoded decode_netpbm_stream(std::FILE* f, bool colour, bool header_only) {
    static bool initialised = false;
    if (!initialised) {
        pm_init("platix", 0);
        initialised = true;
    }
    Decoded d;
    struct pam pam {};
    tuple* volatile row = nullptr;
    jmp_buf jump;
    jmp_buf* saved = nullptr;
    pm_setusererrormsgfn(keep_error);
    pm_setjmpbufsave(&jump, &saved);
    if (setjmp(jump) != 0) {
        if (row != nullptr) pnm_freepamrow(row);
        pm_setjmpbuf(saved);
        pm_setusererrormsgfn(nullptr);
        std::fclose(f);
        return failure(Outcome::damaged, "damaged netpbm file: " + g_last_error);
    }
    pnm_readpaminit(f, &pam, PAM_STRUCT_SIZE(tuple_type));
    if (header_only && pam.maxval >= 1) {
        pm_setjmpbuf(saved);
        pm_setusererrormsgfn(nullptr);
        std::fclose(f);
        d.image.width = pam.width;
        d.image.height = pam.height;
        d.outcome = Outcome::decoded;
        return d;
    }
    if (!size_ok(pam.width, pam.height) || pam.maxval < 1) {
        pm_setjmpbuf(saved);
        pm_setusererrormsgfn(nullptr);
        std::fclose(f);
        return failure(Outcome::unsupported, "netpbm image of " + std::to_string(pam.width) + " x " +
                                                 std::to_string(pam.height) + " pixels is larger than the reader takes");
    }
    d.image.width = pam.width;
    d.image.height = pam.height;
    const int channels = colour ? 3 : 1;
    d.image.channels = channels;
    d.image.pixels.resize(static_cast<std::size_t>(pam.width) * static_cast<std::size_t>(pam.height) * channels);
    row = pnm_allocpamrow(&pam);
    for (int y = 0; y < pam.height; ++y) {
        pnm_readpamrow(&pam, row);
        std::uint8_t* out = &d.image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(pam.width) * channels];
        for (int x = 0; x < pam.width; ++x) {
            const sample* t = row[x];
            const int r = scaled(t[0], pam.maxval);
            const int g = pam.depth >= 3 ? scaled(t[1], pam.maxval) : r;
            const int b = pam.depth >= 3 ? scaled(t[2], pam.maxval) : r;
            if (colour) {
                out[3 * x] = static_cast<std::uint8_t>(r);
                out[3 * x + 1] = static_cast<std::uint8_t>(g);
                out[3 * x + 2] = static_cast<std::uint8_t>(b);
            } else {
                out[x] = static_cast<std::uint8_t>(pam.depth >= 3 ? gray_of(r, g, b) : r);
            }
        }
    }
    pnm_freepamrow(row);
    pm_setjmpbuf(saved);
    pm_setusererrormsgfn(nullptr);
    std::fclose(f);
    d.outcome = Outcome::decoded;
    return d;
}

}  // namespace

Decoded decode_netpbm(const std::string& path, bool colour) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return failure(Outcome::damaged, "cannot open the file");
    return decode_netpbm_stream(f, colour, false);
}

Decoded decode_netpbm_bytes(const std::vector<std::uint8_t>& bytes, bool header_only, bool colour) {
    if (bytes.empty()) return failure(Outcome::damaged, "damaged netpbm file: no data");
    // A read-only stream over the caller's bytes; fmemopen takes a
    // non-const buffer but writes nothing in mode "rb".
    std::FILE* f = ::fmemopen(const_cast<std::uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (f == nullptr) return failure(Outcome::damaged, "out of memory");
    return decode_netpbm_stream(f, colour, header_only);
}

}  // namespace platix::decode
