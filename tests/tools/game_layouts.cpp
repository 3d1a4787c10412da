#include "tests/tools/game_layouts.h"

#include <algorithm>

#include "games/a/driver.h"
#include "games/b/driver.h"

namespace {

template <typename Run, size_t N>
std::vector<std::string> file_names(const common::ReportEntry<Run> (&reports)[N]) {
    std::vector<std::string> names;
    for (const common::ReportEntry<Run>& report : reports) names.emplace_back(report.file_name);
    return names;
}

// Some values in every table family, so that a report written from the wrong
// block would show.
RomBuilder game_a_run_image() {
    RomBuilder rom = blank_image(mt2_test::kGameA);
    put_name(rom, mt2_test::kMonsterNames, 0, {0x8E, 0xA8, 0x83, 0xA2});
    rom.put(0x1E7700, {0xF3, 0x10, 0x27, 20, 10, 1, 2, 3, 4, 5, 6, 7});
    put_name(rom, mt2_test::kCharacterNames, 0, {0x8F, 0xE5, 0xA6});
    rom.put(0x1E0CC0, {0x12, 0x34, 0x56, 0x78, 9, 3, 0xA8, 0x94, 0x9C});
    rom.put(0x1E16C0, {0x21, 0x11, 0x22, 0x33, 44, 2, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6});
    rom.put(0x1E2527, {0x10, 0x27});
    put_name(rom, mt2_test::kItemNames, 0, {0x51, 0x52});
    rom.put(0x1D86B0, {0x64, 0x00}).put(0x1E0000, {50, 3, 11, 255});
    put_name(rom, mt2_test::kTechNames, 11, {0xFC});
    rom.put(0x1E2AEF, {11, 1, 0, 9, 0xFF});
    rom.put(0x1E7512, {0, 0x3F, 0x85});
    return rom;
}

RomBuilder game_b_run_image() {
    RomBuilder rom = blank_image(mt3_test::kGameB);
    put_name(rom, mt3_test::kMonsterNames, 0, {0x51});          // あ
    put_name(rom, mt3_test::kTechNames, 3, {0x52});             // い
    put_name(rom, mt3_test::kFormationNames, 0, {0x51, 0x52});  // あい
    rom.put(0x3E3A4B, {3, 1, 4, 5, 0xFF});
    return rom;
}

}  // namespace

const GameLayout& game_a_layout() {
    static const GameLayout layout{
        "mt2analyzer",
        MT2ANALYZER,
        kGameARegions,
        game_a_run_image,
        0x1EA6FF,  // the action patterns end at 0x1EA700
        1009,      // only mt2monact.txt, the shortest name, fits
        "mt2analyzer - MERIDIAN TALES2 data table analyzer\n"
        "mt2analyzer: [option] src-pathname [dst-pathname]\n"
        "\t-h\tdisplay this help and exit\n"
        "\n",
        {
            {"mt2monparam.txt", 321, false, 1,
             "000(000): スライム         :      0, 10000,   7, 140,  85,   1,   2,   3,   4,   5,   6,  20,  10,   0,   "
             "0,   0,   0,   0,   0,   0,   0,   0,   0"},
            {"mt2monregist.txt", 321, false, 0, "No.       名前               盾の防御属性      状態変化耐性"},
            {"mt2monflag.txt", 321, false, 1, "000(000): スライム         :  ○   ○   ○   ○  巨人"},
            {"mt2monitem.txt", 321, false, 0, "No.       名前               高確率            低確率"},
            {"mt2monequip.txt", 321, false, 0, "No.       名前               武器1             武器2"},
            {"mt2monact.txt", 320 * 22 - 1, false, 0, "[No.000(00): スライム]"},
            {"mt2chrparam.txt", 257, false, 1,
             "000(00): セーユ           :    9,  14,  13,  16,  15,  18,  17,  +2,  +2,  -7,  -7,  +2,  +5,  -7,  -7,  "
             "+5,  -7,  +5"},
            {"mt2chrflag.txt", 257, false, 1, "000(000): セーユ           :  ×   ×   ×   ○  悪魔      TYPE03"},
            {"mt2chrspparam.txt", 17, false, 1,
             "000(00):                  :   44,  53,  38,  11,  11,  12,  12,  13,  13,   5,   7,   6,   8,   9,   1,   "
             "2,   3,   4,   5,   6"},
            {"mt2chrspflag.txt", 17, false, 1, "000(000):                  :  ×   ×   ○   ×  人間      TYPE02"},
            {"mt2chrlvup.txt", 94, false, 2, " 1:  10000"},
            {"mt2itemparam.txt", 260, false, 1, "000(00): あい             :    100,   0,  50,   3"},
            {"mt2itemregist.txt", 260, false, 97, "No.      名前               状態変化耐性"},
            {"mt2itemeffect.txt", 260, false, 1, "000(00): あい             : 剣                  , --------------------"},
            {"mt2techlearnflag.txt", 257, false, 0,
             "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 TY09 TY10 TY11 TY12 "
             "TY13 TY14 TY15"},
            {"mt2techlearndata.txt", 3, true, 0, "[No.011(0B): 剣]"},
            {"mt2techevadedata.txt", 257, false, 0, "No.      名前                   見切  難度"},
            {"mt2formdata.txt", 16 * 7 + 15, false, 2, "01:     64,    -1,  ○   ×   ×   ×   ×     ○"},
        },
        file_names(mt2::kReports),
        "as %s Japanese text reports",
    };
    return layout;
}

