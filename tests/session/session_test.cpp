// A session on each game's demo image: the cells it sets come out as the
// importer writes the same edit from a CSV file, its records as the JSON
// export holds them, its changes as the comparison lists them, and every
// bad table, record, key or value comes back as a refusal in a cell's words.
#include "session/session.h"

#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "compare/compare.h"
#include "import/importer.h"
#include "tools/session_games.h"

namespace {

using Json = nlohmann::json;

struct Game {
    const char* letter;
    const char* demo;  // the demo image's file
};
void PrintTo(const Game& game, std::ostream* out) { *out << game.letter; }

class SessionTest : public ::testing::TestWithParam<Game> {
protected:
    void SetUp() override {
        for (const auto& entry : tools::session_games()) {
            if (std::string(entry.game.letter) == GetParam().letter) parts_ = &entry.part;
        }
        ASSERT_NE(parts_, nullptr);
        std::ifstream in(std::string(MT_DEMO_DIR) + "/" + GetParam().demo, std::ios::binary);
        image_.assign(std::istreambuf_iterator<char>(in), {});
        auto opened = session::Session::open("demo.smc", image_, *parts_);
        ASSERT_TRUE(opened.ok()) << opened.error().lines.at(0);
        session_ = std::move(*opened);
    }

    const session::SchemaColumn& column(const std::string& table, const std::string& key) {
        for (const session::SchemaTable& t : session_->schema()) {
            for (const session::SchemaColumn& c : t.columns) {
                if (t.name == table && c.key == key) return c;
            }
        }
        ADD_FAILURE() << table << " " << key;
        return session_->schema().front().columns.front();
    }

    Json records(const std::string& table) { return Json::parse(*session_->records_json(table)); }

    // The same edits through the importer, from a CSV file of the rows given
    // and the identification beside it.
    importer::Imported imported(const std::string& file, const std::string& csv, bool headered) {
        const exporter::ExporterInfo& e = parts_->exporter;
        const std::string id = *exporter::rom_json(image_, e);
        const std::string crc = Json::parse(id)["crc32"].get<std::string>();
        importer::ImportRequest request;
        request.image_name = "demo.smc";
        request.image = image_;
        const std::string prefix = e.prefix;
        const std::string id_csv = "key,value\r\ncrc32," + crc + "\r\n";
        request.files.push_back({prefix + "-rom.csv", {id_csv.begin(), id_csv.end()}, 0});
        request.files.push_back({prefix + "-" + file + ".csv", {csv.begin(), csv.end()}, 0});
        request.outputs = {{'o', "new.smc"}, {'p', "new.bps"}, {'i', "new.ips"}};
        request.headered = headered;
        const importer::ImportInfo info{{"", "", nullptr, 0}, e, parts_->layout};
        common::Result<importer::Imported> made = importer::import_edits(std::move(request), info);
        EXPECT_TRUE(made.ok()) << made.error().lines.at(0);
        return made.ok() ? std::move(*made) : importer::Imported{};
    }

    const session::GameParts* parts_ = nullptr;
    compare::ByteVector image_;
    std::unique_ptr<session::Session> session_;
};

// A stored number set within its range, then out of it: the refusal names
// the cell and its range, the files are the importer's for the same edit
// (with and without the copier header), and the changes are the comparison's.
TEST_P(SessionTest, EditsComeOutAsTheImportersAndTheComparisons) {
    const session::SchemaColumn& hp = column("monsters", "hp");
    ASSERT_TRUE(hp.stored && hp.ranged) << hp.key;
    const Json start = records("monsters");
    const long long old = start[3]["hp"].get<long long>();
    const std::string value = std::to_string(old == 1234 ? 1235 : 1234);
    EXPECT_FALSE(session_->set("monsters", "3", "hp", value));
    EXPECT_EQ(records("monsters")[3]["hp"].get<long long>(), std::stoll(value));
    EXPECT_TRUE(session_->changed());

    const std::optional<session::Refusal> refused = session_->set("monsters", "3", "hp", "99999999");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->message, hp.heading + " 99999999: allowed " + std::to_string(hp.min) + ".." +
                                    std::to_string(hp.max));
    EXPECT_EQ(refused->value, "99999999");

    for (bool headered : {false, true}) {
        const importer::Imported made = imported("monsters", "index,hp\r\n3," + value + "\r\n", headered);
        const session::Files files = session_->files({true, true, true, headered});
        EXPECT_EQ(files.image, made.image);
        EXPECT_EQ(files.bps, made.bps);
        EXPECT_EQ(files.ips, made.ips);
        EXPECT_TRUE(files.refusals.empty());
    }

