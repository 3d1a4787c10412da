// A report formatted in memory, field by field, as printf would write the
// fields but without parsing a format string each time: the reports consist
// of tens of thousands of small fields, and formatting them through fprintf
// cost more than all the rest of a run. Each member names the printf
// conversion it stands for; widths count bytes.
//
// The rule: the row pieces that several reports share (row prefixes, block
// titles, cells, value lists, marks and labels) and every row of the large
// reports are written field by field, while the rare lines of one report
// (header lines, block titles) may use format(), whose format string shows the
// layout at a glance.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>

#include "common/diag.h"

namespace common {

class ReportText {
public:
    ReportText() = default;
    ReportText(const ReportText&) = delete;
    ReportText& operator=(const ReportText&) = delete;

    ReportText& str(const char* s) {
        append(s, strlen(s));
        return *this;
    }  // "%s"
    ReportText& ch(char c) {
        if (size_ == capacity_) grow(1);
        data_[size_++] = c;
        return *this;
    }                                                           // "%c"
    ReportText& left(const char* s, int width);                 // "%-<width>s"
    ReportText& right(const char* s, int width);                // "%<width>s"
    ReportText& dec(long value, int width, bool plus = false);  // "%<width>d", "%+<width>d"
    ReportText& dec0(long value, int width);                    // "%0<width>d"
    ReportText& hex0(unsigned long value, int width);           // "%0<width>X"
    // printf of the format, for the rare lines that are clearest that way.
    ReportText& format(const char* format, ...) __attribute__((format(MT_PRINTF_FORMAT, 2, 3)));

    const char* data() const { return data_.get(); }
    size_t size() const { return size_; }

    void append(const char* s, size_t n) {
        if (n == 0) return;  // nothing to copy, and an empty text has no buffer yet
        if (n > capacity_ - size_) grow(n);
        memcpy(data_.get() + size_, s, n);
        size_ += n;
    }

private:
    void fill(char c, int count);
    void number_field(const char* buf, int len, int width, char pad);
    void grow(size_t more);

    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace common
