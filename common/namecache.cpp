#include "namecache.h"

#include <cstdlib>

#include "diag.h"
#include "gametext.h"
#include "rom.h"

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
    const size_t fields = static_cast<size_t>(count_) * field_length_;
    char* slots = static_cast<char*>(calloc(static_cast<size_t>(count_), kNameSlotSize));
    unsigned char* raw = static_cast<unsigned char*>(malloc(fields));
    if (!slots || !raw) fatal("Fatal error in malloc()");
    rom_read(raw, rom_offset_, fields);
    for (int n = 0; n < count_; ++n) {
        convert_game_text(slots + static_cast<size_t>(n) * kNameSlotSize,
                          raw + static_cast<size_t>(n) * field_length_, kNameSlotSize,
                          static_cast<size_t>(field_length_), tables_);
    }
    free(raw);
    slots_ = slots;
}
