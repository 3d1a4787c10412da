// Opening ROM images, the title search and reads at rom offsets.
#include "common/rom.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "tests/support/test_util.h"

namespace {

const char kTitle[] = "MERIDIAN TALES2      ";

class RomTest : public ::testing::Test {
protected:
    // Opens the image (rom offsets up to kSpan in memory) and returns its
    // image base.
    long long open_base(const RomBuilder& rom) {
        rom.write(path_);
        image_ = std::make_unique<common::RomImage>();
        EXPECT_TRUE(image_->open(path_.c_str(), kTitle, kSpan).ok());
        return image_->image_base();
    }

    static constexpr long kSpan = 0x10000;
    std::unique_ptr<common::RomImage> image_;

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
    const unsigned char* bytes = *image_->bytes(0x1234, 3);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[2], 3);
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

// Windows whose last byte is nowhere in the title are passed over several at
// a time: the title is found at every place relative to them, by the image
// file, the stream search and an image in memory alike, among bytes that are
// not in the title and among bytes that are.
TEST_F(RomTest, TitleFoundAtEveryPlaceAmongBytesOutsideIt) {
    for (const char filler : {'\xAA', 'E', ' '}) {
        for (size_t at = 0; at < 190; ++at) {
            std::string image(at + 21 + 32 + (at % 7), filler);
            image.replace(at, 21, kTitle);
            image[at + 21] = 0x20;
            write_file(path_, image);
            common::RomImage file;
            ASSERT_TRUE(file.open(path_.c_str(), kTitle, kSpan).ok());
            EXPECT_EQ(file.image_base(), static_cast<long long>(at) - 0x7FC0) << at << " " << int(filler);
            common::RomImage memory;
            ASSERT_TRUE(
                memory.open_memory(reinterpret_cast<const unsigned char*>(image.data()), image.size(), kTitle, kSpan)
                    .ok());
            EXPECT_EQ(memory.image_base(), file.image_base()) << at;
            FILE* f = fopen(path_.c_str(), "rb");
            ASSERT_NE(f, nullptr);
            EXPECT_TRUE(*common::find_signature(f, reinterpret_cast<const unsigned char*>(kTitle), 21)) << at;
            EXPECT_EQ(ftell(f), static_cast<long>(at));
            fclose(f);
        }
    }
}

// A title cut short by the end of the file, at every length, is no title.
TEST_F(RomTest, TitleCutByTheEndOfTheFileIsNotFound) {
    for (size_t keep = 1; keep < 21; ++keep) {
        std::string image(100 + keep * 5, '\xAA');
        image += std::string(kTitle, keep);
        write_file(path_, image);
        common::RomImage file;
        ASSERT_TRUE(file.open(path_.c_str(), kTitle, kSpan).ok());
        EXPECT_FALSE(file.header().title_found) << keep;
        EXPECT_EQ(file.image_base(), 0);
    }
}

// The tables' part mapped from the file reads as the file: at an image base
// that is no multiple of a page, and cut short by the end of the file.
TEST_F(RomTest, MappedTablesReadAsTheFile) {
    for (size_t copier : {0, 1, 512, 4095, 4097, 70000}) {
        RomBuilder rom(0x10000);
        rom.header(kTitle, 0x20).copier(copier, 0xEE).put(0x1234, {1, 2, 3}).put(0xFFFF, {9});
        open_base(rom);
        EXPECT_EQ(image_->image_base(), static_cast<long long>(copier));
        const unsigned char* bytes = *image_->bytes(0x1234, 3);
        EXPECT_EQ(bytes[0], 1);
        EXPECT_EQ(bytes[2], 3);
        EXPECT_EQ((*image_->bytes(0xFFFF, 1))[0], 9);
        EXPECT_FALSE(image_->bytes(0xFFFF, 2).ok());
    }
}

TEST_F(RomTest, SignatureSearchLeavesTheStreamAtTheMatchOrWhereItBegan) {
    write_file(path_, std::string("xxabcabcdyy"));
    FILE* f = fopen(path_.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(*common::find_signature(f, reinterpret_cast<const unsigned char*>("abcd"), 4));
    EXPECT_EQ(ftell(f), 5);
    fseek(f, 6, SEEK_SET);
    EXPECT_FALSE(*common::find_signature(f, reinterpret_cast<const unsigned char*>("abcd"), 4));
    EXPECT_EQ(ftell(f), 6);
    fseek(f, 0, SEEK_SET);
    EXPECT_TRUE(*common::find_signature(f, reinterpret_cast<const unsigned char*>("dyy"), 3));
    EXPECT_EQ(ftell(f), 8);
    fseek(f, 0, SEEK_SET);
    EXPECT_FALSE(*common::find_signature(f, reinterpret_cast<const unsigned char*>("dyyz"), 4));
    EXPECT_EQ(ftell(f), 0);
    fclose(f);
}

TEST_F(RomTest, OpenFailures) {
    EXPECT_FALSE(common::RomImage().open(dir_.file("missing").c_str(), kTitle, kSpan).ok());
    EXPECT_FALSE(common::RomImage().open("", kTitle, kSpan).ok());
    EXPECT_FALSE(common::RomImage().open(nullptr, kTitle, kSpan).ok());
    write_file(path_, std::string("abc"));
    EXPECT_FALSE(common::RomImage().open(path_.c_str(), "", kSpan).ok());
    EXPECT_FALSE(common::RomImage().open(path_.c_str(), nullptr, kSpan).ok());
}

// An image in memory reads as the same image in a file does.
TEST_F(RomTest, ImageInMemoryReadsAsTheFile) {
    RomBuilder rom(0x20000);
    rom.header(kTitle, 0x21).copier(512, 0xEE).put(0x1234, {1, 2, 3});
    open_base(rom);
    const std::string file = read_file(path_);
    common::RomImage memory;
    ASSERT_TRUE(memory.open_memory(reinterpret_cast<const unsigned char*>(file.data()), file.size(), kTitle, kSpan).ok());
    EXPECT_EQ(memory.image_base(), image_->image_base());
    EXPECT_TRUE(memory.header().hirom);
    EXPECT_EQ(memcmp(*memory.bytes(0, kSpan), *image_->bytes(0, kSpan), kSpan), 0);
    EXPECT_FALSE(memory.is_image(path_.c_str()));  // no file to be written over
}

// Where the tools print a fatal read, the image gives the error value with
// the same words.
TEST_F(RomTest, TitleAtTheVeryEndHasNoCompleteHeader) {
    std::string image(100, 'x');
    image += kTitle;
    write_file(path_, image);
    const common::Status opened = common::RomImage().open(path_.c_str(), kTitle, kSpan);
    ASSERT_FALSE(opened.ok());
    EXPECT_EQ(opened.error().lines.at(0), "Fatal error in fread(): Unexpected end of file");
    common::RomImage memory;
    const common::Status in_memory =
        memory.open_memory(reinterpret_cast<const unsigned char*>(image.data()), image.size(), kTitle, kSpan);
    ASSERT_FALSE(in_memory.ok());
    EXPECT_EQ(in_memory.error().lines.at(0), "Fatal error in fread(): Unexpected end of file");
}

TEST_F(RomTest, ShortReadAndNegativePositionAreErrors) {
    open_base(RomBuilder(0x10000).header(kTitle, 0x20));
    const auto cut = image_->bytes(0xFFF8, 16);
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error().lines.at(0), "Fatal error in fread(): Unexpected end of file");
    EXPECT_TRUE(image_->bytes(0xFFF0, 16).ok());
    // Title so early that the image base is negative.
    std::string image(kTitle);
    image += std::string(64, '\x20');
    write_file(path_, image);
    common::RomImage early;
    ASSERT_TRUE(early.open(path_.c_str(), kTitle, kSpan).ok());
    EXPECT_LT(early.image_base(), 0);
    const auto before = early.bytes(0, 1);
    ASSERT_FALSE(before.ok());
    EXPECT_EQ(before.error().lines.at(0), std::string("Fatal error in fseek(): ") + strerror(EINVAL));
}

TEST_F(RomTest, ReportPathNamingTheImageIsRecognised) {
    open_base(RomBuilder(0x10000).header(kTitle, 0x20));
    EXPECT_TRUE(image_->is_image(path_.c_str()));
    ASSERT_EQ(make_other_name(path_, dir_.file("link")), 0);
    EXPECT_TRUE(image_->is_image(dir_.file("link").c_str()));
    write_file(dir_.file("other"), std::string("x"));
    EXPECT_FALSE(image_->is_image(dir_.file("other").c_str()));
    EXPECT_FALSE(image_->is_image(dir_.file("missing").c_str()));
}
