// mt2merge and mt3merge end to end: two friends' changes of a demo image
// (a monster's race and a flag in one byte, one agreement, one field
// conflict, one byte conflict outside the tables) merged with --prefer,
// --resolve, three inputs and one input twice, the written BPS and IPS
// patches applied to the headerless base by the tests' own readers; a patch
// of another image, a damaged patch and refused outputs and values.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>

#include "analyzer_a/layout.h"
#include "analyzer_b/layout.h"
#include "common/image_id.h"
#include "common/rom.h"
#include "demo/demo.h"
#include "tests/import/bps_reader.h"
#include "tests/support/test_util.h"

using namespace demo;

namespace {

struct Game {
    const char* tool;
    const char* image;
    const common::TableLayout& monsters;
    int hp_byte;
    const char* flag;  // the flag in the race's byte (bit 5)
    long header;       // the cartridge header's rom offset
};

const Game kGames[] = {
    {MT2MERGE, kGameAFiles.image, mt2::layout::kMonsterRecords, mt2::layout::monster::kHp.byte, "boss", common::kLoRomHeaderOffset},
    {MT3MERGE, kGameBFiles.image, mt3::layout::kMonsterRecords, mt3::layout::monster::kHp.byte, "undead", common::kHiRomHeaderOffset},
};

void PrintTo(const Game& g, std::ostream* os) { *os << g.image; }

constexpr size_t kCode = 0x1000;  // a byte outside every table: both friends write it
constexpr uint8_t kFlagBit = 0x20;

Bytes bytes_of(const std::string& path) {
    const std::string s = read_file(path);
    return Bytes(s.begin(), s.end());
}

// A run of the tool: its arguments ("@name" a file of the test's folder),
// its status, what its output and diagnostics hold, and the merged image
// that its patches must make: the flag of friend 2 with it, the HP of
// monster 3 and which friend's byte of code it takes.
struct Case {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> out_has;
    std::string err_has;
    bool with_friend2 = true;
    int hp3 = 0;
    int code_from = 0;
};

class MergeTest : public ::testing::TestWithParam<Game> {
protected:
    void SetUp() override {
        const Game& game = GetParam();
        write_demo_files(dir_.path());
        const Bytes file = bytes_of(dir_.file(game.image));
        write_file(dir_.file("base.smc"), file);
        rom_ = Bytes(file.begin() + kDemoCopierHeaderSize, file.end());
        write_file(dir_.file("friend1.sfc"), friend_rom(1));
        write_file(dir_.file("friend2.sfc"), friend_rom(2));
        // Friend 2's patch, made by the merge of its image alone.
        ASSERT_EQ(run({"-p", "@friend2.bps", "@base.smc", "@friend2.sfc"}).status, 0);
        ASSERT_EQ(run({"-p", "@other.bps", "@friend1.sfc", "@friend2.sfc"}).status, 0);
        Bytes damaged = bytes_of(dir_.file("friend2.bps"));
        damaged[damaged.size() / 2] ^= 0xFF;
        write_file(dir_.file("damaged.bps"), damaged);
        write_file(dir_.file("resolve.csv"), std::string("table,index,key,value\r\nmonsters,3,hp,3333\r\n"));
        write_file(dir_.file("refused.csv"), std::string("monsters,3,hp,99999\n"));
    }

    size_t record(int monster) const { return static_cast<size_t>(GetParam().monsters.record(monster)); }
    void put_hp(Bytes& rom, int monster, int hp) const {
        const size_t at = record(monster) + static_cast<size_t>(GetParam().hp_byte);
        rom[at] = static_cast<uint8_t>(hp);
        rom[at + 1] = static_cast<uint8_t>(hp >> 8);
    }

    // Friend 1 changes monster 1's race, friend 2 its flag in the same
    // byte; both give monster 2 150 HP, and monster 3 each its own HP; each
    // writes its own byte of code, friend 1 one more.
    Bytes friend_rom(int which) const {
        Bytes rom = rom_;
        uint8_t& body = rom[record(1)];
        if (which == 1) body = static_cast<uint8_t>((body & 0xF0) | ((body + 1) & 0x0F));
        if (which == 2) body ^= kFlagBit;
        put_hp(rom, 2, 150);
        put_hp(rom, 3, which == 1 ? 1111 : 2222);
        rom[kCode] ^= which == 1 ? 0x55 : 0xAA;
        if (which == 1) rom[kCode + 1] ^= 0xFF;
        return rom;
    }

    Bytes expected(const Case& c) const {
        Bytes rom = friend_rom(1);
        if (c.with_friend2) rom[record(1)] ^= kFlagBit;
        put_hp(rom, 3, c.hp3);
        rom[kCode] = friend_rom(c.code_from)[kCode];
        return rom;
    }

    RunResult run(std::vector<std::string> args) const {
        for (std::string& a : args) {
            if (a.starts_with("@")) a = dir_.file(a.substr(1));
        }
        return run_tool(GetParam().tool, args);
    }

