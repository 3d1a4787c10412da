#include "games/b/labels.h"

namespace mt3 {

const common::LabelSet kLabels = {
    {"斬", "打", "突", "射", "熱", "冷", "雷", "状"},
    {"死", "??", "痺", "眠", "暗", "精", "毒", "ス"},
    {"----", "獣人", "獣", "蛇", "竜", "両棲", "鳥", "昆虫",
     "植物", "無機", "魚", "水棲", "不明", "悪魔", "骸骨", "巨人"},
};

namespace {

const char* const kTypeNames[8] = {"------", "蒼龍", "朱鳥", "白虎", "玄武", "太陽", "月", "アビス"};

}  // namespace

const char* type_name(int index) { return (index >= 0 && index < 8) ? kTypeNames[index] : ""; }

}  // namespace mt3
