// The importers' main, shared by both games: an image and edited export files
// (CSV files, the JSON document) in, a new image, a BPS patch and an IPS patch
// out, each written whole or not at all, and nothing written after any refusal.
// The shell: it reads the files, hands their bytes to importer::import_edits,
// prints and writes.
#pragma once

#include "import/importer.h"

namespace importer {

extern const char* const kImportOptions[6];

// Status 0 when the asked files were written (also when nothing changed: then
// "no changes"), 1 on any refusal, each one printed, or when a file could not
// be written.
int import_main(int argc, char** argv, const ImportInfo& info);

}  // namespace importer
