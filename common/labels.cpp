#include "common/labels.h"

#include "common/fields.h"

namespace common {

const LabelSet kGameALabels = {
    {"斬", "殴", "突", "射", "熱", "冷", "雷", "状"},
    {"死", "痺", "眠", "暗", "精", "毒", "圧", "ス"},
    {"--------", "人間", "悪魔", "巨人", "獣", "獣人", "水棲", "竜",
     "両棲類", "爬虫類", "植物", "昆虫", "火の精霊", "水の精霊", "風の精霊", "土の精霊"},
};

const LabelSet kGameBLabels = {
    {"斬", "打", "突", "射", "熱", "冷", "雷", "状"},
    {"死", "??", "痺", "眠", "暗", "精", "毒", "ス"},
    {"----", "獣人", "獣", "蛇", "竜", "両棲", "鳥", "昆虫",
     "植物", "無機", "魚", "水棲", "不明", "悪魔", "骸骨", "巨人"},
};

namespace {

const char* const kTypeNames[8] = {"------", "蒼龍", "朱鳥", "白虎", "玄武", "太陽", "月", "アビス"};
const char kFiller[] = "・";

void print_labels(ReportText& stream, int bits, int mask, const char* const labels[8]) {
    for (int bit = 7; bit >= 0; --bit) {
        const int m = 1 << bit;
        if (mask & m) stream.left((bits & m) ? labels[7 - bit] : kFiller, 2);
    }
}

}  // namespace

const char* mark_of(int flag) { return flag ? "○" : "×"; }

void print_mark_cells(ReportText& stream, const int32_t* flags, int count) {
    for (int i = 0; i < count; ++i) stream.str(i ? "   " : "  ").str(mark_of(flags[i]));  // "%2s": marks are two bytes
}

void print_bit_labels(ReportText& stream, int bits, int mask, const LabelSet& labels) {
    print_labels(stream, bits, mask, labels.attributes);
}

void print_bit_labels2(ReportText& stream, int bits, int mask, const LabelSet& labels) {
    print_labels(stream, bits, mask, labels.statuses);
}

const char* race_name(int index, const LabelSet& labels) {
    return (index >= 0 && index < 16) ? labels.races[index] : "";
}

const char* type_name8(int index) { return (index >= 0 && index < 8) ? kTypeNames[index] : ""; }

}  // namespace common
