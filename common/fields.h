// Report fields written as printf would write them, without parsing a format
// string each time: the reports consist of tens of thousands of small fields,
// and formatting them through fprintf cost more than all the rest of a run.
// Each member names the printf conversion it stands for; widths count bytes.
//
// The rule: the row pieces that several reports share (row prefixes, block
// titles, cells, value lists, marks and labels) go through FieldWriter, while
// what one report alone writes (its header lines and the rest of its rows) is
// plain fprintf or fputs, whose format string shows the layout at a glance.
#pragma once

#include <cstddef>
#include <cstdio>

// Collects the fields of a row (or a part of one) and writes them to the
// stream in one piece, when it is flushed or goes out of scope.
class FieldWriter {
public:
    explicit FieldWriter(FILE* stream) : stream_(stream) {}
    ~FieldWriter() { flush(); }
    FieldWriter(const FieldWriter&) = delete;
    FieldWriter& operator=(const FieldWriter&) = delete;

    FieldWriter& str(const char* s);                              // "%s"
    FieldWriter& ch(char c);                                      // "%c"
    FieldWriter& left(const char* s, int width);                  // "%-<width>s"
    FieldWriter& dec(long value, int width, bool plus = false);  // "%<width>d", "%+<width>d"
    FieldWriter& dec0(long value, int width);                     // "%0<width>d"
    FieldWriter& hex0(unsigned long value, int width);            // "%0<width>X"
    void flush();

private:
    void append(const char* s, size_t n);
    void fill(char c, int count);

    FILE* stream_;
    size_t used_ = 0;
    char buffer_[512];
};
