// Opening ROM images, the title search and reads at rom offsets.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "common/rom.h"
#include "tests/support/test_util.h"

namespace {

const char kTitle[] = "MERIDIAN TALES2      ";

class RomTest : public ::testing::Test {
protected:
    void TearDown() override { rom_close(); }

    // Opens the image and returns its image base.
    long long open_base(const RomBuilder& rom) {
        rom.write(path_);
        EXPECT_EQ(rom_open(path_.c_str(), kTitle), 1);
        return rom_image_base();
    }

    TempDir dir_;
    std::string path_ = dir_.file("image.smc");
};

}  // namespace

TEST_F(RomTest, LoRomAndHiRomWithAndWithoutCopierHeader) {
    EXPECT_EQ(open_base(RomBuilder(0x10000).header(kTitle, 0x20)), 0);
    EXPECT_EQ(open_base(RomBuilder(0x10000).header(kTitle, 0x20).copier(512)), 0x200);
    EXPECT_EQ(open_base(RomBuilder(0x20000).header(kTitle, 0x21)), 0);
    EXPECT_EQ(open_base(RomBuilder(0x20000).header(kTitle, 0x21).copier(512)), 0x200);
    EXPECT_EQ(open_base(RomBuilder(0x20000).header(kTitle, 0x31).copier(512)), 0x200);
    EXPECT_EQ(open_base(RomBuilder(0x20000).header(kTitle, 0x35).copier(100)), 100);
    // Map mode 0x30 is LoROM: the header's place is taken as 0x7FC0.
    EXPECT_EQ(open_base(RomBuilder(0x20000).header(kTitle, 0x30)), 0);
}

TEST_F(RomTest, ReadsAtRomOffsetsBehindTheCopierHeader) {
    RomBuilder rom(0x20000);
    rom.header(kTitle, 0x21).copier(512, 0xEE).put(0x1234, {1, 2, 3});
    open_base(rom);
    unsigned char buf[3] = {};
    EXPECT_EQ(rom_read(buf, 0x1234, 3), 3u);
    EXPECT_EQ(buf[0], 1);
    EXPECT_EQ(buf[2], 3);
}

TEST_F(RomTest, FirstOccurrenceOfTheTitleDecides) {
    const Bytes title(kTitle, kTitle + 21);
    RomBuilder rom(0x20000);
    rom.put(0x7FC0, title).put(0x7FC0 + 21, {0x20}).put(0xFFC0, title).put(0xFFC0 + 21, {0x21});
    EXPECT_EQ(open_base(rom), 0);
    // The first copy says HiROM, so its place is taken as 0xFFC0.
    RomBuilder hi_first(0x20000);
    hi_first.put(0x7FC0, title).put(0x7FC0 + 21, {0x21}).put(0xFFC0, title).put(0xFFC0 + 21, {0x21});
    EXPECT_EQ(open_base(hi_first), 0x7FC0 - 0xFFC0);
}

TEST_F(RomTest, MissingTitleGivesBaseZero) {
    EXPECT_EQ(open_base(RomBuilder(0x10000)), 0);
    EXPECT_EQ(open_base(RomBuilder(10)), 0);
    EXPECT_EQ(open_base(RomBuilder(0)), 0);
    // A title that differs in its last byte is not the title.
    RomBuilder almost(0x10000);
    almost.header("MERIDIAN TALES3", 0x20);
    EXPECT_EQ(open_base(almost), 0);
}

TEST_F(RomTest, TitleFoundAcrossManyWindowMoves) {
    // Far into a file full of bytes of the title, so that shifts are short.
    RomBuilder rom(0x200000);
    for (long i = 0; i < 0x1F0000; i += 2) rom.put(i, {'E', 'S'});
    rom.put(0x1F0000 - 1, {'M'});
    rom.put(0x1F0000 + 0x7FC0, Bytes(kTitle, kTitle + 21)).put(0x1F0000 + 0x7FC0 + 21, {0x20});
    EXPECT_EQ(open_base(rom), 0x1F0000);
}

