// Report tests on synthetic images of either game: a blank image with the
// game's cartridge header, the name tables that the tests fill, a fixture that
// opens the image and runs loaders and writers in process, and the expected
// lines of whole reports.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/run_blocks.h"
#include "tests/support/game_regions.h"
#include "tests/support/rom_builder.h"
#include "tests/support/test_util.h"

// A table of game-text names: rom offset, field length, number of names.
using NameTable = TableLayout;

// What the blank test image of a game holds: the header, every name table
// blank (so that names read as "") and both learning lists empty; all other
// table bytes are 0.
struct TestGame {
    const GameRegions& rom;  // title, map mode and size of the ROM proper
    size_t copier;           // leading copier bytes (0xEE)
    std::vector<NameTable> names;
    long learning_lists[2];
};

RomBuilder blank_image(const TestGame& game);

// Writes a name into its table: the codes, padded with blanks.
void put_name(RomBuilder& rom, const NameTable& table, int index, std::initializer_list<uint8_t> codes);

// printf into a std::string: expected lines are built from a report's own
// row format.
std::string fmt(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The lines joined, each ended by "\n".
std::string join(const std::vector<std::string>& lines);

// A report of one header line and count rows: the rows given by index, and
// for every other index prefix(index) followed by rest.
std::vector<std::string> row_report(const std::string& header, int count,
                                    const std::function<std::string(int)>& prefix, const std::string& rest,
                                    const std::map<int, std::string>& rows);

// Row prefixes "%03d(%0<digits>X): %-<width>s :" with the name of each index.
std::function<std::string(int)> row_prefix(int digits, int width, std::function<std::string(int)> name);

// Compares a whole report: line by line for a readable failure, then the
// text itself (line ends, no empty line at the end).
void expect_report(const std::string& text, const std::vector<std::string>& expected);

// Puts the game's image in place, opens it and runs the loaders and writers
// in process. Every test starts from the blank image.
class GameReportTest : public ::testing::Test {
protected:
    explicit GameReportTest(const TestGame& game);
    ~GameReportTest() override;

    // Writes the image, opens it and empties the name caches, so that the
    // next lookups read this image.
    void open();

    // Checks the name that lookup gives each index.
    void expect_names(NameLookup lookup, std::initializer_list<std::pair<int, const char*>> names) {
        for (const auto& [index, name] : names) EXPECT_STREQ(lookup(index), name) << "index " << index;
    }

    std::string path(const std::string& name) const { return dir_.file(name); }
    std::vector<std::string> lines(const std::string& name) const { return split_lines(read_text_file(path(name))); }

    // Runs the writer into a fresh report file and returns the file's text;
    // the writer must also refuse a missing block without creating a file.
    template <typename Record, typename Writer>
    std::string report(Writer writer, const Record* block) {
        EXPECT_EQ(writer(path("refused.txt").c_str(), static_cast<const Record*>(nullptr)), 0);
        EXPECT_FALSE(file_exists(path("refused.txt")));
        last_report_ = path("report" + std::to_string(++reports_) + ".txt");
        EXPECT_EQ(writer(last_report_.c_str(), block), 1);
        return read_text_file(last_report_);
    }

    // Opens the image, loads the block and returns the writer's report, as
    // text or line by line.
    template <typename Record, typename Writer>
    std::string report_of(Record* (*loader)(), Writer writer) {
        open();
        RunBlocks owner;
        return report(writer, owner.keep(loader()));
    }
    template <typename Record, typename Writer>
    std::vector<std::string> report_lines(Record* (*loader)(), Writer writer) {
        return split_lines(report_of(loader, writer));
    }

    // Compares the report with row_report(header, count, prefix, rest, rows).
    template <typename Record>
    void expect_rows(Record* (*loader)(), int (*writer)(const char*, const Record*), const std::string& header,
                     int count, const std::function<std::string(int)>& prefix, const std::string& rest,
                     const std::map<int, std::string>& rows) {
        expect_report(report_of(loader, writer), row_report(header, count, prefix, rest, rows));
    }

    const TestGame& game_;
    RomBuilder rom_;
    TempDir dir_;
    std::string last_report_;
    int reports_ = 0;
};

// The fixture of one game's report tests.
template <const TestGame& game>
class ReportTestOf : public GameReportTest {
protected:
    ReportTestOf() : GameReportTest(game) {}
};

namespace mt2_test {

using mt2::layout::kCharacterNames;
using mt2::layout::kFormationNames;
using mt2::layout::kItemNames;
using mt2::layout::kMonsterNames;
using mt2::layout::kSpecialNames;
using mt2::layout::kTechNames;

// The 2 MiB LoROM image of game A, without copier header.
extern const TestGame kGameA;
using ReportTest = ReportTestOf<kGameA>;

}  // namespace mt2_test

namespace mt3_test {

using mt3::layout::kCharacterNames;
using mt3::layout::kFormationNames;
using mt3::layout::kItemNames;
using mt3::layout::kMonsterNames;
using mt3::layout::kTechNames;

constexpr size_t kCopierSize = 512;

// The 4 MiB HiROM image of game B, with a 512-byte copier header.
extern const TestGame kGameB;
using ReportTest = ReportTestOf<kGameB>;

}  // namespace mt3_test
