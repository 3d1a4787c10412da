// Edits applied to the game-A demo image: each kind of edit changes only its
// field, and each kind of refusal names what is wrong.
#include "games/a/chartables.h"
#include "import/apply.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

#include "common/gametext.h"
#include "common/image_id.h"
#include "common/rom.h"
#include "games/a/fields.h"
#include "games/a/game.h"
#include "games/a/layout.h"
#include "games/b/game.h"
#include "games/b/layout.h"
#include "import/importer.h"

using namespace exporter;
using namespace importer;

namespace {

namespace map = mt2::layout;

// The tables of a demo image, loaded as the importer loads them.
class ApplyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_demo("mt2demo.smc", mt2::kExporter, mt2::import_layout()); }
    static void TearDownTestSuite() { close_demo(); }

    static void open_demo(const char* name, const ExporterInfo& game, const ImportLayout& layout) {
        const std::string path = std::string(MT_DEMO_DIR) + "/" + name;
        std::ifstream in(path, std::ios::binary);
        file_ = new std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
        image_ = new common::RomImage;
        ASSERT_TRUE(image_->open(path.c_str(), game.title, game.table_span));
        kept_ = new std::shared_ptr<const void>;
        tables_ = new std::vector<Table>(std::move(*game.tables(*image_, *kept_)));
        layout_ = &layout;
        prefix_ = game.prefix;
        game_ = &game;
    }
    static void close_demo() {
        delete tables_;
        delete kept_;
        delete image_;
        delete file_;
    }

    // The rows of a table as the image gives them, as an edited file would
    // hold them unchanged.
    static EditedTable unchanged(const std::string& file) {
        for (const Table& t : *tables_) {
            std::vector<std::pair<const Table*, const Table*>> all = {{&t, nullptr}};
            for (const Table& c : t.children) all.push_back({&c, &t});
            for (const auto& [table, parent] : all) {
                if (table->file != file) continue;
                EditedTable e;
                e.file = std::string(prefix_) + "-" + file + ".csv";
                e.table = file;
                for (const FlatColumn& f : flat_columns(*table, parent)) e.columns.push_back(f.key);
                int n = 0;
                for_each_flat_row(*table, parent, [&](const std::vector<Value>& values) {
                    e.add_row(static_cast<uint32_t>(n++ + 2));
                    for (size_t c = 0; c < values.size(); ++c) e.add_cell(c, flat_text(values[c]));
                });
                return e;
            }
        }
        ADD_FAILURE() << file;
        return {};
    }
    // A cell of an edited table, read as text and changed by assignment.
    struct CellRef {
        EditedTable& t;
        size_t row;
        size_t column;
        operator std::string() const { return t.row(row).cells.at(column); }
        bool operator==(const char* text) const { return std::string(*this) == text; }
        CellRef& operator=(const std::string& text) {
            t.set_cell(row, column, text);
            return *this;
        }
        CellRef& operator=(const CellRef& other) { return *this = std::string(other); }
    };
    static CellRef cell(EditedTable& t, int row, const std::string& key) {
        size_t i = 0;
        while (i < t.columns.size() && t.columns[i] != key) ++i;
        if (i == t.columns.size()) ADD_FAILURE() << key;
        return {t, static_cast<size_t>(row), i};
    }

    // Applies the edit to a copy of the ROM proper (or to rom); returns the copy.
    static std::vector<uint8_t> apply(const std::vector<EditedTable>& edits, std::vector<std::string>* refusals,
                                      std::vector<uint8_t> rom = ApplyTest::rom()) {
        apply_edits(edits, *tables_, *layout_, rom.data(), rom.size(), refusals);
        return rom;
    }

    // The cells ("file row key", rows counted from 0) whose values differ
    // between the image's tables and the tables loaded again from rom.
    static std::set<std::string> changes(const std::vector<uint8_t>& rom) {
        std::vector<uint8_t> file(file_->begin(), file_->begin() + image_->image_base());
        file.insert(file.end(), rom.begin(), rom.end());
        common::RomImage again;
        again.open_memory(file.data(), file.size(), game_->title, game_->table_span);
        std::shared_ptr<const void> kept;
        const std::vector<Table> after = std::move(*game_->tables(again, kept));
        std::set<std::string> out;
        for (size_t t = 0; t < after.size(); ++t) {
            std::vector<std::tuple<const Table*, const Table*, const Table*, const Table*>> all = {
                {&(*tables_)[t], nullptr, &after[t], nullptr}};
            for (size_t c = 0; c < after[t].children.size(); ++c) {
                all.push_back({&(*tables_)[t].children[c], &(*tables_)[t], &after[t].children[c], &after[t]});
            }
            for (const auto& [old_table, old_parent, new_table, new_parent] : all) {
                std::vector<std::vector<std::string>> rows[2];
                for (int side = 0; side < 2; ++side) {
                    for_each_flat_row(side ? *new_table : *old_table, side ? new_parent : old_parent,
                                      [&](const std::vector<Value>& values) {
                                          rows[side].emplace_back();
                                          for (const Value& v : values) rows[side].back().push_back(flat_text(v));
                                      });
                }
                const std::vector<FlatColumn> keys = flat_columns(*old_table, old_parent);
                for (size_t r = 0; r < rows[0].size(); ++r) {
                    for (size_t k = 0; k < keys.size(); ++k) {
                        if (rows[0][r][k] != rows[1][r][k]) {
                            out.insert(old_table->file + " " + std::to_string(r) + " " + keys[k].key);
                        }
                    }
                }
            }
        }
        return out;
    }
    static std::vector<uint8_t> rom() { return {file_->begin() + image_->image_base(), file_->end()}; }

    // a, or b where the cell holds a already.
    static std::string other(EditedTable& t, int row, const std::string& key, const char* a, const char* b) {
        return cell(t, row, key) == a ? b : a;
    }

    // One edit of a case: the tables loaded again show exactly the changed
    // cells (and, after a renaming, the names that follow it in "_name"
    // columns elsewhere), and no byte outside first..end - 1 changes.
    struct Case {
        const char* file;
        int row;
        const char* key;
        std::string text;
        std::set<std::string> changed;
        long first;
        long end;
        bool renamed = false;
    };
    static void check(const Case& c) {
        EditedTable t = unchanged(c.file);
        cell(t, c.row, c.key) = c.text;
        std::vector<std::string> refusals;
        const std::vector<uint8_t> after = apply({t}, &refusals), before = rom();
        ASSERT_TRUE(refusals.empty()) << refusals[0];
        std::set<std::string> seen = changes(after);
        for (const std::string& cell : c.changed) EXPECT_EQ(seen.erase(cell), 1u) << c.key << ": " << cell;
        for (const std::string& cell : seen) {
            EXPECT_TRUE(c.renamed && cell.size() > 5 && cell.compare(cell.size() - 5, 5, "_name") == 0)
                << c.key << " also changed " << cell;
        }
        for (size_t i = 0; i < after.size(); ++i) {
            if (static_cast<long>(i) < c.first || static_cast<long>(i) >= c.end) {
                ASSERT_EQ(after[i], before[i]) << c.key << " changed byte " << i;
            }
        }
    }

    static std::vector<uint8_t>* file_;
    static common::RomImage* image_;
    static std::shared_ptr<const void>* kept_;
    static std::vector<Table>* tables_;
    static const ImportLayout* layout_;
    static const char* prefix_;
    static const ExporterInfo* game_;
};

