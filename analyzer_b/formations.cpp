#include "analyzer_b/formations.h"

#include "analyzer_b/layout.h"
#include "common/block.h"
#include "common/namecache.h"

namespace mt3 {

namespace {

constexpr int kFlagBytes = 5;  // member P's flag byte follows the five bound bytes

}  // namespace

const char* formation_name(int index) {
    static NameCache names(layout::kFormationNames, kGameBCharTables);
    return names.get(index);
}

// The bound bytes are cumulative: a member's selection rate is its bound minus
// the bound before it.
FormationEntry* load_formations() {
    RomTable records(layout::kFormationRecords);
    FormationEntry* formations = alloc_block<FormationEntry>(kFormationCount * kFormationMembers);
    for (int n = 0; n < kFormationCount; ++n) {
        const unsigned char* r = records.record(n);
        for (int p = 0; p < kFormationMembers; ++p) {
            const int rate = p ? r[p] - r[p - 1] : r[0];
            formations[n * kFormationMembers + p] = decode_formation_flags(rate, r[kFlagBytes + p]);
        }
    }
    return formations;
}

int write_formdata(const char* path, const FormationEntry* formations) {
    return write_formation_report(path, formations, kFormationCount, formation_name, false);
}

}  // namespace mt3
