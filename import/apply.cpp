#include "import/apply.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <tuple>
#include <unordered_map>
#if defined(_LIBCPP_VERSION)
#include <cerrno>
#include <cstdlib>
#include <regex>
#endif

#include "common/formations.h"
#include "common/gametext.h"
#include "common/learning.h"

namespace importer {

using exporter::Column;
using exporter::Row;
using exporter::Table;
using exporter::Value;

namespace {

// The refusals of one run: the first kRefusalLimit kept (with those the run
// gave before), the others counted for the last line.
class Refusals {
public:
    explicit Refusals(std::vector<std::string>* out) : out_(out) {
        if (out_->size() > kRefusalLimit) {
            more_ = out_->size() - kRefusalLimit;
            out_->resize(kRefusalLimit);
        }
    }
    void add(const std::string& text) {
        if (out_->size() < kRefusalLimit) {
            out_->push_back(text);
        } else {
            ++more_;
        }
    }
    // Adds the line that counts the refusals not kept.
    void close() {
        if (more_) out_->push_back("... and " + std::to_string(more_) + " more refusals");
    }

private:
    std::vector<std::string>* out_;
    size_t more_ = 0;
};

constexpr size_t kQuotedChars = 60;  // of a cell quoted in a refusal

bool utf8_continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The bytes of the UTF-8 character at byte at of s: as many as its lead byte
// says, of those that follow it; 1 for a byte that is no lead byte (a text
// in another encoding).
size_t char_bytes(const std::string& s, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(s[at]);
    const size_t length = lead < 0xC0 || lead >= 0xF8 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    size_t end = at + 1;
    while (end < s.size() && end - at < length && utf8_continuation(s[end])) ++end;
    return end - at;
}

// A cell or a header cell in a refusal: its first kQuotedChars characters,
// "..." after them when there are more.
// A NUL is shown as \0: printed, it would end the message.
std::string cut(const std::string& s) {
    size_t at = 0;
    for (size_t chars = 0; at < s.size() && chars < kQuotedChars; ++chars) at += char_bytes(s, at);
    std::string out;
    for (size_t i = 0; i < at; ++i) {
        if (s[i] == '\0') out += "\\0";
        else out += s[i];
    }
    if (at < s.size()) out.append("...");
    return out;
}

std::string quoted(const std::string& s) {
    std::string out(1, '"');
    out.append(cut(s));
    out.push_back('"');
    return out;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// A whole number written as spreadsheets write one: with a leading "+", in
// digit groups ("50,000"), as a float with a zero fraction ("255.0",
// "1.5E+2"). A whole number too large for n is set to the largest of its
// sign, for the range refusal.
enum class Number { kWhole, kEmpty, kNotWhole };

// The text without its digit groups' commas, or "" when they are not the
// groups of three of one number.
std::string ungrouped(const std::string& text) {
    const size_t digits = text.find_first_of("0123456789");
    if (digits == std::string::npos) return "";
    size_t end = text.find_first_not_of("0123456789,", digits);
    if (end == std::string::npos) end = text.size();
    const size_t first = text.find(',', digits);
    if (first > end || first == digits || first - digits > 3 || text.find(',', end) != std::string::npos) return "";
    for (size_t i = first; i < end; i += 4) {
        if (text[i] != ',' || i + 4 > end || text.find(',', i + 1) < i + 4) return "";
    }
    std::string out = text;
    std::erase(out, ',');
    return out;
}

// A decimal floating-point number filling [begin, end), as std::from_chars
// reads one. LLVM's libc++ (the WebAssembly build's) has no floating-point
// from_chars: there the same form is checked first and strtod reads it (the
// module's locale is always "C").
bool parse_double(const char* begin, const char* end, double* d) {
#if defined(_LIBCPP_VERSION)
    const std::string text(begin, end);
    static const std::regex kDecimal("-?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
    if (!std::regex_match(text, kDecimal)) return false;
    errno = 0;
    *d = std::strtod(text.c_str(), nullptr);
    return errno == 0;
#else
    const auto [ptr, ec] = std::from_chars(begin, end, *d);
    return ptr == end && ec == std::errc();
#endif
}

Number parse_number(const std::string& cell, long long* n) {
    std::string text = trimmed(cell);
    if (text.empty()) return Number::kEmpty;
    if (text[0] == '+' && text.size() > 1 && text[1] != '-' && text[1] != '+') text.erase(0, 1);
    if (text.find(',') != std::string::npos) text = ungrouped(text);
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, ec] = std::from_chars(begin, end, *n);
    if (ptr == end && !text.empty() && ec == std::errc()) return Number::kWhole;
    if (ptr == end && !text.empty() && ec == std::errc::result_out_of_range) {
        *n = text[0] == '-' ? std::numeric_limits<long long>::min() : std::numeric_limits<long long>::max();
        return Number::kWhole;
    }
    double d = 0;
    if (text.empty() || !parse_double(begin, end, &d) || !std::isfinite(d) || d != std::trunc(d)) {
        return Number::kNotWhole;
    }
    constexpr double kExact = 9007199254740992.0;  // 2^53: every whole double below is exact
    *n = d >= kExact ? std::numeric_limits<long long>::max()
                     : d <= -kExact ? std::numeric_limits<long long>::min() : static_cast<long long>(d);
    return Number::kWhole;
}

bool whole_number(const std::string& text, long long* n) { return parse_number(text, n) == Number::kWhole; }

// A flag as spreadsheets write one: true or false in any case, or 1 or 0.
bool parse_flag(const std::string& cell, bool* value) {
    std::string text = trimmed(cell);
    for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    *value = text == "true" || text == "1";
    return *value || text == "false" || text == "0";
}

// A cell as the export writes its value, where the cell is a flag or a
// number written another way (blanks alone: an empty cell).
std::string canonical(const Column& column, const std::string& text) {
    bool flag = false;
    long long n = 0;
    if (column.kind != Value::kText && trimmed(text).empty()) return "";
    if (column.kind == Value::kFlag && parse_flag(text, &flag)) return flag ? "true" : "false";
    if (column.kind == Value::kNumber && whole_number(text, &n)) return std::to_string(n);
    return text;
}

const Table* find_table(const std::vector<Table>& tables, const std::string& file, const Table** parent) {
    for (const Table& t : tables) {
        if (t.file == file) {
            *parent = nullptr;
            return &t;
        }
        for (const Table& c : t.children) {
            if (c.file == file) {
                *parent = &t;
                return &c;
            }
        }
    }
    return nullptr;
}

const Column* find_column(const Table& table, const std::string& key) {
    for (const Column& c : table.columns) {
        if (c.key == key) return &c;
    }
    return nullptr;
}

int rows_of(const std::vector<Table>& tables, const std::string& key) {
    for (const Table& t : tables) {
        if (t.key == key) return t.rows(-1);
    }
    return 0;
}

// One changed cell: where it is (parent is the parent row of a nested row,
// -1 for a top-level row; keys its key columns as text), its column and its
// new text.
struct Cell {
    const EditedTable& file;
    const EditedRow& row;
    const std::string& keys;
    const std::string& key;  // the column as the file's header spells it
    int parent;
    int index;
    const Column& column;
    const std::string& text;

    // Where the cell is: in a file, its row and column; spoken of the cell
    // itself, its heading.
    std::string at() const {
        return file.cell_words ? cut(key) : file.file + ": " + row.where + " (" + keys + "): " + quoted(key);
    }
    // The cell and the value given: "HP 99999" spoken of the cell.
    std::string given() const {
        if (file.cell_words) return cut(key) + " " + (text.empty() ? std::string("\"\"") : cut(text));
        return at() + " = " + quoted(text);
    }
};

std::string range_text(long lo, long hi) { return std::to_string(lo) + ".." + std::to_string(hi); }

// The range of a stored column: what the field holds, up to its limit and
// the rows of the table it refers to, or the index that stands for none.
std::string range_of(const Column& c, const common::StoredField& s, const std::vector<Table>& tables, long long* limit) {
    *limit = s.limit >= 0 ? s.limit : s.field.max();
    if (!c.references.empty()) *limit = std::min<long long>(*limit, rows_of(tables, c.references) - 1);
    std::string range = range_text(s.field.min(), static_cast<long>(*limit));
    if (s.field.scale > 1) range += " in steps of " + std::to_string(s.field.scale);
    if (c.none >= 0) range += " or " + std::to_string(c.none) + " (none)";
    return range;
}

common::Result<long long> label_bits(const Cell& cell, const common::StoredField& s) {
    const Column& c = cell.column;
    long long value = 0;
    std::istringstream words(cell.text);
    for (std::string label; words >> label;) {
        size_t i = 0;
        while (i < c.allowed.size() && c.allowed[i] != label) ++i;
        if (i == c.allowed.size()) {
            std::string allowed;
            for (const std::string& a : c.allowed) allowed += " " + a;
            return common::Error(cell.at() + ": unknown label " + quoted(label) + "; allowed:" + allowed);
        }
        const int bit = s.order == common::BitOrder::kHighestFirst ? static_cast<int>(c.allowed.size() - 1 - i)
                                                                   : static_cast<int>(i);
        value |= 1LL << bit;
    }
    return value;
}

// The stored number of a cell, or its refusal.
common::Result<long long> cell_number(const Cell& cell, const common::StoredField& s, const std::vector<Table>& tables) {
    const Column& c = cell.column;
    if (c.kind == Value::kFlag) {
        bool flag = false;
        if (!parse_flag(cell.text, &flag)) return common::Error(cell.given() + ": allowed true or false");
        return static_cast<long long>(flag != s.inverted);
    }
    if (c.kind == Value::kLabels) return label_bits(cell, s);
    long long limit = 0;
    const std::string range = range_of(c, s, tables, &limit);
    long long value = 0;
    const Number number = parse_number(cell.text, &value);
    if (number == Number::kNotWhole) return common::Error(cell.given() + ": not a whole number");
    // Beyond long (32 bits on Windows), a number is out of every field's range.
    value = std::clamp<long long>(value, std::numeric_limits<long>::min() + 1, std::numeric_limits<long>::max());
    if (s.encode && number == Number::kWhole) return value;  // the encoder knows the range
    if (number != Number::kWhole || !s.field.holds(value) || (value > limit && value != c.none)) {
        return common::Error(cell.given() + ": allowed " + range);
    }
    return value;
}

template <typename T>
const T* lookup(const std::vector<T>& list, const std::string& table, const std::string& column) {
    for (const T& s : list) {
        if (table == s.table && column == s.key.key) return &s;
    }
    return nullptr;
}

const NameColumn* name_column(const ImportLayout& layout, const std::string& table) {
    for (const NameColumn& n : layout.names) {
        if (table == n.table) return &n;
    }
    return nullptr;
}

std::string hex(long offset) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", offset);
    return text;
}

// The bytes written so far, each with the cells that wrote which of its
// bits. Two changed cells may reach one stored place: rows of records that
// several monsters share (action patterns, drop table entries, encounter
// types, names that several characters carry). Such an edit changes every
// row that shares the place; it is accepted when all the changed cells that
// reach the place agree, and refused naming both cells when they do not.
class Claims {
public:
    // Claims the bits of mask in the byte at offset as set to bits by who;
    // false with other set to the cell that set any of them otherwise.
    bool claim(long offset, unsigned mask, unsigned bits, const std::string& who, std::string* other) {
        Byte& byte = bytes_[offset];
        const unsigned differ = (byte.bits ^ bits) & byte.mask & mask;
        if (differ) {
            for (const Claim& c : byte.claims) {
                if (c.mask & differ) {
                    *other = c.who;
                    return false;
                }
            }
        }
        if (mask & ~byte.mask) byte.claims.push_back({mask & ~byte.mask, who});
        byte.bits = (byte.bits & ~mask) | (bits & mask);
        byte.mask |= mask;
        return true;
    }

private:
    // The cell that first claimed the bits of mask.
    struct Claim {
        unsigned mask;
        std::string who;
    };
    // The bits claimed in a byte, and by whom: at most one claim a bit.
    struct Byte {
        unsigned mask = 0;
        unsigned bits = 0;
        std::vector<Claim> claims;
    };
    std::unordered_map<long, Byte> bytes_;
};

// What a run writes with: the image's tables, the layout, the ROM proper and
// what has been written and refused so far.
struct Writer {
    const std::vector<Table>& tables;
    const ImportLayout& layout;
    uint8_t* rom;
    size_t size;
    Refusals& refusals;
    Claims claims;
    std::vector<std::string> characters = {};  // the game's, once a name needs them
    // The fields written: a row given twice (or in a CSV file and the JSON
    // document alike) changes its field once.
    std::set<std::tuple<const Column*, int, int>> changed = {};
    // Copying: the ROM proper of another image of the game (size bytes) whose
    // bits of each changed field are taken as they are; null: the cells'
    // values are encoded.
    const uint8_t* source = nullptr;
};

// Claims the bytes at offset..offset + new_bytes.size() - 1 (mask[i] of
// each) for cell; on a conflict the refusal names both cells.
bool claim_bytes(Writer& w, const Cell& cell, long offset, const std::vector<uint8_t>& bytes,
                 const std::vector<uint8_t>& masks) {
    const std::string who = cell.given();
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::string other;
        if (!w.claims.claim(offset + static_cast<long>(i), masks[i], bytes[i] & masks[i], who, &other)) {
            w.refusals.add(who + ": stored in the same place as " + other +
                           " (a record that both rows share); give both the same value");
            return false;
        }
    }
    return true;
}

// The name of a table other than own that the game reads at one of the
// bytes offset..offset + count - 1, or null. A table read whole that holds
// all of own (the item records around the weapon records) is own as well.
const char* read_elsewhere(const Writer& w, const common::TableLayout* own, long offset, int count) {
    for (const ReadTable& r : w.layout.read) {
        const common::TableLayout& t = *r.table;
        const bool same = t.offset == own->offset && t.size() == own->size();
        if (same || (!r.reads && t.offset <= own->offset && t.end() >= own->end())) continue;
        for (long b = offset; b < offset + count; ++b) {
            if (b >= t.offset && b < t.end() && (!r.reads || r.reads(w.rom, w.size, b))) return t.name;
        }
    }
    return nullptr;
}

// The characters that the game's tables hold, in code point order (the
// order of their UTF-8 bytes), without the blank and the filler that the
// unused codes (code 0 among them) show.
std::vector<std::string> game_characters(const common::CharTables& tables) {
    std::vector<std::string> all;
    for (int code = 0; code < 256; ++code) all.emplace_back(tables.single[code]);
    for (int code = 0; code < 1024; ++code) all.emplace_back(tables.dbl[code]);
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
    const std::string filler = tables.single[0];
    std::erase_if(all, [&filler](const std::string& c) { return c.empty() || c == " " || c == filler; });
    return all;
}

constexpr std::ptrdiff_t kNearbyCharacters = 3;  // on each side

// The characters the game has around c in code point order.
std::string nearby(const std::string& c, Writer& w) {
    if (w.characters.empty()) w.characters = game_characters(w.layout.chars);
    const auto& all = w.characters;
    const auto here = std::lower_bound(all.begin(), all.end(), c);
    const auto first = here - std::min(kNearbyCharacters, here - all.begin());
    const auto last = here + std::min(kNearbyCharacters, all.end() - here);
    std::string out;
    for (auto n = first; n != last; ++n) {
        if (n != first) out += ' ';
        out += quoted(*n);
    }
    return out;
}

// Why a name that has characters the game has no code for (the first from
// byte at) is refused: each such character once, and those the game has
// around it.
std::string unwritable(const std::string& name, size_t at, Writer& w) {
    std::vector<std::string> bad;
    std::vector<uint8_t> codes;
    for (size_t i = at; i < name.size();) {
        const size_t used = common::encode_game_char(name, i, w.layout.chars, &codes);
        if (used) {
            i += used;
            continue;
        }
        const std::string c = name.substr(i, char_bytes(name, i));
        if (std::find(bad.begin(), bad.end(), c) == bad.end()) bad.push_back(c);
        i += c.size();
    }
    // The characters that have the same characters around them are named
    // together, before that list.
    std::vector<std::pair<std::string, std::string>> groups;  // nearby, the characters
    for (const std::string& c : bad) {
        const std::string around = nearby(c, w);
        auto group = std::find_if(groups.begin(), groups.end(), [&around](const auto& g) { return g.first == around; });
        if (group == groups.end()) group = groups.insert(groups.end(), {around, ""});
        group->second += (group->second.empty() ? "" : ", ") + quoted(c);
    }
    std::string out = ": the game cannot write ";
    for (size_t i = 0; i < groups.size(); ++i) {
        out += (i ? "; " : "") + groups[i].second + " (nearby it has " + groups[i].first + ")";
    }
    return out;
}

// Copies the bits of a field (its mask, of count bytes at at; every bit with
// whole) from the source image.
bool copy_bits(Writer& w, long at, int count, unsigned mask, bool whole = false) {
    if (at < 0 || static_cast<size_t>(at + count) > w.size) return false;
    for (int i = 0; i < count; ++i) {
        const auto bits = whole ? uint8_t{0xFF} : static_cast<uint8_t>(mask >> (8 * i));
        w.rom[at + i] = static_cast<uint8_t>((w.rom[at + i] & ~bits) | (w.source[at + i] & bits));
    }
    return true;
}

bool write_name(const Cell& cell, const NameColumn& n, Writer& w) {
    const common::TableLayout& names = *n.names;
    const int record = n.name_of ? n.name_of(cell.index) : cell.index;
    if (record < 0 || record >= names.count) {
        w.refusals.add(cell.given() +
                       ": the tools hold this name themselves; the image has no field for it");
        return false;
    }
    if (w.source) return copy_bits(w, names.record(record), names.record_size, 0, true);
    const common::NameField f = common::encode_name_field(cell.text, static_cast<size_t>(names.record_size), w.layout.chars);
    if (!f.ok) {
        const size_t length = f.length;
        w.refusals.add(cell.given() +
                       (length ? ": " + std::to_string(length) + " bytes of game text, the field holds " +
                                     std::to_string(names.record_size)
                               : unwritable(cell.text, f.bad_char, w)));
        return false;
    }
    const long offset = names.record(record);
    if (offset < 0 || static_cast<size_t>(offset + names.record_size) > w.size) return false;
    if (!claim_bytes(w, cell, offset, f.codes, std::vector<uint8_t>(f.codes.size(), 0xFF))) return false;
    std::copy(f.codes.begin(), f.codes.end(), w.rom + offset);
    return true;
}

// The stored column of a cell and the rom offset of its record, or null.
const common::StoredField* stored_column(const Cell& cell, const Writer& w, long* offset) {
    for (const common::StoredField& s : w.layout.stored) {
        if (cell.file.table != s.table || cell.column.key != s.key.key) continue;
        if (s.record_of) {
            *offset = s.record_of(w.rom, w.size, cell.parent, cell.index);
            if (*offset >= 0) return &s;
        } else if (cell.index >= s.first && cell.index < s.first + s.records->count) {
            *offset = s.records->record(cell.index - s.first);
            return &s;
        }
    }
    return nullptr;
}

// A column as the file's header spells it, else its key.
std::string spelled(const EditedTable& file, const std::string& key) {
    for (size_t i = 0; i < file.columns.size() && i < file.spelled.size(); ++i) {
        if (file.columns[i] == key && !file.spelled[i].empty()) return cut(file.spelled[i]);
    }
    return key;
}

// The columns to change instead (keys separated by blanks) as the file
// spells them: "a", "b" or "c".
std::string columns_instead(const EditedTable& file, const std::string& keys) {
    std::istringstream words(keys);
    std::vector<std::string> names;
    for (std::string key; words >> key;) names.push_back(quoted(spelled(file, key)));
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) out += (i ? (i + 1 < names.size() ? ", " : " or ") : "") + names[i];
    return out;
}

