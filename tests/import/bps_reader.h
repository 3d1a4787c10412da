// The tests' own BPS and IPS readers: a patch applied to a source, checked as
// a patcher checks it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using PatchBytes = std::vector<uint8_t>;

// The target of a BPS patch on source; error says why when the patch is
// malformed or its CRC32s do not match (then the result is empty).
PatchBytes apply_bps(const PatchBytes& patch, const PatchBytes& source, std::string* error);

// The source with the IPS patch applied; error set for a malformed patch.
PatchBytes apply_ips(const PatchBytes& patch, const PatchBytes& source, std::string* error);
