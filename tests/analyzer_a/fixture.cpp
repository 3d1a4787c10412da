#include "tests/analyzer_a/fixture.h"

#include <cstdarg>

#include "common/namecache.h"
#include "common/rom.h"

namespace mt2_test {

namespace {

struct NameTable {
    long rom_offset;
    size_t size;
};

// Monster, character and special character, item, technique and formation
// names.
constexpr NameTable kNameTables[] = {
    {0x1DCC80, 320 * 8}, {0x1DC400, 272 * 8}, {0x1DBA00, 256 * 10}, {0x1DD680, 256 * 10}, {0x1DE260, 16 * 10},
};
constexpr long kLearningList1 = 0x1E2AEF;
constexpr long kLearningList2 = 0x2C64A;

}  // namespace

RomBuilder blank_image() {
    RomBuilder rom(kRomSize);
    rom.header(kTitle, 0x20);
    for (const NameTable& t : kNameTables) rom.fill(t.rom_offset, t.size, 0x50);
    rom.put(kLearningList1, {0xFF}).put(kLearningList2, {0xFF});
    return rom;
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

ReportTest::ReportTest() : rom_(blank_image()) {}

ReportTest::~ReportTest() { rom_close(); }

void ReportTest::open() {
    const std::string path = dir_.file("rom.smc");
    rom_.write(path);
    ASSERT_EQ(rom_open(path.c_str(), kTitle), 1);
    ASSERT_EQ(rom_image_base(), 0);
    NameCache::reset_all();
}

void expect_report(const std::string& text, const std::vector<std::string>& expected) {
    const std::vector<std::string> lines = split_lines(text);
    EXPECT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size() && i < expected.size(); ++i) {
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    }
    EXPECT_TRUE(text == join(expected)) << "line ends differ";
}

}  // namespace mt2_test
