#include "analyzer_a/formations.h"

#include "analyzer_a/layout.h"
#include "common/block.h"
#include "common/chartables.h"
#include "common/namecache.h"

namespace mt2 {

namespace {

// A formation record holds five 3-byte member entries and one unused byte.
constexpr int kEntrySize = 3;

}  // namespace

const char* formation_name(int index) {
    static NameCache names(layout::kFormationNames, kGameACharTables);
    return names.get(index);
}

FormationEntry* load_formations() {
    const RomTable records(layout::kFormationRecords);
    FormationEntry* formations = alloc_block<FormationEntry>(kFormationCount * kFormationMembers);
    for (int n = 0; n < kFormationCount; ++n) {
        for (int p = 0; p < kFormationMembers; ++p) {
            const unsigned char* e = records.record(n) + kEntrySize * p;
            formations[n * kFormationMembers + p] = decode_formation_flags(e[1] - e[0] + 1, e[2]);
        }
    }
    return formations;
}

int write_formdata(const char* path, const FormationEntry* formations) {
    return write_formation_report(path, formations, kFormationCount, formation_name, true);
}

}  // namespace mt2
