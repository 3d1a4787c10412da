#include "tests/analyzer_b/game_b_rom.h"

#include "common/namecache.h"
#include "common/rom.h"

namespace mt3_test {

namespace {
constexpr size_t kRomSize = 0x400000;
constexpr uint8_t kHiRom = 0x21;
constexpr uint8_t kBlank = 0x50;
constexpr NameTable kAllNames[] = {kFormationNames, kItemNames, kMonsterNames, kCharacterNames, kTechNames};
}  // namespace

RomBuilder game_b_rom() {
    RomBuilder rom(kRomSize);
    rom.header(kTitleB, kHiRom).copier(kCopierSize, 0xEE);
    for (const NameTable& t : kAllNames) rom.fill(t.offset, static_cast<size_t>(t.count * t.length), kBlank);
    return rom;
}

void put_name(RomBuilder& rom, const NameTable& table, int index, std::initializer_list<uint8_t> codes) {
    rom.put(table.offset + static_cast<long>(index) * table.length,
            game_text(codes, static_cast<size_t>(table.length)));
}

void ReportTest::TearDown() { rom_close(); }

void ReportTest::open(const RomBuilder& rom) {
    const std::string image = path("image.smc");
    rom.write(image);
    ASSERT_EQ(rom_open(image.c_str(), kTitleB), 1);
    ASSERT_EQ(rom_image_base(), static_cast<long long>(kCopierSize));
    NameCache::reset_all();
}

}  // namespace mt3_test