std::vector<uint8_t>* ApplyTest::file_;
common::RomImage* ApplyTest::image_;
std::shared_ptr<const void>* ApplyTest::kept_;
std::vector<Table>* ApplyTest::tables_;
const ImportLayout* ApplyTest::layout_;
const char* ApplyTest::prefix_;
const ExporterInfo* ApplyTest::game_;

class ApplyTestB : public ApplyTest {
protected:
    static void SetUpTestSuite() { open_demo("mt3demo.smc", mt3::kExporter, mt3::import_layout()); }
    static void TearDownTestSuite() { close_demo(); }
};

TEST_F(ApplyTest, UnchangedTablesChangeNothing) {
    std::vector<EditedTable> all;
    for (const char* f : {"monsters", "characters", "special-characters", "items", "techniques", "skill-levels",
                          "overall-skill-levels", "monster-actions", "learning-lists", "learning-entries",
                          "formations", "formation-members"}) {
        all.push_back(unchanged(f));
    }
    std::vector<std::string> refusals;
    EXPECT_EQ(apply(all, &refusals), rom());
    EXPECT_TRUE(refusals.empty()) << refusals[0];
}

// One edit of each kind changes its field and no byte outside its record.
TEST_F(ApplyTest, EachKindOfEditChangesOnlyItsRecord) {
    struct Edit {
        const char* file;
        const char* key;
        std::string text;
        const common::TableLayout& records;
        common::Field field;
        long expected;
        int row = 5;
        int record = 5;
    };
    EditedTable monsters = unchanged("monsters");
    std::string label;  // of bit 7
    for (const Column& c : (*tables_)[0].columns) {
        if (c.key == "shield_attributes") label = c.allowed[0];
    }
    const Edit edits[] = {
        {"monsters", "hp", "999", map::kMonsterRecords, map::monster::kHp, 999},
        {"monsters", "evasion", "127", map::kMonsterRecords, map::monster::kEvasion, 127},
        {"monsters", "tech_points", "65535", map::kTechPoints, common::word_field(0), 65535},
        {"monsters", "boss", cell(monsters, 5, "boss") == "true" ? "false" : "true", map::kMonsterRecords,
         map::body::kBoss, cell(monsters, 5, "boss") == "true" ? 0 : 1},
        {"monsters", "shield_attributes", label, map::kMonsterRecords, map::monster::kShieldAttributes, 0x80},
        {"monsters", "drop_high", "255", map::kMonsterRecords, map::monster::kDrops[0], 255},
        {"characters", "weapon_aptitude", "-7", map::kCharacterRecords, map::character::kWeaponAptitude, -7},
        {"characters", "strength", "25", map::kCharacterRecords, map::body::kAbilities[0], 25},
        {"items", "attack", "200", map::kWeaponRecords, map::item::kAttack, 200},
        {"items", "weight", "9", map::kArmourRecords, map::item::kArmourWeight, 9, 100, 4},
        {"items", "evasion", "62", map::kShieldRecords, map::item::kEvasion, 62, 195, 3},
        {"techniques", "learn_types", "TY01 TY15", map::kLearnTypes, common::word_field(0), 0x8002},
        {"overall-skill-levels", "tech_points", "1234", map::kOverallSkillLevels, common::word_field(0), 1234},
    };
    for (const Edit& e : edits) {
        EditedTable t = unchanged(e.file);
        cell(t, e.row, e.key) = e.text;
        std::vector<std::string> refusals;
        const std::vector<uint8_t> after = apply({t}, &refusals), before = rom();
        ASSERT_TRUE(refusals.empty()) << refusals[0];
        EXPECT_EQ(e.field.get(after.data() + e.records.record(e.record)), e.expected) << e.key;
        for (size_t i = 0; i < after.size(); ++i) {
            const bool inside = static_cast<long>(i) >= e.records.record(e.record) &&
                                static_cast<long>(i) < e.records.record(e.record + 1);
            if (!inside) {
                ASSERT_EQ(after[i], before[i]) << e.key << " changed byte " << i;
            }
        }
    }
}

// A nested row and a name: an action of a pattern that monsters share
// changes in every monster that uses the pattern, a learning entry, a
// formation member's rate and speed (whose bit 0 is the actual rear
// defence), a technique's and a formation's name.
TEST_F(ApplyTest, NestedRowsAndNamesChangeOnlyTheirCells) {
    const std::vector<uint8_t> before = rom();
    auto pattern_of = [&](int monster, int p) {
        return map::monster::kPatterns[p].get(before.data() + map::kMonsterRecords.record(monster));
    };
    std::set<std::string> sharing;
    for (int m = 0; m < map::kMonsterRecords.count; ++m) {
        for (int p = 0; p < 2; ++p) {
            if (pattern_of(m, p) != pattern_of(5, 0)) continue;
            for (const char* k : {"tech", "tech_name"}) sharing.insert("monster-actions " + std::to_string(16 * m + 8 * p) + " " + k);
        }
    }
    EXPECT_GT(sharing.size(), 2u);  // the demo's monsters share their patterns
    EditedTable actions = unchanged("monster-actions"), entries = unchanged("learning-entries");
    const long pattern = map::kActionPatterns.record(pattern_of(5, 0));
    const long group = map::kLearningList1.offset, formation = map::kFormationRecords.record(0);
    const Case cases[] = {
        {"monster-actions", 80, "tech", other(actions, 80, "tech", "20", "21"), sharing, pattern, pattern + 8},
        {"learning-entries", 0, "difficulty", other(entries, 0, "difficulty", "9", "8"),
         {"learning-entries 0 difficulty"}, group + 3, group + 4},
        {"formation-members", 0, "rate", "10", {"formation-members 0 rate"}, formation, formation + 3},
        {"formation-members", 1, "speed", "-3", {"formation-members 1 speed", "formation-members 1 actual_rear_defence"},
         formation + 5, formation + 6},
        {"techniques", 20, "name", "あい", {"techniques 20 name"}, map::kTechNames.record(20),
         map::kTechNames.record(21), true},
        {"formations", 3, "name", "あい", {"formations 3 name"}, map::kFormationNames.record(3),
         map::kFormationNames.record(4), true},
    };
    for (const Case& c : cases) check(c);
}

