// Item names, the item block and the three item reports.
#include "games/a/items.h"

#include <string>
#include <vector>

#include "games/a/run.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

constexpr long kPrices = 0x1D86B0;
constexpr long kAttributes = 0x1E06C0;
constexpr long kWeapons = 0x1E0000;
constexpr long kArmour = 0x1E0180;
constexpr long kShields = 0x1E0600;

const char kNameOnly[] = "No.      名前";

std::string name_of(int index) {
    switch (index) {
        case 5: return "あいうえおかきくけこ";  // 20 bytes: longer than its column
        case 100: return "剣 剣";
        case 192: return "帝";
        default: return "";
    }
}

class ItemTest : public ReportTest {
protected:
    ItemTest() {
        put_name(rom_, kItemNames, 5, {0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A});
        put_name(rom_, kItemNames, 100, {0xFC, 0x50, 0xFC});
        put_name(rom_, kItemNames, 192, {0xEB});
        put_name(rom_, kTechNames, 40, {0x82, 0x83});  // アイ
    }

    // The row prefix of an item: index, index and name padded to 16 bytes.
    static std::string prefix(int i) { return fmt("%03d(%02X): %-16s :", i, i, name_of(i).c_str()); }

    // Rows of every item: the row of its kind's section, for an item of all
    // zero bytes.
    static std::vector<std::string> default_rows(const char* const headers[4], const std::string rows[4]) {
        const int firsts[5] = {0, 96, 192, 208, 256};
        std::vector<std::string> lines;
        for (int k = 0; k < 4; ++k) {
            lines.push_back(headers[k]);
            for (int i = firsts[k]; i < firsts[k + 1]; ++i) lines.push_back(prefix(i) + rows[k]);
        }
        return lines;
    }

    // The line of item i in a report made by default_rows.
    static size_t line_of(int i) { return static_cast<size_t>(i + 1 + (i >= 96) + (i >= 192) + (i >= 208)); }
};

}  // namespace

TEST_F(ItemTest, NamesAndOutOfRange) {
    open();
    expect_names(mt2::item_name, {{-1, ""}, {256, ""}, {5, "あいうえおかきくけこ"}, {100, "剣 剣"},
                                  {0, ""}});
}

TEST_F(ItemTest, ParamReport) {
    rom_.put(kPrices + 2 * 5, {0x34, 0x12}).put(kAttributes + 6 * 5 + 2, {7});
    rom_.put(kWeapons + 4 * 5, {120, 0x3C, 1, 2});
    rom_.put(kPrices + 2 * 100, {0xFF, 0xFF}).put(kAttributes + 6 * 100 + 2, {255});
    rom_.put(kArmour + 12 * (100 - 96), {1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 0xFF, 0x83, 30});
    rom_.put(kArmour + 12 * (101 - 96), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7C, 0});
    rom_.put(kShields + 3 * (192 - 192), {0xFF, 0x85, 0xFF});
    rom_.put(kShields + 3 * (193 - 192), {0, 0x7F, 0x08});
    rom_.put(kShields + 3 * (207 - 192), {0, 1, 2});
    rom_.put(kPrices + 2 * 255, {1, 0}).put(kAttributes + 6 * 255, {9, 9, 9, 9, 9, 9});
    const char* const headers[4] = {
        "No.      名前                 価格 表示 攻撃 重量",
        ("No.      名前                 価格 表示 防斬 防殴 防突 防射 防熱 防冷 防雷 防状 腕力 器用 魔力 不明 素早 体力 "
         "重量"),
        "No.      名前                 価格 表示 防御 回避 重量",
        "No.      名前                 価格",
    };
    const std::string rows[4] = {
        "      0,   0,   0,   0",
        "      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0",
        "      0,   0,   0,   0,   0",
        "      0",
    };
    std::vector<std::string> expected = default_rows(headers, rows);
    expected[line_of(5)] = "005(05): あいうえおかきくけこ :   4660,   7, 120,  12";
    expected[line_of(100)] = "100(64): 剣 剣            :  65535, 255,   1,   2,   3,   4,   5,   6,   7,   8,   4,   0,   "
                             "0,   0,   0,   0,  30";
    expected[line_of(101)] = prefix(101) + "      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   1,   1,   "
                                           "1,   1,   1,   0";
    expected[line_of(192)] = "192(C0): 帝               :      0,   0,   5,  62,   7";
    expected[line_of(193)] = prefix(193) + "      0,   0, 127,   2,   0";
    expected[line_of(207)] = prefix(207) + "      0,   0,   1,   0,   2";
    expected[line_of(255)] = "255(FF):                  :      1";
    expect_report(report_of(mt2::write_item_param), expected);
}

TEST_F(ItemTest, RegistReport) {
    rom_.put(kArmour + 12 * (100 - 96) + 8, {0x41});
    rom_.put(kArmour + 12 * (191 - 96) + 8, {0xFF});
    rom_.put(kShields + 3 * (192 - 192), {0x81});
    rom_.put(kShields + 3 * (200 - 192), {0x7E});
    rom_.put(kWeapons, {0xFF, 0xFF, 0xFF, 0xFF});
    const char* const headers[4] = {kNameOnly, "No.      名前               状態変化耐性", "No.      名前               防御属性",
                                    kNameOnly};
    const std::string rows[4] = {"", " ・・・・・・・・", " ・・・・・・・・", ""};
    std::vector<std::string> expected = default_rows(headers, rows);
    expected[line_of(100)] = "100(64): 剣 剣            : ・痺・・・・・ス";
    expected[line_of(191)] = prefix(191) + " 死痺眠暗精毒圧ス";
    expected[line_of(192)] = "192(C0): 帝               : 斬・・・・・・状";
    expected[line_of(200)] = prefix(200) + " ・殴突射熱冷雷・";
    expect_report(report_of(mt2::write_item_regist), expected);
}

TEST_F(ItemTest, EffectReport) {
    rom_.put(kWeapons + 4 * 5 + 2, {0, 255});
    rom_.put(kWeapons + 4 * 95 + 2, {40, 10});
    rom_.put(kWeapons + 4 * 6 + 2, {255, 255});
    rom_.put(kArmour + 12 * (100 - 96), {40, 40, 40, 40});  // armour has no inherent techniques
    const char* const headers[4] = {"No.      名前               武器固有技1           武器固有技2", kNameOnly, kNameOnly,
                                    kNameOnly};
    const std::string rows[4] = {" (通常攻撃: 剣)      , (通常攻撃: 剣)      ", "", "", ""};
    std::vector<std::string> expected = default_rows(headers, rows);
    expected[line_of(5)] = "005(05): あいうえおかきくけこ : (通常攻撃: 剣)      , --------------------";
    expected[line_of(6)] = prefix(6) + " --------------------, --------------------";
    expected[line_of(95)] = prefix(95) + " アイ                , (通常攻撃: パンチ)  ";
    expect_report(report_of(mt2::write_item_effect), expected);
}