    const compare::CompareInfo info{{"", "", nullptr, 0}, parts_->exporter, parts_->regions};
    const common::Result<compare::Outcome> compared = compare::compare_inputs(
        info, {"old", image_}, {"new", session_->files({}).image}, {true, false});
    ASSERT_TRUE(compared.ok());
    EXPECT_EQ(Json::parse(session_->changes_json()), Json::parse(compared->text)["changes"]);
    EXPECT_EQ(Json::parse(session_->changes_json()).size(), 1u);

    // Cells set as one step: with one refused, none of them is written.
    const compare::ByteVector edited = session_->files({}).image;
    const std::vector<session::Refusal> refusals = session_->set_all(
        {{"monsters", "1", "hp", "7"}, {"monsters", "2", "hp", "99999999"}, {"monsters", "4", "hp", "8"}});
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_EQ(refusals[0].index + " " + refusals[0].message, "2 " + refused->message);
    EXPECT_EQ(session_->files({}).image, edited);
    EXPECT_EQ(Json::parse(session_->changes_json()).size(), 1u);
    EXPECT_TRUE(session_->set_all({{"monsters", "1", "hp", "7"}, {"monsters", "4", "hp", "8"}}).empty());
    EXPECT_EQ(records("monsters")[4]["hp"].get<long long>(), 8);
    EXPECT_EQ(session_->files({}).bps, imported("monsters", "index,hp\r\n1,7\r\n3," + value + "\r\n4,8\r\n", false).bps);
    EXPECT_TRUE(session_->set_all({{"monsters", "1", "hp", start[1]["hp"].dump()},
                                   {"monsters", "4", "hp", start[4]["hp"].dump()}}).empty());

    EXPECT_FALSE(session_->set("monsters", "3", "hp", std::to_string(old)));  // set back: no changes
    EXPECT_EQ(session_->changes_json(), "[]");
    EXPECT_FALSE(session_->changed());
    EXPECT_EQ(session_->files({}).image, image_);
}

// A name is held as the image holds it: blanks that pad the field are not
// part of it, so the session shows what an image opened from its files shows.
TEST_P(SessionTest, NamesAreShownAsWritten) {
    for (const std::string name : {" ", "\xE3\x81\x82  ", " \xE3\x81\x82"}) {  // "あ" in UTF-8
        EXPECT_FALSE(session_->set("monsters", "0", "name", name));
        auto reopened = session::Session::open("new.smc", session_->files({}).image, *parts_);
        ASSERT_TRUE(reopened.ok());
        EXPECT_EQ(records("monsters")[0]["name"], Json::parse(*(*reopened)->records_json("monsters"))[0]["name"])
            << name;
    }
}

// Every table's records, nested ones under their path, are the JSON export's.
TEST_P(SessionTest, RecordsAreTheJsonExportsTables) {
    const auto files = exporter::export_files(image_, "demo.smc", parts_->exporter, exporter::kJson);
    ASSERT_TRUE(files.ok());
    const Json exported = Json::parse(files->front().bytes)["tables"];
    size_t nested = 0;
    for (const session::SchemaTable& t : session_->schema()) {
        if (t.parent.empty()) {
            EXPECT_EQ(records(t.name), exported[t.name]) << t.name;
            continue;
        }
        const std::string child = t.name.substr(t.parent.size() + 1);
        Json rows = Json::array();
        for (size_t p = 0; p < exported[t.parent].size(); ++p) {
            for (Json row : exported[t.parent][p][child]) {
                row["parent"] = p;
                rows.push_back(row);
            }
        }
        EXPECT_EQ(records(t.name), rows) << t.name;
        ++nested;
    }
    EXPECT_GT(nested, 0u);
    EXPECT_FALSE(session_->records_json("no_such_table").ok());
}

// A nested row by "parent/index"; the schema says which columns follow
// others and which table a column refers to.
TEST_P(SessionTest, NestedRowsAndTheSchema) {
    const Json entries = records("learning_lists.entries");
    ASSERT_FALSE(entries.empty());
    const Json first = entries[0];
    const std::string at = std::to_string(first["parent"].get<int>()) + "/" + std::to_string(first["index"].get<int>());
    const int tech = first["tech"].get<int>();
    EXPECT_FALSE(session_->set("learning_lists.entries", at, "tech", std::to_string(tech == 1 ? 2 : 1)));
    EXPECT_EQ(records("learning_lists.entries")[0]["tech"].get<int>(), tech == 1 ? 2 : 1);
    const Json changes = Json::parse(session_->changes_json());
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0]["table"], "learning_lists.entries");
    EXPECT_EQ(changes[0]["key"], "tech");

    EXPECT_FALSE(column("learning_lists.entries", "tech").references.empty());
    const session::SchemaColumn& tech_name = column("learning_lists.entries", "tech_name");
    EXPECT_FALSE(tech_name.stored);
    EXPECT_EQ(tech_name.from, std::vector<std::string>{"tech"});
    const auto refused = session_->set("learning_lists.entries", at, "tech_name", "x");
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->message.find("tech"), std::string::npos) << refused->message;
}

