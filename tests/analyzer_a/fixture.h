// Synthetic game-A ROM images for the report tests, and the expected lines.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/block.h"
#include "tests/support/rom_builder.h"
#include "tests/support/test_util.h"

namespace mt2_test {

constexpr size_t kRomSize = 0x200000;
constexpr char kTitle[] = "MERIDIAN TALES2      ";

// A LoROM image with every name table blank (all names empty) and both
// learning lists empty; everything else zero.
RomBuilder blank_image();

// A block from a loader, released with free().
template <typename T>
using Block = BlockPtr<T>;

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

// Puts the image in place, opens it and runs the loaders and writers in
// process. Every test starts from an image with empty names.
class ReportTest : public ::testing::Test {
protected:
    ReportTest();
    ~ReportTest() override;

    // Writes the image, opens it and empties the name caches, so that the
    // next lookups read this image.
    void open();

    // Runs the writer into a fresh report file and returns the file's text.
    template <typename Block>
    std::string report(int (*writer)(const char*, const Block*), const Block* block) {
        const std::string path = dir_.file("report" + std::to_string(++reports_) + ".txt");
        EXPECT_EQ(writer(path.c_str(), block), 1);
        return read_file(path);
    }

    // Opens the image, loads the block and compares the writer's report with
    // row_report(header, count, prefix, rest, rows).
    template <typename Record>
    void expect_rows(Record* (*loader)(), int (*writer)(const char*, const Record*), const std::string& header,
                     int count, const std::function<std::string(int)>& prefix, const std::string& rest,
                     const std::map<int, std::string>& rows) {
        open();
        Block<Record> block(loader());
        expect_report(report(writer, block.get()), row_report(header, count, prefix, rest, rows));
    }

    RomBuilder rom_;
    TempDir dir_;
    int reports_ = 0;
};


}  // namespace mt2_test
