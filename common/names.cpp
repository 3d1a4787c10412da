#include "common/names.h"

#include "common/gametext.h"

namespace {

// A converted name takes at most four bytes per code (a character of the
// tables in UTF-8; two in Shift-JIS) and its NUL, so that no name is ever cut.
size_t slot_size(const NameTableSpec& spec) { return 4 * static_cast<size_t>(spec.names.record_size) + 1; }

}  // namespace

const char* NameTables::get(const NameTableSpec& spec, int index) const {
    if (index < 0 || index >= spec.names.count) return "";
    const size_t size = slot_size(spec);
    BlockPtr<char>& slots = slots_[spec.slot];
    if (!slots) {
        const RomTable raw(image_, spec.names);
        BlockPtr<char> names(alloc_block<char>(static_cast<size_t>(spec.names.count) * size));
        for (int n = 0; n < spec.names.count; ++n) {
            convert_game_text(names.get() + static_cast<size_t>(n) * size, raw.record(static_cast<size_t>(n)), size,
                              static_cast<size_t>(spec.names.record_size), *spec.tables);
        }
        slots = std::move(names);
    }
    return slots.get() + static_cast<size_t>(index) * size;
}
