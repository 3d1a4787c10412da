#include "common/namecache.h"

#include <cstdlib>

#include "common/block.h"
#include "common/diag.h"
#include "common/gametext.h"
#include "common/rom.h"

namespace {
NameCache* g_caches = nullptr;
}

NameCache::NameCache(long rom_offset, int count, int field_length, const CharTables& tables)
    : rom_offset_(rom_offset), count_(count), field_length_(field_length), tables_(tables), next_(g_caches) {
    g_caches = this;
}

void NameCache::reset_all() {
    for (NameCache* c = g_caches; c; c = c->next_) {
        free(c->slots_);
        c->slots_ = nullptr;
    }
}

const char* NameCache::get(int index) {
    if (index < 0 || index >= count_) return "";
    if (!slots_) fill();
    return slots_ + static_cast<size_t>(index) * kNameSlotSize;
}

void NameCache::fill() {
    RomTable raw(rom_offset_, static_cast<size_t>(field_length_), static_cast<size_t>(count_));
    char* slots = alloc_block<char>(static_cast<size_t>(count_) * kNameSlotSize);
    for (int n = 0; n < count_; ++n) {
        convert_game_text(slots + static_cast<size_t>(n) * kNameSlotSize, raw.record(static_cast<size_t>(n)),
                          kNameSlotSize, static_cast<size_t>(field_length_), tables_);
    }
    slots_ = slots;
}
