// The reports are Shift-JIS: string literals must be compiled to code page 932.
#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(const char* s) {
    std::string out;
    char buf[4];
    for (; *s; ++s) {
        snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(*s));
        out += buf;
    }
    return out;
}

}  // namespace

TEST(Encoding, LiteralsAreCodePage932) {
    EXPECT_EQ(hex("表"), "955C");
    EXPECT_EQ(hex("～"), "8160");
    EXPECT_EQ(hex("〓"), "81AC");
    EXPECT_EQ(hex("○×・"), "819B817E8145");
    EXPECT_EQ(hex("ー一"), "815B88EA");
    EXPECT_EQ(hex("No.名前"), "4E6F2E96BC914F");
}
