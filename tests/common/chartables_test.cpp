// Both games' character tables, checked against the facts of the encoding and
// a sample of entries read off the code charts.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "common/chartables.h"
#include "games/a/chartables.h"
#include "games/b/chartables.h"

namespace {

bool is_sjis_lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// One character: a printable ASCII byte, or a lead byte and a valid second byte.
bool is_one_character(const char* s) {
    const auto* u = reinterpret_cast<const unsigned char*>(s);
    if (strlen(s) == 1) return u[0] >= 0x20 && u[0] < 0x7F;
    return strlen(s) == 2 && is_sjis_lead(u[0]) && u[1] >= 0x40 && u[1] <= 0xFC && u[1] != 0x7F;
}

const common::CharTables* const kBoth[] = {&mt2::kCharTables, &mt3::kCharTables};

// A sample of a game's two-byte entries, each read off the code chart.
struct TwoByteEntry {
    int code;
    const char* text;
};

void expect_two_byte_entries(const common::CharTables& tables, std::initializer_list<TwoByteEntry> sample) {
    for (const TwoByteEntry& s : sample) EXPECT_STREQ(tables.dbl[s.code], s.text) << std::hex << s.code;
}

}  // namespace

TEST(CharTables, EveryEntryIsExactlyOneCharacter) {
    for (const common::CharTables* t : kBoth) {
        for (int i = 0; i < 256; ++i) EXPECT_TRUE(is_one_character(t->single[i])) << "single " << i;
        for (int i = 0; i < 1024; ++i) EXPECT_TRUE(is_one_character(t->dbl[i])) << "double " << i;
    }
}

TEST(CharTables, UnassignedSingleByteCodesAreGeta) {
    for (const common::CharTables* t : kBoth) {
        for (int i = 0; i < 0x50; ++i) EXPECT_STREQ(t->single[i], "〓") << i;
        EXPECT_STREQ(t->single[0x50], " ");
        EXPECT_STREQ(t->single[0xE6], " ");
    }
}

TEST(CharTables, TwoByteCodesRepeatTheSingleByteCodes) {
    for (int code = 0; code < 0xB0; ++code) {
        EXPECT_STREQ(mt2::kCharTables.dbl[code], mt2::kCharTables.single[code + 0x50]) << code;
        if (code != 0x012) {
            EXPECT_STREQ(mt3::kCharTables.dbl[code], mt3::kCharTables.single[code + 0x50]) << code;
        }
    }
    EXPECT_STREQ(mt2::kCharTables.dbl[0x012], "つ");
    EXPECT_STREQ(mt3::kCharTables.dbl[0x012], "っ");
    EXPECT_STREQ(mt3::kCharTables.single[0x62], "つ");
}

TEST(CharTables, GamesDifferIn853TwoByteEntries) {
    int differ = 0;
    for (int i = 0; i < 1024; ++i) differ += strcmp(mt2::kCharTables.dbl[i], mt3::kCharTables.dbl[i]) != 0;
    EXPECT_EQ(differ, 853);
}

TEST(CharTables, SharedDigitsBlock) {
    const char* const expected[16] = {"0", "1", "2", "3", "4", "5", "6", "7",
                                      "8", "9", "H", "L", "P", "/", "←", ":"};
    for (const common::CharTables* t : kBoth) {
        for (int i = 0; i < 16; ++i) EXPECT_STREQ(t->dbl[0x300 + i], expected[i]) << i;
    }
}

TEST(CharTables, SingleByteCodesThatDifferBetweenGames) {
    EXPECT_STREQ(mt2::kCharTables.single[0xE5], "ー");
    EXPECT_STREQ(mt3::kCharTables.single[0xE5], "一");
    EXPECT_EQ(std::string(mt2::kCharTables.single[0xE5]), "\x81\x5B");
    EXPECT_EQ(std::string(mt3::kCharTables.single[0xE5]), "\x88\xEA");
    EXPECT_STREQ(mt2::kCharTables.single[0xEB], "帝");
    EXPECT_STREQ(mt3::kCharTables.single[0xEB], "?");
    EXPECT_STREQ(mt2::kCharTables.single[0xED], "?");
    EXPECT_STREQ(mt3::kCharTables.single[0xF4], "～");
    EXPECT_STREQ(mt2::kCharTables.single[0xFF], "来");
    EXPECT_STREQ(mt3::kCharTables.single[0xFF], "言");
}

TEST(CharTables, CommonSingleByteRows) {
    const char* const sample[][2] = {{"\x51", "あ"}, {"\x81", "っ"}, {"\x82", "ア"}, {"\xB7", "ッ"},
                                     {"\xB8", "が"}, {"\xE4", "ヴ"}, {"\xE7", "。"}, {"\xE8", "、"},
                                     {"\xE9", "‥"}, {"\xEA", "!"}, {"\xDF", "パ"}, {"\xA0", "マ"}};
    for (const common::CharTables* t : kBoth) {
        for (const auto& s : sample) {
            EXPECT_STREQ(t->single[static_cast<unsigned char>(s[0][0])], s[1]);
        }
    }
}

TEST(CharTables, SampleOfGameATwoByteEntries) {
    expect_two_byte_entries(mt2::kCharTables,
                            {{0x0B0, "兄"}, {0x0BF, "帰"}, {0x123, "不"}, {0x1AA, "ぱ"}, {0x1EB, "～"},
                             {0x2FF, "刻"}, {0x310, "骨"}, {0x313, "・"}, {0x326, "ぇ"}, {0x375, "々"},
                             {0x3AA, "ぴ"}, {0x3B7, "援"}, {0x3FF, "狼"}, {0x29F, "荒"}, {0x1BF, "聖"}});
}

TEST(CharTables, SampleOfGameBTwoByteEntries) {
    expect_two_byte_entries(mt3::kCharTables,
                            {{0x0B0, "魔"}, {0x0BF, "子"}, {0x10C, "々"}, {0x267, "ぱ"}, {0x29B, "%"},
                             {0x2FF, "陶"}, {0x310, "芸"}, {0x3B0, "未"}, {0x3D9, "螢"}, {0x3FF, "汗"},
                             {0x17B, "旅"}, {0x1C0, "織"}, {0x3A0, "犠"}, {0x2A0, "叩"}, {0x3EF, "占"}});
}