// Rows that share a stored place must agree; a place that two tables read
// is not written.
TEST_F(ApplyTest, SharedPlacesMustAgreeAndPlacesTwoTablesReadAreRefused) {
    EditedTable t = unchanged("monster-actions");
    cell(t, 64, "tech") = "30";  // monster 4 uses monster 5's pattern 1
    cell(t, 80, "tech") = "30";
    std::vector<std::string> refusals;
    apply({t}, &refusals);
    EXPECT_TRUE(refusals.empty()) << refusals[0];
    cell(t, 80, "tech") = "31";
    apply({t}, &refusals);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0], "mt2-monster-actions.csv: row 82 (monster 5, pattern 1, slot 1): \"tech\" = \"31\": "
                           "stored in the same place as mt2-monster-actions.csv: row 66 (monster 4, pattern 1, slot "
                           "1): \"tech\" = \"30\" (a record that both rows share); give both the same value");

    // With monster 5 on pattern 190, whose bytes lie in the overall skill
    // level table, neither table's edit there is written.
    std::vector<uint8_t> moved = rom();
    map::monster::kPatterns[0].put(moved.data() + map::kMonsterRecords.record(5), 190);
    EditedTable one = unchanged("monster-actions"), levels = unchanged("overall-skill-levels");
    cell(one, 80, "tech") = other(one, 80, "tech", "20", "21");
    cell(levels, 10, "tech_points") = other(levels, 10, "tech_points", "7", "8");
    refusals.clear();
    EXPECT_EQ(apply({one, levels}, &refusals, moved), moved);
    ASSERT_EQ(refusals.size(), 2u);
    EXPECT_NE(refusals[0].find(": the byte at rom offset 0x1EA4F0 is also read as the overall skill level table"),
              std::string::npos) << refusals[0];
    EXPECT_NE(refusals[1].find(": the byte at rom offset 0x1EA4F0 is also read as the action patterns"),
              std::string::npos) << refusals[1];
    refusals.clear();
    EXPECT_NE(apply({levels}, &refusals), rom());  // no monster reads pattern 190 in the demo
    EXPECT_TRUE(refusals.empty()) << refusals[0];
}

TEST_F(ApplyTest, NamesAreWrittenThroughTheCharacterTables) {
    EditedTable t = unchanged("monsters");
    cell(t, 0, "name") = cell(t, 1, "name");
    std::vector<std::string> refusals;
    const std::vector<uint8_t> after = apply({t}, &refusals);
    ASSERT_TRUE(refusals.empty()) << refusals[0];
    const long field = map::kMonsterNames.record(0);
    const std::vector<uint8_t> written(after.begin() + field, after.begin() + field + 8);
    std::string again(256, '\0');
    common::convert_game_text(again.data(), written.data(), again.size(), written.size(), mt2::kCharTables);
    EXPECT_EQ(again.c_str(), cell(t, 1, "name"));
}

// Every refusal names the file, the row, the key and what is allowed.
TEST_F(ApplyTest, RefusalsSayWhatIsWrong) {
    std::string kNineKana;  // あ nine times, in UTF-8
    for (int i = 0; i < 9; ++i) kNineKana += "\xE3\x81\x82";
    struct Case {
        const char* file;
        int row;
        const char* key;
        std::string text;
        std::string refusal;
    };
    const Case cases[] = {
        {"monsters", 2, "hp", "65536", "mt2-monsters.csv: row 4 (index 2): \"hp\" = \"65536\": allowed 0..65535"},
        {"monsters", 2, "evasion", "-1", "\"evasion\" = \"-1\": allowed 0..127"},
        {"monsters", 2, "hp", "12x", "\"hp\" = \"12x\": not a whole number"},
        {"monsters", 2, "boss", "yes", "\"boss\" = \"yes\": allowed true or false"},
        {"monsters", 2, "status_resistances", "xyz", "\"status_resistances\": unknown label \"xyz\"; allowed:"},
        {"monsters", 2, "drop_high", "256", "\"drop_high\" = \"256\": allowed 0..255 or 255 (none)"},
        {"monsters", 2, "wp", "1", "\"wp\" is computed from other fields and cannot be changed itself; change "
                                  "\"tech_level\" instead"},
        {"monsters", 2, "drop_low_name", "x", "\"drop_low_name\" is computed from other fields and cannot be "
                                             "changed itself; change \"drop_low\" instead"},
        {"monsters", 2, "name", "\xCE\xA9", "\"name\" = \"\xCE\xA9\": the game cannot write \"\xCE\xA9\" (nearby it has \"H\" "
                                          "\"L\" \"P\" \"‥\" \"←\" \"、\")"},
        {"monsters", 2, "name", kNineKana, "\"name\" = \"" + kNineKana + "\": 9 bytes of game text, the field holds 8"},
        {"monsters", 2, "index", "320", "mt2-monsters.csv: row 4: no row with index \"320\"; the table has 0..319"},
        {"characters", 2, "weapon_aptitude", "9", "\"weapon_aptitude\" = \"9\": allowed -7..8"},
        {"items", 2, "defence_slash", "3", "\"defence_slash\" does not belong to this record; leave it empty"},
        {"monster-actions", 2, "pattern", "3", "row 4: no row with monster 0, pattern 3, slot 3; monster 0 has pattern "
                                               "1..2, slot 1..8, and rows cannot be added to it"},
        {"monster-actions", 2, "monster_name", "x", "\"monster_name\" comes from \"monsters\"; change it there"},
        {"learning-lists", 0, "count", "99", "\"count\" is not a stored field that can be changed (the number of the "
                                             "group's entries; entries cannot be added or removed"},
        {"learning-lists", 0, "key", "255", "\"key\" = \"255\": allowed 0..254"},
        {"techniques", 3, "name", "あ", "\"name\" = \"あ\": the tools hold this name themselves"},
        {"formation-members", 0, "rate", "300", "(formation 0, position 1): \"rate\" = \"300\": allowed 1..256"},
        {"formation-members", 0, "speed", "4", "\"speed\" = \"4\": allowed -3..3"},
        {"formation-members", 0, "actual_rear_defence", "true",
         "\"actual_rear_defence\" is computed from other fields and cannot be changed itself (bit 0 of the speed "
         "modifier); change \"speed\" instead"},
        {"items", 195, "evasion", "61", "\"evasion\" = \"61\": allowed 0..62 in steps of 2"},
    };
    for (const Case& c : cases) {
        EditedTable t = unchanged(c.file);
        cell(t, c.row, c.key) = c.text;
        std::vector<std::string> refusals;
        EXPECT_EQ(apply({t}, &refusals), rom()) << c.key;
        ASSERT_EQ(refusals.size(), 1u) << c.key;
        EXPECT_NE(refusals[0].find(c.refusal), std::string::npos) << refusals[0];
    }
}

