#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gametext.h"
#include "games/a/chartables.h"
#include "games/b/chartables.h"

namespace {

std::string convert(std::vector<unsigned char> src, const common::CharTables& t = mt2::kCharTables, size_t size = 256) {
    std::vector<char> dst(size, 'x');
    common::convert_game_text(dst.data(), src.data(), size, src.size(), t);
    return std::string(dst.data());
}

}  // namespace

TEST(ConvertGameText, StripsTheBlanksThatFillAField) {
    EXPECT_EQ(convert({0x51, 0x52, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50}), "あい");
    EXPECT_EQ(convert(std::vector<unsigned char>(8, 0x50)), "");
    EXPECT_EQ(convert({0x50, 0x51}), " あ");
    EXPECT_EQ(convert({0x51, 0x50, 0x52, 0xE6}), "あ い");
}

TEST(ConvertGameText, TwoByteCodes) {
    EXPECT_EQ(convert({0x20, 0x00}), "");
    for (int d = 0; d < 10; ++d) EXPECT_EQ(convert({0x23, static_cast<unsigned char>(d)}), std::string(1, char('0' + d)));
    EXPECT_EQ(convert({0x23, 0x0E}), "←");
    EXPECT_EQ(convert({0x20, 0xB0, 0x23, 0xFF}), "兄狼");
    EXPECT_EQ(convert({0x20, 0xB0, 0x23, 0xFF}, mt3::kCharTables), "魔汗");
    EXPECT_EQ(convert({0x20, 0x12}), "つ");
    EXPECT_EQ(convert({0x20, 0x12}, mt3::kCharTables), "っ");
}

TEST(ConvertGameText, LeadByteAtTheEndIsDropped) {
    EXPECT_EQ(convert({0x51, 0x21}), "あ");
    EXPECT_EQ(convert({0x23}), "");
}

TEST(ConvertGameText, NulByteIsNoTerminator) {
    EXPECT_EQ(convert({0x51, 0x00, 0x52}), "あ〓い");
}

TEST(ConvertGameText, GameSpecificSingleByteCodes) {
    EXPECT_EQ(convert({0xE5}), "ー");
    EXPECT_EQ(convert({0xE5}, mt3::kCharTables), "一");
}

TEST(ConvertGameText, CutsAtACharacterBoundary) {
    EXPECT_EQ(convert({0x51, 0x52}, mt2::kCharTables, 4), "あ");
    EXPECT_EQ(convert({0x51, 0x52}, mt2::kCharTables, 5), "あい");
    EXPECT_EQ(convert({0x23, 0x01, 0x51}, mt2::kCharTables, 3), "1");
    EXPECT_EQ(convert({0x23, 0x01, 0x51}, mt2::kCharTables, 2), "1");
    EXPECT_EQ(convert({0x51}, mt2::kCharTables, 1), "");
}

TEST(ConvertGameText, ClearsTheRestOfTheDestination) {
    std::vector<char> dst(8, 'x');
    const unsigned char src[] = {0x51};
    common::convert_game_text(dst.data(), src, dst.size(), 1, mt2::kCharTables);
    for (size_t i = 2; i < dst.size(); ++i) EXPECT_EQ(dst[i], '\0') << i;
}

TEST(ConvertGameText, LeavesTheDestinationUntouchedWithoutInput) {
    char dst[4] = {'x', 'x', 'x', 'x'};
    const unsigned char src[] = {0x51};
    EXPECT_EQ(common::convert_game_text(nullptr, src, 4, 1, mt2::kCharTables), nullptr);
    EXPECT_EQ(common::convert_game_text(dst, nullptr, 4, 1, mt2::kCharTables), dst);
    EXPECT_EQ(common::convert_game_text(dst, src, 0, 1, mt2::kCharTables), dst);
    EXPECT_EQ(common::convert_game_text(dst, src, 4, 0, mt2::kCharTables), dst);
    EXPECT_EQ(std::string(dst, 4), "xxxx");
}

namespace {

std::vector<unsigned char> field(const std::string& name, size_t length, const common::CharTables& t = mt2::kCharTables) {
    const common::NameField f = common::encode_name_field(name, length, t);
    EXPECT_TRUE(f.ok) << name;
    return f.codes;
}

}  // namespace

// Every character of both games' tables is written with a code that reads back
// as that character; the single-byte code wins over the two-byte one, the
// lowest two-byte code over a later twin.
TEST(EncodeNameField, EveryCharacterOfTheTablesReadsBack) {
    for (const common::CharTables* t : {&mt2::kCharTables, &mt3::kCharTables}) {
        for (unsigned code = 0; code < 1024; ++code) {
            const std::string c = t->dbl[code];
            if (c == " " || c == "〓") continue;
            std::vector<unsigned char> codes;
            ASSERT_EQ(common::encode_game_char(c, 0, *t, &codes), c.size());
            ASSERT_EQ(convert(codes, *t), c) << code;
            if (codes.size() == 2) {
                const unsigned found = (codes[0] - common::kFirstLeadByte) * 256u + codes[1];
                ASSERT_LE(found, code);
                for (unsigned single = 0x50; single < 256; ++single) ASSERT_NE(std::string(t->single[single]), c);
            }
        }
    }
}

TEST(EncodeNameField, PadsWithBlankCodesAndPrefersTheGamesOwnCodes) {
    EXPECT_EQ(field("あい", 8), (std::vector<unsigned char>{0x51, 0x52, 0x50, 0x50, 0x50, 0x50, 0x50, 0x50}));
    EXPECT_EQ(field("ア イ", 4), (std::vector<unsigned char>{0x82, 0x50, 0x83, 0x50}));
    EXPECT_EQ(field("っ", 2, mt3::kCharTables), (std::vector<unsigned char>{0x81, 0x50}));
    EXPECT_EQ(field("ー", 2), (std::vector<unsigned char>{0xE5, 0x50}));
    EXPECT_EQ(field("兄1", 4), (std::vector<unsigned char>{0x20, 0xB0, 0x23, 0x01}));
    EXPECT_EQ(field("", 3), (std::vector<unsigned char>{0x50, 0x50, 0x50}));
}

TEST(EncodeNameField, RefusesUnknownCharactersAndOverlongNames) {
    const common::NameField unknown = common::encode_name_field("あΩい", 8, mt2::kCharTables);
    EXPECT_FALSE(unknown.ok);
    EXPECT_EQ(unknown.bad_char, 2u);  // after the two bytes of あ
    const common::NameField a_only = common::encode_name_field("ー", 8, mt3::kCharTables);  // game B has no long-vowel mark
    EXPECT_FALSE(a_only.ok);
    const common::NameField longer = common::encode_name_field("兄あいう", 4, mt2::kCharTables);
    EXPECT_FALSE(longer.ok);
    EXPECT_EQ(longer.length, 5u);
}