const GameLayout& game_b_layout() {
    static const GameLayout layout{
        "mt3analyzer",
        MT3ANALYZER,
        kGameBRegions,
        game_b_run_image,
        mt3_test::kCopierSize + 0x3E0000,  // inside the item records
        1005,  // names of up to 17 characters fit, the 20-character technique report names do not
        "mt3analyzer - MERIDIAN TALES3 data table analyzer\n"
        "mt3analyzer: [option] src-filename [dst-pathname]\n"
        "\t-h\tdisplay this help and exit\n"
        "\n",
        {
            {"mt3monparam.txt", 321, false, 0,
             "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力 技LV 術LV 上LV 閃LV 防斬 防打 防突 "
             "防射 防熱 防冷 防雷 防状 盾防 回避"},
            {"mt3monregist.txt", 321, false, 0, "No.       名前               盾の防御属性      状態変化耐性"},
            {"mt3monflag.txt", 321, false, 0,
             "No.       名前               男性 女性 不死 不明 耐水 耐投 耐音 耐凝 耐地 種族  回復"},
            {"mt3monitem.txt", 321, false, 0,
             "No.       名前               お金   100%              高確率            中確率            低確率"},
            {"mt3monequip.txt", 321, false, 0,
             "No.       名前               無刀1無刀2 武器1             武器2             盾                防具1      "
             "       防具2"},
            {"mt3monact.txt", 320 * 19 - 1, false, 0, "[No.000(00): あ]"},
            {"mt3monencmain.txt", 16 * 19 - 1, false, 0, "[No.00(00): 骸骨]"},
            {"mt3monencsub.txt", 15 * 51 - 1, false, 0, "[No.00(00): タイプ00]"},
            {"mt3monmisc.txt", 321, false, 0, "No.       名前                サイズ"},
            {"mt3chrparam.txt", 49, false, 0,
             "No.       名前                   HP 腕力 器用 素早 体力 魔力 意志 魅力   剣   斧   槍   弓 体術 蒼龍 朱鳥 "
             "白虎 玄武 太陽   月 不明"},
            {"mt3chrlvup.txt", 49, false, 0,
             "No.       名前                 HP   WP   JP   剣   斧   槍   弓 体術 蒼龍 朱鳥 白虎 玄武 太陽   月    TYPE"},
            {"mt3chrflag.txt", 49, false, 0,
             "No.       名前               男性 女性 不死 不明  HP   剣   斧   槍   弓  体術 地術 天術 不明  宿星  武器  "
             "術    閃TYPE"},
            {"mt3itemparam.txt", 261, false, 0, "No.      名前                 価格"},
            {"mt3itemregist.txt", 261, false, 82, "No.      名前               防御属性"},
            {"mt3itemeffect.txt", 261, false, 9, "No.      名前               武器固有技1           武器固有技2"},
            {"mt3techlearnflag.txt", 257, false, 0,
             "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 TY09 TY10 TY11 TY12 "
             "TY13 TY14 TY15"},
            {"mt3techlearndata.txt", 3, true, 0, "[No.003(03): い]"},
            {"mt3techevadedata.txt", 257, false, 0, "No.       名前                   見切  難度"},
            {"mt3formdata.txt", 32 * 8 - 1, false, 0, "[No.000(00): あい]"},
        },
        file_names(mt3::kReports),
        "game B: %s reports",
    };
    return layout;
}

std::vector<std::string> sorted_reports(const GameLayout& game) {
    std::vector<std::string> names = game.table;
    std::sort(names.begin(), names.end());
    return names;
}
