#include "common/layout.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "common/formations.h"
#include "games/a/layout.h"
#include "games/b/layout.h"

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
        const common::Field f{1, s.lo, s.width, s.bias, s.scale, s.sign};
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

// The formation decoder reads a member's flag byte as the game does: bits
// 7..3 front, rear, close, ranged and magic, bit 2 the sign and bits 1..0 the
// magnitude of the speed modifier; each speed written reads back.
TEST(FieldTest, FormationDecoderReadsTheMemberFlagByte) {
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char b[1] = {static_cast<unsigned char>(byte)};
        const common::FormationEntry e = common::decode_formation_member(7, b);
        EXPECT_EQ(e.rate, 7);
        EXPECT_EQ(e.speed, (byte & 4) ? -(byte & 3) : (byte & 3)) << byte;
        EXPECT_EQ(e.front_defence, (byte >> 7) & 1);
        EXPECT_EQ(e.rear_defence, (byte >> 6) & 1);
        EXPECT_EQ(e.close_attack, (byte >> 5) & 1);
        EXPECT_EQ(e.ranged_attack, (byte >> 4) & 1);
        EXPECT_EQ(e.magic_attack, (byte >> 3) & 1);
        for (long v = -3; v <= 3; ++v) {
            common::member_flags::kSpeed.put(b, v);
            EXPECT_EQ(common::decode_formation_member(0, b).speed, v);
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
        const common::TableLayout* tables;
        size_t count;
        long rom_size;
    };
    const Game games[] = {{mt2::layout::kTables, std::size(mt2::layout::kTables), 0x200000},
                          {mt3::layout::kTables, std::size(mt3::layout::kTables), 0x400000}};
    for (const Game& g : games) {
        for (size_t i = 0; i < g.count; ++i) {
            const common::TableLayout& t = g.tables[i];
            EXPECT_GE(t.offset, 0) << t.name;
            EXPECT_LE(t.end(), g.rom_size) << t.name;
            for (size_t j = i + 1; j < g.count; ++j) {
                const common::TableLayout& u = g.tables[j];
                const std::string pair = std::string(t.name) + " and " + u.name;
                EXPECT_TRUE(t.end() <= u.offset || u.end() <= t.offset || windows.count(pair)) << pair;
            }
        }
    }
}

}  // namespace
