#include "games/b/encounters.h"

#include "common/records.h"
#include "common/report.h"
#include "games/b/layout.h"
#include "games/b/monsters.h"
#include "games/b/run.h"

namespace mt3 {

namespace {

constexpr int kTypeCount = layout::kEncounterTypes.count;

const char* const kGroupWords[kEncounterGroups] = {
    "骸骨", "悪魔", "獣", "魚", "獣人", "植物", "水棲", "精霊",
    "ゾンビ", "両棲", "蛇", "無機", "昆虫", "鳥", "亡霊", "妖精",
};

// Decodes one group; a type number outside the type table ends the group, and
// the rows after it name no monster.
void decode_group(EncounterRow* rows, const unsigned char* group, const common::RomTable& types) {
    namespace e = layout::encounter;
    int r = 0;
    for (; r < kEncounterRows; ++r) {
        const unsigned char* row = group + layout::kMainEncounterRows.record(r);
        if (e::kType.get(row) >= kTypeCount) break;
        const unsigned char* type = types.record(e::kType.get(row));
        rows[r] = {e::kMonster.get(row), e::kMaxCount.get(type), e::kSize1.get(type), e::kSize2.get(type)};
    }
    for (; r < kEncounterRows; ++r) rows[r] = {-1, 0, 0, 0};
}

// Blocks of rows separated by empty lines, each of the next rows records:
// head(stream, block), then row(stream, index, record) for each of its
// records.
template <typename Record, typename Head, typename Row>
void write_blocks(common::ReportText& fp, const std::vector<Record>& records, int rows, Head&& head, Row&& row) {
    common::BlockSeparator separator;
    for (size_t first = 0, b = 0; first < records.size(); first += static_cast<size_t>(rows), ++b) {
        separator.next(fp);
        head(fp, static_cast<int>(b));
        for (int i = 0; i < rows; ++i) row(fp, i, records[first + static_cast<size_t>(i)]);
    }
}

// The title and header lines of a main encounter group and of a sub
// encounter type.
void print_group_head(common::ReportText& f, int g) {
    f.format("[No.%02d(%02X): %s]\n", g, g, encounter_group_name(g));
    f.str("No. モンスター          Lv. 最大数 最大サイズ\n");
}
void print_type_head(common::ReportText& f, int t) {
    f.format("[No.%02d(%02X): タイプ%02d]\n", t, t, t);
    f.str("No. モンスター          Lv.\n");
}

}  // namespace

const char* encounter_group_name(int group) {
    return group >= 0 && group < kEncounterGroups ? kGroupWords[group] : "";
}

common::Result<std::vector<EncounterRow>> load_encounters_main(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kEncounterTypes, layout::kMainEncounters});
    if (!read) return read.error();
    const auto& [types, groups] = *read;
    std::vector<EncounterRow> rows(kEncounterGroups * kEncounterRows);
    for (int g = 0; g < kEncounterGroups; ++g) decode_group(rows.data() + g * kEncounterRows, groups.record(g), types);
    return rows;
}

common::Result<std::vector<SubEncounter>> load_encounters_sub(const common::RomImage& image) {
    const auto read = common::read_tables(image, {layout::kSubEncounters});
    if (!read) return read.error();
    const auto& [table] = *read;
    std::vector<SubEncounter> entries(kSubTypes * kSubEntries);
    for (int t = 0; t < kSubTypes; ++t) {
        for (int e = 0; e < kSubEntries; ++e) {
            const unsigned char* entry = table.record(t) + layout::kSubEncounterEntries.record(e);
            entries[t * kSubEntries + e] = {layout::encounter::kSubMonster.get(entry),
                                            layout::encounter::kSubLevel.get(entry)};
        }
    }
    return entries;
}

void write_monencmain(common::ReportText& out, const Run& run) {
    write_blocks(out, run.encounters_main, kEncounterRows, print_group_head,
                 [&](common::ReportText& f, int r, const EncounterRow& row) {
                     // "%2d: %-16s :  %3d, %5d,    %2d×%2d\n"
                     f.dec(r, 2)
                         .str(": ")
                         .left(monster_name(run.names, row.monster), 16)
                         .str(" :  ")
                         .dec(kLevelBand * r, 3)
                         .str(", ")
                         .dec(row.max_count, 5)
                         .str(",    ")
                         .dec(row.size1, 2)
                         .str("×")
                         .dec(row.size2, 2)
                         .ch('\n');
                 });
}

void write_monencsub(common::ReportText& out, const Run& run) {
    write_blocks(out, run.encounters_sub, kSubEntries, print_type_head,
                 [&](common::ReportText& f, int e, const SubEncounter& entry) {
                     // "%2d: %-16s :  %3d\n"
                     f.dec(e, 2).str(": ").left(monster_name(run.names, entry.monster), 16).str(" :  ").dec(entry.level, 3).ch('\n');
                 });
}

}  // namespace mt3
