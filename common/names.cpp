#include "common/names.h"

#include "common/gametext.h"

namespace common {

namespace {

// A converted name takes at most four bytes per code (a character of the
// tables in UTF-8; two in Shift-JIS) and its NUL, so that no name is ever cut.
size_t slot_size(const NameTableKind& kind) { return 4 * static_cast<size_t>(kind.names.record_size) + 1; }

}  // namespace

const char* NameTables::get(const NameTableKind& kind, int index) const {
    if (index < 0 || index >= kind.names.count) return "";
    const size_t size = slot_size(kind);
    std::unique_ptr<char[]>& slots = slots_[kind.slot];
    if (!slots) {
        const common::Result<RomTable> raw = RomTable::read(*image_, kind.names);
        if (!raw) return "";
        auto names = std::make_unique<char[]>(static_cast<size_t>(kind.names.count) * size);
        for (int n = 0; n < kind.names.count; ++n) {
            convert_game_text(names.get() + static_cast<size_t>(n) * size, raw->record(static_cast<size_t>(n)), size,
                              static_cast<size_t>(kind.names.record_size), *kind.tables);
        }
        slots = std::move(names);
    }
    return slots.get() + static_cast<size_t>(index) * size;
}

}  // namespace common