// The first kRefusalLimit refusals of the run (those it gave before among
// them), then one line that counts the others.
TEST_F(ApplyTest, EveryRefusalIsReportedUpToTheLimit) {
    EditedTable t = unchanged("monsters");
    struct Case {
        size_t earlier;
        int refused;
        std::string last;
    };
    const Case cases[] = {
        {0, 80, "... and 30 more refusals"}, {0, 51, "... and 1 more refusals"}, {0, 50, ""},
        {45, 10, "... and 5 more refusals"}, {60, 0, "... and 10 more refusals"}, {60, 3, "... and 13 more refusals"},
        {50, 0, ""},
    };
    for (const Case& c : cases) {
        EditedTable edited = t;
        for (int r = 0; r < c.refused; ++r) cell(edited, r, "hp") = "-5";
        std::vector<std::string> refusals(c.earlier, "earlier");
        apply({edited}, &refusals);
        ASSERT_EQ(refusals.size(), c.last.empty() ? kRefusalLimit : kRefusalLimit + 1) << c.last;
        if (!c.last.empty()) {
            EXPECT_EQ(refusals.back(), c.last);
        }
        EXPECT_EQ(refusals[kRefusalLimit - 1], c.earlier >= kRefusalLimit ? "earlier" : "mt2-monsters.csv: row " +
                  std::to_string(kRefusalLimit - c.earlier + 1) + " (index " + std::to_string(kRefusalLimit - c.earlier - 1) +
                  "): \"hp\" = \"-5\": allowed 0..65535");
    }
}

// Cells as spreadsheets write them: flags as true or false in any case or as
// 1 and 0, numbers with blanks around them, a "+", digit groups or a zero
// fraction.
TEST_F(ApplyTest, SpreadsheetFormsOfFlagsAndNumbersAreRead) {
    struct Form {
        const char* key;
        const char* text;
        long expected;
        common::Field field;
    };
    namespace m = map::monster;
    const Form forms[] = {
        {"hp", "255.0", 255, m::kHp},        {"hp", "1.5E+2", 150, m::kHp},    {"hp", "1e3", 1000, m::kHp},
        {"hp", " 150 ", 150, m::kHp},        {"hp", "\t+77", 77, m::kHp},      {"hp", "50,000", 50000, m::kHp},
        {"hp", "1,234", 1234, m::kHp},       {"hp", "+1,234.00", 1234, m::kHp}, {"hp", "65,535", 65535, m::kHp},
        {"hp", "007", 7, m::kHp},            {"hp", "2.50e1", 25, m::kHp},     {"evasion", "-0", 0, m::kEvasion},
        {"boss", "TRUE", 1, map::body::kBoss}, {"boss", "True", 1, map::body::kBoss}, {"boss", "1", 1, map::body::kBoss},
        {"boss", " true ", 1, map::body::kBoss}, {"boss", "FALSE", 0, map::body::kBoss},
        {"boss", "False", 0, map::body::kBoss}, {"boss", "0", 0, map::body::kBoss},
    };
    for (const Form& f : forms) {
        for (int row : {5, 6}) {  // one boss and one not, or the other way round
            EditedTable t = unchanged("monsters");
            cell(t, row, f.key) = f.text;
            std::vector<std::string> refusals;
            const std::vector<uint8_t> after = apply({t}, &refusals);
            ASSERT_TRUE(refusals.empty()) << f.text << ": " << refusals[0];
            EXPECT_EQ(f.field.get(after.data() + map::kMonsterRecords.record(row)), f.expected) << f.text;
        }
    }
    // The image's own values written another way change nothing and count
    // as no change.
    EditedTable t = unchanged("monsters");
    for (size_t r = 0; r < t.row_count(); ++r) {
        const int i = static_cast<int>(r);
        cell(t, i, "hp") = std::string(cell(t, i, "hp")) + ".0";
        const std::string boss = cell(t, i, "boss");
        cell(t, i, "boss") = boss == "true" ? (r % 2 ? "TRUE" : "1") : (r % 2 ? "False" : "0");
        cell(t, i, "index") = " +" + std::string(cell(t, i, "index")) + ".00";
    }
    EditedTable items = unchanged("items");  // item 2 is a weapon, without defences
    ASSERT_EQ(cell(items, 2, "defence_slash"), "");
    cell(items, 2, "defence_slash") = " ";
    std::vector<uint8_t> rom = ApplyTest::rom();
    std::vector<std::string> refusals;
    EXPECT_EQ(apply_edits({t, items}, *tables_, *layout_, rom.data(), rom.size(), &refusals), 0u);
    EXPECT_TRUE(refusals.empty()) << refusals[0];
    EXPECT_EQ(rom, ApplyTest::rom());
}