// Nothing a caller gives makes the session throw: each is a refusal that
// names what was given.
TEST_P(SessionTest, BadTablesRecordsKeysAndValuesAreRefusals) {
    const int monsters = static_cast<int>(records("monsters").size());
    const struct {
        const char *table, *index, *key, *value, *words;
    } cases[] = {
        {"nothing", "0", "hp", "1", "no table \"nothing\""},
        {"monsters", "-1", "hp", "1", "no record \"-1\" in monsters"},
        {"monsters", "x", "hp", "1", "no record \"x\""},
        {"monsters", "0/1", "hp", "1", "no record \"0/1\""},
        {"learning_lists.entries", "0", "tech", "1", "no record \"0\""},
        {"learning_lists.entries", "99999/0", "tech", "1", "no record"},
        {"monsters", "0", "nothing", "1", "no column \"nothing\" in monsters"},
        {"monsters", "0", "index", "5", "the record's key"},
        {"monsters", "0", "hp", "many", "many: not a whole number"},
        {"monsters", "0", "hp", "1.5", "1.5: not a whole number"},
        {"monsters", "0", "hp", "", "\"\": allowed"},
    };
    for (const auto& c : cases) {
        const auto refused = session_->set(c.table, c.index, c.key, c.value);
        ASSERT_TRUE(refused) << c.table << " " << c.index << " " << c.key;
        EXPECT_NE(refused->message.find(c.words), std::string::npos) << refused->message;
        EXPECT_EQ(refused->table + refused->index + refused->key + refused->value,
                  std::string(c.table) + c.index + c.key + c.value);
    }
    EXPECT_TRUE(session_->set("monsters", std::to_string(monsters), "hp", "1"));
    EXPECT_FALSE(session_->changed());
}

// The schema's ranges are the ones the checks hold: in the first record of
// every table, each ranged column takes its highest value and refuses one
// more, and is set back.
TEST_P(SessionTest, SchemaRangesAreTheChecks) {
    size_t checked = 0;
    for (const session::SchemaTable& t : session_->schema()) {
        const Json rows = records(t.name);
        if (rows.empty()) continue;
        const std::string at =
            t.parent.empty() ? "0" : std::to_string(rows[0]["parent"].get<int>()) + "/0";  // its parent's first
        for (const session::SchemaColumn& c : t.columns) {
            if (!c.ranged || rows[0][c.key].is_null()) continue;
            const std::string old = rows[0][c.key].dump();
            const auto over = session_->set(t.name, at, c.key, std::to_string(c.max + c.step));
            if (!over) {  // a column of records of several layouts: one of them takes more
                EXPECT_FALSE(session_->set(t.name, at, c.key, old)) << t.name << " " << c.key;
                continue;
            }
            if (over->message.find("also read as") != std::string::npos) continue;  // a place two tables read
            EXPECT_NE(over->message.find(": allowed " + std::to_string(c.min) + ".." + std::to_string(c.max)),
                      std::string::npos) << t.name << " " << over->message;
            EXPECT_FALSE(session_->set(t.name, at, c.key, std::to_string(c.max - c.max % c.step)))
                << t.name << " " << c.key;
            EXPECT_FALSE(session_->set(t.name, at, c.key, old)) << t.name << " " << c.key;
            EXPECT_EQ(session_->changes_json(), "[]") << t.name << " " << c.key;
            ++checked;
        }
    }
    EXPECT_GT(checked, 20u);
    // A drop of a monster's weapon slot (codes 253 and 254) is shown as the
    // weapon: set back, it is the weapon's own code, the same value.
    EXPECT_EQ(session_->changes_json(), "[]");
}

INSTANTIATE_TEST_SUITE_P(Games, SessionTest,
                         ::testing::Values(Game{"A", "mt2demo.smc"}, Game{"B", "mt3demo.smc"}),
                         [](const auto& info) { return std::string("Game") + info.param.letter; });

// An image of no game is refused with the importer's words.
TEST(SessionOpen, NoImageIsRefused) {
    const auto& game = tools::session_games().front();
    const auto opened = session::Session::open("zero.smc", compare::ByteVector(1 << 16, 0), game.part);
    ASSERT_FALSE(opened.ok());
    EXPECT_NE(opened.error().lines.at(0).find("zero.smc is not an image of"), std::string::npos);
}

}  // namespace
