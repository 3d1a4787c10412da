// The demo image generator: game text from readable literals, the image
// builder with its overlap check and cartridge header, and the two images.
#include <gtest/gtest.h>

#include <numeric>
#include <set>

#include "common/diag.h"
#include "common/gametext.h"
#include "common/rom.h"
#include "demo/demo.h"
#include "demo/game_text.h"
#include "games/a/chartables.h"
#include "games/a/demo.h"
#include "games/b/chartables.h"
#include "games/b/demo.h"
#include "tests/support/test_util.h"
#include "tools/demo_files.h"

using namespace demo;

namespace {

// The generator's own faults leave as the core's error value.
class DemoTest : public ::testing::Test {};

// The error's one line, or "" when the call succeeded.
template <typename Call>
std::string refusal(Call call) {
    try {
        call();
    } catch (const common::Error& error) {
        return error.lines.size() == 1 ? error.lines[0] : "lines: " + std::to_string(error.lines.size());
    }
    return "";
}

std::string convert(const DemoBytes& codes, const common::CharTables& tables) {
    char slot[common::kNameSlotSize] = {};
    common::convert_game_text(slot, codes.data(), sizeof slot, codes.size(), tables);
    return slot;
}

DemoBytes bytes(std::initializer_list<int> values) {
    DemoBytes out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

unsigned le16_at(const DemoBytes& rom, long at) {
    return rom[static_cast<size_t>(at)] | (rom[static_cast<size_t>(at) + 1] << 8);
}

}  // namespace

TEST_F(DemoTest, KanaDigitsAndLineEndsGetTheirCodes) {
    EXPECT_EQ(encode_game_text("あい", mt2::kCharTables), bytes({0x51, 0x52}));
    EXPECT_EQ(encode_game_text("09", mt3::kCharTables), bytes({0x23, 0x00, 0x23, 0x09}));
    EXPECT_EQ(encode_game_text("あ\nい", mt2::kCharTables), bytes({0x51, 0x00, 0x52}));
    EXPECT_EQ(encode_game_text("ー", mt2::kCharTables), bytes({0xE5}));
}

TEST_F(DemoTest, TheSingleByteTableComesFirst) {
    // 剣 is a single-byte code in game A and a two-byte code in game B.
    const DemoBytes a = encode_game_text("剣", mt2::kCharTables);
    const DemoBytes b = encode_game_text("剣", mt3::kCharTables);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_STREQ(mt2::kCharTables.single[a[0]], "剣");
    ASSERT_EQ(b.size(), 2u);
    EXPECT_STREQ(mt3::kCharTables.dbl[(b[0] - 0x20) * 256 + b[1]], "剣");
}

TEST_F(DemoTest, ACharacterTheGameCannotWriteEndsTheGenerator) {
    EXPECT_EQ(refusal([] { encode_game_text("ぽ", mt2::kCharTables); }),
              "No game code for the character at byte 0 of \"ぽ\"");
    // game B has no long-vowel mark
    EXPECT_EQ(refusal([] { encode_game_text("ゴーレム", mt3::kCharTables); }),
              "No game code for the character at byte 2 of \"ゴーレム\"");
}

TEST_F(DemoTest, NameFieldsArePaddedWithBlanksAndNeverCut) {
    EXPECT_EQ(name_field("あ", 4, mt2::kCharTables), bytes({0x51, 0x50, 0x50, 0x50}));
    EXPECT_EQ(name_field("", 2, mt2::kCharTables), bytes({0x50, 0x50}));
    EXPECT_EQ(refusal([] { name_field("あいうえお", 4, mt2::kCharTables); }), "Name \"あいうえお\" is longer than 4 bytes");
}

TEST_F(DemoTest, EveryDemoNameComesBackThroughTheConversion) {
    for (const std::string& name : monster_names()) {
        EXPECT_EQ(convert(name_field(name, 8, mt2::kCharTables), mt2::kCharTables), name);
        EXPECT_EQ(convert(name_field(name, 8, mt3::kCharTables), mt3::kCharTables), name);
    }
    for (const std::string& name : person_names(256, 1)) EXPECT_EQ(convert(name_field(name, 8, mt2::kCharTables), mt2::kCharTables), name);
}

TEST_F(DemoTest, PersonNamesAreDistinct) {
    const std::vector<std::string> names = person_names(256, 7);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 256u);
}

