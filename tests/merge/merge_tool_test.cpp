// mt2merge and mt3merge end to end: two friends' edits of a demo image (a
// BPS patch made by the importer, an image with a byte changed outside the
// tables) and a third input, merged: two fields of one byte, one agreement,
// one field conflict and one byte conflict; --prefer, --resolve, one input
// twice, and the inputs refused. The written patches are applied with the
// tests' own readers to the headerless base and the result is read back by
// the comparison.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "demo/demo.h"
#include "games/a/demo.h"
#include "games/b/demo.h"
#include "tests/import/bps_reader.h"
#include "tests/support/test_util.h"
#include "tools/demo_files.h"

using Json = nlohmann::json;

namespace {

struct Game {
    const char* prefix;
    const char* merge;
    const char* import;
    const char* exporter;
    const char* compare;
    const char* image;
    const char* first_key;   // two fields of one byte of a monster's record
    const char* second_key;
    size_t unmapped;         // a rom offset outside every table
};

const Game kGames[] = {
    {"mt2", MT2MERGE, MT2IMPORT, MT2EXPORT, MT2COMPARE, demo::kGameAFiles.image, "targets_emperor", "pattern_rate_index", 0x7F00},
    {"mt3", MT3MERGE, MT3IMPORT, MT3EXPORT, MT3COMPARE, demo::kGameBFiles.image, "male", "race", 0xFF00},
};

void PrintTo(const Game& g, std::ostream* os) { *os << g.prefix; }

std::string other_value(const Json& v) {
    if (v.is_boolean()) return v.get<bool>() ? "false" : "true";
    return std::to_string(v.get<long long>() == 1 ? 2 : 1);
}

class MergeTool : public ::testing::TestWithParam<Game> {
protected:
    void SetUp() override {
        demo::write_demo_files(dir_.path());
        const Game& g = GetParam();
        make_dir(dir_.file("export"));
        ASSERT_EQ(run({g.exporter, "-j", "-c", g.image, "export"}).status, 0);
        const Json doc = Json::parse(read_file(dir_.file(std::string("export/") + g.prefix + ".json")));
        monster_ = doc["tables"]["monsters"][0];
        hp2_ = doc["tables"]["monsters"][2]["hp"].get<long long>();
        base_ = read_file(dir_.file(g.image));
        // Alice: a BPS patch (HP 150, her field, monster 2's HP 300).
        edit("alice", "index,hp," + std::string(g.first_key) + "\r\n0,150," + other_value(monster_[g.first_key]) +
                          "\r\n2,300," + monster_[g.first_key].dump() + "\r\n");
        ASSERT_EQ(run({g.import, "-p", "alice.bps", g.image, "alice/" + monsters()}).status, 0);
        // Bob: an image (HP 150 too, his field of the same byte, monster 2's
        // HP 400, a byte outside the tables).
        edit("bob", "index,hp," + std::string(g.second_key) + "\r\n0,150," + other_value(monster_[g.second_key]) +
                        "\r\n2,400," + monster_[g.second_key].dump() + "\r\n");
        ASSERT_EQ(run({g.import, "-o", "bob.smc", g.image, "bob/" + monsters()}).status, 0);
        write_unmapped("bob.smc", 0x11);
        write_file(dir_.file("carol.smc"), base_);
        write_unmapped("carol.smc", 0x22);
    }

    std::string monsters() const { return std::string(GetParam().prefix) + "-monsters.csv"; }

    void edit(const std::string& who, const std::string& csv) {
        make_dir(dir_.file(who));
        const std::string id = std::string(GetParam().prefix) + "-rom.csv";
        write_file(dir_.file(who + "/" + id), read_file(dir_.file("export/" + id)));
        write_file(dir_.file(who + "/" + monsters()), csv);
    }

    void write_unmapped(const std::string& name, uint8_t value) {
        std::string bytes = read_file(dir_.file(name));
        bytes[bytes.size() % 1024 + GetParam().unmapped] = static_cast<char>(value);
        write_file(dir_.file(name), bytes);
    }

    RunResult run(std::vector<std::string> args) {
        const std::string exe = args.front();
        args.erase(args.begin());
        return run_tool(exe, args, dir_.path());
    }

    RunResult merge(std::vector<std::string> args) {
        args.insert(args.begin(), GetParam().merge);
        return run(args);
    }

