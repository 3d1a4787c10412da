// Rows of ○/× marks, as the flag reports print them.
#pragma once

#include <cstdint>
#include <cstdio>

// Prints the marks of count flags: "  %2s" for the first and "   %2s" for
// every further one, so that each mark stands under its five-byte column
// heading.
void print_mark_cells(FILE* stream, const int32_t* flags, int count);
