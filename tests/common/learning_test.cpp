// Learning lists read through their 1024-byte windows.
#include <gtest/gtest.h>

#include <vector>

#include "common/learning.h"

namespace {

struct Parsed {
    std::vector<common::LearnGroup> groups;
};

void parse(const std::vector<unsigned char>& bytes, Parsed* out, unsigned char fill = 0xFF) {
    std::vector<unsigned char> window(common::kLearningWindowSize, fill);
    std::copy(bytes.begin(), bytes.end(), window.begin());
    const int n = common::parse_learning_window(window.data(), &out->groups);
    EXPECT_EQ(static_cast<size_t>(n), out->groups.size());
    EXPECT_EQ(common::parse_learning_window(window.data(), nullptr), n);  // counting only
}

}  // namespace

TEST(LearningLists, GroupsUpToTheEndKey) {
    Parsed p;
    parse({12, 2, 30, 5, 31, 6, 40, 0, 50, 1, 51, 255, 0xFF, 7, 1, 2, 3}, &p);
    ASSERT_EQ(p.groups.size(), 3u);
    EXPECT_EQ(p.groups[0].key, 12);
    EXPECT_EQ(p.groups[0].count, 2);
    EXPECT_EQ(p.groups[0].entries[1].tech, 31);
    EXPECT_EQ(p.groups[0].entries[1].difficulty, 6);
    EXPECT_EQ(p.groups[1].key, 40);
    EXPECT_EQ(p.groups[1].count, 0);
    EXPECT_TRUE(p.groups[1].entries.empty());
    EXPECT_EQ(p.groups[2].entries[0].difficulty, 255);
}

TEST(LearningLists, EmptyList) {
    Parsed p;
    parse({0xFF}, &p);
    EXPECT_TRUE(p.groups.empty());
}

TEST(LearningLists, ListWithoutEndKeyStopsAtTheWindowEnd) {
    // 512 groups of count 0 fill the window exactly.
    Parsed p;
    parse({}, &p, 0x00);
    EXPECT_EQ(p.groups.size(), 512u);
}

TEST(LearningLists, GroupReachingPastTheWindowKeepsOnlyWholePairs) {
    // Groups of count 0 up to byte 1000, then a group claiming 100 pairs:
    // (1024 - 1002) / 2 = 11 pairs lie inside the window.
    std::vector<unsigned char> bytes(1000, 0x00);
    bytes.push_back(9);
    bytes.push_back(100);
    Parsed p;
    parse(bytes, &p, 0x07);
    ASSERT_EQ(p.groups.size(), 501u);
    EXPECT_EQ(p.groups.back().key, 9);
    EXPECT_EQ(p.groups.back().count, 11);
    EXPECT_EQ(p.groups.back().entries[10].tech, 7);
}

TEST(LearningLists, GroupAtTheLastPairOfTheWindow) {
    // 511 empty groups end at byte 1022; the group there has no room for pairs.
    std::vector<unsigned char> bytes(1022, 0x00);
    bytes.push_back(5);
    bytes.push_back(3);
    Parsed p;
    parse(bytes, &p);
    ASSERT_EQ(p.groups.size(), 512u);
    EXPECT_EQ(p.groups.back().key, 5);
    EXPECT_EQ(p.groups.back().count, 0);
}