// A computed column names the stored ones to change; a stored one that is
// not written says why.
void refuse_unstored(const Cell& cell, Writer& w) {
    const std::string& key = cell.column.key;
    const common::ComputedField* c = lookup(w.layout.computed, cell.file.table, key);
    std::string instead = c && c->instead ? c->instead : "";
    if (!c && key.size() > 5 && key.compare(key.size() - 5, 5, "_name") == 0) instead = key.substr(0, key.size() - 5);
    const std::string why = c && c->why ? std::string(" (") + c->why + ")" : "";
    if (instead.empty()) {
        w.refusals.add(cell.at() + " is not a stored field that can be changed" + why);
    } else {
        w.refusals.add(cell.at() + " is computed from other fields and cannot be changed itself" + why + "; change " +
                       columns_instead(cell.file, instead) + " instead");
    }
}

// Writes a number through an encoder: the bytes of the record it changes
// are the ones it writes.
bool write_encoded(const Cell& cell, const common::StoredField& s, long offset, long long value, Writer& w) {
    const long size = s.records->record_size;
    if (offset < 0 || static_cast<size_t>(offset + size) > w.size) return false;
    std::vector<uint8_t> record(w.rom + offset, w.rom + offset + size);
    long lo = 0, hi = 0;
    if (!s.encode(record.data(), cell.index, static_cast<long>(value), &lo, &hi)) {
        w.refusals.add(cell.given() + ": allowed " + range_text(lo, hi));
        return false;
    }
    std::vector<uint8_t> masks(record.size());
    for (size_t i = 0; i < record.size(); ++i) masks[i] = record[i] ^ w.rom[offset + static_cast<long>(i)];
    if (!claim_bytes(w, cell, offset, record, masks)) return false;
    std::copy(record.begin(), record.end(), w.rom + offset);
    return true;
}

