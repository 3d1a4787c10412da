// Item names, the item block and the three item reports.
#include "games/a/items.h"

#include <string>
#include <vector>

#include "games/a/run.h"
#include "tests/games/game_test_util.h"
#include "tests/support/report_fixture.h"

using namespace mt2_test;

namespace {

constexpr RecordTable kPrices{0x1D86B0, 2};
constexpr RecordTable kAttributes{0x1E06C0, 6};
constexpr RecordTable kWeapons{0x1E0000, 4};   // items 0-95
constexpr RecordTable kArmour{0x1E0180, 12};   // items 96-191
constexpr RecordTable kShields{0x1E0600, 3};   // items 192-207

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
        put_names(rom_, kItemNames, {
            {5, {0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A}},
            {100, {0xFC, 0x50, 0xFC}},
            {192, {0xEB}},
        });
        put_name(rom_, kTechNames, 40, {0x82, 0x83});  // アイ
    }

    // The row prefix of an item: index, index and name padded to 16 bytes.
    static std::string prefix(int i) { return fmt("%03d(%02X): %-16s :", i, i, name_of(i).c_str()); }

    // A whole report: the header of each of the four sections and the rows
    // of its items; an item given has its own row, every other item the row of
    // its section for an item of all zero bytes.
    static std::vector<std::string> item_report(const char* const headers[4], const std::string rows[4],
                                                std::initializer_list<std::pair<int, std::string>> items) {
        const int firsts[5] = {0, 96, 192, 208, 256};
        std::vector<std::string> lines;
        for (int k = 0; k < 4; ++k) {
            lines.push_back(headers[k]);
            for (int i = firsts[k]; i < firsts[k + 1]; ++i) lines.push_back(prefix(i) + rows[k]);
        }
        for (const auto& [i, row] : items) lines[line_of(i)] = row;
        return lines;
    }

    // The line of item i in a whole report.
    static size_t line_of(int i) { return static_cast<size_t>(i + 1 + (i >= 96) + (i >= 192) + (i >= 208)); }
};

}  // namespace

TEST_F(ItemTest, NamesAndOutOfRange) {
    open();
    expect_names(mt2::item_name, {{-1, ""}, {256, ""}, {5, "あいうえおかきくけこ"}, {100, "剣 剣"},
                                  {0, ""}});
}

TEST_F(ItemTest, ParamReport) {
    put_records(rom_, kPrices, {{5, 0, {0x34, 0x12}}, {100, 0, {0xFF, 0xFF}}, {255, 0, {1, 0}}});
    put_records(rom_, kAttributes, {{5, 2, {7}}, {100, 2, {255}}, {255, 0, {9, 9, 9, 9, 9, 9}}});
    rom_.put(kWeapons.at(5), {120, 0x3C, 1, 2});
    put_records(rom_, kArmour, {
        {100 - 96, 0, {1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 0xFF, 0x83, 30}},
        {101 - 96, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x7C, 0}},
    });
    put_records(rom_, kShields, {
        {192 - 192, 0, {0xFF, 0x85, 0xFF}},
        {193 - 192, 0, {0, 0x7F, 0x08}},
        {207 - 192, 0, {0, 1, 2}},
    });
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
    expect_report(report_of(mt2::write_item_param), item_report(headers, rows, {
        {5, "005(05): あいうえおかきくけこ :   4660,   7, 120,  12"},
        {100, "100(64): 剣 剣            :  65535, 255,   1,   2,   3,   4,   5,   6,   7,   "
              "8,   4,   0,   0,   0,   0,   0,  30"},
        {101, prefix(101) + "      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   1,   1,   1,   1,   1,   0"},
        {192, "192(C0): 帝               :      0,   0,   5,  62,   7"},
        {193, prefix(193) + "      0,   0, 127,   2,   0"},
        {207, prefix(207) + "      0,   0,   1,   0,   2"},
        {255, "255(FF):                  :      1"},
    }));
}

TEST_F(ItemTest, RegistReport) {
    put_records(rom_, kArmour, {{100 - 96, 8, {0x41}}, {191 - 96, 8, {0xFF}}});
    put_records(rom_, kShields, {{192 - 192, 0, {0x81}}, {200 - 192, 0, {0x7E}}});
    rom_.put(kWeapons.at(0), {0xFF, 0xFF, 0xFF, 0xFF});
    const char* const headers[4] = {kNameOnly, "No.      名前               状態変化耐性", "No.      名前               防御属性",
                                    kNameOnly};
    const std::string rows[4] = {"", " ・・・・・・・・", " ・・・・・・・・", ""};
    expect_report(report_of(mt2::write_item_regist), item_report(headers, rows, {
        {100, "100(64): 剣 剣            : ・痺・・・・・ス"},
        {191, prefix(191) + " 死痺眠暗精毒圧ス"},
        {192, "192(C0): 帝               : 斬・・・・・・状"},
        {200, prefix(200) + " ・殴突射熱冷雷・"},
    }));
}

TEST_F(ItemTest, EffectReport) {
    put_records(rom_, kWeapons, {{5, 2, {0, 255}}, {95, 2, {40, 10}}, {6, 2, {255, 255}}});
    rom_.put(kArmour.at(100 - 96), {40, 40, 40, 40});  // armour has no inherent techniques
    const char* const headers[4] = {"No.      名前               武器固有技1           武器固有技2", kNameOnly, kNameOnly,
                                    kNameOnly};
    const std::string rows[4] = {" (通常攻撃: 剣)      , (通常攻撃: 剣)      ", "", "", ""};
    expect_report(report_of(mt2::write_item_effect), item_report(headers, rows, {
        {5, "005(05): あいうえおかきくけこ : (通常攻撃: 剣)      , --------------------"},
        {6, prefix(6) + " --------------------, --------------------"},
        {95, prefix(95) + " アイ                , (通常攻撃: パンチ)  "},
    }));
}
