#include "demo/demo_words.h"

namespace demo {

// Families 0 to 31 hold every kind that the game-B encounter groups ask for,
// since encounter tables name monsters by one byte (0 to 255).
const std::vector<MonsterFamily> kMonsterFamilies = {
    {"オオカミ", Kind::Beast, 3, false},     {"イノシシ", Kind::Beast, 5, false},
    {"クマ", Kind::Beast, 9, false},         {"コウモリ", Kind::Beast, 2, true},
    {"コボルト", Kind::Beastman, 4, false},  {"ゴブリン", Kind::Beastman, 6, false},
    {"ムカデ", Kind::Insect, 3, false},      {"サソリ", Kind::Insect, 7, false},
    {"クモ", Kind::Insect, 5, false},        {"ハチ", Kind::Insect, 2, true},
    {"カマキリ", Kind::Insect, 10, false},   {"キノコ", Kind::Plant, 1, false},
    {"ツタ", Kind::Plant, 4, false},         {"イバラ", Kind::Plant, 8, false},
    {"カニ", Kind::Aquatic, 4, false},       {"クラゲ", Kind::Aquatic, 6, false},
    {"タコ", Kind::Aquatic, 11, false},      {"サメ", Kind::Fish, 9, false},
    {"ウナギ", Kind::Fish, 5, false},        {"ヘビ", Kind::Snake, 3, false},
    {"トカゲ", Kind::Snake, 6, false},       {"ワニ", Kind::Snake, 13, false},
    {"ガマ", Kind::Amphibian, 5, false},     {"ワシ", Kind::Bird, 6, true},
    {"カラス", Kind::Bird, 3, true},         {"ゾンビ", Kind::Undead, 7, false},
    {"ガイコツ", Kind::Undead, 10, false},   {"亡霊", Kind::Undead, 14, true},
    {"インプ", Kind::Demon, 8, true},        {"夢魔", Kind::Demon, 16, true},
    {"ウィスプ", Kind::Spirit, 9, true},     {"土人形", Kind::Golem, 12, false},
    {"ドラゴン", Kind::Dragon, 24, true},    {"ヒドラ", Kind::Dragon, 20, false},
    {"巨人", Kind::Giant, 18, false},        {"トロル", Kind::Giant, 12, false},
    {"盗賊", Kind::Human, 5, false},         {"騎士", Kind::Human, 15, false},
};

const Words kGradeWords = {"", "大", "赤", "黒", "毒", "鉄", "魔", "古"};

const std::vector<BossMonster> kBosses = {
    {"魔竜ゼノア", Kind::Dragon, true, false},   {"魔王ザルド", Kind::Demon, false, false},
    {"妖魔ネリス", Kind::Demon, true, true},     {"巨人ゴルド", Kind::Giant, false, false},
    {"亡霊ヴァイス", Kind::Undead, true, false}, {"黒騎士ロウ", Kind::Human, false, false},
    {"女王アラクネ", Kind::Insect, false, true}, {"聖獣キリム", Kind::Beast, false, false},
    {"海竜ディオ", Kind::Dragon, false, false},  {"炎の王イグナ", Kind::Spirit, true, false},
    {"氷の女王", Kind::Spirit, false, true},     {"雷神ボルガ", Kind::Giant, false, false},
    {"闇の騎士", Kind::Undead, false, false},    {"死神モルス", Kind::Undead, true, false},
    {"大魔術師", Kind::Human, false, false},     {"邪神ネフル", Kind::Demon, true, false},
};

const Words kTechModifiers = {
    "", "二段", "三段", "神風", "稲妻", "流星", "竜巻", "乱れ",
    "無双", "月影", "火炎", "真空", "奥義", "天地", "神速", "千手",
};
const Words kWeaponActions = {"斬り", "両断", "斧撃", "打ち", "突き", "切り", "射ち", "撃"};
const Words kMiscTechs = {"防御", "逃げる", "かばう", "見切り", "待機"};
const Words kElements = {
    "火", "氷", "雷", "毒", "砂", "闇", "光", "風",
    "水", "石", "ねむり", "しびれ", "死", "呪い", "魅了", "血",
};
const Words kForms = {
    "の息", "の牙", "の爪", "の霧", "の矢", "の玉", "の波", "の影",
    "の壁", "の盾", "の手", "の花", "の嵐", "の輪", "の剣", "の声",
};
const Words kSpellElements = {"火", "水", "風", "土", "光", "月", "星", "雷"};

const Words kMaterials = {"木", "石", "骨", "鉄", "岩", "銀", "金", "炎", "氷", "竜", "聖", "魔"};
const Words kWeaponWords = {"剣", "大剣", "斧", "棍棒", "槍", "小剣", "弓", "爪"};
const Words kArmourWords = {
    "ヘルム", "メイル", "マント", "ベスト", "グラブ", "リング", "鎧", "ふく",
    "ぼうし", "腕輪", "くつ", "かぶと", "はちまき", "ズボン", "ドレス", "ころも",
};
const Words kShieldWords = {"盾", "大盾"};
const Words kOtherItems = {
    "傷薬", "毒消し", "聖水", "宝石", "かぎ", "薬草", "指輪", "水晶",
    "気つけ薬", "魔法の粉", "巻物", "お守り",
};
const Words kColours = {"", "赤い", "青い", "白い"};
const Words kBareItems = {"こぶし", "つめ", "きば", "尾", "つの", "くちばし", "はさみ", "しょくしゅ"};

const Words kSyllables = {
    "ア", "イ", "ウ", "エ", "オ", "カ", "キ", "ク", "ケ", "コ", "サ", "シ", "セ", "タ",
    "テ", "ト", "ナ", "ニ", "ネ", "ノ", "ハ", "フ", "マ", "ミ", "ム", "ラ", "リ", "ル",
    "レ", "ロ", "ヴァ", "ジ", "ダ", "ド", "ガ", "ベ", "ユ", "ティ", "シア", "ファ",
};
const Words kSpecialCharacters = {
    "老剣士", "旅の詩人", "女魔術師", "若き騎士", "海賊の長", "森の射手", "山の賢者", "盗賊の頭",
    "都の学者", "異国の王", "黒衣の剣士", "竜の娘", "鉄の戦士", "北の勇者", "南の魔女", "東の武人",
};
const Words kFormationWords = {
    "守りの陣", "攻めの陣", "鉄壁の陣", "神風の陣", "火の陣", "水の陣", "風の陣", "土の陣",
    "一番槍", "二列陣", "三角陣", "十字陣", "七星陣", "長蛇陣", "車輪陣", "二段陣",
    "月の陣", "星の陣", "雷の陣", "氷の陣", "光の陣", "闇の陣", "竜の陣", "鳥の陣",
    "虎の陣", "蛇の陣", "花の陣", "石の陣", "剣の陣", "盾の陣", "弓の陣", "槍の陣",
};

const char* const kScriptA =
    "陛下!北の砦から知らせが来ました。\n"
    "山の向こうに竜が現れたそうです。\n"
    "兵士たちは城に戻り、次の戦いに備えています。\n"
    "‥‥わかった。私が行こう。\n"
    "剣と盾を持て。出発は明日だ!\n";

const char* const kScriptB =
    "ようこそ、旅の人。この町は初めてかい?\n"
    "東の森には古い塔があってね、\n"
    "夜になると妖しい光が見えるんだ。\n"
    "腕に自信があるなら、行ってみるといい。\n"
    "ただし、帰れなくても知らないよ!\n";

}  // namespace demo
