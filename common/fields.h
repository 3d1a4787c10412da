// Report fields written as printf would write them, without parsing a format
// string each time: the reports consist of tens of thousands of small fields,
// and formatting them through fprintf cost more than all the rest of a run.
// Each function names the printf conversion it stands for; widths count bytes.
#pragma once

#include <cstdio>

// "%s"
void put_str(FILE* stream, const char* s);

// "%c"
void put_char(FILE* stream, char c);

// "%-<width>s"
void put_left(FILE* stream, const char* s, int width);

// "%<width>d", or "%+<width>d" with plus.
void put_dec(FILE* stream, long value, int width, bool plus = false);

// "%0<width>d"
void put_dec0(FILE* stream, long value, int width);

// "%0<width>X"
void put_hex0(FILE* stream, unsigned long value, int width);
