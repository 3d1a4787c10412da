// The importers' core: the edited files (CSV, TSV, the JSON document)
// read into tables of cells, each checked to come from the image, and the
// cells made on a session of the image, which makes the outputs.
#include "import/importer.h"

#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/files.h"
#include "common/image_id.h"
#include "common/rom.h"
#include "compare/diff.h"
#include "import/edited.h"
#include "import/patch.h"
#include "session/session.h"

using compare::Change;
using compare::Snapshot;
using exporter::Table;

namespace importer {

namespace {

// Whether a path ends in the (lower-case) extension, in any case.
bool has_extension(const std::string& path, const std::string& extension) {
    if (path.size() < extension.size()) return false;
    for (size_t i = 0; i < extension.size(); ++i) {
        const char c = path[path.size() - extension.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != extension[i]) return false;
    }
    return true;
}

// An edited file's text as UTF-8, whatever encoding a spreadsheet saved it
// in, or the refusal that names the file; its bytes are given up as they are
// taken.
common::Result<std::string> read_text(EditedFile& file) {
    if (file.read_error != 0) return common::Error(file.name + ": cannot be read: " + std::strerror(file.read_error));
    std::string text(file.bytes.begin(), file.bytes.end());
    compare::ByteVector().swap(file.bytes);
    common::Result<std::string> decoded = decode_text(std::move(text));
    if (!decoded) return common::Error(file.name + ": " + decoded.error().lines.front());
    return decoded;
}

// A hash value as the identification gives it: with or without "0x", in
// any case.
std::string plain_hex(std::string value) {
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) value.erase(0, 2);
    for (char& c : value) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return value;
}

// The CRC32s that an identification file (<prefix>-rom.csv: "key,value"
// records of the rom block) gives; empty ones when it holds none.
EditedIdentity identification_of(std::string text) {
    EditedIdentity id;
    const common::Result<std::string> decoded = decode_text(std::move(text));
    if (!decoded) return id;
    const common::Result<std::vector<CsvRecord>> records = parse_csv(*decoded);
    if (!records) return id;
    for (const CsvRecord& r : *records) {
        if (r.fields.size() < 2) continue;
        if (r.fields[0] == "crc32") id.crc32 = r.fields[1];
        if (r.fields[0] == "rom_crc32") id.rom_crc32 = r.fields[1];
    }
    return id;
}

bool known(const EditedIdentity& id) { return !id.crc32.empty() || !id.rom_crc32.empty(); }

// Whether an identification is the image's: its ROM proper's CRC32, so that
// the headered and the headerless copy of one ROM are one image (an
// identification without it: its file CRC32, either of the image's).
bool same_image(const EditedIdentity& id, const OpenedImage& image) {
    if (!id.rom_crc32.empty()) return plain_hex(id.rom_crc32) == image.rom_crc32;
    const std::string crc32 = plain_hex(id.crc32);
    return crc32 == image.crc32 || crc32 == image.rom_crc32;
}

std::string another_image(const std::string& path, const EditedIdentity& id, const OpenedImage& image) {
    const auto named = [](const std::string& crc32) { return crc32.empty() ? std::string("(none)") : plain_hex(crc32); };
    return path + ": made from another image: it names file CRC32 " + named(id.crc32) + ", ROM CRC32 " +
           named(id.rom_crc32) + "; " + image.path + " has file CRC32 " + image.crc32 + ", ROM CRC32 " +
           image.rom_crc32;
}

// The edited files read into tables, each checked to come from the image.
class EditedFiles {
public:
    EditedFiles(const ImportInfo& info, OpenedImage image, const std::vector<Table>& tables,
                const std::map<std::string, compare::ByteVector>& identifications, std::vector<std::string>* refusals)
        : info_(info), image_(std::move(image)), tables_(tables), identifications_(identifications), refusals_(refusals),
          id_name_(std::string(info.exporter.prefix) + "-rom.csv") {}

    void read(std::vector<EditedFile>& files) {
        std::vector<std::string> csv;
        for (EditedFile& file : files) {
            const common::Result<std::string> text = read_text(file);
            if (!text) {
                refusals_->push_back(text.error().lines.front());
                continue;
            }
            const std::string& path = file.name;
            if (has_extension(path, ".json")) {
                read_json(path, *text);
            } else if (names_table(common::base_name(path), info_.exporter.prefix, "rom")) {
                given_id_ = identification_of(*text);
                have_given_id_ = true;
            } else if (read_csv(path, *text)) {
                csv.push_back(path);
            }
        }
        for (const std::string& path : csv) check_csv_identification(path);
    }

    const std::vector<EditedTable>& tables() const { return edited_; }

private:
    void read_json(const std::string& path, const std::string& text) {
        common::Result<EditedDocument> read = read_json_tables(path, text, info_.exporter.game, tables_);
        if (!read) {
            refusals_->push_back(path + ": " + read.error().lines.front());
        } else if (!same_image(read->id, image_)) {
            refusals_->push_back(another_image(path, read->id, image_));
        } else {
            for (EditedTable& t : read->tables) edited_.push_back(std::move(t));
        }
    }

    bool read_csv(const std::string& path, const std::string& text) {
        common::Result<EditedTable> table = read_csv_table(path, text, info_.exporter.prefix, tables_);
        if (!table) {
            refusals_->push_back(path + ": " + table.error().lines.front());
            return false;
        }
        edited_.push_back(std::move(*table));
        return true;
    }