// Writes one changed cell, or says why not; true when written.
bool write_cell(const Cell& cell, Writer& w) {
    const NameColumn* names = cell.column.key == "name" ? name_column(w.layout, cell.file.table) : nullptr;
    if (names) return write_name(cell, *names, w);
    long offset = -1;
    const common::StoredField* s = stored_column(cell, w, &offset);
    if (!s) {
        refuse_unstored(cell, w);
        return false;
    }
    if (w.source && !s->encode) return copy_bits(w, offset + s->field.byte, s->field.bytes(), s->field.mask());
    const common::Result<long long> number = cell_number(cell, *s, w.tables);
    if (!number) {
        w.refusals.add(number.error().lines.front());
        return false;
    }
    const long long value = *number;
    if (s->encode) return write_encoded(cell, *s, offset, value, w);
    const long at = offset + s->field.byte;
    const int count = s->field.bytes();
    if (offset < 0 || static_cast<size_t>(at + count) > w.size) return false;
    if (const char* other = read_elsewhere(w, s->records, at, count)) {
        w.refusals.add(cell.given() + ": the byte at rom offset " + hex(at) +
                       " is also read as the " + other + "; an edit there would change both, so it is not written");
        return false;
    }
    std::vector<uint8_t> bytes(w.rom + offset, w.rom + at + count), masks(bytes.size(), 0);
    s->field.put(bytes.data(), static_cast<long>(value));
    for (int i = 0; i < count; ++i) masks[static_cast<size_t>(s->field.byte + i)] = (s->field.mask() >> (8 * i)) & 0xFF;
    if (!claim_bytes(w, cell, offset, bytes, masks)) return false;
    s->field.put(w.rom + offset, static_cast<long>(value));
    return true;
}

