// Blocks of decoded records.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

#include "common/diag.h"

// Allocates a zero-filled block of count records; ends the process when memory
// runs out. Released with free().
template <typename T>
T* alloc_block(size_t count) {
    void* p = calloc(count ? count : 1, sizeof(T));
    if (!p) fatal("Fatal error in malloc()");
    return static_cast<T*>(p);
}

// Releases with free() what alloc_block allocated.
struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};
template <typename T>
using BlockPtr = std::unique_ptr<T, FreeDeleter>;