TEST_F(RomTest, TitleStraddlingTheSearchBuffer) {
    // Copier headers that put the title across the search's 64 KiB chunks.
    for (size_t into : {1, 10, 20, 21, 22}) {
        const size_t copier = 0x10000 - 0x7FC0 - 21 + into;
        EXPECT_EQ(open_base(RomBuilder(0x10000).header(kTitle, 0x20).copier(copier)), static_cast<long long>(copier));
        EXPECT_EQ(open_base(RomBuilder(0x10000).header(kTitle, 0x20).copier(copier * 2)),
                  static_cast<long long>(copier * 2));
    }
}

TEST_F(RomTest, SignatureSearchLeavesTheStreamAtTheMatchOrWhereItBegan) {
    write_file(path_, std::string("xxabcabcdyy"));
    FILE* f = fopen(path_.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(find_signature(f, reinterpret_cast<const unsigned char*>("abcd"), 4), 0);
    EXPECT_EQ(ftell(f), 5);
    fseek(f, 6, SEEK_SET);
    EXPECT_EQ(find_signature(f, reinterpret_cast<const unsigned char*>("abcd"), 4), 1);
    EXPECT_EQ(ftell(f), 6);
    fseek(f, 0, SEEK_SET);
    EXPECT_EQ(find_signature(f, reinterpret_cast<const unsigned char*>("dyy"), 3), 0);
    EXPECT_EQ(ftell(f), 8);
    fseek(f, 0, SEEK_SET);
    EXPECT_EQ(find_signature(f, reinterpret_cast<const unsigned char*>("dyyz"), 4), 1);
    EXPECT_EQ(ftell(f), 0);
    fclose(f);
}

TEST_F(RomTest, OpenFailures) {
    EXPECT_EQ(rom_open(dir_.file("missing").c_str(), kTitle), 0);
    EXPECT_EQ(rom_open("", kTitle), 0);
    EXPECT_EQ(rom_open(nullptr, kTitle), 0);
    write_file(path_, std::string("abc"));
    EXPECT_EQ(rom_open(path_.c_str(), ""), 0);
    EXPECT_EQ(rom_open(path_.c_str(), nullptr), 0);
}

TEST_F(RomTest, ReadsThatReadNothing) {
    open_base(RomBuilder(0x10000).header(kTitle, 0x20));
    unsigned char buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(rom_read(buf, 0, 0), 0u);
    EXPECT_EQ(rom_read(buf, -1, 4), 0u);
    EXPECT_EQ(rom_read(nullptr, 0, 4), 0u);
    EXPECT_EQ(buf[0], 9);
    EXPECT_EQ(rom_close(), 0);
    EXPECT_EQ(rom_close(), 0);
    EXPECT_EQ(rom_image_base(), 0);
}

using RomDeathTest = RomTest;

TEST_F(RomDeathTest, TitleAtTheVeryEndHasNoCompleteHeader) {
    std::string image(100, 'x');
    image += kTitle;
    write_file(path_, image);
    EXPECT_EXIT(rom_open(path_.c_str(), kTitle), ::testing::ExitedWithCode(1), "Fatal error in fread\\(\\):");
}

TEST_F(RomDeathTest, ShortReadAndNegativePositionAreFatal) {
    open_base(RomBuilder(0x10000).header(kTitle, 0x20));
    unsigned char buf[16];
    EXPECT_EXIT(rom_read(buf, 0xFFF8, 16), ::testing::ExitedWithCode(1), "Fatal error in fread\\(\\):");
    // Title so early that the image base is negative.
    std::string image(kTitle);
    image += std::string(64, '\x20');
    write_file(path_, image);
    ASSERT_EQ(rom_open(path_.c_str(), kTitle), 1);
    EXPECT_LT(rom_image_base(), 0);
    EXPECT_EXIT(rom_read(buf, 0, 1), ::testing::ExitedWithCode(1), "Fatal error in fseek\\(\\):");
}

TEST_F(RomTest, ReportPathNamingTheImageIsRecognised) {
    open_base(RomBuilder(0x10000).header(kTitle, 0x20));
    EXPECT_TRUE(rom_is_image(path_.c_str()));
    ASSERT_EQ(make_other_name(path_, dir_.file("link")), 0);
    EXPECT_TRUE(rom_is_image(dir_.file("link").c_str()));
    write_file(dir_.file("other"), std::string("x"));
    EXPECT_FALSE(rom_is_image(dir_.file("other").c_str()));
    EXPECT_FALSE(rom_is_image(dir_.file("missing").c_str()));
}
