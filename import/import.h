// The importers' main, shared by both games: an image and edited export files
// (CSV files, the JSON document) in, a new image, a BPS patch and an IPS patch
// out, each written whole or not at all, and nothing written after any refusal.
// The shell: it reads the files, hands their bytes to importer::import_edits,
// prints and writes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/cmdline.h"
#include "import/importer.h"

namespace importer {

extern const char* const kImportOptions[6];

// The outputs by option letter, in the order they are written: -o the
// image, -p a BPS patch, -i an IPS patch.
constexpr char kOutputLetters[] = "opi";

// The outputs that a command line asks for, in that order.
std::vector<Output> outputs_of(const common::ArgumentList& line);

// No output names an input, under any spelling or link, nor another output:
// appends a refusal for each one that does.
void check_outputs(const std::vector<Output>& outs, const std::vector<std::string>& inputs,
                   std::vector<std::string>* refusals);

// The bytes of an output by its letter.
using OutputBytes = std::function<const compare::ByteVector&(char letter)>;

// Every output written all or nothing (or, on a dry run, not at all); each
// named with its size and CRC32 on standard output when listed, then "dry
// run: nothing written" on a dry run. A file that cannot be written ends
// the run.
void write_outputs(const std::vector<Output>& outs, const OutputBytes& bytes_of, bool dry_run, bool listed = true);

// Status 0 when the asked files were written (also when nothing changed: then
// "no changes"), 1 on any refusal, each one printed, or when a file could not
// be written.
int import_main(int argc, char** argv, const ImportInfo& info);

}  // namespace importer
