// The importers' core: an image and edited export files given as bytes, the
// edited image and its patches made in memory (the files read into cell
// edits on a session of the image), or the refusals that the tool prints.
// Nothing here reads or writes a file or prints; the tools' shell
// (import.cpp) reads the files, prints and writes.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/cmdline.h"
#include "common/error.h"
#include "common/rom.h"
#include "compare/diff.h"
#include "compare/patch.h"
#include "export/exporter.h"
#include "import/apply.h"

namespace importer {

struct ImportInfo {
    common::HelpText help;
    const exporter::ExporterInfo& exporter;  // the title, the game, the file prefix and the tables
    const ImportLayout& layout;    // what can be written
};

// An edited file (CSV, TSV, TXT, the JSON document or the identification
// file): its name as given, which messages use, and its bytes; or, for one
// that could not be read, the system's error code, refused in its place
// among the files.
struct EditedFile {
    std::string name;
    compare::ByteVector bytes;
    int read_error = 0;  // errno of the failed read, 0 when read
};

// An output asked for: 'o' the edited image, 'p' a BPS patch, 'i' an IPS
// patch, and the path that refusals name it by.
struct Output {
    char letter;
    std::string path;
};

struct ImportRequest {
    std::string image_name;  // as given: messages name the image by it
    compare::ByteVector image;
    std::vector<EditedFile> files;  // in command-line order
    // The identification files found beside CSV files, by the path tried
    // (identification_beside); one that could not be read is absent.
    std::map<std::string, compare::ByteVector> identifications;
    bool headered = false;  // patches for the file as given, not the ROM proper
    std::vector<Output> outputs;  // in the order o, p, i
    bool dry_run = false;   // no output needs to be named: every edit is checked, nothing made
    // Refusals of the shell's own (outputs against inputs), placed after the
    // refusal of a run with no output and before the core's.
    std::vector<std::string> refusals;
};

struct Imported {
    // The outputs asked for; the others are left empty.
    compare::ByteVector image;
    compare::ByteVector bps;
    compare::ByteVector ips;
    // The changed records and fields as the comparison words them, then
    // "N field(s) changed" or "no changes", each line ending in '\n'.
    std::string changes;
    size_t fields = 0;     // fields written
    bool changed = false;  // whether the edited image differs from the image
};

// The image as given, and what the exports say of it.
struct OpenedImage {
    std::string path;
    compare::ByteVector bytes;
    size_t base = 0;        // file position of rom offset 0
    size_t header_pos = 0;  // file position of the cartridge header
    size_t copier = 0;      // the copier header's size: the ROM proper starts here
    std::string crc32;      // of the whole file, as the exports' rom block gives it
    std::string rom_crc32;  // of the ROM proper
};

// Finds the image's cartridge header and the rest of what the importer says
// of it; fails for an image of another game or one too short for its tables.
// The bytes stay where they are: rom reads them. Without crc32s, the CRC32s
// are left empty (they name the image only in the edited files' checks).
common::Status open_image(OpenedImage& image, const exporter::ExporterInfo& game, common::RomImage& rom,
                          bool crc32s = true);

// A BPS patch's metadata: what made it (<prefix>import), the game and the
// changed fields.
std::string patch_metadata(const exporter::ExporterInfo& game, const compare::Snapshot& tables,
                           const std::vector<compare::RecordChange>& records);

// What an import makes: the edited image, and the copies that its patches
// are made between.
struct Made {
    const compare::ByteVector& image;   // the image as given
    const compare::ByteVector& edited;  // with its checksum set
    size_t patch_from;  // where the patches' copies start: the ROM proper, or 0 (--headered)
    std::string metadata;
    std::optional<uint32_t> source_crc = std::nullopt;  // of the image from patch_from, when known
};

// Output 'o' (the edited image), 'p' (BPS) or 'i' (IPS).
compare::ByteVector output_of(char letter, const Made& made);

// Why no IPS patch can be made for the output at path (an image past what
// IPS reaches), or nothing.
std::optional<std::string> no_ips_patch(const std::string& path, const OpenedImage& image, size_t patch_from);

// The path of the identification file (<prefix>-rom.csv) that is looked for
// beside a CSV file: its folder and the name.
std::string identification_beside(const std::string& csv_path, const char* prefix);

// Whether a CSV file may be identified by a file beside it: every edited
// file but the JSON document (which identifies itself).
bool identified_beside(const std::string& path);

// The edited files written into the image, the checksum set, the outputs
// made. Fails with the lines the tool prints, status 1: the image refused
// alone ("X is not an image of ...", the cartridge header cut off), or every
// refusal (the request's among them) followed by "nothing written".
common::Result<Imported> import_edits(ImportRequest request, const ImportInfo& info);

// The bytes of an output by its letter.
const compare::ByteVector& output_bytes(const Imported& imported, char letter);

}  // namespace importer