    // A CSV file of another image, or of none known, is left out: its cells
    // would only be told apart from this image's.
    void check_csv_identification(const std::string& path) {
        if (csv_identified(path)) return;
        std::erase_if(edited_, [&path](const EditedTable& t) { return t.file == path; });
    }

    // The identification given among the files, else the one beside the CSV
    // file in its folder.
    bool csv_identified(const std::string& path) {
        EditedIdentity id = given_id_;
        if (!have_given_id_) {
            const std::string beside = identification_beside(path, info_.exporter.prefix);
            auto found = beside_.find(beside);
            if (found == beside_.end()) {
                const auto given = identifications_.find(beside);
                found = beside_.emplace(beside, given != identifications_.end()
                                                    ? identification_of(std::string(given->second.begin(),
                                                                                    given->second.end()))
                                                    : EditedIdentity()).first;
            }
            id = found->second;
            if (!known(id)) {
                refusals_->push_back(path + ": no identification found: give " + id_name_ +
                                     " of the same export with it, or keep it beside the CSV file");
                return false;
            }
        }
        if (same_image(id, image_)) return true;
        refusals_->push_back(another_image(path, id, image_));
        return false;
    }

    const ImportInfo& info_;
    const OpenedImage image_;
    const std::vector<Table>& tables_;
    const std::map<std::string, compare::ByteVector>& identifications_;
    std::vector<std::string>* refusals_;
    const std::string id_name_;
    EditedIdentity given_id_;
    bool have_given_id_ = false;
    std::map<std::string, EditedIdentity> beside_;  // identification files read by path
    std::vector<EditedTable> edited_;
};

std::string changes_text(const Snapshot& tables, const std::vector<compare::RecordChange>& records, const Imported& made) {
    std::string s;
    for (const compare::RecordChange& r : records) {
        s += compare::record_label(tables, r) + "\n";
        for (const Change& c : r.changes) s += compare::change_text(c);
    }
    if (!made.changed) return s + "no changes\n";
    return s + std::to_string(made.fields) + (made.fields == 1 ? " field" : " fields") + " changed\n";
}

void check_ips_size(const std::vector<Output>& outs, const OpenedImage& image, size_t patch_from,
                    std::vector<std::string>* refusals) {
    for (const Output& out : outs) {
        if (out.letter != 'i') continue;
        if (std::optional<std::string> refused = no_ips_patch(out.path, image, patch_from)) refusals->push_back(*refused);
    }
}

// The image as the edited files' identifications name it: its path and
// CRC32s (the bytes stay with the session).
OpenedImage named(const OpenedImage& image) {
    OpenedImage id{image.path, {}, image.base, image.header_pos, image.copier, {}, {}};
    const common::ImageIdentity crc32s = common::identify_image(
        image.bytes.data(), image.bytes.size(), static_cast<long long>(image.header_pos), common::kDigestCrc32);
    id.crc32 = common::crc32_hex(crc32s.file.crc32);
    id.rom_crc32 = common::crc32_hex(crc32s.rom.crc32);
    return id;
}

common::Error refused(std::vector<std::string> refusals) {
    common::Error error;
    error.lines = std::move(refusals);
    error.lines.push_back("nothing written");
    return error;
}

}  // namespace

std::string identification_beside(const std::string& csv_path, const char* prefix) {
    return common::folder_of(csv_path) + prefix + "-rom.csv";
}

bool identified_beside(const std::string& path) { return !has_extension(path, ".json"); }

// The edited files read into cell edits and made on a session of the image.
common::Result<Imported> import_edits(ImportRequest request, const ImportInfo& info) {
    std::vector<std::string> refusals;
    if (request.outputs.empty() && !request.dry_run) {
        refusals.push_back("nothing to write: give -o new-image, -p patch.bps or -i patch.ips");
    }
    for (std::string& r : request.refusals) refusals.push_back(std::move(r));

    const session::GameParts game{info.exporter, info.layout, {}};
    common::Result<std::unique_ptr<session::Session>> opened =
        session::Session::open(std::move(request.image_name), std::move(request.image), game);
    if (!opened) return opened.error();
    session::Session& edits = **opened;
    const OpenedImage& image = edits.image();
    const size_t patch_from = request.headered ? 0 : image.copier;
    check_ips_size(request.outputs, image, patch_from, &refusals);
    EditedFiles files(info, named(image), edits.tables(), request.identifications, &refusals);
    files.read(request.files);

    Imported made;
    made.fields = edits.apply(files.tables(), &refusals);
    if (!refusals.empty()) return refused(std::move(refusals));
    made.changed = edits.changed();
    made.changes = changes_text(edits.snapshot_now(), edits.changes(), made);
    session::Wanted wanted{false, false, false, request.headered};
    for (const Output& out : request.outputs) {
        (out.letter == 'o' ? wanted.image : out.letter == 'p' ? wanted.bps : wanted.ips) = true;
    }
    session::Files outputs = edits.files(wanted);
    made.image = std::move(outputs.image);
    made.bps = std::move(outputs.bps);
    made.ips = std::move(outputs.ips);
    return made;
}

const compare::ByteVector& output_bytes(const Imported& imported, char letter) {
    return letter == 'o' ? imported.image : letter == 'p' ? imported.bps : imported.ips;
}

}  // namespace importer
