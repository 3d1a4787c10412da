// What the report tests of both games share: tables of names and record bytes
// written into the synthetic image, tables of report lines checked by number,
// and the header lines of the learning reports that both games write alike.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/report_fixture.h"

// A name of a name table: its index and its game-text codes.
struct NameEntry {
    int index;
    std::initializer_list<uint8_t> codes;
};

// Writes every name into its table.
inline void put_names(RomBuilder& rom, const NameTable& table, std::initializer_list<NameEntry> names) {
    for (const auto& name : names) put_name(rom, table, name.index, name.codes);
}

// A table of fixed-size records in the image.
struct RecordTable {
    long offset;       // rom offset of record 0
    long record_size;  // bytes in a record

    // The rom offset of a byte of a record.
    long at(long record, long byte = 0) const { return offset + record_size * record + byte; }
};

// Bytes of a record: the record's number, the first byte within the record and
// the bytes from there on.
struct RecordBytes {
    long record;
    long byte;
    std::initializer_list<uint8_t> bytes;
};

// Writes each record's bytes into the table.
inline void put_records(RomBuilder& rom, const RecordTable& table, std::initializer_list<RecordBytes> records) {
    for (const auto& r : records) rom.put(table.at(r.record, r.byte), r.bytes);
}

// A report line by its number and the text it holds.
using ExpectedLine = std::pair<size_t, std::string>;

// Checks that the report has count lines and that each line given holds its
// text.
inline void expect_lines(const std::vector<std::string>& lines, size_t count,
                         const std::vector<ExpectedLine>& expected) {
    ASSERT_EQ(lines.size(), count);
    for (const auto& [index, text] : expected) EXPECT_EQ(lines[index], text) << "line " << index;
}

// Checks that each line given is in the report and holds its text.
inline void expect_lines(const std::vector<std::string>& lines, std::initializer_list<ExpectedLine> expected) {
    for (const auto& [index, text] : expected) {
        ASSERT_LT(index, lines.size());
        EXPECT_EQ(lines[index], text) << "line " << index;
    }
}

// The header lines of the learning flag and learning data reports.
inline constexpr char kLearnFlagHeader[] =
    "No.      名前                    派生 TY00 TY01 TY02 TY03 TY04 TY05 TY06 TY07 TY08 TY09 TY10 TY11 TY12 TY13 "
    "TY14 TY15";
inline constexpr char kLearnDataHeader[] = "No.      名前                   難度";
