// The item tables of both games: an item's number decides its kind, the
// records of the kinds that have one lie back to back in the ROM, and the
// item reports list the items in one section per kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "common/bytes.h"
#include "common/labels.h"
#include "common/layout.h"
#include "common/rom.h"
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

// The fields of a weapon record and of a shield record: the same values in
// both games, at each game's own places.
struct WeaponFields {
    Field attack;
    Field weight;
    Field techs[2];
};
struct ShieldFields {
    Field defence;
    Field evasion;
    Field attributes;
    Field weight;
};

// Decoders of a kind's records (ItemKindLayout::decode) from the fields.
template <typename Item, const WeaponFields& F>
void decode_weapon(Item& item, const unsigned char* r) {
    item.attack = F.attack.get(r);
    item.weight = F.weight.get(r);
    for (int t = 0; t < 2; ++t) item.techs[t] = F.techs[t].get(r);
}
template <typename Item, const ShieldFields& F>
void decode_shield(Item& item, const unsigned char* r) {
    item.defence = F.defence.get(r);
    item.evasion = F.evasion.get(r);
    item.attributes = F.attributes.get(r);
    item.weight = F.weight.get(r);
}

// An armour's bonuses: one amount for each bonus whose flag is set, 0 for
// the others.
template <size_t N>
void decode_bonuses(int32_t (&bonuses)[N], const Field (&flags)[N], const Field& amount, const unsigned char* r) {
    const int value = amount.get(r);
    for (size_t b = 0; b < N; ++b) bonuses[b] = flags[b].get(r) ? value : 0;
}

// count items, each of the kind that holds its number, with its price (a
// word of the price table) and its record decoded from the records of all
// kinds, which lie back to back.
template <typename Item, size_t N>
std::vector<Item> decode_items(const ItemKindLayout<Item> (&kinds)[N], const RomTable& prices, const RomTable& records,
                               int count) {
    std::vector<Item> items(static_cast<size_t>(count));
    for (size_t k = 0; k < N; ++k) {
        for (int i = kinds[k].first; i <= kinds[k].last; ++i) items[i].kind = static_cast<int32_t>(k);
    }
    for (int i = 0; i < count; ++i) items[i].price = le16(prices.record(i));
    decode_kind_records(items.data(), kinds, records.record(0));
    return items;
}

// What the item reports of a run read: the kinds, the items and their names.
template <typename Item, size_t N>
struct ItemReport {
    const ItemKindLayout<Item> (&kinds)[N];
    const std::vector<Item>& items;
    NameLookup item_name;
};

// An item report: one section per kind under the report's headers;
// row(stream, item, kind) writes the rest of each item's row.
template <typename Item, size_t N, typename Row>
void write_item_report(ReportText& out, const ItemReport<Item, N>& report, const char* const (&headers)[N], Row&& row) {
    Section sections[N];
    for (size_t k = 0; k < N; ++k) sections[k] = {report.kinds[k].first, report.kinds[k].last, headers[k]};
    write_section_report(out, sections, static_cast<int>(N), RowPrefix{2, 16, report.item_name},
                         [&](ReportText& fp, int i, int kind) { row(fp, report.items[static_cast<size_t>(i)], kind); });
}

// The values of a parameter row after the price.
class ItemValues {
public:
    ItemValues(std::initializer_list<int32_t> values = {}) {  // NOLINT: a row's values as they are listed
        for (int32_t v : values) add(v);
    }
    ItemValues& add(int32_t value) {
        values_[count_++] = value;
        return *this;
    }
    template <size_t M>
    ItemValues& add(const int32_t (&values)[M]) {
        for (int32_t v : values) add(v);
        return *this;
    }
    const int32_t* data() const { return values_; }
    int count() const { return count_; }

private:
    int32_t values_[32] = {};
    int count_ = 0;
};

// The parameter report: the price of each item and the values that
// values(item, kind) gives.
template <typename Item, size_t N, typename Values>
void write_item_params(ReportText& out, const ItemReport<Item, N>& report, const char* const (&headers)[N],
                       Values&& values) {
    write_item_report(out, report, headers, [&](ReportText& fp, const Item& item, int kind) {
        const ItemValues v = values(item, kind);
        print_value_row(fp, item.price, v.data(), v.count());
    });
}

// The resistance report: the defence-attribute labels of the shields, the
// cells that armour_cells(stream, item) writes of the armour, the names of
// the other kinds alone.
template <typename Item, size_t N, typename ArmourCells>
void write_item_resistances(ReportText& out, const ItemReport<Item, N>& report, int shields, int armour,
                            const char* armour_header, const LabelSet& labels, ArmourCells&& armour_cells) {
    const char* headers[N];
    for (const char*& h : headers) h = kItemNameOnlyHeader;
    headers[shields] = "No.      名前               防御属性\n";
    headers[armour] = armour_header;
    write_item_report(out, report, headers, [&](ReportText& fp, const Item& item, int kind) {
        if (kind == shields || kind == armour) fp.ch(' ');
        if (kind == shields) print_bit_labels(fp, item.attributes, 0xFF, labels);
        if (kind == armour) armour_cells(fp, item);
        fp.ch('\n');
    });
}

// The effect report: the two inherent techniques of the weapons, the names
// of the other kinds alone.
template <typename Item, size_t N>
void write_item_techs(ReportText& out, const ItemReport<Item, N>& report, int weapons, NameLookup tech_name) {
    const char* headers[N];
    for (const char*& h : headers) h = kItemNameOnlyHeader;
    headers[weapons] = "No.      名前               武器固有技1           武器固有技2\n";
    write_item_report(out, report, headers, [&](ReportText& fp, const Item& item, int kind) {
        if (kind == weapons) {
            fp.ch(' ');
            print_tech_cells(fp, item.techs, 2, tech_name);
        }
        fp.ch('\n');
    });
}

}  // namespace common
