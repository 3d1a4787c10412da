// Name caches fill once from the open image, and only for indices in range.
#include <gtest/gtest.h>

#include "common/namecache.h"
#include "common/rom.h"
#include "tests/support/test_util.h"

namespace {
NameCache g_names(0x100, 3, 4, kGameACharTables);
}

TEST(NameCache, FillsOnFirstValidLookupAndKeepsTheNames) {
    TempDir dir;
    RomBuilder rom(0x8000);
    rom.put(0x100, {0x51, 0x50, 0x50, 0x50, 0x52, 0x53, 0x20, 0xB0, 0x50, 0x50, 0x50, 0x50});
    rom.write(dir.file("a.smc"));
    ASSERT_EQ(rom_open(dir.file("a.smc").c_str(), "MERIDIAN TALES2      "), 1);
    NameCache::reset_all();
    EXPECT_STREQ(g_names.get(-1), "");
    EXPECT_STREQ(g_names.get(3), "");
    EXPECT_STREQ(g_names.get(1), "いう兄");
    EXPECT_STREQ(g_names.get(0), "あ");
    EXPECT_STREQ(g_names.get(2), "");
    // Once filled, the names stay even when the image changes.
    rom.put(0x100, {0x60});
    rom.write(dir.file("b.smc"));
    ASSERT_EQ(rom_open(dir.file("b.smc").c_str(), "MERIDIAN TALES2      "), 1);
    EXPECT_STREQ(g_names.get(0), "あ");
    NameCache::reset_all();
    EXPECT_STREQ(g_names.get(0), "た");
    rom_close();
}
