// Edits applied to the game-A demo image: each kind of edit changes only its
// field, and each kind of refusal names what is wrong.
#include "import/apply.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "analyzer_a/layout.h"
#include "analyzer_b/layout.h"
#include "common/gametext.h"
#include "common/rom.h"
#include "export/games.h"
#include "import/games.h"

namespace {

namespace map = mt2::layout;

// The tables of a demo image, loaded as the importer loads them.
class ApplyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { open_demo("mt2demo.smc", kGameAExporter, game_a_import()); }
    static void TearDownTestSuite() { close_demo(); }

    static void open_demo(const char* name, const ExporterInfo& game, const ImportLayout& layout) {
        const std::string path = std::string(MT_DEMO_DIR) + "/" + name;
        std::ifstream in(path, std::ios::binary);
        file_ = new std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
        image_ = new RomImage;
        ASSERT_TRUE(image_->open(path.c_str(), game.title, game.table_span));
        kept_ = new std::shared_ptr<const void>;
        tables_ = new std::vector<Table>(game.load(*image_, *kept_));
        layout_ = &layout;
        prefix_ = game.prefix;
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
                EditedTable e{std::string(prefix_) + "-" + file + ".csv", file, {}, {}};
                for (const FlatColumn& f : flat_columns(*table, parent)) e.columns.push_back(f.key);
                int n = 0;
                for_each_flat_row(*table, parent, [&](const std::vector<Value>& values) {
                    EditedRow row{"row " + std::to_string(n++ + 2), {}, std::vector<bool>(values.size(), true)};
                    for (const Value& v : values) row.cells.push_back(flat_text(v));
                    e.rows.push_back(std::move(row));
                });
                return e;
            }
        }
        ADD_FAILURE() << file;
        return {};
    }
    static std::string& cell(EditedTable& t, int row, const std::string& key) {
        for (size_t i = 0; i < t.columns.size(); ++i) {
            if (t.columns[i] == key) return t.rows.at(static_cast<size_t>(row)).cells[i];
        }
        ADD_FAILURE() << key;
        return t.rows[0].cells[0];
    }

    // Applies the edit to a copy of the ROM proper; returns the copy.
    static std::vector<uint8_t> apply(const std::vector<EditedTable>& edits, std::vector<std::string>* refusals) {
        std::vector<uint8_t> rom(file_->begin() + image_->image_base(), file_->end());
        apply_edits(edits, *tables_, *layout_, rom.data(), rom.size(), refusals);
        return rom;
    }
    static std::vector<uint8_t> rom() { return {file_->begin() + image_->image_base(), file_->end()}; }

    static std::vector<uint8_t>* file_;
    static RomImage* image_;
    static std::shared_ptr<const void>* kept_;
    static std::vector<Table>* tables_;
    static const ImportLayout* layout_;
    static const char* prefix_;
};

std::vector<uint8_t>* ApplyTest::file_;
RomImage* ApplyTest::image_;
std::shared_ptr<const void>* ApplyTest::kept_;
std::vector<Table>* ApplyTest::tables_;
const ImportLayout* ApplyTest::layout_;
const char* ApplyTest::prefix_;

class ApplyTestB : public ApplyTest {
protected:
    static void SetUpTestSuite() { open_demo("mt3demo.smc", kGameBExporter, game_b_import()); }
    static void TearDownTestSuite() { close_demo(); }
};

