#include "compare/compare.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <nlohmann/json.hpp>
#include <string>

#include "common/files.h"
#include "common/image_id.h"
#include "common/rom.h"
#include "common/wholefile.h"
#include "compare/diff.h"
#include "export/rom_table.h"

namespace compare {

namespace {

using Json = nlohmann::ordered_json;

constexpr int kTrouble = kCompareTrouble;

using compare::Side;

common::Error trouble(const std::string& line) { return common::Error(line, kTrouble); }

std::string trimmed(const char* title) {
    std::string s = title;
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Decodes a side's tables through the exporters' descriptions, from its
// bytes in memory. Every cell is evaluated while the run's tables are held.
std::optional<common::Error> decode(Side& side, const CompareInfo& info) {
    common::RomImage image;
    const common::Status opened =
        image.open_memory(side.bytes.data(), side.bytes.size(), info.exporter.title, info.exporter.table_span);
    if (!opened) {
        common::Error error = opened.error();
        error.status = kTrouble;
        return error;
    }
    const common::RomHeaderInfo header = image.header();
    // An image too short for its tables is named here; the loaders would end
    // with "Fatal error in fread():", which tells neither which file nor why.
    if (std::optional<common::Error> refused =
            exporter::without_tables(side.path, image, side.bytes.size(), info.exporter)) {
        return trouble(refused->lines.front());
    }
    side.facts = {info.exporter.title, true, header.hirom, image.image_base(), {}};
    const long long header_pos = side.facts.image_base + (header.hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset);
    // The comparison shows the CRC32s and the ROM's SHA-1 (see identification()).
    side.facts.identity = common::identify_image(side.bytes.data(), side.bytes.size(), header_pos);
    std::shared_ptr<const void> kept;  // the run's tables and names
    common::Result<std::vector<exporter::Table>> tables = info.exporter.tables(image, kept);
    if (!tables) {
        common::Error error = tables.error();
        error.status = kTrouble;
        return error;
    }
    side.tables = take_snapshot(*tables);
    return std::nullopt;
}

// The cartridge header's place in the ROM proper of a decoded side.
long long rom_header_pos(const Side& side) {
    const long long copier = side.facts.identity.copier_header;
    return side.facts.image_base - copier + (side.facts.hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset);
}

// Which copy of the old image a patch was applied to, and its CRC32.
std::string patched_copy(const Side& old, bool without_copier_header) {
    const common::ImageIdentity& id = old.facts.identity;
    if (without_copier_header || !id.copier_header) return "the ROM proper, CRC32 " + common::crc32_hex(id.rom.crc32);
    return "the file with its copier header, CRC32 " + common::crc32_hex(id.file.crc32);
}

// The new side: an image, or a patch applied to the old side's bytes.
std::optional<common::Error> load_new(Side& side, const Side& old, bool ips_without_header) {
    const PatchFormat format = patch_format(side.bytes);
    if (format == PatchFormat::kNone) return std::nullopt;
    const PatchBase base{old.bytes, static_cast<size_t>(common::copier_header_size(static_cast<long long>(old.bytes.size()))),
                         rom_header_pos(old)};
    common::Result<PatchedImage> patched = apply_patch(side.bytes, base, ips_without_header);
    if (!patched) return trouble(side.path + ": " + patched.error().lines.front());
    side.patch = std::string(patch_format_name(format)) + " patch " + side.path + ", applied to " +
                 (patched->without_copier_header ? "the image without its copier header" : "the file as given");
    side.patched_copy = patched_copy(old, patched->without_copier_header);
    side.patch_metadata = std::move(patched->metadata);
    side.bytes = std::move(patched->image);
    return std::nullopt;
}

std::string dump(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

// The identification: the exports' rom block, with the file and how a
// patched image was made.
Json rom_block(const Side& side) {
    Json rom = Json::parse(exporter::json_row(exporter::rom_table(side.facts), {-1, 0}));
    rom["file"] = side.path;
    if (!side.patch.empty()) rom["patch"] = side.patch;
    if (!side.patched_copy.empty()) rom["patch_applied_to"] = side.patched_copy;
    if (!side.patch_metadata.empty()) rom["patch_metadata"] = side.patch_metadata;
    return rom;
}

// A 16-bit checksum as a person reads it: its value, and in hexadecimal
// beside it ("31420 (0x7ABC)").
std::string checksum_text(unsigned value) {
    char hex[8];
    snprintf(hex, sizeof hex, "%04X", value & 0xFFFFu);
    return std::to_string(value) + " (0x" + hex + ")";
}

std::string identification(const char* which, const Side& side, const char* title) {
    const common::ImageIdentity& id = side.facts.identity;
    std::string s = std::string(which) + ": " + (side.patch.empty() ? side.path : side.patch) + "\n";
    s += "  " + std::to_string(id.file_size) + " bytes, " +
         (id.copier_header ? "copier header of " + std::to_string(id.copier_header) + " bytes" : "no copier header") +
         "\n";
    s += "  file CRC32 " + common::crc32_hex(id.file.crc32) + ", ROM CRC32 " + common::crc32_hex(id.rom.crc32) + ", ROM SHA-1 " +
         id.rom.sha1 + "\n";
    s += "  title " + dump(trimmed(title)) + ", " + (side.facts.hirom ? "HiROM" : "LoROM") + ", internal checksum " +
         (id.checksum_valid ? "valid" : "invalid") + "\n";
    s += "  stored checksum " + checksum_text(id.stored_checksum) + ", stored complement " +
         checksum_text(id.stored_complement) + ", computed checksum " + checksum_text(id.computed_checksum) + "\n";
    return s;
}

struct Totals {
    size_t tables = 0, records = 0, fields = 0, bytes = 0;
};

Totals totals_of(const Snapshot& tables, const std::vector<RecordChange>& records,
                 const std::vector<ByteRange>& unmapped) {
    Totals t{tables.size(), records.size(), 0, 0};
    for (const RecordChange& r : records) t.fields += r.changes.size();
    for (const ByteRange& b : unmapped) t.bytes += b.length;
    return t;
}

// The standard output text, made in one string.
class Output {
public:
    void add(const std::string& s) { text_ += s; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

// What a patch was applied to and what its metadata says, each metadata line
// indented below the first.
std::string patch_lines(const Side& side) {
    if (side.patched_copy.empty()) return "";
    std::string s = "  patch applied to " + side.patched_copy + "\n";
    if (side.patch_metadata.empty()) return s;
    s += "  patch metadata:\n";
    size_t from = 0;
    while (from < side.patch_metadata.size()) {
        size_t end = side.patch_metadata.find('\n', from);
        if (end == std::string::npos) end = side.patch_metadata.size();
        std::string line = side.patch_metadata.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A NUL would end the printed text: it is shown as \0.
        for (size_t at = line.find('\0'); at != std::string::npos; at = line.find('\0', at + 2)) line.replace(at, 1, "\\0");
        s += "    " + line + "\n";
        from = end + 1;
    }
    return s;
}

void print_text(Output& out, const Side& old, const Side& now, const char* title,
                const std::vector<RecordChange>& records, const std::vector<ByteRange>& unmapped) {
    out.add(identification("old", old, title) + identification("new", now, title) + patch_lines(now));
    for (const RecordChange& r : records) {
        std::string s = std::string(1, '\n') + record_label(now.tables, r);
        if (r.added || r.removed) s += r.added ? ": only in the new image" : ": only in the old image";
        if (r.name_only) {
            out.add(s + ": only its name changed\n");
            continue;
        }
        out.add(s + "\n");
        for (const Change& c : r.changes) out.add(change_text(c));
    }
    if (!unmapped.empty()) out.add("\nchanged outside the tables (offset in the ROM proper, length):\n");
    for (const ByteRange& b : unmapped) {
        char line[64];
        snprintf(line, sizeof line, "  0x%06zX %zu\n", b.offset, b.length);
        out.add(line);
    }
    const Totals t = totals_of(now.tables, records, unmapped);
    out.add(std::string(1, '\n') + std::to_string(t.tables) + " tables compared, " + std::to_string(t.records) + " records changed, " +
            std::to_string(t.fields) + " fields changed, " + std::to_string(t.bytes) +
            " bytes changed outside the tables\n");
}

Json change_object(const Snapshot& tables, const RecordChange& r, const Change& c) {
    const TableCells& t = tables[r.table];
    Json j = Json::object();
    j["table"] = t.path;
    if (t.parent_table >= 0) j["parent"] = r.row.parent;
    j["index"] = r.row.index;
    j["name"] = Json::parse(r.removed ? r.old_name : r.new_name);
    j["key"] = c.key;
    j["old"] = Json::parse(c.old_value);
    j["new"] = Json::parse(c.new_value);
    if (c.reference) {
        j["old_name"] = Json::parse(c.old_name);
        j["new_name"] = Json::parse(c.new_name);
    }
    return j;
}

void print_json(Output& out, const Side& old, const Side& now, const CompareInfo& info,
                const std::vector<RecordChange>& records, const std::vector<ByteRange>& unmapped) {
    out.add("{\n  \"format\": \"meridian-tools-compare\",\n  \"version\": 1,\n  \"game\": " +
            dump(info.exporter.game) + ",\n  \"old\": " + dump(rom_block(old)) + ",\n  \"new\": " +
            dump(rom_block(now)) + ",\n  \"changes\": [");
    const char* sep = "\n    ";
    for (const RecordChange& r : records) {
        for (const Change& c : r.changes) {
            out.add(sep + dump(change_object(now.tables, r, c)));
            sep = ",\n    ";
        }
    }
    out.add(records.empty() ? "],\n  \"unmapped\": [" : "\n  ],\n  \"unmapped\": [");
    sep = "\n    ";
    for (const ByteRange& b : unmapped) {
        out.add(sep + dump(Json{{"offset", b.offset}, {"length", b.length}}));
        sep = ",\n    ";
    }
    out.add(unmapped.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace

std::string changes_json(const Snapshot& tables, const std::vector<RecordChange>& records) {
    Json list = Json::array();
    for (const RecordChange& r : records) {
        for (const Change& c : r.changes) list.push_back(change_object(tables, r, c));
    }
    return dump(list);
}

ByteSpan Side::rom() const {
    const size_t base = facts.image_base > 0 ? static_cast<size_t>(facts.image_base) : 0;
    return base < bytes.size() ? ByteSpan(bytes).subspan(base) : ByteSpan();
}

common::Result<Side> decode_old(const CompareInfo& info, Input image) {
    Side old{std::move(image.name), std::move(image.bytes), "", {}, {}, "", ""};
    if (std::optional<common::Error> error = decode(old, info)) return *error;
    return old;
}

common::Result<Side> decode_new(const CompareInfo& info, const Side& old, Input input, bool ips_without_header) {
    Side now{std::move(input.name), std::move(input.bytes), "", {}, {}, "", ""};
    if (std::optional<common::Error> error = load_new(now, old, ips_without_header)) return *error;
    if (std::optional<common::Error> error = decode(now, info)) return *error;
    return now;
}

std::string rom_block_json(const Side& side) { return dump(rom_block(side)); }

common::Result<Outcome> compare_with(const CompareInfo& info, const Side& old, Input input, const Options& options) {
    common::Result<Side> decoded = decode_new(info, old, std::move(input), options.ips_without_header);
    if (!decoded) return decoded.error();
    const Side& now = *decoded;
    const std::vector<RecordChange> records = compare_snapshots(old.tables, now.tables);
    const std::vector<ByteRange> unmapped = unmapped_changes(old.rom(), now.rom(), info.tables);
    Output out;
    if (options.json) {
        print_json(out, old, now, info, records, unmapped);
    } else {
        print_text(out, old, now, info.exporter.title, records, unmapped);
    }
    return Outcome{records.empty() ? 0 : 1, out.take()};
}

common::Result<Outcome> compare_inputs(const CompareInfo& info, Input old, Input now, const Options& options) {
    common::Result<Side> decoded = decode_old(info, std::move(old));
    if (!decoded) return decoded.error();
    return compare_with(info, *decoded, std::move(now), options);
}

}  // namespace compare