    // The comparison's changes from the base to a file, by "index key".
    std::map<std::string, Json> changes(const std::string& file) {
        const RunResult r = run({GetParam().compare, "-j", GetParam().image, file});
        EXPECT_EQ(r.status, 1) << r.err;
        std::map<std::string, Json> out;
        const Json doc = Json::parse(r.out);
        for (const Json& c : doc["changes"]) {
            if (c["table"] == "monsters") out[std::to_string(c["index"].get<int>()) + " " + c["key"].get<std::string>()] = c["new"];
        }
        for (const Json& b : doc["unmapped"]) out["byte " + std::to_string(b["offset"].get<size_t>())] = b["length"];
        return out;
    }

    // The patches applied by the tests' readers to the headerless base are
    // the merged image's ROM proper.
    void patches_make(const std::string& image) {
        const std::string merged = read_file(dir_.file(image));
        const PatchBytes rom(base_.begin() + static_cast<long>(base_.size() % 1024), base_.end());
        const PatchBytes want(merged.begin() + static_cast<long>(merged.size() % 1024), merged.end());
        std::string error;
        const std::string bps = read_file(dir_.file("m.bps")), ips = read_file(dir_.file("m.ips"));
        EXPECT_EQ(apply_bps(PatchBytes(bps.begin(), bps.end()), rom, &error), want) << error;
        EXPECT_EQ(apply_ips(PatchBytes(ips.begin(), ips.end()), rom, &error), want) << error;
        EXPECT_EQ(merged.size(), base_.size());  // the base's copier header kept
    }