// What is not a whole number says so; a whole number out of range, and an
// empty cell, keep the range refusal.
TEST_F(ApplyTest, NumbersThatAreNotWholeAreRefusedSayingSo) {
    struct Case {
        const char* file;
        const char* key;
        std::string text;
        std::string refusal;
    };
    const std::string whole = ": not a whole number";
    const Case cases[] = {
        {"monsters", "hp", "2.5", "\"hp\" = \"2.5\"" + whole},
        {"monsters", "hp", "abc", "\"hp\" = \"abc\"" + whole},
        {"monsters", "hp", "1.55E+1", "\"hp\" = \"1.55E+1\"" + whole},
        {"monsters", "hp", "1,23", "\"hp\" = \"1,23\"" + whole},
        {"monsters", "hp", "12,345,67", "\"hp\" = \"12,345,67\"" + whole},
        {"monsters", "hp", "1234,567", "\"hp\" = \"1234,567\"" + whole},
        {"monsters", "hp", "1,234,", "\"hp\" = \"1,234,\"" + whole},
        {"monsters", "hp", ",123", "\"hp\" = \",123\"" + whole},
        {"monsters", "hp", "1,000.5,0", "\"hp\" = \"1,000.5,0\"" + whole},
        {"monsters", "hp", "+-5", "\"hp\" = \"+-5\"" + whole},
        {"monsters", "hp", "++5", "\"hp\" = \"++5\"" + whole},
        {"monsters", "hp", "+", "\"hp\" = \"+\"" + whole},
        {"monsters", "hp", "5 5", "\"hp\" = \"5 5\"" + whole},
        {"monsters", "hp", "0x10", "\"hp\" = \"0x10\"" + whole},
        {"monsters", "hp", "nan", "\"hp\" = \"nan\"" + whole},
        {"monsters", "hp", "inf", "\"hp\" = \"inf\"" + whole},
        {"monsters", "hp", "1.5.0", "\"hp\" = \"1.5.0\"" + whole},
        {"monsters", "hp", "150 HP", "\"hp\" = \"150 HP\"" + whole},
        {"formation-members", "rate", "2.5", "\"rate\" = \"2.5\"" + whole},
        {"monsters", "hp", "70,000", "\"hp\" = \"70,000\": allowed 0..65535"},
        {"monsters", "hp", "65536.0", "\"hp\" = \"65536.0\": allowed 0..65535"},
        {"monsters", "hp", "99999999999999999999", "\"hp\" = \"99999999999999999999\": allowed 0..65535"},
        {"monsters", "hp", "4294967296", "\"hp\" = \"4294967296\": allowed 0..65535"},
        {"monsters", "hp", "-1e10", "\"hp\" = \"-1e10\": allowed 0..65535"},
        {"monsters", "hp", "", "\"hp\" = \"\": allowed 0..65535"},
        {"monsters", "hp", "  ", "\"hp\" = \"  \": allowed 0..65535"},
        {"formation-members", "rate", "1e9", "\"rate\" = \"1e9\": allowed 1..256"},
        {"monsters", "boss", "yes", "\"boss\" = \"yes\": allowed true or false"},
        {"monsters", "boss", "2", "\"boss\" = \"2\": allowed true or false"},
        {"monsters", "boss", "", "\"boss\" = \"\": allowed true or false"},
    };
    for (const Case& c : cases) {
        EditedTable t = unchanged(c.file);
        cell(t, 0, c.key) = c.text;
        std::vector<std::string> refusals;
        EXPECT_EQ(apply({t}, &refusals), rom()) << c.text;
        ASSERT_EQ(refusals.size(), 1u) << c.text;
        EXPECT_TRUE(refusals[0].ends_with(c.refusal)) << refusals[0];
    }
}

// Refusals name the columns as the file's header spells them.
TEST_F(ApplyTest, RefusalsNameColumnsAsTheHeaderSpellsThem) {
    EditedTable t = unchanged("monsters");
    t.spelled = t.columns;
    auto spell = [](EditedTable& e, const std::string& key, const char* as) {
        for (size_t i = 0; i < e.columns.size(); ++i) {
            if (e.columns[i] == key) e.spelled[i] = as;
        }
    };
    spell(t, "index", "Index");
    spell(t, "hp", "HP");
    spell(t, "wp", " WP ");
    spell(t, "tech_level", "Tech Level");
    spell(t, "boss", "");  // as a JSON document gives it: the key
    cell(t, 2, "hp") = "-5";
    cell(t, 3, "wp") = "1";
    cell(t, 4, "index") = "999";
    cell(t, 5, "boss") = "maybe";
    EditedTable actions = unchanged("monster-actions");
    actions.spelled = actions.columns;
    spell(actions, "monster", "Monster");
    spell(actions, "slot", "SLOT");
    cell(actions, 0, "slot") = "9";
    std::vector<std::string> refusals;
    apply({t, actions}, &refusals);
    EXPECT_EQ(refusals, (std::vector<std::string>{
                            "mt2-monsters.csv: row 4 (Index 2): \"HP\" = \"-5\": allowed 0..65535",
                            "mt2-monsters.csv: row 5 (Index 3): \" WP \" is computed from other fields and cannot be "
                            "changed itself; change \"Tech Level\" instead",
                            "mt2-monsters.csv: row 6: no row with Index \"999\"; the table has 0..319",
                            "mt2-monsters.csv: row 7 (Index 5): \"boss\" = \"maybe\": allowed true or false",
                            "mt2-monster-actions.csv: row 2: no row with Monster 0, pattern 1, SLOT 9; Monster 0 has "
                            "pattern 1..2, SLOT 1..8, and rows cannot be added to it",
                        }));
}

// A name with a character the game has no code for names the character and
// those the game has around it in code point order.
TEST_F(ApplyTest, NamesWithCharactersTheGameCannotWriteNameThem) {
    struct Case {
        std::string name;
        std::string refusal;
    };
    const Case cases[] = {
        {"あ\xC3\xAB", "\"name\" = \"あ\xC3\xAB\": the game cannot write \"\xC3\xAB\" (nearby it has \"H\" \"L\" \"P\" "
                        "\"‥\" \"←\" \"、\")"},
        {"Zo\xC3\xABZ", "\"name\" = \"Zo\xC3\xABZ\": the game cannot write \"Z\", \"o\", \"\xC3\xAB\" (nearby it has \"H\" "
                        "\"L\" \"P\" \"‥\" \"←\" \"、\")"},
        {"#あ#", "\"name\" = \"#あ#\": the game cannot write \"#\" (nearby it has \"!\" \"/\" \"0\" \"1\")"},
        {"あ\xF0\x9F\x90\x89", "the game cannot write \"\xF0\x9F\x90\x89\" (nearby it has \""},
        // Shift-JIS "オオ", not UTF-8: its bytes one by one, none joined to the next.
        {"\x83\x49\x83\x49", "the game cannot write \"\x83\" (nearby it has \"H\" \"L\" \"P\" \"‥\" \"←\" \"、\"); "
                             "\"I\" (nearby it has \":\" \"?\" \"H\" \"L\" \"P\" \"‥\")"},
        {"\xE3\x81\xE3\x81\x82\xFF\x80", "the game cannot write \"\xE3\x81\" (nearby it has \"、\" \"。\" \"々\" "
                                         "\"あ\" \"い\" \"う\"); \"\xFF\" ("},
    };
    for (const Case& c : cases) {
        EditedTable t = unchanged("monsters");
        cell(t, 2, "name") = c.name;
        std::vector<std::string> refusals;
        EXPECT_EQ(apply({t}, &refusals), rom());
        ASSERT_EQ(refusals.size(), 1u) << c.name;
        EXPECT_NE(refusals[0].find(c.refusal), std::string::npos) << refusals[0];
    }
}

