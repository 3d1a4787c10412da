// Synthetic game-B images and a fixture that opens one and reads the reports
// written from it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/support/rom_builder.h"
#include "tests/support/test_util.h"

namespace mt3_test {

// Name tables of game B: rom offset, number of names, field length.
struct NameTable {
    long offset;
    int count;
    int length;
};
constexpr NameTable kFormationNames{0x3D0000, 32, 10};
constexpr NameTable kItemNames{0x3D0280, 256, 8};
constexpr NameTable kMonsterNames{0x3D0A80, 320, 8};
constexpr NameTable kCharacterNames{0x3D1480, 256, 8};
constexpr NameTable kTechNames{0x3D27C0, 512, 10};

constexpr const char* kTitleB = "MERIDIAN TALES3      ";
constexpr size_t kCopierSize = 512;

// A 4 MiB HiROM image with the game-B title, a 512-byte copier header, every
// name blank (so that names read as "") and all other table bytes 0.
RomBuilder game_b_rom();

// Writes a name into its table: the codes, padded with blanks.
void put_name(RomBuilder& rom, const NameTable& table, int index, std::initializer_list<uint8_t> codes);

// Opens an image written from a RomBuilder and reads the reports written from
// it. Every test gets fresh name caches.
class ReportTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Writes the image, opens it and empties the name caches.
    void open(const RomBuilder& rom);

    // Writes a report with writer(path, block), checks that the writer refuses
    // a missing block, releases the block and returns the report's lines.
    template <typename Block, typename Writer>
    std::vector<std::string> report(Block* block, Writer writer) {
        EXPECT_EQ(writer(path("report.txt").c_str(), block), 1);
        EXPECT_EQ(writer(path("refused.txt").c_str(), static_cast<Block*>(nullptr)), 0);
        EXPECT_FALSE(file_exists(path("refused.txt")));
        free(block);
        return lines("report.txt");
    }

    std::string path(const std::string& name) const { return dir_.file(name); }
    std::vector<std::string> lines(const std::string& name) const { return split_lines(read_file(path(name))); }

    TempDir dir_;
};

}  // namespace mt3_test
