#include "analyzer_a/body.h"

#include "common/bytes.h"
#include "common/labels.h"

namespace mt2 {

BodyFlags decode_body_flags(int byte0) { return {bit(byte0, 4), bit(byte0, 5), bit(byte0, 6), bit(byte0, 7)}; }

void print_body_flags(FILE* stream, const BodyFlags& flags) {
    const int32_t marks[4] = {flags.female, flags.undead, flags.boss, flags.flying};
    print_mark_cells(stream, marks, 4);
    fputs("  ", stream);
}

}  // namespace mt2