TEST_F(ApplyTest, UnchangedTablesChangeNothing) {
    std::vector<EditedTable> all;
    for (const char* f : {"monsters", "characters", "special-characters", "items", "techniques", "skill-levels",
                          "overall-skill-levels", "monster-actions", "learning-entries", "formation-members"}) {
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
        const TableLayout& records;
        Field field;
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
        {"monsters", "tech_points", "65535", map::kTechPoints, word_field(0), 65535},
        {"monsters", "boss", cell(monsters, 5, "boss") == "true" ? "false" : "true", map::kMonsterRecords,
         map::body::kBoss, cell(monsters, 5, "boss") == "true" ? 0 : 1},
        {"monsters", "shield_attributes", label, map::kMonsterRecords, map::monster::kShieldAttributes, 0x80},
        {"monsters", "drop_high", "255", map::kMonsterRecords, map::monster::kDrops[0], 255},
        {"characters", "weapon_aptitude", "-7", map::kCharacterRecords, map::character::kWeaponAptitude, -7},
        {"characters", "strength", "25", map::kCharacterRecords, map::body::kAbilities[0], 25},
        {"items", "attack", "200", map::kWeaponRecords, map::item::kAttack, 200},
        {"items", "weight", "9", map::kArmourRecords, map::item::kArmourWeight, 9, 100, 4},
        {"items", "evasion", "62", map::kShieldRecords, map::item::kEvasion, 62, 195, 3},
        {"techniques", "learn_types", "TY01 TY15", map::kLearnTypes, word_field(0), 0x8002},
        {"overall-skill-levels", "tech_points", "1234", map::kOverallSkillLevels, word_field(0), 1234},
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

TEST_F(ApplyTest, NamesAreWrittenThroughTheCharacterTables) {
    EditedTable t = unchanged("monsters");
    cell(t, 0, "name") = cell(t, 1, "name");
    std::vector<std::string> refusals;
    const std::vector<uint8_t> after = apply({t}, &refusals);
    ASSERT_TRUE(refusals.empty()) << refusals[0];
    const long field = map::kMonsterNames.record(0);
    const std::vector<uint8_t> written(after.begin() + field, after.begin() + field + 8);
    std::string again(256, '\0');
    convert_game_text(again.data(), written.data(), again.size(), written.size(), kGameACharTables);
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
        {"monsters", 2, "hp", "12x", "\"hp\" = \"12x\": allowed 0..65535"},
        {"monsters", 2, "boss", "yes", "\"boss\" = \"yes\": allowed true or false"},
        {"monsters", 2, "status_resistances", "xyz", "\"status_resistances\": unknown label \"xyz\"; allowed:"},
        {"monsters", 2, "drop_high", "256", "\"drop_high\" = \"256\": allowed 0..255 or 255 (none)"},
        {"monsters", 2, "wp", "1", "\"wp\" is not a stored field that can be changed; change \"tech_level\" instead"},
        {"monsters", 2, "drop_low_name", "x", "\"drop_low_name\" is not a stored field that can be changed; "
                                             "change \"drop_low\" instead"},
        {"monsters", 2, "name", "\xCE\xA9", "\"name\" = \"\xCE\xA9\": the game has no code for the character at byte 0"},
        {"monsters", 2, "name", kNineKana, "\"name\" = \"" + kNineKana + "\": 9 bytes of game text, the field holds 8"},
        {"monsters", 2, "index", "320", "mt2-monsters.csv: row 4: no row with index \"320\"; the table has 0..319"},
        {"characters", 2, "weapon_aptitude", "9", "\"weapon_aptitude\" = \"9\": allowed -7..8"},
        {"items", 2, "defence_slash", "3", "\"defence_slash\" does not belong to this record; leave it empty"},
        {"monster-actions", 2, "tech", "1", "row 4: a changed or new row of \"monster-actions\""},
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

TEST_F(ApplyTest, EveryRefusalIsReportedUpToTheLimit) {
    EditedTable t = unchanged("monsters");
    for (int r = 0; r < 80; ++r) cell(t, r, "hp") = "-5";
    std::vector<std::string> refusals;
    apply({t}, &refusals);
    ASSERT_EQ(refusals.size(), kRefusalLimit + 1);
    EXPECT_EQ(refusals.back(), "... and more refusals");
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
    EXPECT_NE(refusals[1].find("\"defence_slash\" is not a stored field"), std::string::npos) << refusals[1];
}

}  // namespace
