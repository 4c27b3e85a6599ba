// Reading and writing knowledge-base files, and the kind of characters a
// file holds.
#include "kb/kb_file.h"

#include <cstdio>

#include "charclass/cp1252_classes.h"
#include "zero_alloc.h"

namespace gn {
namespace {

bool in_range(std::int16_t v) { return v >= -16 && v <= 16; }

bool read_node(ByteReader& r, Node* n) {
    for (int m = 0; m < kFeatures; ++m) {
        if (!r.i16(&n->lo[m]) || !r.i16(&n->hi[m])) return false;
        if (!in_range(n->lo[m]) || !in_range(n->hi[m])) return false;
    }
    for (int m = 0; m < kFeatures; ++m)
        if (!r.i16(&n->centre[m]) || !in_range(n->centre[m])) return false;
    return true;
}

}  // namespace

KbLoad parse_kb_image(const std::uint8_t* data, std::size_t size, Net** head, int* count) {
    *head = nullptr;
    *count = 0;
    if (size == 0) return KbLoad::empty;
    ByteReader r{data, size};
    std::int32_t nets = 0;
    if (!r.i32(&nets) || nets < 0) return KbLoad::malformed;
    if (nets == 0) return r.left == 0 ? KbLoad::empty : KbLoad::malformed;
    if (static_cast<std::size_t>(nets) > r.left / kNetHeaderBytes) return KbLoad::malformed;
    Net* list = nullptr;
    KbLoad result = KbLoad::loaded;
    for (std::int32_t i = 0; i < nets; ++i) {
        std::int32_t nodes = 0;
        std::uint8_t c1 = 0, c2 = 0, shape = 0;
        if (!r.i32(&nodes) || !r.u8(&c1) || !r.u8(&c2) || !r.u8(&shape) || nodes < 0 ||
            static_cast<std::size_t>(nodes) > r.left / kNodeBytes) {
            result = KbLoad::malformed;
            break;
        }
        Net* net = net_new(c1, c2, shape);
        Node* block = nodes > 0 ? static_cast<Node*>(orvo::zero_alloc_array(
                                      static_cast<std::size_t>(nodes), sizeof(Node)))
                                : nullptr;
        if (net == nullptr || (nodes > 0 && block == nullptr)) {
            net_free(net);
            orvo::zero_free(block);
            result = KbLoad::no_memory;
            break;
        }
        net->nodes = block;
        net->node_count = nodes;
        net->next = list;
        list = net;
        bool ok = true;
        for (std::int32_t k = 0; k < nodes && ok; ++k) ok = read_node(r, &block[k]);
        if (!ok) {
            result = KbLoad::malformed;
            break;
        }
    }
    if (result == KbLoad::loaded && r.left != 0) result = KbLoad::malformed;
    if (result != KbLoad::loaded) {
        nets_free(list);
        return result;
    }
    *head = list;
    *count = nets;
    return KbLoad::loaded;
}

KbLoad load_kb_file(const char* path, Net** head, int* count) {
    *head = nullptr;
    *count = 0;
    std::uint8_t* data = nullptr;
    std::size_t size = 0;
    const int rc = read_whole_file(path, &data, &size);
    if (rc < 0) return KbLoad::no_memory;
    if (rc == 0) return KbLoad::missing;
    const KbLoad result = parse_kb_image(data, size, head, count);
    orvo::zero_free(data);
    return result;
}

bool build_kb_image(const Net* head, ByteBuffer* out) {
    std::size_t bytes = 4;
    int count = 0;
    for (const Net* n = head; n != nullptr; n = n->next) {
        bytes += kNetHeaderBytes + static_cast<std::size_t>(n->node_count) * kNodeBytes;
        ++count;
    }
    if (!out->reserve(bytes)) return false;
    // Oldest first: the list is newest first, so walk it from its end.
    const Net** order =
        static_cast<const Net**>(orvo::zero_alloc_array(count > 0 ? count : 1, sizeof(Net*)));
    if (order == nullptr) return false;
    int i = count;
    for (const Net* n = head; n != nullptr; n = n->next) order[--i] = n;
    bool ok = out->put_i32(count);
    for (int k = 0; k < count && ok; ++k) {
        const Net* n = order[k];
        ok = out->put_i32(n->node_count) && out->put_u8(n->c1) && out->put_u8(n->c2) &&
             out->put_u8(n->shape);
        for (int j = 0; j < n->node_count && ok; ++j) {
            const Node& node = n->nodes[j];
            for (int m = 0; m < kFeatures && ok; ++m)
                ok = out->put_i16(node.lo[m]) && out->put_i16(node.hi[m]);
            for (int m = 0; m < kFeatures && ok; ++m) ok = out->put_i16(node.centre[m]);
        }
    }
    orvo::zero_free(order);
    return ok;
}

int kb_type_of_file(const char* path) {
    if (path == nullptr) return 0;
    std::FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return 0;
    auto read_i32 = [f](std::int32_t* v) {
        unsigned char b[4];
        if (std::fread(b, 1, 4, f) != 4) return false;
        *v = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) |
                                       (static_cast<std::uint32_t>(b[1]) << 8) |
                                       (static_cast<std::uint32_t>(b[2]) << 16) |
                                       (static_cast<std::uint32_t>(b[3]) << 24));
        return true;
    };
    std::int32_t nets = 0;
    if (!read_i32(&nets) || nets < 0) nets = 0;
    bool letters = false, digits = false, mixed = false;
    for (std::int32_t i = 0; i < nets && !mixed; ++i) {
        std::int32_t nodes = 0;
        unsigned char h[3];
        if (!read_i32(&nodes) || std::fread(h, 1, 3, f) != 3 || nodes < 0) {
            mixed = true;  // unreadable
            break;
        }
        const unsigned char c1 = h[0], c2 = h[1];
        if (cp1252::is_alpha(c1)) {
            if (digits || cp1252::is_digit(c2)) mixed = true;
            else letters = true;
        } else if (cp1252::is_digit(c1)) {
            if (letters || cp1252::is_alpha(c2)) mixed = true;
            else digits = true;
        } else if (cp1252::is_alpha(c2)) {
            if (digits) mixed = true;
            else letters = true;
        } else if (cp1252::is_digit(c2)) {
            if (letters) mixed = true;
            else digits = true;
        }
        if (!mixed && std::fseek(f, static_cast<long>(nodes) * kNodeBytes, SEEK_CUR) != 0)
            mixed = true;
    }
    std::fclose(f);
    if (mixed) return 0;
    if (letters) return 2;
    if (digits) return 1;
    return 0;
}

}  // namespace gn