// The columns of an edited file in the export's flat columns, null for a
// column the export does not have.
std::vector<const exporter::FlatColumn*> edited_columns(const EditedTable& edited, const std::vector<exporter::FlatColumn>& flat) {
    std::vector<const exporter::FlatColumn*> columns;
    for (const std::string& key : edited.columns) {
        const exporter::FlatColumn* found = nullptr;
        for (const exporter::FlatColumn& f : flat) {
            if (f.key == key) found = &f;
        }
        columns.push_back(found);
    }
    return columns;
}

int column_at(const EditedTable& edited, const std::string& key) {
    for (size_t i = 0; i < edited.columns.size(); ++i) {
        if (edited.columns[i] == key) return static_cast<int>(i);
    }
    return -1;
}

// Which row of a table an edited row is: its parent row and index, and its
// keys as text.
struct RowKeys {
    int parent = -1;
    int index = -1;
    std::string text;
};

// Finds the rows of an edited file in its table: a top-level row by its
// index, a nested row by its parent row's key and, among that row's rows, by
// its row key columns (index, or pattern and slot, or position), through a
// map of every nested row built once. Rows cannot be added, as every list has
// the length the image gives it. A row that is not there is refused naming
// what rows there are.
class RowFinder {
public:
    RowFinder(const EditedTable& edited, const Table& table, const Table* parent)
        : edited_(edited), table_(table), parent_(parent) {
        top_ = column({parent ? table.parent_keys.front().second : std::string("index"), nullptr});
        if (!parent) return;
        for (const std::string& k : table.row_key) row_key_.push_back(column({k, find_column(table, k)}));
        for (int p = 0; p < parent->rows(-1); ++p) {
            for (int i = 0; i < table.rows(p); ++i) {
                std::string key = std::to_string(p);
                for (const Key& k : row_key_) key += '\n' + exporter::flat_text(k.column->value({p, i}));
                rows_.emplace(std::move(key), i);
            }
        }
    }