TEST_F(DemoTest, TablesThatWouldOverlapEndTheGenerator) {
    DemoImage image(0x100);
    image.put(0x10, bytes({1, 2, 3}));
    EXPECT_EQ(refusal([&image] { image.put(0x12, bytes({4})); }), "Demo tables overlap at rom offset 0x000012");
    EXPECT_EQ(refusal([&image] { image.put(0xFF, bytes({1, 2})); }), "Demo table outside the ROM at 0x0000FF");
    image.put(0x13, bytes({4}));
    EXPECT_EQ(image.rom()[0x12], 3);
    EXPECT_EQ(image.rom()[0x13], 4);
}

TEST_F(DemoTest, HeaderPlaceFollowsTheMapMode) {
    for (unsigned mode : {0x20u, 0x21u}) {
        DemoImage image(0x20000);
        image.put(0x100, bytes({0x12, 0x34}));
        image.finish_header(kGameATitle, mode);
        const long at = mode == 0x21 ? 0xFFC0 : 0x7FC0;
        const DemoBytes& rom = image.rom();
        EXPECT_EQ(std::string(rom.begin() + at, rom.begin() + at + 21), kGameATitle);
        EXPECT_EQ(rom[static_cast<size_t>(at) + 21], mode);
        EXPECT_EQ(rom[static_cast<size_t>(at) + 23], 7) << "128 KiB";
        const unsigned sum = std::accumulate(rom.begin(), rom.end(), 0u) & 0xFFFF;
        EXPECT_EQ(le16_at(rom, at + 30), sum);
        EXPECT_EQ(le16_at(rom, at + 28), sum ^ 0xFFFF);
    }
}

TEST_F(DemoTest, FormationSharesAddUpToTheWholeRange) {
    DemoRng rng(3);
    for (int total : {255, 256}) {
        for (int n = 0; n < 50; ++n) {
            int sum = 0;
            for (const common::FormationEntry& m : make_formation(rng, total)) {
                EXPECT_GT(m.rate, 0);
                sum += m.rate;
            }
            EXPECT_EQ(sum, total);
        }
    }
}

TEST_F(DemoTest, LearningListsEndWithTheEndKey) {
    const std::vector<LearnGroupPlan> groups = {{11, {{12, 6}, {13, 20}}}, {40, {}}};
    EXPECT_EQ(learning_list_bytes(groups), bytes({11, 2, 12, 6, 13, 20, 40, 0, 0xFF}));
}

TEST_F(DemoTest, TheImagesComeOutTheSameEveryTime) {
    EXPECT_EQ(mt2::make_demo().image.rom(), mt2::make_demo().image.rom());
    EXPECT_EQ(mt3::make_demo().image.rom(), mt3::make_demo().image.rom());
}

TEST_F(DemoTest, TheAnalyzersFindTheHeadersBehindTheCopierHeader) {
    TempDir dir;
    write_demo_files(dir.path());
    const std::string a = dir.file(kGameAFiles.image), b = dir.file(kGameBFiles.image);
    EXPECT_EQ(read_file(a).size(), kGameARomSize + kDemoCopierHeaderSize);
    EXPECT_EQ(read_file(b).size(), kGameBRomSize + kDemoCopierHeaderSize);
    common::RomImage image_a, image_b;
    ASSERT_TRUE(image_a.open(a.c_str(), kGameATitle, 0x10000));
    EXPECT_EQ(image_a.image_base(), 512);
    ASSERT_TRUE(image_b.open(b.c_str(), kGameBTitle, 0x10000));
    EXPECT_EQ(image_b.image_base(), 512);
    const DemoBytes text = mt2::make_demo().script_text;
    EXPECT_EQ(read_file(dir.file(kGameAFiles.text)), std::string(text.begin(), text.end()));
}
