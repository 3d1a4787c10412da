// The "rom" block of an export: what the title search found, and which image
// the file is (its size, copier header, hashes and internal checksum).
#pragma once

#include <string>

#include "common/image_id.h"
#include "export/table.h"

namespace exporter {

struct RomFacts {
    std::string title;  // the title searched for, as the header holds it
    bool title_found = false;
    bool hirom = false;
    long long image_base = 0;
    common::ImageIdentity identity;
};

// A table of one row ("rom"). The title loses the blanks that pad it; title,
// mapping and the stored checksum and complement are null when the title was
// not found.
Table rom_table(const RomFacts& facts);

}  // namespace exporter
