#include "analyzer_b/formations.h"

#include "common/block.h"
#include "common/namecache.h"

namespace mt3 {

namespace {

constexpr long kFormationNames = 0x3D0000;
constexpr int kFormationNameLength = 10;
constexpr long kFormationRecords = 0x3E68CB;
constexpr size_t kFormationRecordSize = 11;
constexpr int kFlagBytes = 5;  // member P's flag byte follows the five bound bytes

}  // namespace

const char* formation_name(int index) {
    static NameCache names(kFormationNames, kFormationCount, kFormationNameLength, kGameBCharTables);
    return names.get(index);
}

// The bound bytes are cumulative: a member's selection rate is its bound minus
// the bound before it.
FormationEntry* load_formations() {
    RomTable records(kFormationRecords, kFormationRecordSize, kFormationCount);
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
