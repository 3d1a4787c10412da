#include <algorithm>

#include "common/image_id.h"
#include "demo/demo.h"

namespace {

// A BPS number: seven bits a byte, the last byte marked by its high bit.
void put_number(DemoBytes& out, uint64_t n) {
    for (;; --n) {
        const uint8_t low = n & 0x7F;
        n >>= 7;
        if (n == 0) {
            out.push_back(low | 0x80);
            return;
        }
        out.push_back(low);
    }
}

void put_crc(DemoBytes& out, uint32_t crc) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
}

uint32_t crc_of(const DemoBytes& bytes) { return crc32_of(bytes.data(), bytes.size()); }

}  // namespace

DemoBytes demo_bps_patch(const DemoBytes& from, const DemoBytes& to) {
    DemoBytes out = {'B', 'P', 'S', '1'};
    put_number(out, from.size());
    put_number(out, to.size());
    put_number(out, 0);  // no metadata
    for (size_t pos = 0; pos < to.size();) {
        const bool same = pos < from.size() && from[pos] == to[pos];
        size_t end = pos + 1;
        while (end < to.size() && (end < from.size() && from[end] == to[end]) == same) ++end;
        put_number(out, (end - pos - 1) << 2 | (same ? 0 : 1));  // source read, or target read
        if (!same) out.insert(out.end(), to.begin() + static_cast<long>(pos), to.begin() + static_cast<long>(end));
        pos = end;
    }
    put_crc(out, crc_of(from));
    put_crc(out, crc_of(to));
    put_crc(out, crc_of(out));
    return out;
}