    bool find(const EditedRow& row, RowKeys* keys, Refusals& refusals) const {
        const int count = parent_ ? parent_->rows(-1) : table_.rows(-1);
        int* found = parent_ ? &keys->parent : &keys->index;
        long long n = -1;
        const std::string text = top_.at >= 0 && row.present[top_.at] ? row.cells[top_.at] : "";
        if (!whole_number(text, &n) || n < 0 || n >= count) {
            refusals.add(edited_.file + ": " + row.where + ": no row with " + top_.spelled + " " + quoted(text) +
                         "; the table has 0.." + std::to_string(count - 1));
            return false;
        }
        *found = static_cast<int>(n);
        keys->text = top_.spelled + " " + std::to_string(n);
        return !parent_ || nested(row, keys, refusals);
    }

private:
    struct Key {
        std::string key;
        const Column* column;
        int at = -1;  // in the edited file's columns
        std::string spelled = {};
    };
    Key column(Key k) const {
        k.at = column_at(edited_, k.key);
        k.spelled = spelled(edited_, k.key);
        return k;
    }
    std::string cell(const EditedRow& row, const Key& k) const {
        return k.at >= 0 && row.present[k.at] ? row.cells[k.at] : "";
    }

    bool nested(const EditedRow& row, RowKeys* keys, Refusals& refusals) const {
        std::string key = std::to_string(keys->parent), wanted;
        for (const Key& k : row_key_) {
            const std::string text = canonical(*k.column, cell(row, k));
            key += '\n' + text;
            wanted += ", " + k.spelled + " " + cut(text);
        }
        const auto found = rows_.find(key);
        if (found != rows_.end()) {
            keys->index = found->second;
            keys->text += wanted;
            return true;
        }
        refusals.add(edited_.file + ": " + row.where + ": no row with " + keys->text + wanted + "; " + keys->text +
                     ranges(keys->parent) + ", and rows cannot be added to it");
        return false;
    }

