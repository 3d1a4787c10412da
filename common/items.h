// The item tables of both games: an item's number decides its kind, the
// records of the kinds that have one lie back to back in the ROM, and the
// item reports list the items in one section per kind.
#pragma once

#include <cstddef>

#include "common/layout.h"
#include "common/rows.h"

namespace common {

// The items of a kind: numbers first..last, each with a record of record_size
// bytes that decode reads (0 and null for a kind without records).
template <typename Item>
struct ItemKindLayout {
    int first;
    int last;
    size_t record_size;
    void (*decode)(Item&, const unsigned char*);
};

// The kind of the items of range, with records of the table records that
// decode reads (none: a kind without records). The table is taken by
// reference: a constant expression may not compare an object's address with
// null where the sanitizers check it.
template <typename Item>
constexpr ItemKindLayout<Item> item_kind(ItemRange range, const TableLayout& records,
                                         void (*decode)(Item&, const unsigned char*) = nullptr) {
    return {range.first, range.last(), static_cast<size_t>(records.record_size), decode};
}
template <typename Item>
constexpr ItemKindLayout<Item> item_kind(ItemRange range) {
    return {range.first, range.last(), 0, nullptr};
}

// The header of a section that shows only the row prefixes.
constexpr char kItemNameOnlyHeader[] = "No.      名前\n";

// The bytes of the records of all kinds.
template <typename Item, size_t N>
constexpr size_t kind_record_bytes(const ItemKindLayout<Item> (&kinds)[N]) {
    size_t bytes = 0;
    for (const ItemKindLayout<Item>& kind : kinds) bytes += kind.record_size * static_cast<size_t>(kind.last - kind.first + 1);
    return bytes;
}

// Decodes the records that lie back to back from records, kind by kind.
template <typename Item, size_t N>
void decode_kind_records(Item* items, const ItemKindLayout<Item> (&kinds)[N], const unsigned char* records) {
    for (const ItemKindLayout<Item>& kind : kinds) {
        for (int i = kind.first; i <= kind.last; ++i) {
            if (kind.decode) kind.decode(items[i], records);
            records += kind.record_size;
        }
    }
}

// An item report: one section per kind under the report's headers;
// row(stream, item number, kind) writes the rest of each item's row.
template <typename Item, size_t N, typename Row>
void write_item_report(ReportText& out, const ItemKindLayout<Item> (&kinds)[N], const char* const (&headers)[N],
                       NameLookup item_name, Row&& row) {
    Section sections[N];
    for (size_t k = 0; k < N; ++k) sections[k] = {kinds[k].first, kinds[k].last, headers[k]};
    write_section_report(out, sections, static_cast<int>(N), RowPrefix{2, 16, item_name}, row);
}

}  // namespace common
