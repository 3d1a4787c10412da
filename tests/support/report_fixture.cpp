#include "tests/support/report_fixture.h"

#include <cstdarg>

namespace mt2_test {
const TestGame kGameA{kGameARegions,
                      0,
                      {kItemNames, kCharacterNames, kSpecialNames, kMonsterNames, kTechNames, kFormationNames},
                      {mt2::layout::kLearningList1.offset, mt2::layout::kLearningList2.offset}};
}  // namespace mt2_test

namespace mt3_test {
const TestGame kGameB{kGameBRegions,
                      kCopierSize,
                      {kFormationNames, kItemNames, kMonsterNames, kCharacterNames, kTechNames},
                      {mt3::layout::kLearningList1.offset, mt3::layout::kLearningList2.offset}};
}  // namespace mt3_test

RomBuilder blank_image(const TestGame& game) {
    RomBuilder rom(static_cast<size_t>(game.rom.rom_size));
    rom.header(game.rom.title, game.rom.map_mode).copier(game.copier, 0xEE);
    for (const NameTable& t : game.names) rom.fill(t.offset, static_cast<size_t>(t.size()), 0x50);
    for (long list : game.learning_lists) rom.put(list, {0xFF});
    return rom;
}

void put_name(RomBuilder& rom, const NameTable& table, int index, std::initializer_list<uint8_t> codes) {
    rom.put(table.record(index), game_text(codes, static_cast<size_t>(table.record_size)));
}

std::string fmt(const char* format, ...) {
    va_list args;
    va_start(args, format);
    char buf[4096];
    vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    return buf;
}

std::string join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::vector<std::string> row_report(const std::string& header, int count,
                                    const std::function<std::string(int)>& prefix, const std::string& rest,
                                    const std::map<int, std::string>& rows) {
    std::vector<std::string> lines{header};
    for (int i = 0; i < count; ++i) {
        const auto row = rows.find(i);
        lines.push_back(row != rows.end() ? row->second : prefix(i) + rest);
    }
    return lines;
}

std::function<std::string(int)> row_prefix(int digits, int width, std::function<std::string(int)> name) {
    return [=](int i) { return fmt("%03d(%0*X): %-*s :", i, digits, i, width, name(i).c_str()); };
}

void expect_report(const std::string& text, const std::vector<std::string>& expected) {
    const std::vector<std::string> lines = split_lines(text);
    EXPECT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size() && i < expected.size(); ++i) {
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    }
    EXPECT_TRUE(text == join(expected)) << "line ends differ";
}

GameReportTest::GameReportTest(const TestGame& game) : game_(game), rom_(blank_image(game)) {}

void GameReportTest::open() {
    const std::string image = path("image.smc");
    rom_.write(image);
    image_ = std::make_unique<common::RomImage>();
    ASSERT_TRUE(image_->open(image.c_str(), game_.rom.title, game_.rom.rom_size));
    ASSERT_EQ(image_->image_base(), static_cast<long long>(game_.copier));
}