    TempDir dir_;
    Json monster_;
    long long hp2_ = 0;
    std::string base_;
};

TEST_P(MergeTool, ConflictsAreNamedAndNothingIsWritten) {
    const Game& g = GetParam();
    const RunResult r = merge({"-j", "-o", "m.smc", g.image, "alice.bps", "bob.smc", "carol.smc"});
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_FALSE(file_exists(dir_.file("m.smc")));
    const Json report = Json::parse(r.out);
    EXPECT_EQ(report["format"], "meridian-tools-merge");
    ASSERT_EQ(report["conflicts"].size(), 1u) << r.out;
    EXPECT_EQ(report["conflicts"][0]["key"], "hp");
    EXPECT_EQ(report["conflicts"][0]["values"], Json::parse("[300, 400, " + std::to_string(hp2_) + "]"));
    ASSERT_EQ(report["unmapped_conflicts"].size(), 1u) << r.out;
    EXPECT_EQ(report["unmapped_conflicts"][0]["offset"], g.unmapped);
    std::map<std::string, Json> from;
    for (const Json& c : report["changes"]) from[std::to_string(c["index"].get<int>()) + " " + c["key"].get<std::string>()] = c["from"];
    EXPECT_EQ(from["0 hp"], Json::parse("[1, 2]"));  // the same change twice: agreement
    EXPECT_EQ(from[std::string("0 ") + g.first_key], Json::parse("[1]"));
    EXPECT_EQ(from[std::string("0 ") + g.second_key], Json::parse("[2]"));

    const RunResult text = merge({g.image, "alice.bps", "bob.smc", "carol.smc"});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find("conflicts:\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("1 conflict (1 open)"), std::string::npos) << text.out;
}

TEST_P(MergeTool, PreferAndResolveTakeTheConflictsValues) {
    const Game& g = GetParam();
    RunResult r = merge({"--prefer", "2", "-o", "m.smc", "-p", "m.bps", "-i", "m.ips", g.image, "alice.bps", "bob.smc", "carol.smc"});
    ASSERT_EQ(r.status, 0) << r.err;
    patches_make("m.smc");
    std::map<std::string, Json> c = changes("m.bps");
    EXPECT_EQ(c["0 hp"], 150);
    EXPECT_EQ(c["2 hp"], 400);
    EXPECT_EQ(c[std::string("0 ") + g.first_key].dump(), other_value(monster_[g.first_key]));
    EXPECT_EQ(c[std::string("0 ") + g.second_key].dump(), other_value(monster_[g.second_key]));
    EXPECT_EQ(c["byte " + std::to_string(g.unmapped)], 1);
    EXPECT_EQ(read_file(dir_.file("m.smc"))[base_.size() % 1024 + g.unmapped], 0x11);
    EXPECT_EQ(run({g.compare, g.image, "m.smc"}).out.find("checksum valid: no"), std::string::npos);

    write_file(dir_.file("resolve.csv"), "table,index,key,value\r\nmonsters,2,hp,350\r\n");
    r = merge({"--resolve", "resolve.csv", "--prefer", "3", "-o", "m.smc", "-p", "m.bps", "-i", "m.ips", g.image,
               "alice.bps", "bob.smc", "carol.smc"});
    ASSERT_EQ(r.status, 0) << r.err;
    patches_make("m.smc");
    EXPECT_EQ(changes("m.smc")["2 hp"], 350);
    EXPECT_EQ(read_file(dir_.file("m.smc"))[base_.size() % 1024 + g.unmapped], 0x22);
    EXPECT_NE(r.out.find("hp: " + std::to_string(hp2_) + utf8(u8" → 350 (from --resolve)")), std::string::npos) << r.out;

    write_file(dir_.file("resolve.csv"), "table,index,key,value\r\nmonsters,2,hp,many\r\n");
    r = merge({"--resolve", "resolve.csv", "--prefer", "3", "-o", "n.smc", g.image, "alice.bps", "bob.smc", "carol.smc"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("resolve.csv: monsters 2 hp: HP many: not a whole number"), std::string::npos) << r.err;
    EXPECT_FALSE(file_exists(dir_.file("n.smc")));
}

// One input, or one twice: the patch applied, the importer's image (the
// checksum made valid).
TEST_P(MergeTool, OneInputIsThePatchApplied) {
    const Game& g = GetParam();
    ASSERT_EQ(run({g.import, "-o", "alice.smc", g.image, "alice/" + monsters()}).status, 0);
    for (const std::vector<std::string>& inputs : {std::vector<std::string>{"alice.bps"}, {"alice.bps", "alice.smc"}}) {
        std::vector<std::string> args = {"-o", "m.smc", "-p", "m.bps", "-i", "m.ips", g.image};
        args.insert(args.end(), inputs.begin(), inputs.end());
        const RunResult r = merge(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(read_file(dir_.file("m.smc")), read_file(dir_.file("alice.smc")));
        patches_make("m.smc");
    }
}

// An input with bytes changed all over (names with codes no character
// table has among them) merges into an image whose every field is the
// input's: the fields are copied as their bytes stand.
TEST_P(MergeTool, EveryFieldOfADamagedInputIsTaken) {
    const Game& g = GetParam();
    std::string damaged = base_;
    for (size_t at = 0x10000; at < damaged.size(); at += 4099) damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
    write_file(dir_.file("damaged.smc"), damaged);
    const RunResult r = merge({"-o", "m.smc", g.image, "damaged.smc"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json compared = Json::parse(run({g.compare, "-j", "damaged.smc", "m.smc"}).out);
    EXPECT_TRUE(compared["changes"].empty()) << compared["changes"].dump().substr(0, 400);
    size_t outside = 0;
    for (const Json& b : compared["unmapped"]) outside += b["length"].get<size_t>();
    EXPECT_LE(outside, 4u);  // the checksum and its complement, computed
}

TEST_P(MergeTool, InputsThatAreNoChangeOfTheBaseAreRefused) {
    const Game& g = GetParam();
    const std::string patch = read_file(dir_.file("alice.bps"));
    write_file(dir_.file("cut.bps"), patch.substr(0, patch.size() - 3));
    const std::string other = g.prefix == std::string("mt2") ? demo::kGameBFiles.image : demo::kGameAFiles.image;
    const struct {
        std::vector<std::string> args;
        const char* words;
    } cases[] = {
        {{"cut.bps"}, "cut.bps: patch is damaged"},
        {{other}, "is not an image of"},
        {{"-o", "alice.bps", "alice.bps"}, "alice.bps: an output may not be written over an input (alice.bps)"},
        {{"--prefer", "4", "alice.bps"}, "--prefer 4"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end() - 1, g.image);
        const RunResult r = merge(args);
        EXPECT_EQ(r.status, 2) << c.words;
        EXPECT_NE(r.err.find(c.words), std::string::npos) << r.err;
    }
    // A patch of another image: the revised demo image as the base.
    if (g.prefix == std::string("mt2")) {
        const RunResult r = merge({demo::kGameARevisedImage, "alice.bps"});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("patch is for another image"), std::string::npos) << r.err;
    }
    EXPECT_EQ(read_file(dir_.file("alice.bps")), patch);
}

INSTANTIATE_TEST_SUITE_P(BothGames, MergeTool, ::testing::ValuesIn(kGames),
                         [](const auto& info) { return std::string(info.param.prefix); });

}  // namespace
