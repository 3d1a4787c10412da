#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gametext.h"

namespace {

std::string convert(std::vector<unsigned char> src, const CharTables& t = kGameACharTables, size_t size = 256) {
    std::vector<char> dst(size, 'x');
    convert_game_text(dst.data(), src.data(), size, src.size(), t);
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
    EXPECT_EQ(convert({0x20, 0xB0, 0x23, 0xFF}, kGameBCharTables), "魔汗");
    EXPECT_EQ(convert({0x20, 0x12}), "つ");
    EXPECT_EQ(convert({0x20, 0x12}, kGameBCharTables), "っ");
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
    EXPECT_EQ(convert({0xE5}, kGameBCharTables), "一");
}

TEST(ConvertGameText, CutsAtACharacterBoundary) {
    EXPECT_EQ(convert({0x51, 0x52}, kGameACharTables, 4), "あ");
    EXPECT_EQ(convert({0x51, 0x52}, kGameACharTables, 5), "あい");
    EXPECT_EQ(convert({0x23, 0x01, 0x51}, kGameACharTables, 3), "1");
    EXPECT_EQ(convert({0x23, 0x01, 0x51}, kGameACharTables, 2), "1");
    EXPECT_EQ(convert({0x51}, kGameACharTables, 1), "");
}

TEST(ConvertGameText, ClearsTheRestOfTheDestination) {
    std::vector<char> dst(8, 'x');
    const unsigned char src[] = {0x51};
    convert_game_text(dst.data(), src, dst.size(), 1, kGameACharTables);
    for (size_t i = 2; i < dst.size(); ++i) EXPECT_EQ(dst[i], '\0') << i;
}

TEST(ConvertGameText, LeavesTheDestinationUntouchedWithoutInput) {
    char dst[4] = {'x', 'x', 'x', 'x'};
    const unsigned char src[] = {0x51};
    EXPECT_EQ(convert_game_text(nullptr, src, 4, 1, kGameACharTables), nullptr);
    EXPECT_EQ(convert_game_text(dst, nullptr, 4, 1, kGameACharTables), dst);
    EXPECT_EQ(convert_game_text(dst, src, 0, 1, kGameACharTables), dst);
    EXPECT_EQ(convert_game_text(dst, src, 4, 0, kGameACharTables), dst);
    EXPECT_EQ(std::string(dst, 4), "xxxx");
}
