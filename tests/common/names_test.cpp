// Name tables fill once from their image, and only for indices in range; the
// name tables of another image read that image.
#include "common/names.h"

#include <gtest/gtest.h>

#include "common/rom.h"
#include "games/a/chartables.h"
#include "tests/support/test_util.h"

namespace {
constexpr common::NameTableKind kNames{0, {"names", 0x100, 4, 3}, &mt2::kCharTables};
constexpr long kSpan = 0x8000;
}  // namespace

TEST(NameTables, FillOnFirstValidLookupAndKeepTheNames) {
    TempDir dir;
    RomBuilder rom(0x8000);
    rom.put(0x100, {0x51, 0x50, 0x50, 0x50, 0x52, 0x53, 0x20, 0xB0, 0x50, 0x50, 0x50, 0x50});
    rom.write(dir.file("a.smc"));
    common::RomImage a;
    ASSERT_TRUE(a.open(dir.file("a.smc").c_str(), "MERIDIAN TALES2      ", kSpan));
    const common::NameTables names(a);
    EXPECT_STREQ(names.get(kNames, -1), "");
    EXPECT_STREQ(names.get(kNames, 3), "");
    EXPECT_STREQ(names.get(kNames, 1), "いう兄");
    EXPECT_STREQ(names.get(kNames, 0), "あ");
    EXPECT_STREQ(names.get(kNames, 2), "");
    // The name tables of another image read that image, with no reset.
    rom.put(0x100, {0x60});
    rom.write(dir.file("b.smc"));
    common::RomImage b;
    ASSERT_TRUE(b.open(dir.file("b.smc").c_str(), "MERIDIAN TALES2      ", kSpan));
    EXPECT_STREQ(common::NameTables(b).get(kNames, 0), "た");
    EXPECT_STREQ(names.get(kNames, 0), "あ");
}