    // What rows parent has: the range of each row key column.
    std::string ranges(int parent) const {
        const int n = table_.rows(parent);
        if (!n) return " has no rows";
        std::string out;
        for (const Key& k : row_key_) {
            long long lo = 0, hi = -1;
            for (int i = 0; i < n; ++i) {
                const long long v = k.column->value({parent, i}).number;
                lo = i ? std::min(lo, v) : v;
                hi = i ? std::max(hi, v) : v;
            }
            out += (out.empty() ? " has " : ", ") + k.spelled + " " + std::to_string(lo) + ".." + std::to_string(hi);
        }
        return out;
    }

    const EditedTable& edited_;
    const Table& table_;
    const Table* parent_;
    Key top_;
    std::vector<Key> row_key_;
    std::unordered_map<std::string, int> rows_;  // parent row and row key texts: the row's index
};

bool is_key(const Table& table, const Table* parent, const std::string& key) {
    if (!parent) return key == "index";
    return key == table.parent_keys.front().second ||
           std::find(table.row_key.begin(), table.row_key.end(), key) != table.row_key.end();
}

// The changed cells of one edited row written, or refused.
void apply_row(const EditedRow& row, const RowKeys& keys, const EditedTable& edited,
               const std::vector<const exporter::FlatColumn*>& columns, const Table* parent, Writer& w) {
    for (size_t i = 0; i < columns.size(); ++i) {
        const exporter::FlatColumn* f = columns[i];
        if (!f || !row.present[i]) continue;
        const Value now = f->column->value(f->from_parent ? Row{-1, keys.parent} : Row{keys.parent, keys.index});
        if (exporter::flat_text(now) == canonical(*f->column, row.cells[i])) continue;
        const std::string& key = i < edited.spelled.size() && !edited.spelled[i].empty() ? edited.spelled[i] : f->key;
        const Cell cell{edited, row, keys.text, key, keys.parent, keys.index, *f->column, row.cells[i]};
        if (f->from_parent) {
            w.refusals.add(cell.at() + " comes from " + quoted(parent->file) + "; change it there");
        } else if (now.kind == Value::kNull) {
            w.refusals.add(cell.at() + " does not belong to this record; leave it empty");
        } else if (write_cell(cell, w)) {
            w.changed.insert({f->column, keys.parent, keys.index});
        }
    }
}

