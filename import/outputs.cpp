// What the importer says of an image and what it makes of the edited one:
// the image opened, a BPS patch's metadata, the outputs and why an IPS patch
// cannot be made.
#include "import/importer.h"

#include <string>
#include <vector>

#include "common/image_id.h"
#include "common/rom.h"
#include "import/patch.h"

namespace importer {

namespace {

// The changed fields that a BPS patch's metadata lists at most.
constexpr size_t kMetadataChanges = 50;

}  // namespace

common::Status open_image(OpenedImage& image, const exporter::ExporterInfo& game, common::RomImage& rom,
                          bool crc32s) {
    if (const common::Status opened =
            rom.open_memory(image.bytes.data(), image.bytes.size(), game.title, game.table_span);
        !opened) {
        return opened;
    }
    if (std::optional<common::Error> refused = exporter::without_tables(image.path, rom, image.bytes.size(), game)) {
        return *refused;
    }
    const common::RomHeaderInfo header = rom.header();
    image.base = static_cast<size_t>(rom.image_base());
    image.header_pos = image.base + static_cast<size_t>(header.hirom ? common::kHiRomHeaderOffset : common::kLoRomHeaderOffset);
    image.copier = static_cast<size_t>(common::copier_header_size(static_cast<long long>(image.bytes.size())));
    if (!crc32s) return common::success();
    // The importer names an image by its CRC32s alone.
    const common::ImageIdentity id = common::identify_image(image.bytes.data(), image.bytes.size(),
                                            static_cast<long long>(image.header_pos), common::kDigestCrc32);
    image.crc32 = common::crc32_hex(id.file.crc32);
    image.rom_crc32 = common::crc32_hex(id.rom.crc32);
    return common::success();
}

std::string patch_metadata(const exporter::ExporterInfo& game, const compare::Snapshot& tables, const std::vector<compare::RecordChange>& records) {
    std::vector<std::string> changed;
    for (const compare::RecordChange& r : records) {
        const compare::TableCells& t = tables[r.table];
        std::string record = t.path + " ";
        if (t.parent_table >= 0) record += std::to_string(r.row.parent) + " ";
        record += std::to_string(r.row.index) + " ";
        for (const compare::Change& c : r.changes) changed.push_back(record + c.key);
    }
    std::string list;
    for (size_t i = 0; i < changed.size() && i < kMetadataChanges; ++i) list += (i ? ", " : "") + changed[i];
    if (changed.size() > kMetadataChanges) list += ", ... and " + std::to_string(changed.size() - kMetadataChanges) + " more";
    return std::string("made-by: ") + game.prefix + "import\ngame: " + game.game +
           "\nchanged: " + (changed.empty() ? "nothing" : list) + "\n";
}

compare::ByteVector output_of(char letter, const Made& made) {
    if (letter == 'o') return made.edited;
    const ByteView source = ByteView(made.image).subspan(made.patch_from);
    const ByteView target = ByteView(made.edited).subspan(made.patch_from);
    return letter == 'p' ? bps_patch(source, target, made.metadata, made.source_crc) : ips_patch(source, target);
}

std::optional<std::string> no_ips_patch(const std::string& path, const OpenedImage& image, size_t patch_from) {
    const size_t size = image.bytes.size() - patch_from;
    if (size <= kIpsLimit) return std::nullopt;
    return path + ": no IPS patch can be made: " + image.path + " is " + std::to_string(size) + " bytes" +
           (patch_from ? " without its copier header" : "") + ", and IPS reaches only the first " +
           std::to_string(kIpsLimit) + "; use -p for a BPS patch";
}

}  // namespace importer
