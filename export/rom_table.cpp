#include "export/rom_table.h"

#include <memory>

namespace {

// Columns of one value that is the same in every row (the rom block has one).
Column constant_text(const char* key, std::string s) {
    auto text = std::make_shared<const std::string>(std::move(s));
    return text_column({key, ""}, [text](const Row&) { return text->c_str(); });
}

Column constant_number(const char* key, long long n) {
    return number_column({key, ""}, [n](const Row&) { return n; });
}

Column constant_flag(const char* key, bool b) {
    return flag_column({key, ""}, [b](const Row&) { return b; });
}

// crc32 (eight upper-case hexadecimal digits, as ROM catalogues spell it),
// md5 and sha1 (lower-case hexadecimal) under prefix.
Columns digest_columns(const std::string& prefix, const Digests& d) {
    return {constant_text((prefix + "crc32").c_str(), crc32_hex(d.crc32)),
            constant_text((prefix + "md5").c_str(), d.md5), constant_text((prefix + "sha1").c_str(), d.sha1)};
}

}  // namespace

Table rom_table(const RomFacts& f) {
    const ImageIdentity& id = f.identity;
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
    append(c, only_where(found, {constant_number("checksum", id.stored_checksum),
                                 constant_number("checksum_complement", id.stored_complement)}));
    append(c, {constant_number("computed_checksum", id.computed_checksum),
               constant_flag("checksum_valid", id.checksum_valid)});
    Table rom{"rom", "rom", [](int) { return 1; }, std::move(c), {}, {}};
    rom.row_key = {"sha1"};  // the whole file's hash tells the images apart
    return rom;
}