void apply_table(const EditedTable& edited, const Table& table, const Table* parent, Writer& w) {
    const std::vector<exporter::FlatColumn> flat = exporter::flat_columns(table, parent);
    std::vector<const exporter::FlatColumn*> columns = edited_columns(edited, flat);
    for (const exporter::FlatColumn*& f : columns) {
        if (f && is_key(table, parent, f->key)) f = nullptr;  // the row finder reads the keys
    }
    const RowFinder finder(edited, table, parent);
    for (size_t r = 0; r < edited.row_count(); ++r) {
        const EditedRow row = edited.row(r);
        RowKeys keys;
        if (finder.find(row, &keys, w.refusals)) apply_row(row, keys, edited, columns, parent, w);
    }
}

}  // namespace

long learning_group_at(const uint8_t* rom, size_t size, long list1, long list2, int group) {
    for (long window : {list1, list2}) {
        if (window < 0 || static_cast<size_t>(window + common::kLearningWindowSize) > size) return -1;
        if (group < 0) return window;
        common::LearningWalk walk(rom + window);
        for (; !walk.done(); walk.next(), --group) {
            if (group == 0) return window + walk.at();
        }
    }
    return -1;
}

void add_member_flag_columns(std::vector<common::StoredField>& s, const common::TableLayout* formations, RecordOf flags_at) {
    namespace f = common::member_flags;
    namespace k = common::shared_keys;
    for (auto [key, field] : {std::pair{k::kFront, f::kFront}, {k::kRear, f::kRear}, {k::kClose, f::kClose},
                              {k::kRanged, f::kRanged}, {k::kMagic, f::kMagic}, {k::kSpeed, f::kSpeed}}) {
        s.push_back({"formation-members", key, formations, field, false, {}, 0, flags_at});
    }
}

bool learning_window_reads(const uint8_t* rom, size_t size, long window, long offset) {
    if (offset < window || window < 0 || static_cast<size_t>(window + common::kLearningWindowSize) > size) return false;
    common::LearningWalk walk(rom + window);
    while (!walk.done()) walk.next();
    return offset < window + walk.read_bytes();
}

size_t apply_edits(const std::vector<EditedTable>& edited, const std::vector<Table>& tables,
                   const ImportLayout& layout, uint8_t* rom, size_t size, std::vector<std::string>* refusals,
                   const uint8_t* source) {
    Refusals out(refusals);
    Writer w{tables, layout, rom, size, out, {}};
    w.source = source;
    for (const EditedTable& e : edited) {
        const Table* parent = nullptr;
        const Table* table = find_table(tables, e.table, &parent);
        if (table) apply_table(e, *table, parent, w);  // the readers accept only tables of the export
    }
    out.close();
    return w.changed.size();
}

}  // namespace importer
