#include "export/rom_table.h"

#include <memory>

namespace exporter {

namespace {

// The wording of the identification where a person reads it (the viewer
// page; the comparison's text uses the same words), by key.
struct Wording {
    const char* key;
    const char* label;
};
constexpr Wording kWordings[] = {
    {"title_found", "title found"},
    {"title", "title"},
    {"mapping", "mapping"},
    {"image_base", "image base"},
    {"file_size", "file size"},
    {"copier_header", "copier header"},
    {"crc32", "file CRC32"},
    {"md5", "file MD5"},
    {"sha1", "file SHA-1"},
    {"rom_crc32", "ROM CRC32"},
    {"rom_md5", "ROM MD5"},
    {"rom_sha1", "ROM SHA-1"},
    {"checksum", "stored checksum"},
    {"checksum_complement", "stored complement"},
    {"computed_checksum", "computed checksum"},
    {"checksum_valid", "checksum valid"},
};

Name named(const std::string& key) {
    for (const Wording& w : kWordings) {
        if (key == w.key) return {key, w.label};
    }
    return {key, ""};
}

// Columns of one value that is the same in every row (the rom block has one).
Column constant_text(const std::string& key, std::string s) {
    auto text = std::make_shared<const std::string>(std::move(s));
    return text_column(named(key), [text](const Row&) { return text->c_str(); });
}

Column constant_number(const char* key, long long n) {
    return number_column(named(key), [n](const Row&) { return n; });
}

// A 16-bit checksum: shown in hexadecimal beside its value.
Column constant_checksum(const char* key, long long n) {
    Column c = constant_number(key, n);
    c.hex_digits = 4;
    return c;
}

Column constant_flag(const char* key, bool b) {
    return flag_column(named(key), [b](const Row&) { return b; });
}

// A hash: "0x" before it in the identification file.
Column constant_hash(const std::string& key, std::string hex) {
    Column c = constant_text(key, std::move(hex));
    c.csv_prefix = "0x";
    return c;
}

// crc32 (eight upper-case hexadecimal digits, as ROM catalogues spell it),
// md5 and sha1 (lower-case hexadecimal) under prefix.
Columns digest_columns(const std::string& prefix, const common::Digests& d) {
    return {constant_hash(prefix + "crc32", common::crc32_hex(d.crc32)), constant_hash(prefix + "md5", d.md5),
            constant_hash(prefix + "sha1", d.sha1)};
}

}  // namespace

Table rom_table(const RomFacts& f) {
    const common::ImageIdentity& id = f.identity;
    std::string title = f.title;
    title.erase(title.find_last_not_of(' ') + 1);
    Column mapping = constant_text("mapping", f.hirom ? "HiROM" : "LoROM");
    mapping.allowed = {"LoROM", "HiROM"};
    const auto found = [found = f.title_found](const Row&) { return found; };

    Columns c = {constant_flag("title_found", f.title_found)};
    append(c, only_where(found, {constant_text("title", title), std::move(mapping)}));
    append(c, {constant_number("image_base", f.image_base), constant_number("file_size", id.file_size),
               constant_number("copier_header", id.copier_header)});
    append(c, digest_columns("", id.file));
    append(c, digest_columns("rom_", id.rom));
    append(c, only_where(found, {constant_checksum("checksum", id.stored_checksum),
                                 constant_checksum("checksum_complement", id.stored_complement)}));
    append(c, {constant_checksum("computed_checksum", id.computed_checksum),
               constant_flag("checksum_valid", id.checksum_valid)});
    Table rom{"rom", "rom", [](int) { return 1; }, std::move(c), {}, {}};
    rom.row_key = {"sha1"};  // the whole file's hash tells the images apart
    return rom;
}

}  // namespace exporter
