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
#include <stdexcept>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/names.h"
#include "common/report.h"
#include "tests/support/game_regions.h"
#include "tests/support/rom_builder.h"
#include "tests/support/test_util.h"

// A table of game-text names: rom offset, field length, number of names.
using NameTable = common::TableLayout;

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

    // Writes the image and opens it afresh, with name tables of its own.
    void open();

    // Checks the name that lookup gives each index, from the open image.
    void expect_names(common::NameLookup::Function lookup, std::initializer_list<std::pair<int, const char*>> names) {
        const common::NameTables tables(*image_);
        for (const auto& [index, name] : names) EXPECT_STREQ(lookup(tables, index), name) << "index " << index;
    }

    std::string path(const std::string& name) const { return dir_.file(name); }

    // Opens the image and loads every table of a run over it.
    template <typename Run>
    std::unique_ptr<Run> load() {
        open();
        common::Result<Run> run = Run::load(*image_);
        EXPECT_TRUE(run.ok()) << (run.ok() ? "" : run.error().lines.at(0));
        if (!run) throw std::runtime_error("the image holds no run");
        return std::make_unique<Run>(std::move(*run));
    }

    // The writer's report of the run, as text.
    template <typename Run>
    static std::string report(void (*writer)(common::ReportText&, const Run&), const Run& run) {
        common::ReportText text;
        writer(text, run);
        return std::string(text.data(), text.size());
    }

    // Opens the image, loads the tables and returns the writer's report, as
    // text or line by line.
    template <typename Run>
    std::string report_of(void (*writer)(common::ReportText&, const Run&)) {
        return report(writer, *load<Run>());
    }
    template <typename Run>
    std::vector<std::string> report_lines(void (*writer)(common::ReportText&, const Run&)) {
        return split_lines(report_of(writer));
    }

    // Compares the report with row_report(header, count, prefix, rest, rows).
    template <typename Run>
    void expect_rows(void (*writer)(common::ReportText&, const Run&), const std::string& header, int count,
                     const std::function<std::string(int)>& prefix, const std::string& rest,
                     const std::map<int, std::string>& rows) {
        expect_report(report_of(writer), row_report(header, count, prefix, rest, rows));
    }

    const TestGame& game_;
    RomBuilder rom_;
    TempDir dir_;
    std::unique_ptr<common::RomImage> image_;
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
