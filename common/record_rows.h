// Reports of a loaded table: one row per record (a row report), or one block
// per record.
#pragma once

#include <cstddef>
#include <vector>

#include "common/report.h"
#include "common/rows.h"

namespace common {

// The header, then for each record its row prefix and what row(stream,
// record) writes: the rest of its row.
template <typename Record, typename Row>
void write_record_rows(ReportText& out, const char* header, const std::vector<Record>& records, const RowPrefix& prefix,
                       Row&& row) {
    write_row_report(out, header, static_cast<int>(records.size()), prefix,
                     [&](ReportText& stream, int n) { row(stream, records[static_cast<size_t>(n)]); });
}

// For each record, separated by one empty line, its block title named by
// name and what block(stream, record) writes below it.
template <typename Record, typename Block>
void write_record_blocks(ReportText& out, const std::vector<Record>& records, NameLookup name, Block&& block) {
    BlockSeparator separator;
    for (size_t n = 0; n < records.size(); ++n) {
        separator.next(out);
        print_block_title(out, static_cast<int>(n), name(static_cast<int>(n)));
        block(out, records[n]);
    }
}

}  // namespace common