// A refusal quotes at most the first 60 characters of a cell, never cutting
// a character, with "..." after them when there are more.
TEST_F(ApplyTest, RefusalsQuoteAtMostSixtyCharactersOfACell) {
    std::string kana, nines(60, '9');
    for (int i = 0; i < 60; ++i) kana += "あ";
    struct Case {
        const char* key;
        std::string text;
        std::string quoted;
    };
    const Case cases[] = {
        {"hp", nines, "\"" + nines + "\": allowed"},
        {"hp", nines + "9", "\"" + nines + "...\": allowed"},
        {"hp", kana + "あ", "\"" + kana + "...\": not a whole number"},
        {"hp", kana + std::string(1 << 20, 'x'), "\"" + kana + "...\": not a whole number"},
        {"name", "Zo\xC3\xAB" + kana, "\"name\" = \"Zo\xC3\xAB" + kana.substr(0, 57 * 3) + "...\": the game"},
    };
    for (const Case& c : cases) {
        EditedTable t = unchanged("monsters");
        cell(t, 2, c.key) = c.text;
        std::vector<std::string> refusals;
        apply({t}, &refusals);
        ASSERT_EQ(refusals.size(), 1u);
        EXPECT_NE(refusals[0].find(c.quoted), std::string::npos) << refusals[0].substr(0, 400);
        EXPECT_LT(refusals[0].size(), 500u);
    }
    // Header cells and row keys alike.
    EditedTable t = unchanged("monsters"), actions = unchanged("monster-actions");
    t.spelled = t.columns;
    t.spelled[static_cast<size_t>(std::find(t.columns.begin(), t.columns.end(), "hp") - t.columns.begin())] =
        kana + std::string(1 << 20, 'h');
    cell(t, 2, "hp") = "-5";
    cell(actions, 0, "slot") = kana + "9";
    std::vector<std::string> refusals;
    apply({t, actions}, &refusals);
    EXPECT_EQ(refusals, (std::vector<std::string>{
                            "mt2-monsters.csv: row 4 (index 2): \"" + kana + "...\" = \"-5\": allowed 0..65535",
                            "mt2-monster-actions.csv: row 2: no row with monster 0, pattern 1, slot " + kana +
                                "...; monster 0 has pattern 1..2, slot 1..8, and rows cannot be added to it",
                        }));
}

// A field added to a game's stored fields needs no column of its own: it is
// exported from the image's bytes (a bit as a flag, inverted where stored so;
// a field that a column shows is not shown twice), and an edit of it is
// checked and writes only its bits.
TEST_F(ApplyTest, AStoredFieldWithoutAColumnIsExportedAndWritten) {
    const common::TableLayout& records = map::kMonsterRecords;
    const int last = records.record_size - 1;
    const common::StoredField added[] = {
        {"monsters", {"added_number", ""}, &records, common::byte_field(last)},
        {"monsters", {"added_flag", ""}, &records, common::flag_field(last, 7), true},
        mt2::fields::stored_fields().front()};
    std::vector<Table> tables = *tables_;
    add_stored_columns(tables, {std::begin(added), std::end(added)}, image_);
    const Table& monsters = *std::find_if(tables.begin(), tables.end(), [](const Table& t) { return t.file == "monsters"; });
    ASSERT_EQ(monsters.columns.size(), (*tables_)[0].columns.size() + 2);
    const std::vector<uint8_t> before = rom();
    for (int m : {0, 3, records.count - 1}) {
        const uint8_t byte = before[records.record(m) + last];
        EXPECT_EQ(monsters.columns.end()[-2].value({-1, m}).number, byte) << m;
        EXPECT_EQ(monsters.columns.end()[-1].value({-1, m}).number, (byte >> 7) ? 0 : 1) << m;
    }

    ImportLayout layout = *layout_;
    layout.stored.insert(layout.stored.end(), std::begin(added), std::end(added) - 1);
    EditedTable edit;
    edit.file = "mt2-monsters.csv";
    edit.table = "monsters";
    edit.columns = {"index", "added_number"};
    edit.add_row(2);
    edit.add_cell(0, "3");
    edit.add_cell(1, before[records.record(3) + last] == 77 ? "78" : "77");
    std::vector<uint8_t> after = before;
    std::vector<std::string> refusals;
    EXPECT_EQ(apply_edits({edit}, tables, layout, after.data(), after.size(), &refusals), 1u);
    EXPECT_TRUE(refusals.empty()) << refusals.front();
    after[records.record(3) + last] = before[records.record(3) + last];
    EXPECT_EQ(after, before);  // nothing else written
    edit.set_cell(0, 1, "256");
    EXPECT_EQ(apply_edits({edit}, tables, layout, after.data(), after.size(), &refusals), 0u);
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].find("allowed 0..255"), std::string::npos) << refusals[0];
}

