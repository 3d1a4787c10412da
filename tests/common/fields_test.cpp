// The field writers give exactly what printf gives for the same conversion.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "common/fields.h"
#include "tests/support/test_util.h"

namespace {

template <typename... Args>
std::string printf_of(const char* format, Args... args) {
    char buf[512];
    snprintf(buf, sizeof buf, format, args...);
    return buf;
}

// A conversion such as "%+3ld" of flags, width and conversion letters.
std::string conversion(const char* flags, int width, const char* letters) {
    char buf[32];
    snprintf(buf, sizeof buf, "%%%s%d%s", flags, width, letters);
    return buf;
}

const std::vector<long> kValues = {0,    1,     -1,    7,     9,      10,     -10,    99,       100,     -100, 255,
                                   999,  1000,  -999,  12345, 65535,  -65536, 99999,  100000,   -7,      250,  32767,
                                   LONG_MAX, LONG_MIN + 1};

}  // namespace

TEST(Fields, DecimalAsPrintf) {
    for (long v : kValues) {
        for (int w = 0; w <= 6; ++w) {
            const std::string plain = conversion("", w, "ld");
            const std::string plus = conversion("+", w, "ld");
            const std::string zero = conversion("0", w, "ld");
            EXPECT_EQ(capture_output([&](common::ReportText& f) { f.dec(v, w); }), printf_of(plain.c_str(), v))
                << v << " " << w;
            EXPECT_EQ(capture_output([&](common::ReportText& f) { f.dec(v, w, true); }), printf_of(plus.c_str(), v)) << v;
            EXPECT_EQ(capture_output([&](common::ReportText& f) { f.dec0(v, w); }), printf_of(zero.c_str(), v))
                << v << " " << w;
        }
    }
}

TEST(Fields, HexadecimalAsPrintf) {
    for (unsigned long v : {0UL, 1UL, 15UL, 16UL, 255UL, 256UL, 300UL, 511UL, 4095UL, 4096UL, 0xABCDEFUL}) {
        for (int w = 0; w <= 4; ++w) {
            const std::string fmt = conversion("0", w, "lX");
            EXPECT_EQ(capture_output([&](common::ReportText& f) { f.hex0(v, w); }), printf_of(fmt.c_str(), v)) << v << " " << w;
        }
    }
}

TEST(Fields, LeftAlignedTextCountsBytes) {
    for (const char* s : {"", "a", "あい", "----------------", "あいうえおかきくけ", "(通常攻撃: 剣)"}) {
        for (int w : {0, 2, 4, 8, 16, 20, 40}) {
            const std::string fmt = conversion("-", w, "s");
            EXPECT_EQ(capture_output([&](common::ReportText& f) { f.left(s, w); }), printf_of(fmt.c_str(), s)) << s << " " << w;
        }
    }
    EXPECT_EQ(capture_output([](common::ReportText& f) { f.str("○×").ch('!'); }), "○×!");
}

TEST(Fields, LongTextPassesThroughTheBuffer) {
    const std::string lines(3000, 'x');
    EXPECT_EQ(capture_output([&](common::ReportText& f) { f.str("<").left(lines.c_str(), 3001).str(">"); }),
              "<" + lines + " >");
}