    // The patch applied to the headerless base: the expected image, its
    // checksum made valid.
    void check_patch(const std::string& name, const Bytes& want) const {
        std::string error;
        const Bytes patch = bytes_of(dir_.file(name));
        const Bytes made = name.ends_with(".bps") ? apply_bps(patch, rom_, &error) : apply_ips(patch, rom_, &error);
        ASSERT_EQ(error, "") << name;
        ASSERT_EQ(made.size(), want.size());
        const size_t sum = static_cast<size_t>(GetParam().header) + common::kChecksumComplementOffset;
        for (size_t i = 0; i < made.size(); ++i) {
            if (i < sum || i >= sum + 4) ASSERT_EQ(made[i], want[i]) << name << " at " << i;
        }
        EXPECT_TRUE(common::identify_image(made.data(), made.size(), GetParam().header).checksum_valid);
    }

    TempDir dir_;
    Bytes rom_;
};

const Case kCases[] = {
    {"conflicts", {"-p", "@out.bps", "@base.smc", "@friend1.sfc", "@friend2.bps"}, 1,
     {"  hp: ", " → 1: 1111, 2: 2222\n", "conflicts outside the tables", "  0x001000 1\n", "2 conflicts remain: nothing written"}, ""},
    {"prefer", {"-p", "@out.bps", "-i", "@out.ips", "--prefer", "2", "@base.smc", "@friend1.sfc", "@friend2.bps"}, 0,
     {"; takes 2222 (--prefer 2)\n", "  0x001000 1 (--prefer 2)\n", "  0x001001 1 (from 1)\n", " (from 1, 2)\n"}, "", true, 2222, 2},
    {"resolve", {"-p", "@out.bps", "-i", "@out.ips", "--resolve", "@resolve.csv", "--prefer", "1", "@base.smc", "@friend1.sfc", "@friend2.bps"},
     0, {"; takes 3333 (--resolve)\n"}, "", true, 3333, 1},
    {"three_inputs", {"-p", "@out.bps", "--prefer", "3", "@base.smc", "@friend1.sfc", "@friend2.bps", "@friend2.sfc"}, 0,
     {" → 1: 1111, 2: 2222, 3: 2222; takes 2222"}, "", true, 2222, 2},
    {"one_input_twice", {"-p", "@out.bps", "-i", "@out.ips", "@base.smc", "@friend1.sfc", "@friend1.sfc"}, 0, {"0 conflicts"}, "",
     false, 1111, 1},
    {"patch_of_another_image", {"-p", "@out.bps", "@base.smc", "@friend1.sfc", "@other.bps"}, 2, {}, "other.bps: "},
    {"damaged_patch", {"-p", "@out.bps", "@base.smc", "@damaged.bps"}, 2, {}, "damaged.bps: "},
    {"output_over_input", {"-o", "@friend1.sfc", "@base.smc", "@friend1.sfc"}, 2, {},
     "friend1.sfc: an output may not be written over an input"},
    {"resolve_refused", {"-p", "@out.bps", "--resolve", "@refused.csv", "@base.smc", "@friend1.sfc", "@friend2.bps"}, 2, {},
     "refused.csv: line 1: "},
};

TEST_P(MergeTest, TwoFriends) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        for (const char* out : {"out.bps", "out.ips"}) std::remove(dir_.file(out).c_str());
        const RunResult r = run(c.args);
        ASSERT_EQ(r.status, c.status) << r.out << r.err;
        for (const std::string& s : c.out_has) EXPECT_NE(r.out.find(s), std::string::npos) << s << "\n" << r.out;
        EXPECT_NE(r.err.find(c.err_has), std::string::npos) << r.err;
        if (c.status != 0) {
            EXPECT_FALSE(file_exists(dir_.file("out.bps")));
            continue;
        }
        check_patch("out.bps", expected(c));
        if (file_exists(dir_.file("out.ips"))) check_patch("out.ips", expected(c));
    }
}

INSTANTIATE_TEST_SUITE_P(Games, MergeTest, ::testing::ValuesIn(kGames),
                         [](const auto& info) { return std::string(info.param.tool == kGames[0].tool ? "A" : "B"); });

// The JSON document names each merged field's inputs, and the conflict with
// each input's value and the value taken.
TEST_P(MergeTest, JsonNamesTheInputs) {
    const RunResult r = run({"-j", "--prefer", "2", "@base.smc", "@friend1.sfc", "@friend2.bps"});
    ASSERT_EQ(r.status, 0) << r.err;
    const nlohmann::json doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["format"], "meridian-tools-merge");
    ASSERT_EQ(doc["inputs"].size(), 2u);
    std::map<std::string, nlohmann::json> from;
    for (const nlohmann::json& c : doc["changes"]) {
        if (c["table"] == "monsters") from[std::to_string(c["index"].get<int>()) + " " + c["key"].get<std::string>()] = c["from"];
    }
    EXPECT_EQ(from["1 race"], nlohmann::json::array({1}));
    EXPECT_EQ(from[std::string("1 ") + GetParam().flag], nlohmann::json::array({2}));
    EXPECT_EQ(from["2 hp"], nlohmann::json::array({1, 2}));
    EXPECT_EQ(from["3 hp"], nlohmann::json::array({2}));
    ASSERT_EQ(doc["conflicts"].size(), 1u);
    EXPECT_EQ(doc["conflicts"][0]["values"], nlohmann::json::array({1111, 2222}));
    EXPECT_EQ(doc["conflicts"][0]["new"], 2222);
    EXPECT_EQ(doc["unmapped_conflicts"], nlohmann::json::parse(R"([{"offset":4096,"length":1}])"));
}

}  // namespace