// Every column of both games' exports is stored, a name, a key, or refused
// saying why: a computed one names a stored column of its table to change.
TEST_F(ApplyTest, EveryColumnIsWrittenOrRefusedWithWhatToChange) {
    for (const auto& [game, layout] : {std::pair{&mt2::kExporter, &mt2::import_layout()}, {&mt3::kExporter, &mt3::import_layout()}}) {
        common::RomImage image;
        const std::string path = std::string(MT_DEMO_DIR) + "/" + (game == &mt2::kExporter ? "mt2demo.smc" : "mt3demo.smc");
        ASSERT_TRUE(image.open(path.c_str(), game->title, game->table_span));
        std::shared_ptr<const void> kept;
        const std::vector<Table> tables = std::move(*game->tables(image, kept));
        auto stored = [&](const std::string& table, const std::string& key) {
            return std::any_of(layout->stored.begin(), layout->stored.end(),
                               [&](const common::StoredField& s) { return table == s.table && key == s.key.key; });
        };
        for (const Table& top : tables) {
            std::vector<std::pair<const Table*, const Table*>> all = {{&top, nullptr}};
            for (const Table& c : top.children) all.push_back({&c, &top});
            for (const auto& [table, parent] : all) {
                for (const FlatColumn& f : flat_columns(*table, parent)) {
                    const std::string& key = f.key;
                    const bool is_key = key == "index" || (parent && (key == table->parent_keys.front().second ||
                                         std::count(table->row_key.begin(), table->row_key.end(), key)));
                    if (f.from_parent || is_key || stored(table->file, key)) continue;
                    if (key == "name" && std::any_of(layout->names.begin(), layout->names.end(),
                                                     [&](const NameColumn& n) { return table->file == n.table; })) {
                        continue;
                    }
                    if (key.ends_with("_name")) {
                        EXPECT_TRUE(find_if(table->columns.begin(), table->columns.end(), [&](const Column& c) {
                                        return c.key == key.substr(0, key.size() - 5);
                                    }) != table->columns.end()) << table->file << " " << key;
                        continue;
                    }
                    const auto c = std::find_if(layout->computed.begin(), layout->computed.end(),
                                                [&](const common::ComputedField& c) { return table->file == c.table && key == c.key.key; });
                    if (c == layout->computed.end()) {
                        ADD_FAILURE() << game->prefix << " " << table->file << " " << key;
                        continue;
                    }
                    EXPECT_TRUE(c->instead || c->why) << table->file << " " << key;
                    std::istringstream instead(c->instead ? c->instead : "");
                    for (std::string column; instead >> column;) {
                        EXPECT_TRUE(stored(table->file, column)) << table->file << " " << key << ": " << column;
                    }
                }
            }
        }
    }
}

}  // namespace

namespace {

namespace map3 = mt3::layout;

// Game B: an unchanged export changes nothing, a stored field changes only its
// record (a blade flag stored inverted, a size in units of 4), a value the
// equipment gives is refused.
TEST_F(ApplyTestB, StoredFieldsChangeOnlyTheirRecordAndComputedOnesAreRefused) {
    std::vector<std::string> refusals;
    EXPECT_EQ(apply({unchanged("monsters"), unchanged("characters"), unchanged("items"), unchanged("techniques"),
                     unchanged("monster-actions")},
                    &refusals),
              rom());
    ASSERT_TRUE(refusals.empty()) << refusals[0];
    EditedTable t = unchanged("monsters");
    const bool unarmed = cell(t, 7, "unarmed_1") == "true";
    cell(t, 7, "unarmed_1") = unarmed ? "false" : "true";
    cell(t, 7, "hp") = "4321";
    const std::vector<uint8_t> after = apply({t}, &refusals), before = rom();
    ASSERT_TRUE(refusals.empty()) << refusals[0];
    const uint8_t* r = after.data() + map3::kMonsterRecords.record(7);
    EXPECT_EQ(map3::monster::kHp.get(r), 4321);
    EXPECT_EQ(map3::monster::kBlades[0].get(r), unarmed ? 1 : 0);
    for (size_t i = 0; i < after.size(); ++i) {
        if (static_cast<long>(i) < map3::kMonsterRecords.record(7) ||
            static_cast<long>(i) >= map3::kMonsterRecords.record(8)) {
            ASSERT_EQ(after[i], before[i]) << i;
        }
    }
    EditedTable items = unchanged("items"), techs = unchanged("techniques");
    cell(items, 100, "magic_defence") = "77";
    cell(techs, 300, "difficulty") = "9";
    const std::vector<uint8_t> edited = apply({items, techs}, &refusals);
    ASSERT_TRUE(refusals.empty()) << refusals[0];
    EXPECT_EQ(map3::item::kMagicDefence.get(edited.data() + map3::kArmourRecords.record(4)), 77);
    EXPECT_EQ(edited[map3::kDifficulties.record(300 - 256)], 9);

    EditedTable sizes = unchanged("monsters");
    cell(sizes, 7, "size_1") = "6";
    cell(sizes, 8, "defence_slash") = "1";
    apply({sizes}, &refusals);
    ASSERT_EQ(refusals.size(), 2u);
    EXPECT_NE(refusals[0].find("\"size_1\" = \"6\": allowed 0..60 in steps of 4"), std::string::npos) << refusals[0];
    EXPECT_NE(refusals[1].find("\"defence_slash\" is computed from other fields and cannot be changed itself (what "
                               "the monster's equipment gives); change \"weapon_1\", \"weapon_2\", \"shield\", "
                               "\"armour_1\" or \"armour_2\" instead"), std::string::npos) << refusals[1];
}

// Game B: an encounter row, a sub encounter entry, a formation member's rate
// (the later bounds move with it), a character name that a later character
// repeats, and money from a drop table entry that monsters share.
TEST_F(ApplyTestB, NestedRowsSharedEntriesAndNamesChangeOnlyTheirCells) {
    const std::vector<uint8_t> before = rom();
    auto entry_of = [&](int m) { return map3::monster::kDropEntry.get(before.data() + map3::kMonsterRecords.record(m)); };
    std::set<std::string> sharing;
    for (int m = 0; m < map3::kMonsterRecords.count; ++m) {
        if (entry_of(m) == entry_of(7)) sharing.insert("monsters " + std::to_string(m) + " money");
    }
    EXPECT_GT(sharing.size(), 1u);
    const long formation = map3::kFormationRecords.record(0), drop = map3::kDropTable.record(entry_of(7));
    const Case cases[] = {
        {"main-encounter-rows", 0, "monster", "5", {"main-encounter-rows 0 monster", "main-encounter-rows 0 monster_name"},
         map3::kMainEncounters.offset, map3::kMainEncounters.offset + 1},
        {"sub-encounter-entries", 3, "level", "77", {"sub-encounter-entries 3 level"}, map3::kSubEncounters.offset + 6,
         map3::kSubEncounters.offset + 7},
        {"formation-members", 1, "rate", "20", {"formation-members 1 rate"}, formation + 1, formation + 5},
        {"characters", 0, "name", "あい", {"characters 0 name", "characters 41 name"}, map3::kCharacterNames.offset,
         map3::kCharacterNames.record(1)},
        {"monsters", 7, "money", "99", sharing, drop + 4, drop + 5},
        {"characters", 2, "sword_level", "33", {"characters 2 sword_level"}, map3::kCharacterRecords.record(2) + 13,
         map3::kCharacterRecords.record(2) + 14},
    };
    for (const Case& c : cases) check(c);

    EditedTable members = unchanged("formation-members"), monsters = unchanged("monsters");
    EditedTable characters = unchanged("characters"), items = unchanged("items");
    cell(members, 1, "rate") = "40";
    cell(monsters, 7, "drop_high") = "253";
    cell(characters, 2, "blue_dragon_level") = other(characters, 2, "blue_dragon_level", "3", "4");
    cell(items, 100, "defence_slash") = "1";
    std::vector<std::string> refusals;
    apply({members, monsters, characters, items}, &refusals);
    ASSERT_EQ(refusals.size(), 4u);
    EXPECT_NE(refusals[2].find("\"blue_dragon_level\" is not a stored field that can be changed (a school's level "
                               "shares its arts byte"), std::string::npos) << refusals[2];
    EXPECT_NE(refusals[3].find("(graded from the armour's defence and the attribute's level); change "
                               "\"physical_defence\" instead"), std::string::npos) << refusals[3];
    EXPECT_NE(refusals[0].find("(formation 0, position 2): \"rate\" = \"40\": allowed -68..29"), std::string::npos)
        << refusals[0];
    EXPECT_NE(refusals[1].find("\"drop_high\" = \"253\": allowed 0..252 or 255 (none)"), std::string::npos)
        << refusals[1];
}

}  // namespace

