#include "games/a/body.h"

#include "common/labels.h"
#include "games/a/layout.h"

namespace mt2 {

BodyFlags decode_body_flags(const unsigned char* record) {
    namespace f = layout::body;
    return {f::kFlying.get(record), f::kBoss.get(record), f::kUndead.get(record), f::kFemale.get(record)};
}

void print_body_flags(common::ReportText& stream, const BodyFlags& flags) {
    const int32_t marks[4] = {flags.female, flags.undead, flags.boss, flags.flying};
    common::print_mark_cells(stream, marks, 4);
    stream.str("  ");
}

}  // namespace mt2
