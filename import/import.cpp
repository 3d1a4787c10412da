#include "import/import.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/files.h"
#include "common/image_id.h"
#include "common/rom.h"
#include "common/wholefile.h"
#include "compare/diff.h"
#include "compare/patch.h"
#include "import/edited.h"
#include "import/patch.h"

const char* const kImportOptions[6] = {
    "\t-o file\twrite the edited image to file (with the image's copier header, if any)\n",
    "\t-p file\twrite a BPS patch from the image to the edited image\n",
    "\t-i file\twrite an IPS patch from the image to the edited image\n",
    "\t--headered\tmake the patches for the file as given (default: the ROM proper, without a copier header)\n",
    "\t-n\tdry run: print the changes and the files, write nothing\n",
    "\t-h\tdisplay this help and exit\n",
};

namespace {

// The outputs by option letter, in the order they are written.
constexpr char kOutputLetters[] = "opi";
constexpr unsigned kDryRun = 1u << ('n' - 'a');
const char* const kLongOptions[] = {"headered", nullptr};
// The changed fields that a BPS patch's metadata lists at most.
constexpr size_t kMetadataChanges = 50;

struct Output {
    char letter;
    std::string path;
};

// The image as given, and what the exports say of it.
struct Image {
    std::string path;
    ByteVector bytes;
    size_t base = 0;        // file position of rom offset 0
    size_t header_pos = 0;  // file position of the cartridge header
    size_t copier = 0;      // the copier header's size: the ROM proper starts here
    std::string crc32;      // of the whole file, as the exports' rom block gives it
    std::string rom_crc32;  // of the ROM proper
};

std::vector<Output> outputs_of(const ArgumentList& line) {
    std::vector<Output> outs;
    for (const char* c = kOutputLetters; *c; ++c) {
        const std::string& path = line.values[*c - 'a'];
        if (!path.empty()) outs.push_back({*c, path});
    }
    return outs;
}

// No output names an input, under any spelling or link, nor another output.
void check_outputs(const std::vector<Output>& outs, const std::vector<std::string>& inputs,
                   std::vector<std::string>* refusals) {
    for (const std::string& in : inputs) {
        const std::unique_ptr<FILE, int (*)(FILE*)> stream(open_file(in.c_str(), "rb"), fclose);
        if (!stream) continue;  // reading it is refused later
        for (const Output& out : outs) {
            if (file_identity(stream.get(), out.path.c_str()) != FileIdentity::Different) {
                refusals->push_back(out.path + ": an output may not be written over an input (" + in + ")");
            }
        }
    }
    for (size_t i = 0; i < outs.size(); ++i) {
        for (size_t j = i + 1; j < outs.size(); ++j) {
            if (output_identity(outs[i].path, outs[j].path) != FileIdentity::Different) {
                refusals->push_back(outs[j].path + ": named for two outputs (" + outs[i].path + ")");
            }
        }
    }
}

std::string trimmed(const char* title) {
    std::string s = title;
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

// Reads the image and finds its cartridge header; ends the run when it is
// unreadable or of another game.
Image read_image(const std::string& path, const ExporterInfo& game, RomImage& rom) {
    Image image{path, {}, 0, 0, 0, {}, {}};
    if (!read_whole_file(path.c_str(), kMaxPatchTarget, &image.bytes)) {
        fatal("Invalid ROM-Image file - %s:", path.c_str());
    }
    if (const common::Status opened = rom.open_memory(image.bytes.data(), image.bytes.size(), game.title, game.table_span); !opened) fatal(opened.error());
    const RomHeaderInfo header = rom.header();
    if (!header.title_found || rom.image_base() < 0) {
        fatal("%s is not an image of %s: its cartridge header is not found", path.c_str(),
              trimmed(game.title).c_str());
    }
    image.base = static_cast<size_t>(rom.image_base());
    image.header_pos = image.base + static_cast<size_t>(header.hirom ? kHiRomHeaderOffset : kLoRomHeaderOffset);
    const ImageIdentity id =
        identify_image(image.bytes.data(), image.bytes.size(), static_cast<long long>(image.header_pos));
    image.crc32 = crc32_hex(id.file.crc32);
    image.copier = static_cast<size_t>(id.copier_header);
    image.rom_crc32 = crc32_hex(id.rom.crc32);
    return image;
}

// Whether a path ends in the (lower-case) extension, in any case.
bool has_extension(const std::string& path, const std::string& extension) {
    if (path.size() < extension.size()) return false;
    for (size_t i = 0; i < extension.size(); ++i) {
        const char c = path[path.size() - extension.size() + i];
        if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != extension[i]) return false;
    }
    return true;
}

// An edited file's text as UTF-8, whatever encoding a spreadsheet saved it in.
bool read_text(const std::string& path, std::string* text, std::vector<std::string>* refusals) {
    ByteVector bytes;
    if (!read_whole_file(path.c_str(), kMaxPatchTarget, &bytes)) {
        refusals->push_back(path + ": cannot be read: " + strerror(errno));
        return false;
    }
    text->assign(bytes.begin(), bytes.end());
    ByteVector().swap(bytes);
    std::string error;
    if (!decode_text(text, &error)) {
        refusals->push_back(path + ": " + error);
        return false;
    }
    return true;
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
    std::vector<CsvRecord> records;
    std::string error;
    EditedIdentity id;
    if (!decode_text(&text, &error) || !parse_csv(text, &records, &error)) return id;
    for (const CsvRecord& r : records) {
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
bool same_image(const EditedIdentity& id, const Image& image) {
    if (!id.rom_crc32.empty()) return plain_hex(id.rom_crc32) == image.rom_crc32;
    const std::string crc32 = plain_hex(id.crc32);
    return crc32 == image.crc32 || crc32 == image.rom_crc32;
}

std::string another_image(const std::string& path, const EditedIdentity& id, const Image& image) {
    const auto named = [](const std::string& crc32) { return crc32.empty() ? std::string("(none)") : plain_hex(crc32); };
    return path + ": made from another image: it names file CRC32 " + named(id.crc32) + ", ROM CRC32 " +
           named(id.rom_crc32) + "; " + image.path + " has file CRC32 " + image.crc32 + ", ROM CRC32 " +
           image.rom_crc32;
}

// The edited files read into tables, each checked to come from the image.
class EditedFiles {
public:
    EditedFiles(const ImportInfo& info, const Image& image, const std::vector<Table>& tables,
                std::vector<std::string>* refusals)
        : info_(info), image_(image), tables_(tables), refusals_(refusals),
          id_name_(std::string(info.exporter.prefix) + "-rom.csv") {}

    void read(const std::vector<std::string>& paths) {
        std::vector<std::string> csv;
        for (const std::string& path : paths) {
            std::string text;
            if (!read_text(path, &text, refusals_)) continue;
            if (has_extension(path, ".json")) {
                read_json(path, text);
            } else if (names_table(base_name(path), info_.exporter.prefix, "rom")) {
                given_id_ = identification_of(text);
                have_given_id_ = true;
            } else if (read_csv(path, text)) {
                csv.push_back(path);
            }
        }
        for (const std::string& path : csv) check_csv_identification(path);
    }

    const std::vector<EditedTable>& tables() const { return edited_; }

private:
    void read_json(const std::string& path, const std::string& text) {
        EditedIdentity id;
        std::string error;
        std::vector<EditedTable> read;
        if (!read_json_tables(path, text, info_.exporter.game, tables_, &read, &id, &error)) {
            refusals_->push_back(path + ": " + error);
        } else if (!same_image(id, image_)) {
            refusals_->push_back(another_image(path, id, image_));
        } else {
            for (EditedTable& t : read) edited_.push_back(std::move(t));
        }
    }

    bool read_csv(const std::string& path, const std::string& text) {
        EditedTable table;
        std::string error;
        if (!read_csv_table(path, text, info_.exporter.prefix, tables_, &table, &error)) {
            refusals_->push_back(path + ": " + error);
            return false;
        }
        edited_.push_back(std::move(table));
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
            const std::string beside = folder_of(path) + id_name_;
            auto found = beside_.find(beside);
            if (found == beside_.end()) {
                ByteVector bytes;
                const bool read = read_whole_file(beside.c_str(), kMaxPatchTarget, &bytes);
                found = beside_.emplace(beside, read ? identification_of(std::string(bytes.begin(), bytes.end()))
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
    const Image& image_;
    const std::vector<Table>& tables_;
    std::vector<std::string>* refusals_;
    const std::string id_name_;
    EditedIdentity given_id_;
    bool have_given_id_ = false;
    std::map<std::string, EditedIdentity> beside_;  // identification files read by path
    std::vector<EditedTable> edited_;
};

// The image, the edited files and the identification file that may be read
// beside each CSV file.
std::vector<std::string> inputs_of(const std::vector<std::string>& positional, const char* prefix) {
    std::vector<std::string> inputs = positional;
    for (size_t i = 1; i < positional.size(); ++i) {
        if (has_extension(positional[i], ".json")) continue;
        const std::string beside = folder_of(positional[i]) + prefix + "-rom.csv";
        if (std::find(inputs.begin(), inputs.end(), beside) == inputs.end()) inputs.push_back(beside);
    }
    return inputs;
}

// What the run makes: the edited image, and the copies that its patches
// are made between.
struct Made {
    const Image& image;
    const ByteVector& edited;
    size_t patch_from;  // where the patches' copies start: the ROM proper, or 0 (--headered)
    std::string metadata;
};

ByteVector output_bytes(char letter, const Made& made) {
    if (letter == 'o') return made.edited;
    const auto from = static_cast<long>(made.patch_from);
    const ByteVector source(made.image.bytes.begin() + from, made.image.bytes.end());
    const ByteVector target(made.edited.begin() + from, made.edited.end());
    return letter == 'p' ? bps_patch(source, target, made.metadata) : ips_patch(source, target);
}

// The changed records, as the comparison finds them between the image and
// the edited image.
std::vector<RecordChange> changed_records(const ImportInfo& info, const Snapshot& before, const ByteVector& edited,
                                          Snapshot* after) {
    RomImage rom;
    if (const common::Status opened = rom.open_memory(edited.data(), edited.size(), info.exporter.title, info.exporter.table_span); !opened) fatal(opened.error());
    std::shared_ptr<const void> kept;
    *after = take_snapshot(info.exporter.load(rom, kept));
    return compare_snapshots(before, *after);
}

// A BPS patch's metadata: what made it, the game and the changed fields.
std::string patch_metadata(const ImportInfo& info, const Snapshot& tables, const std::vector<RecordChange>& records) {
    std::vector<std::string> changed;
    for (const RecordChange& r : records) {
        const TableCells& t = tables[r.table];
        std::string record = t.path + " ";
        if (t.parent_table >= 0) record += std::to_string(r.row.parent) + " ";
        record += std::to_string(r.row.index) + " ";
        for (const Change& c : r.changes) changed.push_back(record + c.key);
    }
    std::string list;
    for (size_t i = 0; i < changed.size() && i < kMetadataChanges; ++i) list += (i ? ", " : "") + changed[i];
    if (changed.size() > kMetadataChanges) list += ", ... and " + std::to_string(changed.size() - kMetadataChanges) + " more";
    return std::string("made-by: ") + info.exporter.prefix + "import\ngame: " + info.exporter.game +
           "\nchanged: " + (changed.empty() ? "nothing" : list) + "\n";
}

void print_changes(const Snapshot& tables, const std::vector<RecordChange>& records) {
    for (const RecordChange& r : records) {
        std::string s = record_label(tables, r) + "\n";
        for (const Change& c : r.changes) s += change_text(c);
        write_utf8(stdout, s.c_str());
    }
}

// Every output made in memory, then written all or nothing (or, on a dry
// run, not at all); each named with its size and CRC32.
void write_outputs(const std::vector<Output>& outs, const Made& made, bool dry_run) {
    std::vector<ByteVector> bytes;
    std::vector<WholeFileOutput> files;
    for (const Output& out : outs) bytes.push_back(output_bytes(out.letter, made));
    for (size_t i = 0; i < outs.size(); ++i) files.push_back({outs[i].path, bytes[i].data(), bytes[i].size()});
    size_t failed = 0;
    if (!dry_run && !write_whole_files(files, &failed)) fatal("Cannot create file - %s:", outs[failed].path.c_str());
    for (size_t i = 0; i < outs.size(); ++i) {
        const std::string line = outs[i].path + ": " + std::to_string(bytes[i].size()) + " bytes, CRC32 " +
                                 crc32_hex(crc32_of(bytes[i].data(), bytes[i].size())) + "\n";
        write_utf8(stdout, line.c_str());
    }
    if (dry_run) printf("dry run: nothing written\n");
}

void check_ips_size(const std::vector<Output>& outs, const Image& image, size_t patch_from,
                    std::vector<std::string>* refusals) {
    const size_t size = image.bytes.size() - patch_from;
    for (const Output& out : outs) {
        if (out.letter == 'i' && size > kIpsLimit) {
            refusals->push_back(out.path + ": no IPS patch can be made: " + image.path + " is " +
                                std::to_string(size) + " bytes" + (patch_from ? " without its copier header" : "") +
                                ", and IPS reaches only the first " +
                                std::to_string(kIpsLimit) + "; use -p for a BPS patch");
        }
    }
}

int run(int argc, char** argv, const ImportInfo& info) {
    ArgumentList line;
    scan_argument_list(argc, argv, info.help, "n", kOutputLetters, &line, kLongOptions);
    if (line.positional.size() < 2) fatal("Too few arguments");
    const std::vector<Output> outs = outputs_of(line);
    std::vector<std::string> refusals;
    if (outs.empty()) refusals.push_back("nothing to write: give -o new-image, -p patch.bps or -i patch.ips");
    check_outputs(outs, inputs_of(line.positional, info.exporter.prefix), &refusals);

    RomImage rom;
    const Image image = read_image(line.positional[0], info.exporter, rom);
    const size_t patch_from = line.words.empty() ? image.copier : 0;  // --headered: the file as given
    check_ips_size(outs, image, patch_from, &refusals);
    std::shared_ptr<const void> kept;  // the run's tables and names
    const std::vector<Table> tables = info.exporter.load(rom, kept);
    EditedFiles files(info, image, tables, &refusals);
    files.read(std::vector<std::string>(line.positional.begin() + 1, line.positional.end()));

    ByteVector edited = image.bytes;
    const size_t fields = apply_edits(files.tables(), tables, info.layout, edited.data() + image.base,
                                      edited.size() - image.base, &refusals);
    if (!refusals.empty()) {
        for (const std::string& r : refusals) warn("%s", r.c_str());
        warn("nothing written");
        return 1;
    }
    const bool changed = edited != image.bytes;
    if (changed) set_checksum(edited, image.base, image.header_pos);
    const Snapshot before = take_snapshot(tables);
    Snapshot after;
    const std::vector<RecordChange> records = changed_records(info, before, edited, &after);
    print_changes(after, records);
    if (changed) {
        printf("%zu field%s changed\n", fields, fields == 1 ? "" : "s");
    } else {
        printf("no changes\n");
    }
    write_outputs(outs, {image, edited, patch_from, patch_metadata(info, after, records)}, line.letters & kDryRun);
    if (fflush(stdout) != 0 || ferror(stdout)) fatal("Cannot write to standard output:");
    return 0;
}

}  // namespace

int import_main(int argc, char** argv, const ImportInfo& info) { return run(argc, argv, info); }