namespace {

// An edited table as a spreadsheet saves it: the header, then every cell
// quoted.
std::vector<uint8_t> csv_bytes(const EditedTable& t) {
    std::string text;
    for (size_t c = 0; c < t.columns.size(); ++c) text += (c ? "," : "") + t.columns[c];
    for (size_t r = 0; r < t.row_count(); ++r) {
        text += "\r\n";
        const EditedRow row = t.row(r);
        for (size_t c = 0; c < row.cells.size(); ++c) {
            std::string cell = row.cells[c];
            for (size_t q = cell.find('"'); q != std::string::npos; q = cell.find('"', q + 2)) cell.insert(q, 1, '"');
            text += std::string(c ? "," : "") + "\"" + cell + "\"";
        }
    }
    return {text.begin(), text.end()};
}

}  // namespace

// The importers' core from bytes alone: a changed cell gives the outputs
// asked for and the changes as the tool prints them; refusals come back in
// the tool's order (the shell's own first, a file that could not be read in
// its place), and an image of another game is refused alone.
TEST_F(ApplyTest, TheCoreTakesBytesAndGivesTheOutputsOrTheRefusals) {
    const ImportInfo info{{"", "", nullptr, 0}, *game_, *layout_};
    EditedTable monsters = unchanged("monsters");
    cell(monsters, 0, "hp") = other(monsters, 0, "hp", "998", "999");
    const std::string crc = common::crc32_hex(common::crc32_of(file_->data(), file_->size()));
    const auto request = [&](const EditedTable& edited) {
        importer::ImportRequest r;
        r.image_name = "old.smc";
        r.image = *file_;
        r.files.push_back({"in/mt2-monsters.csv", csv_bytes(edited), 0});
        const std::string id = "key,value\r\ncrc32,0x" + crc + "\r\n";
        r.identifications[importer::identification_beside("in/mt2-monsters.csv", "mt2")] = {id.begin(), id.end()};
        r.outputs = {{'o', "new.smc"}, {'p', "new.bps"}};
        return r;
    };
    const common::Result<importer::Imported> made = importer::import_edits(request(monsters), info);
    ASSERT_TRUE(made.ok()) << made.error().lines.at(0);
    EXPECT_TRUE(made->changed);
    EXPECT_EQ(made->fields, 1u);
    EXPECT_NE(made->changes.find("hp"), std::string::npos) << made->changes;
    EXPECT_TRUE(made->changes.ends_with("\n1 field changed\n")) << made->changes;
    ASSERT_EQ(made->image.size(), file_->size());
    EXPECT_NE(made->image, *file_);
    EXPECT_EQ(std::string(made->bps.begin(), made->bps.begin() + 4), "BPS1");
    EXPECT_TRUE(made->ips.empty());
    EXPECT_EQ(&importer::output_bytes(*made, 'p'), &made->bps);

    const common::Result<importer::Imported> same = importer::import_edits(request(unchanged("monsters")), info);
    ASSERT_TRUE(same.ok()) << same.error().lines.at(0);
    EXPECT_EQ(same->changes, "no changes\n");
    EXPECT_EQ(same->image, *file_);

    cell(monsters, 0, "hp") = "many";
    importer::ImportRequest refused = request(monsters);
    refused.files.insert(refused.files.begin(), {"gone.csv", {}, ENOENT});
    refused.refusals = {"new.bps: named for two outputs (new.smc)"};
    const common::Result<importer::Imported> no = importer::import_edits(refused, info);
    ASSERT_FALSE(no.ok());
    ASSERT_EQ(no.error().lines.size(), 4u);
    EXPECT_EQ(no.error().status, 1);
    EXPECT_EQ(no.error().lines[0], refused.refusals[0]);
    EXPECT_EQ(no.error().lines[1], std::string("gone.csv: cannot be read: ") + strerror(ENOENT));
    EXPECT_TRUE(no.error().lines[2].starts_with("in/mt2-monsters.csv: ")) << no.error().lines[2];
    EXPECT_EQ(no.error().lines[3], "nothing written");

    refused.outputs.clear();
    const common::Result<importer::Imported> nothing = importer::import_edits(refused, info);
    ASSERT_FALSE(nothing.ok());
    EXPECT_EQ(nothing.error().lines.at(0), "nothing to write: give -o new-image, -p patch.bps or -i patch.ips");

    refused.image.assign(1 << 20, 0);
    const common::Result<importer::Imported> other_game = importer::import_edits(refused, info);
    ASSERT_FALSE(other_game.ok());
    EXPECT_EQ(other_game.error().lines,
              std::vector<std::string>{"old.smc is not an image of MERIDIAN TALES2: its cartridge header is not found"});
}
