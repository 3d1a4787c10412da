#include "common/layout.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "analyzer_a/layout.h"
#include "analyzer_b/layout.h"
#include "common/formations.h"

namespace {

struct Shape {
    int lo;
    int width;
    int bias;
    int scale;
    int sign = -1;
};

// Every stored value of every field shape survives put and get, and put
// leaves every bit outside the field as it was (over a record of all ones and
// one of all zeros).
TEST(FieldTest, EveryValueOfEveryShapeEncodesAndDecodes) {
    std::vector<Shape> shapes;
    for (int width = 1; width <= 16; ++width) {
        for (int lo = 0; lo + width <= 16; ++lo) shapes.push_back({lo, width, 0, 1});
    }
    shapes.push_back({4, 4, -7, 1});  // aptitudes
    shapes.push_back({0, 4, 10, 1});  // abilities
    shapes.push_back({3, 5, 0, 2});   // evasion in halves
    shapes.push_back({4, 4, 0, 4});   // sizes in units of 4
    shapes.push_back({0, 2, 0, 1, 2});  // a formation member's speed, sign and magnitude
    for (const Shape& s : shapes) {
        const Field f{1, s.lo, s.width, s.bias, s.scale, s.sign};
        for (unsigned char fill : {0x00, 0xFF}) {
            for (long v = f.min(); v <= f.max(); v += s.scale) {
                std::array<unsigned char, 4> r;
                r.fill(fill);
                ASSERT_TRUE(f.holds(v));
                f.put(r.data(), v);
                ASSERT_EQ(f.get(r.data()), v) << "lo " << s.lo << " width " << s.width;
                const unsigned word = r[1] | (r[2] << 8);
                const unsigned mask = f.mask();
                ASSERT_EQ(word & ~mask & 0xFFFF, fill ? (~mask & 0xFFFF) : 0u);
                ASSERT_EQ(r[0], fill);
                ASSERT_EQ(r[3], fill);
            }
        }
        EXPECT_FALSE(f.holds(f.min() - 1));
        EXPECT_FALSE(f.holds(f.max() + 1));
        if (s.scale > 1) {
            EXPECT_FALSE(f.holds(f.min() + 1));
        }
    }
}

// The fields of a member's flag byte give what the formation decoder gives,
// for every byte, and each written value reads back.
TEST(FieldTest, MemberFlagFieldsAgreeWithTheFormationDecoder) {
    namespace f = member_flags;
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char b[1] = {static_cast<unsigned char>(byte)};
        const FormationEntry e = decode_formation_flags(0, byte);
        EXPECT_EQ(f::kSpeed.get(b), e.speed) << byte;
        EXPECT_EQ(f::kFront.get(b), e.front_defence);
        EXPECT_EQ(f::kRear.get(b), e.rear_defence);
        EXPECT_EQ(f::kClose.get(b), e.close_attack);
        EXPECT_EQ(f::kRanged.get(b), e.ranged_attack);
        EXPECT_EQ(f::kMagic.get(b), e.magic_attack);
        for (long v = -3; v <= 3; ++v) {
            f::kSpeed.put(b, v);
            EXPECT_EQ(decode_formation_flags(0, b[0]).speed, v);
            EXPECT_EQ(b[0] & 0xF8, byte & 0xF8);
        }
    }
}

// The tables of a game lie inside its ROM and overlap only where a reading
// window reaches past the data it holds: a learning list is read through
// 1024 bytes, and game A's 256 action patterns run into the overall skill
// level table.
TEST(LayoutTest, TablesLieInsideTheRomAndOverlapOnlyByReadingWindows) {
    const std::set<std::string> windows = {"action patterns and overall skill level table",
                                           "learning list 1 and difficulty bytes",
                                           "learning list 2 and monster records"};
    struct Game {
        const TableLayout* tables;
        size_t count;
        long rom_size;
    };
    const Game games[] = {{mt2::layout::kTables, std::size(mt2::layout::kTables), 0x200000},
                          {mt3::layout::kTables, std::size(mt3::layout::kTables), 0x400000}};
    for (const Game& g : games) {
        for (size_t i = 0; i < g.count; ++i) {
            const TableLayout& t = g.tables[i];
            EXPECT_GE(t.offset, 0) << t.name;
            EXPECT_LE(t.end(), g.rom_size) << t.name;
            for (size_t j = i + 1; j < g.count; ++j) {
                const TableLayout& u = g.tables[j];
                const std::string pair = std::string(t.name) + " and " + u.name;
                EXPECT_TRUE(t.end() <= u.offset || u.end() <= t.offset || windows.count(pair)) << pair;
            }
        }
    }
}

}  // namespace
